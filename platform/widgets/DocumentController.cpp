#include "DocumentController.h"

#include "Document.h"
#include "DocumentAlerts.h"
#include "DocumentWindow.h"
#include "DraftKeeper.h"
#include "DraftRecovery.h"
#include "DraftWriter.h"
#include "FileError.h"
#include "FileIO.h"
#include "FileStamp.h"
#include "Panels.h"
#include "RecentDocuments.h"
#include "SaveJournal.h"
#include "SharedRecentFiles.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHash>
#include <QMimeDatabase>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <ctime>
#include <new>

namespace platform {
namespace {

// A file opened or saved goes to the top of Open Recent and into the desktop's recent files. The
// desktop's list is read and written whole, some 20 ms once it is long, so a worker does it and
// opening and saving never wait for it; the application object waits for the worker before the
// program ends. The list is a convenience: when it cannot be written the user is not troubled.
void noteRecent(const QString &path)
{
    RecentDocuments::note(path);
    const SharedRecentFiles::Application application{QGuiApplication::applicationDisplayName(),
                                                     QCoreApplication::applicationName() +
                                                         QStringLiteral(" %u")};
    QThreadPool::globalInstance()->start([path, application] {
        const QString problem = SharedRecentFiles::note(path, application);
        if (!problem.isEmpty())
            qWarning("The desktop's recent files were not updated: %s", qPrintable(problem));
    });
}

QWidget *windowOf(const Document *document)
{
    return document->window();
}

QStringList withAllFiles(QStringList mimeTypes)
{
    mimeTypes.append(QStringLiteral("application/octet-stream"));
    return mimeTypes;
}

// How often the files of open documents are looked at, at most, while other programs write them.
constexpr int diskCheckDelayMilliseconds = 200;

// File systems stamp changes with a coarse clock; two changes within a second are not told
// apart safely by their stamps alone.
bool isRacy(const FileStamp &stamp)
{
    return std::time(nullptr) - stamp.changed.tv_sec < 2;
}

struct FileOnDisk {
    FileWrapper file;
    Document::DiskVersion version;
};

FileOnDisk readFromDisk(const QString &path)
{
    FileContents read = readFile(path);
    const std::optional<QByteArray> &bytes = read.file.regularFileContents();
    const Document::DiskVersion version{read.stamp, bytes ? contentHash(*bytes) : 0,
                                        isRacy(read.stamp)};
    return {std::move(read.file), version};
}

// The suffix an untitled document is offered, as the desktop names it for the document's type.
QString preferredSuffixFor(const DocumentScene &scene)
{
    if (scene.writableContentTypes.isEmpty())
        return {};
    const QString suffix =
        QMimeDatabase().mimeTypeForName(scene.writableContentTypes.constFirst()).preferredSuffix();
    return suffix.isEmpty() ? suffix : QLatin1Char('.') + suffix;
}

QString directoryOf(const QString &path)
{
    return QFileInfo(path).absolutePath();
}

} // namespace

DocumentController::DocumentController(DocumentScene scene, Drafts drafts, QObject *parent)
    : QObject(parent)
    , m_scene(std::move(scene))
{
    if (drafts == Drafts::Kept) {
        m_draftWriter = std::make_unique<DraftWriter>(DraftRecovery::fileTextReader(m_scene));
        m_draftRecovery = std::make_unique<DraftRecovery>(*this, *m_draftWriter, m_scene);
        connect(m_draftWriter.get(), &DraftWriter::failed, this,
                &DocumentController::tellDraftsCannotBeKept);
    }
    m_diskCheck.setSingleShot(true);
    m_diskCheck.setInterval(diskCheckDelayMilliseconds);
    connect(&m_diskCheck, &QTimer::timeout, this, &DocumentController::followFilesOnDisk);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, &m_diskCheck,
            qOverload<>(&QTimer::start));
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_diskCheck,
            qOverload<>(&QTimer::start));
    connect(qApp, &QApplication::focusChanged, this, [this] {
        if (auto *window = qobject_cast<DocumentWindow *>(QApplication::activeWindow()))
            m_mostRecent = window->document();
    });
}

DocumentController::~DocumentController()
{
    // Closing the windows moves the focus; nothing may look at the documents while they go.
    disconnect(qApp, nullptr, this, nullptr);
    m_documents.clear();
}

QList<Document *> DocumentController::documents() const
{
    QList<Document *> list;
    for (const auto &document : m_documents)
        list.append(document.get());
    return list;
}

Document *DocumentController::newDocument()
{
    return adopt(
        std::make_unique<Document>(m_scene.makeUntitled(), QString(), nextUntitledNumber()));
}

Document *DocumentController::emptyUntitledDocument()
{
    Document *document = transientDocumentToReplace();
    if (!document)
        return newDocument();
    document->setTransient(false);
    return document;
}

