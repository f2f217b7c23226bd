#include "DocumentController.h"

#include "Document.h"
#include "DocumentAlerts.h"
#include "DocumentWindow.h"
#include "FileError.h"
#include "FileIO.h"
#include "Panels.h"
#include "RecentDocuments.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>

#include <algorithm>

namespace platform {
namespace {

DocumentController *sharedController = nullptr;

QWidget *windowOf(const Document *document)
{
    return document->window();
}

QStringList withAllFiles(QStringList mimeTypes)
{
    mimeTypes.append(QStringLiteral("application/octet-stream"));
    return mimeTypes;
}

} // namespace

DocumentController::DocumentController(DocumentScene scene, QObject *parent)
    : QObject(parent)
    , m_scene(std::move(scene))
{
    sharedController = this;
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
    if (sharedController == this)
        sharedController = nullptr;
}

DocumentController *DocumentController::shared()
{
    return sharedController;
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

Document *DocumentController::openUntitledDocument()
{
    Document *document = newDocument();
    document->setTransient(true);
    return document;
}

void DocumentController::openDocument()
{
    OpenPanel panel(QApplication::activeWindow());
    panel.setWindowTitle(tr("Open"));
    panel.setMimeTypeFilters(withAllFiles(m_scene.readableContentTypes));
    if (panel.exec() != QDialog::Accepted)
        return;
    for (const QString &path : panel.selectedFiles())
        openDocumentWithContentsOf(path);
}

Document *DocumentController::openDocumentWithContentsOf(const QString &path)
{
    const QString absolutePath = QFileInfo(path).absoluteFilePath();
    if (Document *open = documentForFile(absolutePath)) {
        showDocument(open);
        return open;
    }
    Document *transient = transientDocumentToReplace();
    std::unique_ptr<DocumentContent> content;
    try {
        content = m_scene.read(readFile(absolutePath));
    } catch (const FileError &error) {
        presentError(error, absolutePath);
        return nullptr;
    }
    Document *document = adopt(std::make_unique<Document>(std::move(content), absolutePath, 0));
    RecentDocuments::note(absolutePath);
    if (transient)
        discard(transient);
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
    try {
        const std::optional<QByteArray> bytes =
            document->content().fileWrapper().regularFileContents();
        if (!bytes)
            throw FileError(FileError::WriteUnknown);
        writeFileAtomically(path, *bytes);
    } catch (const FileError &error) {
        presentError(error, path);
        return false;
    }
    document->savedTo(path);
    RecentDocuments::note(path);
    return true;
}

void DocumentController::revertDocumentToSaved(Document *document)
{
    if (document->isUntitled() || !confirmRevert(*document, windowOf(document)))
        return;
    try {
        document->replaceContent(m_scene.read(readFile(document->filePath())));
    } catch (const FileError &error) {
        presentError(error, document->filePath());
    }
}

bool DocumentController::closeDocument(Document *document)
{
    if (document->isEdited()) {
        switch (askToSaveChanges(*document, windowOf(document))) {
        case SaveChoice::Cancel:
            return false;
        case SaveChoice::Save:
            if (!saveDocument(document))
                return false;
            break;
        case SaveChoice::DontSave:
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
    showDocument(adopted);
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
    if (released->window())
        released->window()->hide();
    released->deleteLater();
    if (m_documents.empty())
        emit lastDocumentClosed();
}

Document *DocumentController::mostRecentDocument() const
{
    if (m_mostRecent)
        return m_mostRecent;
    return m_documents.empty() ? nullptr : m_documents.back().get();
}

void DocumentController::showDocument(Document *document)
{
    document->showWindow(m_scene.defaultSize);
    m_mostRecent = document;
}

void DocumentController::presentError(const FileError &error, const QString &path) const
{
    showError(error.message(QDir::toNativeSeparators(path)), QApplication::activeWindow());
}

std::optional<QString> DocumentController::askForSaveLocation(Document *document) const
{
    SavePanel panel(windowOf(document));
    panel.setWindowTitle(tr("Save As"));
    panel.setMimeTypeFilters(withAllFiles(m_scene.writableContentTypes));
    if (document->isUntitled()) {
        panel.selectFile(document->displayName() + QStringLiteral(".txt"));
    } else {
        panel.setDirectoryUrl(QUrl::fromLocalFile(QFileInfo(document->filePath()).absolutePath()));
        panel.selectFile(QFileInfo(document->filePath()).fileName());
    }
    if (panel.exec() != QDialog::Accepted || panel.selectedFiles().isEmpty())
        return std::nullopt;
    return panel.selectedFiles().constFirst();
}

} // namespace platform
