#pragma once

#include "DraftWriter.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <optional>

namespace platform {

class Document;
class TextEditor;

/// Keeps a document's unsaved text in a draft for as long as it differs from its file: the
/// edits made in its text editor are on disk within a second of a pause in typing, and never
/// more than a second or so behind while typing goes on. The draft goes when the text is back at
/// what was saved (saved, reverted or undone) and when the changes are thrown away.
///
/// The window's thread only collects each edit as it is made; the writer's thread does the rest.
class DraftKeeper final : public QObject {
    Q_OBJECT

public:
    DraftKeeper(Document &document, TextEditor &editor, DraftWriter &writer);
    /// Writes what is still to be written and lets go of the draft, which stays for a later run
    /// to offer: the document is gone without its changes having been saved or thrown away.
    ~DraftKeeper() override;
    DraftKeeper(const DraftKeeper &) = delete;
    DraftKeeper &operator=(const DraftKeeper &) = delete;

    /// Hands the edits not yet written to the writer now, without waiting for a pause.
    void keepNow();

    /// Removes the draft: the user threw the changes away.
    void discard();

    /// The document's file changed on disk: a draft that starts from it keeps its own text now.
    void fileChangedOnDisk();

private:
    void record(qsizetype position, qsizetype removed, QByteArrayView inserted);
    void editedChanged(bool edited);
    void restartFromText(quint64 draft);
    DraftHeader header() const;

    Document &m_document;
    TextEditor &m_editor;
    DraftWriter &m_writer;
    std::optional<DraftWriter::Id> m_draft;
    bool m_needsItsFile = false;
    QByteArray m_unwritten;
    qsizetype m_bytesMoved = 0;
    qsizetype m_lastPosition = 0;
    QTimer m_write;
    QElapsedTimer m_unwrittenSince;
};

} // namespace platform