Document *DocumentController::openUntitledDocument()
{
    Document *document = newDocument();
    document->setTransient(true);
    return document;
}

void DocumentController::openDocument()
{
    auto *window = qobject_cast<DocumentWindow *>(QApplication::activeWindow());
    const Document::ModalScope scope(window ? window->document() : nullptr);
    OpenPanel panel(QApplication::activeWindow());
    panel.setWindowTitle(tr("Open"));
    panel.setMimeTypeFilters(withAllFiles(m_scene.readableContentTypes));
    // Every file by default, so that README, Makefile and a file saved without a suffix show;
    // the document's own types stay a choice.
    panel.selectMimeTypeFilter(QStringLiteral("application/octet-stream"));
    if (panel.exec() != QDialog::Accepted)
        return;
    for (const QString &path : panel.selectedFiles())
        openDocumentWithContentsOf(path);
}

Document *DocumentController::openDocumentWithContentsOf(const QString &path, MissingFile missing)
{
    const QString absolutePath = QFileInfo(path).absoluteFilePath();
    if (Document *open = documentForFile(absolutePath)) {
        showDocument(open);
        return open;
    }
    // A save of the file that was interrupted is settled before its bytes are taken.
    settleWithUser(settleInterruptedSaves(absolutePath), QApplication::activeWindow());
    std::optional<Document::DiskVersion> version;
    Document *document = nullptr;
    try {
        std::unique_ptr<DocumentContent> content;
        try {
            FileOnDisk disk = readFromDisk(absolutePath);
            version = disk.version;
            content = m_scene.read(std::move(disk.file));
        } catch (const FileError &error) {
            if (error.code() != FileError::ReadNoSuchFile || missing == MissingFile::IsAnError)
                throw;
            // Nothing is made on disk before the first save; a missing folder is an error then.
            content = m_scene.makeUntitled();
        }
        Document *transient = transientDocumentToReplace();
        document = adopt(std::make_unique<Document>(std::move(content), absolutePath, 0));
        if (transient)
            discard(transient);
    } catch (const FileError &error) {
        presentError(error, absolutePath);
        return nullptr;
    } catch (const std::bad_alloc &) {
        presentError(FileError::outOfMemory(), absolutePath);
        return nullptr;
    }
    document->setDiskVersion(version);
    watchFileOf(document);
    if (version)
        noteRecent(absolutePath);
    if (m_draftRecovery)
        m_draftRecovery->offerDraftFor(document);
    return document;
}

bool DocumentController::saveDocument(Document *document)
{
    if (document->isUntitled())
        return saveDocumentAs(document);
    return saveDocumentTo(document, document->filePath());
}

bool DocumentController::saveDocumentAs(Document *document)
{
    const std::optional<QString> path = askForSaveLocation(document);
    return path && saveDocumentTo(document, *path);
}

bool DocumentController::saveDocumentTo(Document *document, const QString &path)
{
    const bool overwritesOwnFile =
        !document->isUntitled() && QFileInfo(path).absoluteFilePath() == document->filePath();
    if (overwritesOwnFile) {
        switch (askIfChangedOnDisk(document)) {
        case OutsideChangeChoice::SaveAnyway:
            break;
        case OutsideChangeChoice::SaveAs:
            return saveDocumentAs(document);
        case OutsideChangeChoice::Revert:
            reloadFromDisk(document);
            return false;
        case OutsideChangeChoice::Cancel:
            return false;
        }
    }
    try {
        const std::optional<QByteArray> bytes =
            document->content().fileWrapper().regularFileContents();
        if (!bytes)
            throw FileError(FileError::WriteUnknown);
        const FileStamp written = writeFile(path, *bytes);
        document->savedTo(path, {written, contentHash(*bytes), isRacy(written)});
    } catch (const FileError &error) {
        presentSaveError(error, path, document);
        return false;
    }
    watchFileOf(document);
    noteRecent(path);
    return true;
}

void DocumentController::revertDocumentToSaved(Document *document)
{
    if (document->isUntitled())
        return;
    const Document::ModalScope scope(document);
    if (confirmRevert(*document, windowOf(document)))
        reloadFromDisk(document);
}

bool DocumentController::closeDocument(Document *document)
{
    if (document->isEdited()) {
        const Document::ModalScope scope(document);
        // The question comes over the window it is about, in front of the others, as each of
        // several edited documents is asked about in turn at quit.
        showDocument(document);
        switch (askToSaveChanges(*document, windowOf(document))) {
        case SaveChoice::Cancel:
            return false;
        case SaveChoice::Save:
            if (!saveDocument(document))
                return false;
            break;
        case SaveChoice::DontSave:
            if (DraftKeeper *keeper = document->draftKeeper())
                keeper->discard();
            break;
        }
    }
    discard(document);
    return true;
}

