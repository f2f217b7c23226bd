#pragma once

#include "Clock.h"
#include "DocumentBinding.h"
#include "TextSearch.h"

#include <Qsci/qsciscintilla.h>

#include <string_view>
#include <vector>

namespace platform {

/// A plain-text editing control that keeps its text as UTF-8 bytes, exactly as given: every line
/// ending, NUL and separator character stays as it was. It keeps the undo history and a save
/// point, so undoing back to the last save makes the text unedited again.
///
/// The control holds the text itself; it reports edits by `modificationChanged` and gives the
/// whole text only when asked, so no keystroke costs more in a large document than in a small one.
class TextEditor final : public QsciScintilla {
    Q_OBJECT

public:
    /// An editor with no text.
    explicit TextEditor(QWidget *parent = nullptr);
    /// An editor that takes over the text `text` is bound to, as loadText() does.
    explicit TextEditor(TextBinding text, QWidget *parent = nullptr);

    /// Replaces the whole text, clears the undo history and marks the text as saved. A large text
    /// arrives in pieces over the next turns of the event loop, so that the editor shows and
    /// answers at once; it is read-only until the text is complete. Throws FileError when there
    /// is not memory enough to begin.
    void loadText(QByteArray utf8);

    /// Replaces the whole text with `utf8`, as read from the file again, and marks it as saved.
    /// The view stays where it was, and the replacement is one step that can be undone, unless
    /// the texts are too large for the undo history to keep a copy.
    void replaceText(const QByteArray &utf8);

    /// Whether part of a text given to loadText() is still to come.
    bool isLoading() const;

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

    struct Replacement {
        TextRange range;
        QByteArray utf8;
    };

    /// Replaces each range, given in order and apart, as one step that can be undone.
    void replaceRanges(const std::vector<Replacement> &replacements);

    /// Makes the text `utf8` by one edit that can be undone, replacing only the part that
    /// differs, and leaves the save point where it was: a recovered text shows as unsaved
    /// changes, and undoing them goes back to what was saved.
    void replaceTextAsEdit(const QByteArray &utf8);

    /// Where the time comes from that decides when a pause in typing begins a new undo step.
    void setClock(const Clock &clock) { m_clock = &clock; }

    /// Marks the current text as saved: it is unedited until the next change.
    void markSaved();

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

    /// An assistive technology started or stopped listening.
    void accessibilityActiveChanged(bool active);

signals:
    /// The text changed: `removed` bytes went at `position`, or `inserted` came in there.
    /// Loading a text is no change.
    void edited(qsizetype position, qsizetype removed, QByteArrayView inserted);

protected:
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void applyPalette();
    void wrapLines(qsizetype textSize);
    void sendModificationNotices(bool send);
    void holdCharacterIndex(bool hold);
    void reportCaretAndSelection();
    void reportChange(int position, int type, const char *text, int length);
    void matchNewLinesTo(const QByteArray &utf8);
    void loadNextPiece();
    bool appendLoadedText(qsizetype maximum);
    bool insertLoadedTail(qsizetype maximum);
    bool insertLoadedPiece(qsizetype start, qsizetype end);
    bool insertHeld(qsizetype position, const char *utf8, qsizetype size);
    void finishLoading();
    void giveUpLoading();
    void separateUndoStepBefore(const QString &typed);

    QByteArray m_textToLoad;
    qsizetype m_loadedSize = 0;  // the first piece, in place from the start
    qsizetype m_unloadedEnd = 0; // where the pieces in place at the end begin
    bool m_isIncomplete = false;
    int m_lastTypedKind = -1;
    const Clock *m_clock = &Clock::system();
    Date m_lastTypedAt;
    bool m_holdsCharacterIndex = false;
    long m_reportedCaret = -1;
    long m_reportedAnchor = -1;
};

} // namespace platform
