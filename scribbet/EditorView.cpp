#include "EditorView.h"

#include "TextEditor.h"

#include <QVBoxLayout>

namespace scribbet {

// The text moves from the document into the editor as it is made: the editor holds the only
// copy, which it lets go of piece by piece as it takes a large text in.
EditorView::EditorView(platform::DocumentBinding<TextDocument> document)
    : m_document(document)
    , m_textEditor(new platform::TextEditor(m_document.text(&TextDocument::text), this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->addWidget(m_textEditor);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setMinimumSize(360, 240);
    setFocusProxy(m_textEditor);
}

} // namespace scribbet