bool DocumentController::closeAllDocuments()
{
    for (Document *document : documents()) {
        if (!closeDocument(document))
            return false;
    }
    return true;
}

void DocumentController::quit()
{
    if (closeAllDocuments())
        QCoreApplication::quit();
}

Document *DocumentController::adopt(std::unique_ptr<Document> document)
{
    Document *adopted = document.get();
    m_documents.push_back(std::move(document));
    try {
        showDocument(adopted);
    } catch (...) {
        // The editor could not be made, as when memory ran out: the document never was.
        m_documents.pop_back();
        throw;
    }
    if (m_draftWriter)
        adopted->keepDrafts(*m_draftWriter);
    return adopted;
}

Document *DocumentController::documentForFile(const QString &path) const
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    for (const auto &document : m_documents) {
        if (!document->isUntitled() && !canonical.isEmpty() &&
            QFileInfo(document->filePath()).canonicalFilePath() == canonical)
            return document.get();
    }
    return nullptr;
}

Document *DocumentController::transientDocumentToReplace() const
{
    if (m_documents.size() == 1 && m_documents.front()->isTransient())
        return m_documents.front().get();
    return nullptr;
}

int DocumentController::nextUntitledNumber() const
{
    const auto isTaken = [this](int number) {
        return std::any_of(m_documents.begin(), m_documents.end(), [number](const auto &document) {
            return document->isUntitled() && document->untitledNumber() == number;
        });
    };
    int number = 1;
    while (isTaken(number))
        ++number;
    return number;
}

// The document may be closing from inside its own window's event handler, so it is deleted
// once control is back in the event loop.
void DocumentController::discard(Document *document)
{
    const auto owned =
        std::find_if(m_documents.begin(), m_documents.end(),
                     [document](const auto &candidate) { return candidate.get() == document; });
    if (owned == m_documents.end())
        return;
    Document *released = owned->release();
    m_documents.erase(owned);
    unwatchFileOf(released);
    if (released->window())
        released->window()->hide();
    released->destroyWhenFree();
    if (m_documents.empty())
        emit lastDocumentClosed();
}

Document *DocumentController::mostRecentDocument() const
{
    if (m_mostRecent)
        return m_mostRecent;
    return m_documents.empty() ? nullptr : m_documents.back().get();
}

QWidget *DocumentController::mostRecentWindow() const
{
    const Document *recent = mostRecentDocument();
    return recent ? recent->window() : nullptr;
}

void DocumentController::showDocument(Document *document)
{
    document->showWindow(m_scene.defaultSize, *this);
    m_mostRecent = document;
}

void DocumentController::presentError(const FileError &error, const QString &path)
{
    const QString message = error.message(QDir::toNativeSeparators(path));
    const auto frontWindow = [this]() -> QWidget * {
        if (QWidget *active = QApplication::activeWindow())
            return active;
        const Document *recent = mostRecentDocument();
        return recent ? recent->window() : nullptr;
    };
    if (QWidget *over = frontWindow()) {
        showError(message, over);
        return;
    }
    // While the program starts, the window an error concerns is made right after it; the error
    // waits for it, so that it comes over that window rather than under it.
    QTimer::singleShot(0, this, [message, frontWindow] { showError(message, frontWindow()); });
}

void DocumentController::presentSaveError(const FileError &error, const QString &path,
                                          Document *document)
{
    std::function<void()> saveAs;
    // Where the user may not write, saving elsewhere is what is left, as every editor offers.
    if (error.code() == FileError::WriteNoPermission ||
        error.code() == FileError::WriteVolumeReadOnly)
        saveAs = [this, document = QPointer<Document>(document)] {
            if (document && documents().contains(document))
                saveDocumentAs(document);
        };
    showError(error.message(QDir::toNativeSeparators(path)), windowOf(document), std::move(saveAs));
}

DocumentController::DiskState DocumentController::diskStateOf(Document *document) const
{
    const std::optional<Document::DiskVersion> &known = document->diskVersion();
    if (document->isUntitled())
        return DiskState::Unchanged;
    const std::optional<FileStamp> now = FileStamp::ofFile(document->filePath());
    if (!known) // a document for a file not yet written: one that appeared is another's
        return now ? DiskState::Changed : DiskState::Unchanged;
    if (!now)
        return DiskState::Deleted;
    if (!now->mayDifferFrom(known->stamp) && !known->isRacy)
        return DiskState::Unchanged;
    // The same bytes written again, only the owner, mode or links changed, or a stamp that
    // cannot be trusted: the bytes decide.
    if (now->size == known->stamp.size) {
        try {
            const FileDigest disk = digestFile(document->filePath());
            if (disk.hash == known->contentHash) {
                document->setDiskVersion(
                    Document::DiskVersion{disk.stamp, disk.hash, isRacy(disk.stamp)});
                return DiskState::Unchanged;
            }
        } catch (const FileError &) {
            // Unreadable now: changed, as far as anyone can tell.
        }
    }
    return DiskState::Changed;
}

