#include "DocumentController.h"

#include "AwayFromTheWindow.h"
#include "Document.h"
#include "DocumentWindow.h"
#include "DraftKeeper.h"
#include "Drafts.h"
#include "EncodingQuestions.h"
#include "FileError.h"
#include "FileIO.h"
#include "FileUris.h"
#include "Panels.h"
#include "SaveJournal.h"
#include "TextEncodings.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <new>

namespace platform {
namespace {

SharedRecentFiles::Application asTheDesktopKnowsIt()
{
    return {QGuiApplication::applicationDisplayName(),
            QCoreApplication::applicationName() + QStringLiteral(" %u")};
}

// Changes the user chose to throw away are not kept for recovery either.
void dropDraftOf(Document *document)
{
    if (DraftKeeper *keeper = document->draftKeeper())
        keeper->discard();
}

} // namespace

DocumentController::DocumentController(std::shared_ptr<const DocumentScene> scene,
                                       UserDefaults &settings, DraftKeeping drafts, QObject *parent)
    : QObject(parent)
    , m_scene(std::move(scene))
    , m_recentDocuments(settings, asTheDesktopKnowsIt())
    , m_files(*this)
    , m_namedFiles([this](const QString &path) { return openGatheringErrors(path); },
                   [this](const QStringList &problems, qsizetype notOpened) {
                       showOpenProblems(problems, notOpened, mostRecentWindow());
                   })
{
    connect(&m_namedFiles, &OpenQueue::emptied, this, &DocumentController::namedFilesOpened);
    if (drafts == DraftKeeping::On)
        m_drafts = std::make_unique<Drafts>(*this, m_scene);
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
        std::make_unique<Document>(m_scene->makeUntitled(), QString(), nextUntitledNumber()));
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
    QStringList uris;
    for (const QString &path :
         askForFilesToOpen(m_scene->readableContentTypes(), QApplication::activeWindow()))
        uris.append(fileUri(QFile::encodeName(path)));
    openFilesNamed(uris);
}

void DocumentController::openFilesNamed(const QStringList &uris)
{
    m_namedFiles.add(uris);
}

QStringList DocumentController::openGatheringErrors(const QString &path)
{
    QStringList errors;
    m_gatheredErrors = &errors;
    openDocumentWithContentsOf(path, MissingFile::MakesANewDocument);
    m_gatheredErrors = nullptr;
    return errors;
}

Document *DocumentController::openDocumentWithContentsOf(const QString &path, MissingFile missing)
{
    const QString absolutePath = resolvedPath(path);
    if (Document *open = documentForFile(absolutePath)) {
        showDocument(open);
        return open;
    }
    // A save of the file that was interrupted is settled before its bytes are taken.
    settleWithUser(settleInterruptedSaves(absolutePath), QApplication::activeWindow());
    std::optional<DiskVersion> version;
    try {
        return adoptRead(readOrMake(absolutePath, missing, &version), absolutePath, version);
    } catch (const FileError &error) {
        if (error.code() == FileError::ReadInapplicableStringEncoding)
            return openInChosenEncoding(absolutePath, error);
        presentError(error, absolutePath);
    } catch (const std::bad_alloc &) {
        presentError(FileError::outOfMemory(), absolutePath);
    }
    return nullptr;
}

// A file read becomes a document: in place of the launch's untouched untitled one, followed from
// now on, offered with what an earlier run left unsaved of it.
Document *DocumentController::adoptRead(std::unique_ptr<DocumentValue> value, const QString &path,
                                        const std::optional<DiskVersion> &version,
                                        const QString &encoding)
{
    Document *transient = transientDocumentToReplace();
    Document *document = adopt(std::make_unique<Document>(std::move(value), path, 0));
    if (transient)
        discard(transient);
    document->setDiskVersion(version);
    document->setEncoding(encoding);
    m_files.follow(document);
    if (version)
        m_recentDocuments.note(path);
    if (m_drafts)
        m_drafts->offerDraftFor(document);
    return document;
}

// The reader takes UTF-8 and UTF-16 only; the user may pick the legacy encoding a file is in,
// the likeliest first, until one shows it as it is or they give up.
Document *DocumentController::openInChosenEncoding(const QString &path, const FileError &refusal)
{
    try {
        DocumentFile read = readDocumentFile(path);
        const QByteArray bytes = read.file.regularFileContents().value_or(QByteArray());
        const QString guess = textEncodings::guess(bytes);
        QString why = refusal.message(QDir::toNativeSeparators(path));
        while (const std::optional<QString> encoding =
                   askForEncoding(why, guess, mostRecentWindow())) {
            if (const std::optional<QString> text = textEncodings::decode(bytes, *encoding))
                return adoptRead(m_scene->read(FileWrapper::regularFile(text->toUtf8())), path,
                                 read.version, *encoding);
            why = tr("The file “%1” isn’t %2 text, or some of its bytes wouldn’t be written back "
                     "as they are.")
                      .arg(QDir::toNativeSeparators(path), *encoding);
        }
    } catch (const FileError &error) {
        presentError(error, path);
    } catch (const std::bad_alloc &) {
        presentError(FileError::outOfMemory(), path);
    }
    return nullptr;
}

