#pragma once

#include <QMainWindow>

namespace platform {

class Document;

/// The window of one open document. Its whole content is the document's editor; its title is the
/// document's name with the edited marker, and it carries the document's file path.
class DocumentWindow final : public QMainWindow {
    Q_OBJECT

public:
    DocumentWindow(Document *document, QWidget *editor);

    Document *document() const { return m_document; }

    /// Replaces the editor, as when the document is reverted to its file.
    void setEditor(QWidget *editor);

    /// Sizes the window so that its content area has `size`.
    void setContentSize(QSize size);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void updateTitle();

    Document *m_document;
};

} // namespace platform
