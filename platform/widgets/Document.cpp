#include "Document.h"

#include "DocumentWindow.h"
#include "DraftKeeper.h"
#include "FileIO.h"
#include "TextEditor.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace platform {

Document::Document(std::unique_ptr<DocumentValue> value, QString filePath, int untitledNumber)
    : m_value(std::move(value))
    , m_filePath(std::move(filePath))
    , m_untitledNumber(untitledNumber)
{}

Document::~Document()
{
    // The keeper reads the editor one last time, and nobody may reach the window through
    // window() while it is being destroyed.
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

bool Document::isEdited() const
{
    const TextEditor *editor = textEditor();
    return editor && editor->isEdited();
}

DocumentWindow *Document::window() const
{
    return m_window;
}

void Document::showWindow(QSize contentSize, DocumentController &controller)
{
    if (!m_window) {
        m_window = new DocumentWindow(this, m_value->makeEditor(), controller);
        m_window->setContentSize(contentSize);
        if (TextEditor *editor = textEditor())
            connect(editor, &TextEditor::editedChanged, this, &Document::changed);
    }
    if (m_window->isMinimized())
        m_window->showNormal();
    else
        m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void Document::replaceFromFile(FileWrapper file)
{
    if (TextEditor *editor = textEditor())
        editor->replaceText(m_value->textOf(std::move(file)));
}

void Document::setEncoding(const QString &encoding)
{
    m_encoding = encoding;
    emit changed();
}

void Document::setOutsideChange(DiskChange change)
{
    if (change == m_outsideChange)
        return;
    m_outsideChange = change;
    emit changed();
}

void Document::savedTo(const QString &path, const DiskVersion &version)
{
    m_filePath = resolvedPath(path);
    m_diskVersion = version;
    m_outsideChange = DiskChange::None;
    m_isTransient = false;
    if (TextEditor *editor = textEditor())
        editor->markSaved();
    emit changed(); // the name may have changed even when the edited state has not
}

void Document::keepDrafts(DraftWriter &writer)
{
    if (!m_draftKeeper && textEditor())
        m_draftKeeper = std::make_unique<DraftKeeper>(*this, *textEditor(), writer);
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

} // namespace platform