OutsideChangeChoice DocumentController::askIfChangedOnDisk(Document *document)
{
    const DiskState state = diskStateOf(document);
    if (state == DiskState::Unchanged)
        return OutsideChangeChoice::SaveAnyway;
    const Document::ModalScope scope(document);
    showDocument(document);
    return askAboutOutsideChange(*document, state == DiskState::Deleted, windowOf(document));
}

void DocumentController::reloadFromDisk(Document *document)
{
    try {
        FileOnDisk disk = readFromDisk(document->filePath());
        document->content().replaceFromFile(std::move(disk.file));
        document->setDiskVersion(disk.version);
    } catch (const FileError &error) {
        presentError(error, document->filePath());
    } catch (const std::bad_alloc &) {
        presentError(FileError::outOfMemory(), document->filePath());
    }
}

// A clean document follows its file: what another program wrote shows at once. An edited one is
// never touched; its next save asks first, and its draft no longer counts on the file.
void DocumentController::followFilesOnDisk()
{
    for (Document *document : documents()) {
        if (document->isUntitled())
            continue;
        watchFileOf(document); // a file replaced by a rename is no longer watched
        if (document->isInModalSession() || diskStateOf(document) != DiskState::Changed)
            continue;
        if (!document->isEdited())
            reloadFromDisk(document);
        else if (DraftKeeper *keeper = document->draftKeeper())
            keeper->fileChangedOnDisk();
    }
}

void DocumentController::lookForWorkLeftBehind()
{
    QThreadPool::globalInstance()->start([self = QPointer<DocumentController>(this)] {
        auto saves = std::make_shared<std::vector<InterruptedSave>>(settleInterruptedSaves());
        QMetaObject::invokeMethod(
            qApp,
            [self, saves] {
                if (self && !saves->empty())
                    settleWithUser(std::move(*saves), self->mostRecentWindow());
            },
            Qt::QueuedConnection);
    });
    if (m_draftRecovery)
        m_draftRecovery->lookForLeftDrafts();
}

void DocumentController::keepAllDrafts()
{
    if (!m_draftWriter)
        return;
    for (const auto &document : m_documents) {
        if (DraftKeeper *keeper = document->draftKeeper())
            keeper->keepNow();
    }
    m_draftWriter->waitUntilWritten();
}

// Told once: typing and saving go on as before, only a kill would now lose unsaved changes.
void DocumentController::tellDraftsCannotBeKept(const QString &reason)
{
    if (std::exchange(m_hasToldDraftsCannotBeKept, true))
        return;
    showError(tr("Unsaved changes can’t be kept for recovery: %1 Should %2 end before you save, "
                 "they would be lost. Saving works as before.")
                  .arg(reason, QGuiApplication::applicationDisplayName()),
              mostRecentWindow());
}

void DocumentController::watchFileOf(Document *document)
{
    // The folder too: it tells when the file is deleted, replaced or made again.
    for (const QString &path : {document->filePath(), directoryOf(document->filePath())}) {
        if (!m_watcher.files().contains(path) && !m_watcher.directories().contains(path) &&
            QFileInfo::exists(path))
            m_watcher.addPath(path);
    }
}

void DocumentController::unwatchFileOf(Document *document)
{
    if (document->isUntitled())
        return;
    const auto shares = [&](const auto &matches) {
        return std::any_of(m_documents.begin(), m_documents.end(), [&](const auto &other) {
            return !other->isUntitled() && matches(other->filePath());
        });
    };
    const QString &file = document->filePath();
    const QString directory = directoryOf(file);
    if (!shares([&](const QString &other) { return other == file; }))
        m_watcher.removePath(file);
    if (!shares([&](const QString &other) { return directoryOf(other) == directory; }))
        m_watcher.removePath(directory);
}

std::optional<QString> DocumentController::askForSaveLocation(Document *document) const
{
    const Document::ModalScope scope(document);
    SavePanel panel(windowOf(document));
    panel.setWindowTitle(tr("Save As"));
    panel.setMimeTypeFilters(withAllFiles(m_scene.writableContentTypes));
    if (document->isUntitled()) {
        panel.selectFile(document->displayName() + preferredSuffixFor(m_scene));
    } else {
        panel.setDirectoryUrl(QUrl::fromLocalFile(QFileInfo(document->filePath()).absolutePath()));
        panel.selectFile(QFileInfo(document->filePath()).fileName());
    }
    if (panel.exec() != QDialog::Accepted || panel.selectedFiles().isEmpty())
        return std::nullopt;
    return panel.selectedFiles().constFirst();
}

} // namespace platform
