#include "EditorView.h"

#include "FileError.h"
#include "TextEditor.h"

#include <QPointer>
#include <QVBoxLayout>

namespace scribbet {

EditorView::EditorView(platform::DocumentBinding<TextDocument> document)
    : m_document(std::move(document))
    , m_textEditor(new platform::TextEditor(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->addWidget(m_textEditor);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setMinimumSize(360, 240);

    m_textEditor->loadText(m_document.value().text);
    const QPointer<platform::TextEditor> editor = m_textEditor;
    m_document.holdInEditor(
        [editor] {
            // The editor outlives every save of its document; were it gone, saving nothing
            // would be worse than refusing.
            if (!editor)
                throw platform::FileError(platform::FileError::WriteUnknown);
            // A save writes straight from the editor's buffer, with no second copy of the text.
            return TextDocument(editor->lentUtf8Text());
        },
        [editor] {
            if (editor)
                editor->markSaved();
        },
        [editor](const TextDocument &reread) {
            if (editor)
                editor->replaceText(reread.text);
        });
    connect(m_textEditor, &platform::TextEditor::modificationChanged, this,
            [binding = m_document](bool edited) { binding.setEdited(edited); });
    setFocusProxy(m_textEditor);
}

} // namespace scribbet
