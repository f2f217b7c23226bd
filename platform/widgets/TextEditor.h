#pragma once

#include "Clock.h"
#include "DocumentBinding.h"
#include "Finding.h"

#include <QWidget>

#include <memory>
#include <string_view>
#include <vector>

class QUrl;

namespace platform {

class ScintillaControl;
class TextLoading;

/// A plain-text editing control that keeps its text as UTF-8 bytes, exactly as given: every line
/// ending, NUL and separator character stays as it was. It keeps the undo history and a save
/// point, so undoing back to the last save makes the text unedited again.
///
/// This is what the rest of the program may ask of the text; the editing component behind it
/// (QScintilla) is the control's own. It reports each edit as it happens and gives the whole text
/// only when asked, so no keystroke costs more in a large document than in a small one.
class TextEditor final : public QWidget {
    Q_OBJECT

public:
    /// An editor with no text.
    explicit TextEditor(QWidget *parent = nullptr);
    /// An editor that takes over the text `text` is bound to, as loadText() does.
    explicit TextEditor(TextBinding text, QWidget *parent = nullptr);
    ~TextEditor() override;

    /// Replaces the whole text, clears the undo history and marks the text as saved. A large text
    /// arrives in pieces over the next turns of the event loop, so that the editor shows and
    /// answers at once; it is read-only until the text is complete. Throws FileError when there
    /// is not memory enough to begin.
    void loadText(QByteArray utf8);
    /// Whether part of a text given to loadText() is still to come.
    bool isLoading() const;

    /// Replaces the whole text with `utf8`, as read from the file again, and marks it as saved.
    /// The view stays where it was, and the replacement is one step that can be undone, unless
    /// the texts are too large for the undo history to keep a copy.
    void replaceText(const QByteArray &utf8);
    /// Makes the text `utf8` by one edit that can be undone, replacing only the part that
    /// differs, and leaves the save point where it was: a recovered text shows as unsaved
    /// changes, and undoing them goes back to what was saved.
    void replaceTextAsEdit(const QByteArray &utf8);
    /// Replaces each range, given in order and apart, as one step that can be undone.
    void replaceRanges(const std::vector<Replacement> &replacements);

    /// The whole text, as UTF-8. A text still loading is completed first. Throws FileError when
    /// the text could not be held whole, so that it is never saved cut short.
    QByteArray utf8Text();
    /// The whole text as utf8Text() gives it, but sharing the editor's own buffer instead of
    /// copying it: good only until the text next changes, so it is for work done at once and
    /// without turning the event loop, such as writing the file. Throws as utf8Text() does.
    QByteArray lentUtf8Text();
    /// The whole text where the editor holds it, completed first if still loading. It stays valid
    /// until the next change to the text.
    std::string_view textView();
    qsizetype length() const;
    bool isReadOnly() const;

    /// The selection in bytes; empty where the caret is.
    TextRange selection() const;
    /// Selects `range` and scrolls it into view.
    void select(TextRange range);
    QString selectedText() const;
    bool hasSelectedText() const;

    /// Where the caret is, and how many lines the text has.
    TextPlace caretPlace() const;
    qsizetype lineCount() const;
    /// Puts the caret at `place`, or as near as the text allows, and scrolls it into view. A text
    /// still loading is completed first, so that every line can be reached.
    void moveCaretTo(TextPlace place);
    void selectAll();

    /// Whether the text differs from the save point.
    bool isEdited() const;
    /// Marks the current text as saved: it is unedited until the next change.
    void markSaved();
    void undo();
    void redo();
    bool isUndoAvailable() const;
    bool isRedoAvailable() const;
    void cut();
    void copy();
    void paste();
    void removeSelectedText();

    void zoomIn();
    void zoomOut();
    void resetZoom();
    /// Steps of zoom from the desktop's text size.
    int zoom() const;

    /// The line at the top of the view.
    int firstVisibleLine() const;
    void setFirstVisibleLine(int line);

    /// Where the time comes from that decides when a pause in typing begins a new undo step.
    void setClock(const Clock &clock);
    /// What assistive technologies call the text, as the window calls its document.
    void setName(const QString &name);
    /// Prints the text through the desktop's print dialog, over this editor's window.
    void print(const QString &documentName);

signals:
    /// The text changed: `removed` bytes went at `position`, or `inserted` came in there.
    /// Loading a text is no change.
    void edited(qsizetype position, qsizetype removed, QByteArrayView inserted);
    /// The text left its save point, or came back to it.
    void editedChanged(bool edited);
    /// A file was dropped on the text.
    void fileDropped(const QUrl &file);
    /// The user asked for the context menu at `globalPosition`.
    void contextMenuRequested(const QPoint &globalPosition);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    void forward(QEvent *event);

    ScintillaControl *m_control;
    std::unique_ptr<TextLoading> m_loading;
    bool m_isForwarding = false;
};

} // namespace platform
