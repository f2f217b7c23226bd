#include "DocumentWindow.h"

#include "Document.h"
#include "DocumentController.h"
#include "DocumentMenus.h"
#include "FindBar.h"
#include "TextEditor.h"

#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace platform {

DocumentWindow::DocumentWindow(Document *document, QWidget *editor, DocumentController &controller)
    : m_document(document)
    , m_controller(controller)
{
    m_text = document->textEditor();
    addFileMenu(menuBar(), document, controller);
    QMenu *edit = addEditMenu(menuBar(), this);
    controller.scene().addCommands(menuBar(), editor);
    setCentralWidget(editor);
    editor->setFocus();
    if (m_text) {
        // A file dropped on the text, as from the file manager, opens; dragged text stays text.
        connect(m_text, &TextEditor::fileDropped, this, [&controller](const QUrl &url) {
            controller.openFilesNamed({url.toString(QUrl::FullyEncoded)});
        });
        // The right-click menu is the Edit menu itself, so both show the same keys.
        connect(m_text, &TextEditor::contextMenuRequested, edit,
                [edit](QPoint at) { edit->exec(at); });
    }
    connect(document, &Document::changed, this, &DocumentWindow::updateTitle);
    updateTitle();
}

// Never larger than the screen's free area, at any scale: a window taller than the screen hides
// its last lines, and the find bar under them.
void DocumentWindow::setContentSize(QSize size)
{
    const QSize wanted(size.width(), size.height() + menuBar()->sizeHint().height());
    const QSize frame = frameGeometry().size() - geometry().size();
    resize(wanted.boundedTo(screen()->availableGeometry().size() - frame));
}

FindBar *DocumentWindow::findBar()
{
    if (!m_findBar && m_text) {
        auto *area = new QToolBar(tr("Find"), this);
        area->setObjectName(QStringLiteral("findArea"));
        area->setMovable(false);
        area->setFloatable(false);
        m_findBar = new FindBar(m_text, m_controller.lastSearch(), area);
        area->addWidget(m_findBar);
        addToolBar(Qt::BottomToolBarArea, area);
        area->hide();
        connect(m_findBar, &FindBar::finished, this, &DocumentWindow::hideFindBar);
    }
    return m_findBar;
}

void DocumentWindow::showFindBar(bool withReplace)
{
    if (FindBar *bar = findBar()) {
        bar->parentWidget()->show();
        bar->startFinding(withReplace);
    }
}

void DocumentWindow::hideFindBar()
{
    m_findBar->parentWidget()->hide();
    m_text->setFocus();
}

// No menu of toolbars: the find bar comes and goes by itself.
QMenu *DocumentWindow::createPopupMenu()
{
    return nullptr;
}

void DocumentWindow::closeEvent(QCloseEvent *event)
{
    // The controller hides the window itself once the document may close; the window never
    // closes on its own, so a cancelled prompt leaves everything as it was.
    event->ignore();
    // While a question is up or the file is being written, a request to close goes unheeded.
    if (!m_document->isInModalSession())
        m_controller.closeDocument(m_document);
}

void DocumentWindow::updateTitle()
{
    setWindowFilePath(m_document->filePath());
    // What another program did to the file shows at once, with nothing added to the text.
    QString title = m_document->displayName();
    if (!m_document->encoding().isEmpty())
        title = tr("%1 (%2)").arg(title, m_document->encoding());
    if (m_document->outsideChange() == DiskChange::Changed)
        title = tr("%1 (changed on disk)").arg(title);
    else if (m_document->outsideChange() == DiskChange::Deleted)
        title = tr("%1 (deleted or moved)").arg(title);
    setWindowTitle(title + QStringLiteral("[*]"));
    setWindowModified(m_document->isEdited());
    // What a screen reader names the text by.
    if (m_text)
        m_text->setName(m_document->displayName());
}

} // namespace platform
