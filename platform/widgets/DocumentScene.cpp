#include "DocumentScene.h"

#include "DocumentBinding.h"

#include "TextEditor.h"

namespace platform {

TextEditor *DocumentValue::textEditor() const
{
    return m_holder;
}

QByteArray DocumentValue::lentText() const
{
    return m_holder->lentUtf8Text();
}

QByteArray TextBinding::takeInto(TextEditor *editor) const
{
    m_value->m_holder = editor;
    return m_value->takeText();
}

} // namespace platform
