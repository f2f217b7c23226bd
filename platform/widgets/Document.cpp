#include "Document.h"

#include "DocumentWindow.h"
#include "DraftKeeper.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace platform {

Document::Document(std::unique_ptr<DocumentContent> content, QString filePath, int untitledNumber)
    : m_content(std::move(content))
    , m_filePath(std::move(filePath))
    , m_untitledNumber(untitledNumber)
{}

Document::~Document()
{
    // The keeper reads the editor one last time; the editor in the window reads the content, so
    // the window goes next; and nobody may reach it through window() while it is being destroyed.
    m_draftKeeper.reset();
    DocumentWindow *window = m_window;
    m_window = nullptr;
    delete window;
}

QString Document::displayName() const
{
    if (!isUntitled())
        return QFileInfo(m_filePath).fileName();
    const QString untitled = QCoreApplication::translate("Document", "Untitled");
    return m_untitledNumber <= 1 ? untitled
                                 : untitled + QLatin1Char(' ') + QString::number(m_untitledNumber);
}

DocumentWindow *Document::window() const
{
    return m_window;
}

void Document::showWindow(QSize contentSize, DocumentController &controller)
{
    if (!m_window) {
        m_window = new DocumentWindow(this, makeEditor(), controller);
        m_window->setContentSize(contentSize);
    }
    if (m_window->isMinimized())
        m_window->showNormal();
    else
        m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void Document::keepDrafts(DraftWriter &writer)
{
    if (!m_draftKeeper && m_window && m_window->textEditor())
        m_draftKeeper = std::make_unique<DraftKeeper>(*this, *m_window->textEditor(), writer);
}

void Document::savedTo(const QString &path, const DiskVersion &version)
{
    m_filePath = QFileInfo(path).absoluteFilePath();
    m_diskVersion = version;
    m_isTransient = false;
    m_content->markSaved();
    m_isEdited = false;
    emit changed(); // the name may have changed even when the edited state has not
}

Document::ModalScope::ModalScope(Document *document)
    : m_document(document)
{
    if (m_document)
        ++m_document->m_modalSessions;
}

Document::ModalScope::~ModalScope()
{
    if (m_document && --m_document->m_modalSessions == 0 && m_document->m_isDestroyedWhenFree)
        m_document->deleteLater();
}

void Document::destroyWhenFree()
{
    m_isDestroyedWhenFree = true;
    if (!isInModalSession())
        deleteLater();
}

void Document::setEdited(bool edited)
{
    if (edited == m_isEdited)
        return;
    m_isEdited = edited;
    emit changed();
}

QWidget *Document::makeEditor()
{
    return m_content->makeEditor([this](bool edited) { setEdited(edited); });
}

} // namespace platform
