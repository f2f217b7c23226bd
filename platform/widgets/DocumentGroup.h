#pragma once

#include "DocumentBinding.h"
#include "DocumentContent.h"

#include <concepts>

namespace platform {

/// A document type that the group can read and write. Its reader throws FileError.
template <class Document>
concept FileDocument = std::default_initializable<Document> && std::copyable<Document> &&
    std::constructible_from<Document, ReadConfiguration> && requires(const Document &document)
{
    {
        Document::readableContentTypes()
        } -> std::convertible_to<QStringList>;
    {
        Document::writableContentTypes()
        } -> std::convertible_to<QStringList>;
    {
        document.fileWrapper()
        } -> std::same_as<FileWrapper>;
};

/// The scene of a document-based application: one window per open document of type `Document`,
/// whose content is the editor that `makeEditor` builds for the document's binding.
template <FileDocument Document, class Editor> class DocumentGroup final {
public:
    using NewDocument = std::function<Document()>;
    using MakeEditor = std::function<Editor *(DocumentBinding<Document>)>;

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

    DocumentScene scene() const
    {
        const MakeEditor makeEditor = m_makeEditor;
        const NewDocument newDocument = m_newDocument;
        const auto addCommands = m_addCommands;
        return DocumentScene{
            Document::readableContentTypes(),
            Document::writableContentTypes(),
            [=] { return std::make_unique<Content>(newDocument(), makeEditor); },
            [=](FileWrapper file) {
                return std::make_unique<Content>(Document(ReadConfiguration{std::move(file)}),
                                                 makeEditor);
            },
            m_defaultSize,
            [addCommands](QMenuBar *menuBar, QWidget *editor) {
                if (addCommands)
                    addCommands(menuBar, static_cast<Editor *>(editor));
            },
        };
    }

private:
    class Content final : public DocumentContent {
    public:
        Content(Document document, MakeEditor makeEditor)
            : m_state(std::make_shared<typename DocumentBinding<Document>::State>())
            , m_makeEditor(std::move(makeEditor))
        {
            m_state->value = std::move(document);
        }

        QWidget *makeEditor(std::function<void(bool)> editedChanged) override
        {
            m_state->editedChanged = std::move(editedChanged);
            return m_makeEditor(DocumentBinding<Document>(m_state));
        }

        FileWrapper fileWrapper() const override
        {
            return DocumentBinding<Document>(m_state).value().fileWrapper();
        }

        void markSaved() override
        {
            if (m_state->saved)
                m_state->saved();
        }

        void replaceFromFile(FileWrapper file) override
        {
            Document document(ReadConfiguration{std::move(file)});
            if (m_state->replaced)
                m_state->replaced(std::move(document));
            else
                m_state->value = std::move(document);
        }

    private:
        std::shared_ptr<typename DocumentBinding<Document>::State> m_state;
        MakeEditor m_makeEditor;
    };

    NewDocument m_newDocument;
    MakeEditor m_makeEditor;
    QSize m_defaultSize;
    std::function<void(QMenuBar *, Editor *)> m_addCommands;
};

} // namespace platform
