#pragma once

#include "Clock.h"
#include "Finding.h"

#include <Qsci/qsciscintilla.h>

#include <string_view>
#include <vector>

namespace platform {

/// The editing component as the text editor uses it: QScintilla set up for plain UTF-8 text kept
/// byte for byte, wrapped at the window's width, in the desktop's font and colours, with the
/// desktop's keys and undo steps. Only TextEditor, its loading and its accessible speak to it;
/// the rest of the program goes through TextEditor.
class ScintillaControl final : public QsciScintilla {
    Q_OBJECT

public:
    explicit ScintillaControl(QWidget *parent = nullptr);

    /// A new, empty document of `size` bytes to come, without per-character styles, replacing
    /// the current one. False when there is not memory enough for it.
    bool startDocument(qsizetype size);

    /// Inserts `size` bytes at `position`, NUL bytes included. False when Scintilla could not
    /// take them all, which it otherwise only records.
    bool insertHeld(qsizetype position, const char *utf8, qsizetype size);

    /// The whole text where Scintilla holds it, valid until the next change.
    std::string_view textView();

    /// Replaces each range, given in order and apart, as one step that can be undone.
    void replaceRanges(const std::vector<Replacement> &replacements);

    /// Makes the text `utf8` by one edit that can be undone, replacing only what differs.
    void replaceTextAsEdit(const QByteArray &utf8);

    /// A text of `size` bytes is wrapped whole in idle time when small, else where it is seen.
    void wrapLines(qsizetype size);

    /// The Return key types the line ending `utf8` uses first.
    void matchNewLinesTo(const QByteArray &utf8);

    /// Whether each change is reported by edited(); not while a text is loaded.
    void sendModificationNotices(bool send);

    /// Keeps the index of where lines begin in characters, which offsets in characters need.
    void holdCharacterIndex(bool hold);

    /// Where the time comes from that decides when a pause in typing begins a new undo step.
    void setClock(const Clock &clock) { m_clock = &clock; }

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

signals:
    /// The text changed: `removed` bytes went at `position`, or `inserted` came in there.
    void edited(qsizetype position, qsizetype removed, QByteArrayView inserted);

protected:
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void applyPalette();
    void reportChange(int position, int type, const char *text, int length);
    void separateUndoStepBefore(const QString &typed);

    int m_lastTypedKind = -1;
    const Clock *m_clock = &Clock::system();
    Date m_lastTypedAt;
    bool m_holdsCharacterIndex = false;
};

} // namespace platform
