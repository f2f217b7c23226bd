#pragma once

#include <QMainWindow>

namespace platform {

class Document;
class DocumentController;
class FindBar;
class TextEditor;

/// The window of one open document. Its whole content is the document's editor; its title is the
/// document's name with the edited marker, and it carries the document's file path. Its menus and
/// its close button act on the document through the controller.
class DocumentWindow final : public QMainWindow {
    Q_OBJECT

public:
    DocumentWindow(Document *document, QWidget *editor, DocumentController &controller);

    Document *document() const { return m_document; }

    /// The text editor in the window's content, if it has one.
    TextEditor *textEditor() const { return m_text; }

    /// Sizes the window so that its content area has `size`, or as much as the screen holds.
    void setContentSize(QSize size);

    /// The find bar under the text, made when first asked for; shown with the replace row or
    /// without it when `show` says so.
    FindBar *findBar();
    void showFindBar(bool withReplace);

    QMenu *createPopupMenu() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void updateTitle();
    void hideFindBar();

    Document *m_document;
    DocumentController &m_controller;
    TextEditor *m_text = nullptr;
    FindBar *m_findBar = nullptr;
};

} // namespace platform