// The document read from the file at `path`; for a missing file named on the command line, an
// empty one that will be saved there: nothing is made on disk before the first save.
std::unique_ptr<DocumentValue> DocumentController::readOrMake(const QString &path,
                                                              MissingFile missing,
                                                              std::optional<DiskVersion> *version)
{
    try {
        DocumentFile read = readDocumentFile(path);
        *version = read.version;
        return m_scene->read(std::move(read.file));
    } catch (const FileError &error) {
        if (error.code() != FileError::ReadNoSuchFile || missing == MissingFile::IsAnError)
            throw;
        return m_scene->makeUntitled();
    }
}

bool DocumentController::saveDocument(Document *document)
{
    if (document->isUntitled())
        return saveDocumentAs(document);
    // A file read in a legacy encoding is written only once there is something of the user's.
    if (!document->encoding().isEmpty() && !document->isEdited())
        return true;
    return saveDocumentTo(document, document->filePath());
}

bool DocumentController::saveDocumentAs(Document *document)
{
    const Document::ModalScope scope(document);
    const std::optional<QString> path =
        askForSaveLocation(m_scene->writableContentTypes(), document->filePath(),
                           document->displayName(), document->window());
    // The panel shows a name whose bytes are not UTF-8 with U+FFFD in their place: written as
    // shown, it would make another file than the one chosen.
    if (path && path->contains(QChar::ReplacementCharacter)) {
        presentSaveError(FileError(FileError::WriteUnknown,
                                   tr("Its name has bytes that aren’t UTF-8, which couldn’t be "
                                      "written as they are. Choose another name.")),
                         *path, document);
        return false;
    }
    return path && saveDocumentTo(document, *path);
}

bool DocumentController::saveDocumentTo(Document *document, const QString &path)
{
    if (!document->isUntitled() && resolvedPath(path) == document->filePath()) {
        switch (m_files.askBeforeSaving(document)) {
        case OutsideChangeChoice::SaveAnyway:
            break;
        case OutsideChangeChoice::SaveAs:
            return saveDocumentAs(document);
        case OutsideChangeChoice::Revert:
            m_files.reload(document);
            return false;
        case OutsideChangeChoice::Cancel:
            return false;
        }
    }
    // The questions about the encoding wait on the user while the bytes are lent from the editor:
    // nothing may change the text meanwhile, not even a reload.
    const Document::ModalScope scope(document);
    try {
        const std::optional<QByteArray> utf8 = document->fileToSave().regularFileContents();
        if (!utf8)
            throw FileError(FileError::WriteUnknown);
        const std::optional<QByteArray> bytes =
            bytesInItsEncoding(*document, *utf8, document->window());
        if (!bytes)
            return false;
        const DiskVersion written =
            awayFromTheWindow([&path, &bytes] { return saveDocumentFile(path, *bytes); });
        m_files.fileWillChange(document, path);
        document->savedTo(path, written);
    } catch (const FileError &error) {
        presentSaveError(error, path, document);
        return false;
    }
    m_recentDocuments.note(path);
    return true;
}

void DocumentController::revertDocumentToSaved(Document *document)
{
    if (document->isUntitled())
        return;
    const Document::ModalScope scope(document);
    if (confirmRevert(*document, document->window()))
        m_files.reload(document);
}

bool DocumentController::closeDocument(Document *document)
{
    if (document->isEdited()) {
        const Document::ModalScope scope(document);
        // The question comes over the window it is about, in front of the others, as each of
        // several edited documents is asked about in turn at quit.
        showDocument(document);
        switch (askToSaveChanges(*document, document->window())) {
        case SaveChoice::Cancel:
            return false;
        case SaveChoice::Save:
            if (!saveDocument(document))
                return false;
            break;
        case SaveChoice::DontSave:
            dropDraftOf(document);
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

// With more than one edited document, one question first: go through them, or let them all go.
void DocumentController::quit()
{
    QList<Document *> edited;
    for (Document *document : documents()) {
        if (document->isEdited())
            edited.append(document);
    }
    if (edited.size() > 1) {
        QWidget *parent = edited.constFirst()->window();
        switch (askToReviewChangesBeforeQuitting(int(edited.size()), parent)) {
        case QuitChoice::Cancel:
            return;
        case QuitChoice::DiscardAll:
            for (Document *document : std::as_const(edited)) {
                dropDraftOf(document);
                discard(document);
            }
            break;
        case QuitChoice::ReviewEach:
            break;
        }
    }
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
    if (m_drafts)
        m_drafts->keep(adopted);
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
    m_files.stopFollowing(released);
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
    document->showWindow(m_scene->defaultSize(), *this);
    m_mostRecent = document;
}

void DocumentController::presentError(const FileError &error, const QString &path)
{
    const QString message = error.message(QDir::toNativeSeparators(path));
    if (m_gatheredErrors) {
        m_gatheredErrors->append(message);
        return;
    }
    const auto frontWindow = [this]() -> QWidget * {
        if (QWidget *active = QApplication::activeWindow())
            return active;
        return mostRecentWindow();
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
    showError(error.message(QDir::toNativeSeparators(path)), document->window(), std::move(saveAs));
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
    if (m_drafts)
        m_drafts->lookForLeftDrafts();
}

void DocumentController::keepAllDrafts()
{
    if (m_drafts)
        m_drafts->keepNow(documents());
}

} // namespace platform
