#pragma once

#include <functional>
#include <memory>

namespace platform {

/// The document group's read-write handle on one open document, handed to the document's editor.
///
/// An editor that keeps the document in a form of its own, such as a text control's buffer,
/// holds the value: from then on `value()` reads through the editor, and the editor reports
/// whether it differs from the saved file with `setEdited`. Nothing is copied per edit.
template <class Document> class DocumentBinding final {
public:
    struct State {
        Document value;
        std::function<Document()> heldByEditor;
        std::function<void(bool)> editedChanged; // the group listens
        std::function<void()> saved;             // the editor listens
        std::function<void(Document)> replaced;  // the editor listens
    };

    explicit DocumentBinding(std::shared_ptr<State> state)
        : m_state(std::move(state))
    {}

    /// The document's current value. With an editor holding it, the value may share the
    /// editor's own storage, and then it holds only until the document next changes: use it at
    /// once, as a save does, and copy what is kept.
    Document value() const
    {
        return m_state->heldByEditor ? m_state->heldByEditor() : m_state->value;
    }

    /// Hands the keeping of the value to the editor: `current` yields the value when asked,
    /// `saved` is called when the group has saved it, so the editor can mark its save point, and
    /// `replaced` when the group has read the file again, so the editor shows what it holds now.
    void holdInEditor(std::function<Document()> current, const std::function<void()> &saved,
                      std::function<void(Document)> replaced) const
    {
        m_state->value = Document();
        m_state->heldByEditor = std::move(current);
        m_state->saved = saved;
        m_state->replaced = std::move(replaced);
    }

    /// Tells the group whether the value differs from the last saved one.
    void setEdited(bool edited) const
    {
        if (m_state->editedChanged)
            m_state->editedChanged(edited);
    }

private:
    std::shared_ptr<State> m_state;
};

} // namespace platform
