#pragma once

#include "DocumentScene.h"
#include "DraftFolder.h"

#include <QHash>
#include <QObject>
#include <QPointer>

#include <optional>

namespace platform {

class Document;
class DocumentController;
class DraftWriter;

/// A left draft as the user is shown it.
struct DraftSummary {
    QString draftPath;
    QString title; ///< the file's name, or the text's first line for an untitled document
    QDateTime lastWritten;
    qsizetype size = 0;
};

/// The drafts of unsaved changes: this process's documents keep theirs through a writer thread
/// (see DraftKeeper), and what editors that ended without saving left is offered back, never
/// forced on the user: when such a file is opened, from the File menu, and from a notification on
/// the desktop after launch. A recovered draft opens as an edited document, untitled or over its
/// file, which is never written by itself; the draft goes once the document's own draft has taken
/// its place.
class Drafts final : public QObject {
    Q_OBJECT

public:
    Drafts(DocumentController &controller, std::shared_ptr<const DocumentScene> scene);
    ~Drafts() override;

    /// Keeps `document`'s unsaved changes in a draft from now on.
    void keep(Document *document);

    /// Puts the unsaved changes of `documents` on disk now, and returns once they are there, as
    /// before the program is made to end.
    void keepNow(const QList<Document *> &documents);

    /// What a draft that starts from a document's file reads that file with: its text as the
    /// document type reads it, or nothing when the file no longer holds the version the draft
    /// began from. Safe on any thread.
    static DraftFileText fileTextReader(const std::shared_ptr<const DocumentScene> &scene);

    /// Looks for left drafts away from the window's thread; removes those with nothing to
    /// recover, and tells the desktop when there are others.
    void lookForLeftDrafts();

    /// Asks whether to recover the changes left for `document`'s file, if there are any.
    void offerDraftFor(Document *document);

    /// The drafts left, the most recent first.
    QList<DraftSummary> leftDraftSummaries();

    void recover(const QString &draftPath);
    void recoverAll();
    /// Asks first, then removes every left draft.
    void discardAll(QWidget *over);

private:
    using Reader = std::shared_ptr<const DocumentScene>;
    struct Found {
        ClaimedDraft draft;
        DraftContents contents;
    };
    static std::optional<Found> take(const QString &draftPath, const DraftFileText &fileText);
    static bool hasNothingNew(const Found &found, const Reader &read);
    static std::optional<DraftSummary> summarize(const LeftDraft &left, const Reader &read,
                                                 const DraftFileText &fileText);
    void recoverInto(Document *document, Found found);
    void ask(Document *document, Found found, const QDateTime &lastWritten);
    void tellCannotRecover(const Found &found, QWidget *over);
    void tellCannotBeKept(const QString &reason);
    void notifyDesktop(const QList<DraftSummary> &found);

    DocumentController &m_controller;
    std::unique_ptr<DraftWriter> m_writer;
    bool m_hasToldCannotBeKept = false;
    Reader m_read;
    DraftFileText m_fileText;
    QHash<QString, DraftSummary> m_summaries;
};

} // namespace platform
