#pragma once

#include "DiskVersion.h"
#include "DocumentAlerts.h"
#include "DocumentScene.h"
#include "FileFollower.h"
#include "Finding.h"
#include "OpenQueue.h"
#include "RecentDocuments.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <memory>
#include <optional>
#include <vector>

class QWidget;

namespace platform {

class Document;
class Drafts;
class FileError;
class UserDefaults;

/// The one owner of the application's open documents: it makes, opens, saves, reverts and
/// closes them, keeps the recent-documents list, asks before changes would be lost and shows
/// what went wrong, naming the file.
class DocumentController final : public QObject {
    Q_OBJECT

public:
    /// Whether the unsaved changes of documents are kept in drafts, for a later run to offer
    /// should this one end without saving them.
    enum class DraftKeeping { On, Off };

    /// Documents of `scene`'s type, with the recent documents and other settings in `settings`.
    DocumentController(std::shared_ptr<const DocumentScene> scene, UserDefaults &settings,
                       DraftKeeping drafts = DraftKeeping::On, QObject *parent = nullptr);
    ~DocumentController() override;

    /// What the controller knows of the application's documents and their windows.
    const DocumentScene &scene() const { return *m_scene; }

    RecentDocuments &recentDocuments() { return m_recentDocuments; }

    /// What was searched for last, which every window's find bar starts from.
    LastSearch &lastSearch() { return m_lastSearch; }

    /// Every open document, oldest first.
    QList<Document *> documents() const;

    /// Makes an empty untitled document and shows it in a new window.
    Document *newDocument();

    /// An empty untitled document for a text that arrives by itself, as a recovered one: the
    /// untouched launch document while it is the only one, else a new one.
    Document *emptyUntitledDocument();

    /// The untitled document the application makes by itself, as at launch: it is transient,
    /// so a file opened while it is the only, untouched document takes its place.
    Document *openUntitledDocument();

    /// Asks for files with an open panel and opens them.
    void openDocument();

    /// What opening a file that does not exist does: an error, as from the open panel, or a new
    /// document that will be saved there, as for a name given on the command line.
    enum class MissingFile { IsAnError, MakesANewDocument };

    /// Opens the file at `path` in a window of its own, or brings its window forward if it is
    /// open already. Shows an error naming the file, and returns null, when it cannot be read.
    Document *openDocumentWithContentsOf(const QString &path,
                                         MissingFile missing = MissingFile::IsAnError);

    /// Opens the local files that `uris` name, as handed over from outside at once (the command
    /// line, a later launch, the session bus, a drop, the open panel): one per turn of the event
    /// loop and at most OpenQueue::mostWaiting at a time, each in a window of its own; a missing
    /// one as a new document that will be saved there. What went wrong, and how many were not
    /// opened, is told once in one message. Emits namedFilesOpened when done.
    void openFilesNamed(const QStringList &uris);

    /// Saves to the document's file, asking for one if it is untitled. True when saved.
    bool saveDocument(Document *document);

    /// Asks for a file with a save panel and saves there. True when saved.
    bool saveDocumentAs(Document *document);

    /// Writes the document to `path` and makes that its file. When `path` is the document's own
    /// file and another program has changed or deleted it since, asks first. Shows an error and
    /// returns false when the write fails; the file on disk and the document's edited state then
    /// stay as they were.
    bool saveDocumentTo(Document *document, const QString &path);

    /// Asks, then throws away the changes and reads the document's file again, as one step that
    /// can be undone.
    void revertDocumentToSaved(Document *document);

    /// Closes the document, asking first whether to save its changes. False when cancelled.
    bool closeDocument(Document *document);

    /// Closes every document, asking for each one with changes; stops at the first Cancel.
    bool closeAllDocuments();

    /// Closes every document and, unless the user cancels, quits.
    void quit();

    /// The document whose window was active last, or the newest document, or null.
    Document *mostRecentDocument() const;
    /// The window of mostRecentDocument(), or null.
    QWidget *mostRecentWindow() const;

    /// Brings the document's window forward, restoring it if it was minimised.
    void showDocument(Document *document);

    /// Shows `error` in a message that names the file at `path`.
    void presentError(const FileError &error, const QString &path);

    /// Settles what earlier runs that ended abruptly left, away from the window's thread: saves
    /// that were interrupted and drafts of unsaved changes. Tells the user what it found.
    void lookForWorkLeftBehind();

    /// The drafts of unsaved changes, this run's and those earlier runs left; null when drafts
    /// are not kept.
    Drafts *drafts() const { return m_drafts.get(); }

    /// Puts every document's unsaved changes in its draft on disk now, and returns once they are
    /// there, as before the program is made to end.
    void keepAllDrafts();

signals:
    /// The last open document was closed.
    void lastDocumentClosed();

    /// Every file openFilesNamed was handed is open, or was refused and the user told.
    void namedFilesOpened();

private:
    Document *adopt(std::unique_ptr<Document> document);
    std::unique_ptr<DocumentValue> readOrMake(const QString &path, MissingFile missing,
                                              std::optional<DiskVersion> *version);
    Document *adoptRead(std::unique_ptr<DocumentValue> value, const QString &path,
                        const std::optional<DiskVersion> &version, const QString &encoding = {});
    Document *openInChosenEncoding(const QString &path, const FileError &refusal);
    Document *documentForFile(const QString &path) const;
    Document *transientDocumentToReplace() const;
    int nextUntitledNumber() const;
    void discard(Document *document);
    void presentSaveError(const FileError &error, const QString &path, Document *document);
    QStringList openGatheringErrors(const QString &path);

    std::shared_ptr<const DocumentScene> m_scene;
    RecentDocuments m_recentDocuments;
    LastSearch m_lastSearch;
    std::unique_ptr<Drafts> m_drafts;
    FileFollower m_files;
    std::vector<std::unique_ptr<Document>> m_documents;
    QPointer<Document> m_mostRecent;
    OpenQueue m_namedFiles;
    QStringList *m_gatheredErrors = nullptr;
};

} // namespace platform
