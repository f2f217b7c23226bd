#pragma once

#include "DocumentBinding.h"

#include <concepts>
#include <functional>

namespace platform {

/// A document type that the group can read and write. Its reader throws FileError.
template <class Value>
concept FileDocument = std::default_initializable<Value> && std::copyable<Value> &&
    std::constructible_from<Value, ReadConfiguration> && requires(const Value &value)
{
    {
        Value::readableContentTypes()
        } -> std::convertible_to<QStringList>;
    {
        Value::writableContentTypes()
        } -> std::convertible_to<QStringList>;
    {
        value.fileWrapper()
        } -> std::same_as<FileWrapper>;
};

/// The scene of a document-based application: one window per open document of type `Value`,
/// whose content is the editor that `makeEditor` builds for the document's binding.
template <FileDocument Value, class Editor> class DocumentGroup final : public DocumentScene {
public:
    using NewDocument = std::function<Value()>;
    using MakeEditor = std::function<Editor *(DocumentBinding<Value>)>;

    DocumentGroup(NewDocument newDocument, MakeEditor makeEditor)
        : m_newDocument(std::move(newDocument))
        , m_makeEditor(std::move(makeEditor))
    {}

    /// The content size of a new document window, where no other size applies.
    DocumentGroup defaultSize(int width, int height) &&
    {
        m_defaultSize = QSize(width, height);
        return std::move(*this);
    }

    /// Menus of the application's own, added to every document window's menu bar after the
    /// platform's File and Edit menus; `add` is given the menu bar and the window's editor.
    DocumentGroup commands(std::function<void(QMenuBar *, Editor *)> add) &&
    {
        m_addCommands = std::move(add);
        return std::move(*this);
    }

    /// The scene as the framework takes it, shared by every thread that reads documents.
    std::shared_ptr<const DocumentScene> scene() const
    {
        return std::make_shared<DocumentGroup>(*this);
    }

    QStringList readableContentTypes() const override { return Value::readableContentTypes(); }
    QStringList writableContentTypes() const override { return Value::writableContentTypes(); }
    QSize defaultSize() const override { return m_defaultSize; }

    std::unique_ptr<DocumentValue> makeUntitled() const override
    {
        return std::make_unique<DocumentValueOf<Value>>(m_newDocument(), editorFactory());
    }

    std::unique_ptr<DocumentValue> read(FileWrapper file) const override
    {
        return std::make_unique<DocumentValueOf<Value>>(Value(ReadConfiguration{std::move(file)}),
                                                        editorFactory());
    }

    void addCommands(QMenuBar *menuBar, QWidget *editor) const override
    {
        if (m_addCommands)
            m_addCommands(menuBar, static_cast<Editor *>(editor));
    }

private:
    typename DocumentValueOf<Value>::MakeEditor editorFactory() const
    {
        return [makeEditor = m_makeEditor](DocumentBinding<Value> binding) -> QWidget * {
            return makeEditor(std::move(binding));
        };
    }

    NewDocument m_newDocument;
    MakeEditor m_makeEditor;
    QSize m_defaultSize;
    std::function<void(QMenuBar *, Editor *)> m_addCommands;
};

} // namespace platform
