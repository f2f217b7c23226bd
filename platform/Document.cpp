#include "Document.h"

#include "DocumentWindow.h"

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
    // The editor in the window reads the content, so the window goes first; and nobody may
    // reach it through window() while it is being destroyed.
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

void Document::showWindow(QSize contentSize)
{
    if (!m_window) {
        m_window = new DocumentWindow(this, makeEditor());
        m_window->setContentSize(contentSize);
    }
    if (m_window->isMinimized())
        m_window->showNormal();
    else
        m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void Document::savedTo(const QString &path)
{
    m_filePath = QFileInfo(path).absoluteFilePath();
    m_content->markSaved();
    m_isEdited = false;
    emit changed(); // once, for the name and the edited state together
}

void Document::replaceContent(std::unique_ptr<DocumentContent> content)
{
    m_content = std::move(content);
    if (m_window)
        m_window->setEditor(makeEditor());
    setEdited(false);
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
