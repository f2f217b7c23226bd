#pragma once

#include "DraftFormat.h"

#include <QObject>
#include <QThread>

namespace platform {

class DraftWorker;

/// Keeps the drafts of this process's documents in the draft folder. A thread of its own writes
/// and syncs them, starts them afresh and removes them, in the order asked, so that the window
/// never waits on the disk. Each draft stays locked until it is removed or let go of.
///
/// A draft grows by the edits it is sent. The writer starts it afresh from its own text once its
/// edits outweigh the text, or would move it about too much to be replayed quickly, and at once
/// when it starts from a file of modest size, so that it no longer needs that file.
class DraftWriter final : public QObject {
    Q_OBJECT

public:
    using Id = quint64;

    /// `fileText` reads a document's file for a draft that starts from it; it runs on the
    /// writer's thread.
    explicit DraftWriter(DraftFileText fileText, QObject *parent = nullptr);
    /// Writes what was asked, then lets go of every draft still kept: it stays for a later run.
    ~DraftWriter() override;
    DraftWriter(const DraftWriter &) = delete;
    DraftWriter &operator=(const DraftWriter &) = delete;

    /// Starts a draft: `header`, then `edits` (records made by draftRecords), which make a text
    /// of `textSize` bytes, having moved `bytesMoved` bytes about to replay.
    Id begin(const DraftHeader &header, QByteArray edits, qsizetype textSize, qsizetype bytesMoved);
    /// Adds `edits` to the draft, with what they make of it.
    void append(Id draft, QByteArray edits, qsizetype textSize, qsizetype bytesMoved);
    /// Starts the draft afresh from `text`, its whole text as it is now.
    void restart(Id draft, QByteArray text);
    /// Removes the draft: its document no longer has unsaved changes.
    void remove(Id draft);
    /// Lets go of the draft, leaving it for a later run to offer.
    void release(Id draft);
    /// Returns once everything asked so far is on disk, or has failed: whether every draft is
    /// whole on disk.
    bool waitUntilWritten();

signals:
    /// A draft could not be kept, for `reason`. Its edits are kept in memory and written with
    /// the next ones.
    void failed(const QString &reason);
    /// The draft no longer needs its document's file.
    void becameSelfContained(quint64 draft);
    /// The draft's file no longer holds the text it started from: restart() it.
    void lostItsBase(quint64 draft);

private:
    template <class Job> void post(Job job);

    QThread m_thread;
    DraftWorker *m_worker;
};

} // namespace platform
