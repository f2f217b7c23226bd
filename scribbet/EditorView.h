#pragma once

#include "TextDocument.h"

#include "DocumentBinding.h"

#include <QWidget>

namespace platform {
class TextEditor;
}

namespace scribbet {

/// The whole content of a document window: one scrolling, editable text area in a 14-point
/// margin, all on the desktop's text background colour, never smaller than 360 by 240.
class EditorView final : public QWidget {
    Q_OBJECT

public:
    explicit EditorView(platform::DocumentBinding<TextDocument> document);

    platform::TextEditor *textEditor() const { return m_textEditor; }

private:
    platform::DocumentBinding<TextDocument> m_document;
    platform::TextEditor *m_textEditor;
};

} // namespace scribbet
