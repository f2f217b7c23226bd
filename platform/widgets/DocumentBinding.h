#pragma once

#include "DocumentScene.h"

#include <QByteArray>

#include <functional>

namespace platform {

/// A binding to the text of one open document, which a text editor takes: the text moves out of
/// the document's value into the editor, which answers for it from then on. Nothing is copied,
/// so the editor can let go of a large text piece by piece as it takes it.
class TextBinding final {
public:
    explicit TextBinding(DocumentValue &value)
        : m_value(&value)
    {}

    /// Hands the text over to `editor`, once: the value keeps none of it.
    QByteArray takeInto(TextEditor *editor) const;

private:
    DocumentValue *m_value;
};

template <class Value> class DocumentBinding;

/// One open document of type `Value`; its editor is made by `makeEditor`.
template <class Value> class DocumentValueOf final : public DocumentValue {
public:
    using MakeEditor = std::function<QWidget *(DocumentBinding<Value>)>;

    DocumentValueOf(Value value, MakeEditor makeEditor)
        : m_value(std::move(value))
        , m_makeEditor(std::move(makeEditor))
    {}

    FileWrapper fileWrapper() const override
    {
        if (!m_text || !textEditor())
            return m_value.fileWrapper();
        Value current = m_value;
        current.*m_text = lentText();
        return current.fileWrapper();
    }

    QByteArray textOf(FileWrapper file) const override
    {
        Value read(ReadConfiguration{std::move(file)});
        return m_text ? read.*m_text
                      : read.fileWrapper().regularFileContents().value_or(QByteArray());
    }

    QWidget *makeEditor() override { return m_makeEditor(DocumentBinding<Value>(*this)); }

    void bindText(QByteArray Value::*member) { m_text = member; }

private:
    QByteArray takeText() override { return m_text ? std::move(m_value.*m_text) : QByteArray(); }

    Value m_value;
    MakeEditor m_makeEditor;
    QByteArray Value::*m_text = nullptr;
};

/// The document group's read-write binding to one open document, handed to its editor.
template <class Value> class DocumentBinding final {
public:
    explicit DocumentBinding(DocumentValueOf<Value> &value)
        : m_value(&value)
    {}

    /// A binding to the document's text, kept in `member`, for a text editor.
    TextBinding text(QByteArray Value::*member) const
    {
        m_value->bindText(member);
        return TextBinding(*m_value);
    }

private:
    DocumentValueOf<Value> *m_value;
};

} // namespace platform
