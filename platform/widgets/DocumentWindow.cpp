#include "DocumentWindow.h"

#include "Document.h"
#include "DocumentController.h"
#include "DocumentMenus.h"
#include "TextEditor.h"

#include <QCloseEvent>
#include <QMenuBar>

namespace platform {

DocumentWindow::DocumentWindow(Document *document, QWidget *editor, DocumentController &controller)
    : m_document(document)
    , m_controller(controller)
{
    addFileMenu(menuBar(), document, controller);
    addEditMenu(menuBar(), this);
    controller.scene().addCommands(menuBar(), editor);
    setCentralWidget(editor);
    editor->setFocus();
    // A file dropped on the text, as from the file manager, opens; dragged text stays text.
    auto *text = qobject_cast<TextEditor *>(editor);
    if (!text)
        text = editor->findChild<TextEditor *>();
    if (text)
        connect(text, &TextEditor::SCN_URIDROPPED, this, [&controller](const QUrl &url) {
            if (url.isLocalFile())
                controller.openDocumentWithContentsOf(url.toLocalFile());
        });
    connect(document, &Document::changed, this, &DocumentWindow::updateTitle);
    updateTitle();
}

void DocumentWindow::setContentSize(QSize size)
{
    resize(size.width(), size.height() + menuBar()->sizeHint().height());
}

void DocumentWindow::closeEvent(QCloseEvent *event)
{
    // The controller hides the window itself once the document may close; the window never
    // closes on its own, so a cancelled prompt leaves everything as it was.
    event->ignore();
    m_controller.closeDocument(m_document);
}

void DocumentWindow::updateTitle()
{
    setWindowFilePath(m_document->filePath());
    setWindowTitle(m_document->displayName() + QStringLiteral("[*]"));
    setWindowModified(m_document->isEdited());
}

} // namespace platform
