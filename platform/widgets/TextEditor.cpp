#include "TextEditor.h"

#include "DocumentAlerts.h"
#include "EditorAccessible.h"
#include "FileError.h"
#include "TextPieces.h"

#include <QAccessible>
#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QPalette>
#include <QSignalBlocker>
#include <QTimer>

#include <algorithm>
#include <new>

namespace platform {
namespace {

// The first screens of a large text show at once; the rest follows in pieces of a few
// milliseconds' work each, from the end of the text backwards, so that each piece the editor
// takes is let go of by the text being loaded: the two never hold the whole text at once.
constexpr qsizetype firstPieceSize = qsizetype(256) * 1024;
constexpr qsizetype pieceSize = qsizetype(4) * 1024 * 1024;

// Scintilla takes colours as 0x00BBGGRR.
long scintillaColour(const QColor &colour)
{
    return long(colour.red()) | (long(colour.green()) << 8) | (long(colour.blue()) << 16);
}

} // namespace

TextEditor::TextEditor(QWidget *parent)
    : QsciScintilla(parent)
{
    EditorAccessible::install();
    SendScintilla(SCI_SETCODEPAGE, SC_CP_UTF8);
    // What is pasted is inserted as it is, line endings included.
    SendScintilla(SCI_SETPASTECONVERTENDINGS, false);
    // The lines on the screen keep their layout between paints: wrapped where they are seen, a
    // large text's visible lines would otherwise be laid out again at every keystroke.
    SendScintilla(SCI_SETLAYOUTCACHE, SC_CACHE_PAGE);
    // No annotations: while they may show, every inserted line is laid out and wrapped at once
    // to learn its height, which would wrap a whole large text as it loads.
    SendScintilla(SCI_ANNOTATIONSETVISIBLE, ANNOTATION_HIDDEN);
    // Paper is white whatever the desktop's theme.
    SendScintilla(SCI_SETPRINTCOLOURMODE, SC_PRINT_BLACKONWHITE);
    for (int margin = 0; margin < 5; ++margin)
        SendScintilla(SCI_SETMARGINWIDTHN, margin, 0L);
    setFrameShape(QFrame::NoFrame);
    setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    applyPalette();
    // Every text is wrapped at the window's width. Set after the font: set before it, a keystroke
    // in a 10 MB line took a quarter longer (bench_long_line), for a cause not yet found.
    SendScintilla(SCI_SETWRAPMODE, SC_WRAP_WORD);
    SendScintilla(SCI_SETHSCROLLBAR, false);
    loadText({});
    connect(this, &TextEditor::SCN_UPDATEUI, this, [this](int updated) {
        if (updated & SC_UPDATE_SELECTION)
            reportCaretAndSelection();
    });
    connect(this, &TextEditor::SCN_MODIFIED, this, &TextEditor::reportChange);
}

TextEditor::TextEditor(TextBinding text, QWidget *parent)
    : TextEditor(parent)
{
    loadText(text.takeInto(this));
}

void TextEditor::loadText(QByteArray utf8)
{
    // A document without per-character style bytes: plain text needs none, and they would
    // double the memory a large file takes. One byte more than the text, so that inserting it
    // never grows the buffer.
    const long options = SC_DOCUMENTOPTION_STYLES_NONE |
                         (utf8.size() > 0x7fffffff ? SC_DOCUMENTOPTION_TEXT_LARGE : 0);
    // Scintilla lets a failed allocation here through, which its callers take as out of memory;
    // the text shown so far stays as it is either way.
    const long document =
        SendScintilla(SCI_CREATEDOCUMENT, static_cast<unsigned long>(utf8.size() + 1), options);
    if (!document)
        throw FileError::outOfMemory();
    SendScintilla(SCI_SETDOCPOINTER, 0UL, document);
    SendScintilla(SCI_RELEASEDOCUMENT, 0UL, document); // the view now holds the only reference
    // Without a lexer that marks the text styled, the editor asks for styling before every
    // paint and, unanswered, compares each laid-out line with the text again: a long line costs
    // that on every keystroke. The null lexer answers at once and changes nothing.
    SendScintilla(SCI_SETLEXER, SCLEX_NULL);
    m_holdsCharacterIndex = false; // a new document has none
    holdCharacterIndex(EditorAccessible::someoneListens());
    wrapLines(utf8.size());
    matchNewLinesTo(utf8);
    SendScintilla(SCI_SETUNDOCOLLECTION, false);
    sendModificationNotices(false);
    m_textToLoad = std::move(utf8);
    m_loadedSize = 0;
    m_unloadedEnd = m_textToLoad.size();
    m_isIncomplete = false;
    if (!appendLoadedText(firstPieceSize)) {
        m_textToLoad = QByteArray();
        throw FileError::outOfMemory();
    }
    if (isLoading()) {
        setReadOnly(true);
        QTimer::singleShot(0, this, &TextEditor::loadNextPiece);
    } else {
        finishLoading();
    }
}

void TextEditor::replaceText(const QByteArray &utf8)
{
    // Undo keeps a copy of both texts; past this the reload is not worth holding twice.
    constexpr qsizetype largestUndoableReplacement = qsizetype(16) * 1024 * 1024;
    const long firstLine = SendScintilla(SCI_GETFIRSTVISIBLELINE);
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    if (isLoading() || utf8.size() + SendScintilla(SCI_GETLENGTH) > largestUndoableReplacement) {
        loadText(utf8);
    } else {
        wrapLines(utf8.size());
        matchNewLinesTo(utf8);
        SendScintilla(SCI_BEGINUNDOACTION);
        SendScintilla(SCI_CLEARALL);
        const bool appended = insertHeld(0, utf8.constData(), utf8.size());
        SendScintilla(SCI_ENDUNDOACTION);
        SendScintilla(SCI_SETSAVEPOINT);
        if (!appended)
            giveUpLoading();
    }
    SendScintilla(SCI_GOTOPOS, qMin(caret, SendScintilla(SCI_GETLENGTH)));
    SendScintilla(SCI_SETFIRSTVISIBLELINE, firstLine);
}

bool TextEditor::isLoading() const
{
    return m_loadedSize < m_unloadedEnd;
}

// A large text arrives a piece per turn of the event loop, so that its window shows at once and
// answers while the rest comes in.
void TextEditor::loadNextPiece()
{
    if (!isLoading())
        return;
    if (!insertLoadedTail(pieceSize)) {
        giveUpLoading();
        return;
    }
    if (isLoading())
        QTimer::singleShot(0, this, &TextEditor::loadNextPiece);
    else
        finishLoading();
}

// Puts the first piece of the text being loaded in place, about `maximum` bytes cut after a line
// ending: Scintilla lays out a whole line again whenever it grows, so a line never arrives in
// parts.
bool TextEditor::appendLoadedText(qsizetype maximum)
{
    const qsizetype end = pieceEnd(m_textToLoad, 0, maximum);
    if (!insertLoadedPiece(0, end))
        return false;
    m_loadedSize = end;
    return true;
}

// Puts the last piece still to come in place, whole lines of about `maximum` bytes, and lets go
// of it in the text being loaded, unless another holder shares that text.
bool TextEditor::insertLoadedTail(qsizetype maximum)
{
    const qsizetype start = tailPieceStart(m_textToLoad, m_loadedSize, m_unloadedEnd, maximum);
    if (!insertLoadedPiece(start, m_unloadedEnd))
        return false;
    m_unloadedEnd = start;
    if (m_textToLoad.isDetached()) {
        m_textToLoad.truncate(start);
        m_textToLoad.squeeze(); // gives the memory back
    }
    return true;
}

// The text stays at its save point, so loading never counts as an edit.
bool TextEditor::insertLoadedPiece(qsizetype start, qsizetype end)
{
    const QSignalBlocker quiet(this);
    const bool wasReadOnly = isReadOnly();
    SendScintilla(SCI_SETREADONLY, false);
    const bool inserted = insertHeld(m_loadedSize, m_textToLoad.constData() + start, end - start);
    SendScintilla(SCI_SETREADONLY, wasReadOnly);
    if (inserted)
        SendScintilla(SCI_SETSAVEPOINT);
    return inserted;
}

void TextEditor::finishLoading()
{
    if (isLoading() && !insertLoadedTail(m_unloadedEnd - m_loadedSize))
        giveUpLoading();
    m_textToLoad = QByteArray();
    m_loadedSize = 0;
    m_unloadedEnd = 0;
    sendModificationNotices(true);
    SendScintilla(SCI_SETUNDOCOLLECTION, true);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_SETSAVEPOINT);
    setReadOnly(m_isIncomplete);
}

void TextEditor::accessibilityActiveChanged(bool active)
{
    holdCharacterIndex(active);
    m_reportedCaret = SendScintilla(SCI_GETCURRENTPOS);
    m_reportedAnchor = SendScintilla(SCI_GETANCHOR);
}

// The index of where lines begin in characters is what keeps each offset cheap; it costs a little
// on every edit, so it is kept only while someone reads offsets. Scintilla counts allocations, so
// each is matched by one release.
void TextEditor::holdCharacterIndex(bool hold)
{
    if (hold == m_holdsCharacterIndex)
        return;
    SendScintilla(hold ? SCI_ALLOCATELINECHARACTERINDEX : SCI_RELEASELINECHARACTERINDEX,
                  SC_LINECHARACTERINDEX_UTF32);
    m_holdsCharacterIndex = hold;
}

void TextEditor::reportCaretAndSelection()
{
    if (!EditorAccessible::someoneListens())
        return;
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    const long anchor = SendScintilla(SCI_GETANCHOR);
    if (caret != m_reportedCaret) {
        QAccessibleTextCursorEvent moved(this, EditorAccessible::offsetOf(*this, caret));
        QAccessible::updateAccessibility(&moved);
    }
    // A selection that appears, changes or goes; not an empty one moving with the caret.
    const bool selectionChanged = anchor != m_reportedAnchor || caret != m_reportedCaret;
    if (selectionChanged && (anchor != caret || m_reportedAnchor != m_reportedCaret)) {
        const int start = EditorAccessible::offsetOf(*this, std::min(caret, anchor));
        const int end = EditorAccessible::offsetOf(*this, std::max(caret, anchor));
        QAccessibleTextSelectionEvent selected(this, start, end);
        QAccessible::updateAccessibility(&selected);
    }
    m_reportedCaret = caret;
    m_reportedAnchor = anchor;
}

// Changes arrive only while modification notices flow: once a text is loaded.
void TextEditor::reportChange(int position, int type, const char *text, int length)
{
    if (type & SC_MOD_INSERTTEXT)
        emit edited(position, 0, QByteArrayView(text, text ? length : 0));
    else if (type & SC_MOD_DELETETEXT)
        emit edited(position, length, {});
    if (!EditorAccessible::someoneListens() || !text ||
        !(type & (SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT)))
        return;
    const int offset = EditorAccessible::offsetOf(*this, position);
    const QString changed = QString::fromUtf8(text, length);
    if (type & SC_MOD_INSERTTEXT) {
        QAccessibleTextInsertEvent inserted(this, offset, changed);
        QAccessible::updateAccessibility(&inserted);
    } else {
        QAccessibleTextRemoveEvent removed(this, offset, changed);
        QAccessible::updateAccessibility(&removed);
    }
}

// Each notice of a change carries a copy of the changed text, for drafts and assistive
// technologies; none flows while a text is loaded, which is no change.
void TextEditor::sendModificationNotices(bool send)
{
    SendScintilla(SCI_SETMODEVENTMASK, send ? long(SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT) : 0L);
}

// Wrapping measures every character: a small text is wrapped whole in idle time, but 10 MB of
// mixed scripts would keep the processor busy for seconds after it shows, so a larger text is
// wrapped where it is seen, and its scroll bar counts each line not yet seen as one row.
void TextEditor::wrapLines(qsizetype textSize)
{
    constexpr qsizetype largestWrappedWhole = qsizetype(1024) * 1024;
    // SCI_SETWRAPINIDLE comes with the patched editing component; Debian's ignores it.
    constexpr unsigned int setWrapInIdle = 9500;
    SendScintilla(setWrapInIdle, textSize <= largestWrappedWhole);
}

// Scintilla mostly keeps running out of memory to itself and only records it, so a text it could
// not take whole would otherwise look complete, and saving it would cut the file short.
bool TextEditor::insertHeld(qsizetype position, const char *utf8, qsizetype size)
{
    try {
        // With an explicit length, so that NUL bytes are text rather than the end of it.
        SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(position), long(position));
        SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(size), utf8);
    } catch (const std::bad_alloc &) {
        return false;
    }
    if (SendScintilla(SCI_GETSTATUS) == SC_STATUS_OK)
        return true;
    SendScintilla(SCI_SETSTATUS, SC_STATUS_OK);
    return false;
}

void TextEditor::giveUpLoading()
{
    m_textToLoad = QByteArray();
    m_loadedSize = 0;
    m_unloadedEnd = 0;
    m_isIncomplete = true;
    setReadOnly(true);
    showError(tr("There isn’t enough memory to hold the whole text. What is shown is incomplete "
                 "and can’t be saved."),
              window());
}

QByteArray TextEditor::utf8Text()
{
    const QByteArray lent = lentUtf8Text();
    return {lent.constData(), lent.size()};
}

QByteArray TextEditor::lentUtf8Text()
{
    if (m_isIncomplete)
        throw FileError(FileError::WriteUnknown,
                        tr("The text is incomplete: there wasn’t enough memory to hold it all."));
    const std::string_view text = textView();
    return QByteArray::fromRawData(text.data(), qsizetype(text.size()));
}

std::string_view TextEditor::textView()
{
    if (isLoading())
        finishLoading();
    const auto length = size_t(SendScintilla(SCI_GETLENGTH));
    // Scintilla hands out pointers as integers. NOLINTNEXTLINE(performance-no-int-to-ptr)
    const auto *text = reinterpret_cast<const char *>(SendScintilla(SCI_GETCHARACTERPOINTER));
    return {text, length};
}

// From the last range to the first, so that each range is still where it was found.
void TextEditor::replaceRanges(const std::vector<Replacement> &replacements)
{
    SendScintilla(SCI_BEGINUNDOACTION);
    std::for_each(replacements.rbegin(), replacements.rend(), [this](const Replacement &each) {
        SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(each.range.start),
                      long(each.range.end));
        SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(each.utf8.size()),
                      each.utf8.constData());
    });
    SendScintilla(SCI_ENDUNDOACTION);
    m_lastTypedKind = -1;
}

void TextEditor::replaceTextAsEdit(const QByteArray &utf8)
{
    const std::string_view current = textView();
    const auto shortest = qsizetype(std::min(current.size(), size_t(utf8.size())));
    const auto isContinuation = [&](qsizetype at) {
        return at < utf8.size() && (uchar(utf8[at]) & 0xc0) == 0x80;
    };
    qsizetype prefix = 0;
    while (prefix < shortest && current[size_t(prefix)] == utf8[prefix])
        ++prefix;
    while (prefix > 0 && isContinuation(prefix)) // never within a character
        --prefix;
    qsizetype suffix = 0;
    const auto currentSize = qsizetype(current.size());
    while (suffix < shortest - prefix &&
           current[size_t(currentSize - suffix - 1)] == utf8[utf8.size() - suffix - 1])
        ++suffix;
    while (suffix > 0 && isContinuation(utf8.size() - suffix))
        --suffix;
    wrapLines(utf8.size());
    SendScintilla(SCI_BEGINUNDOACTION);
    SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(prefix),
                  long(currentSize - suffix));
    SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(utf8.size() - prefix - suffix),
                  utf8.constData() + prefix);
    SendScintilla(SCI_ENDUNDOACTION);
    m_lastTypedKind = -1;
}

void TextEditor::markSaved()
{
    SendScintilla(SCI_SETSAVEPOINT);
}

// Input methods ask for the text around the caret after every keystroke. QScintilla answers with
// the whole paragraph, which in a file without blank lines is the whole file, copied and
// converted each time. The caret's line, at most a few hundred bytes either side, is context
// enough and costs the same in any document.
QVariant TextEditor::inputMethodQuery(Qt::InputMethodQuery query) const
{
    if (query != Qt::ImSurroundingText && query != Qt::ImCursorPosition &&
        query != Qt::ImAnchorPosition)
        return QsciScintilla::inputMethodQuery(query);
    constexpr long reach = 512;
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    const long line = SendScintilla(SCI_LINEFROMPOSITION, caret);
    const long start = qMax(SendScintilla(SCI_POSITIONFROMLINE, line),
                            SendScintilla(SCI_POSITIONBEFORE, qMax(0L, caret - reach + 1)));
    const long end = qMin(SendScintilla(SCI_GETLINEENDPOSITION, line),
                          SendScintilla(SCI_POSITIONAFTER, caret + reach - 1));
    // NOLINTNEXTLINE(performance-no-int-to-ptr): Scintilla hands out pointers as integers.
    const auto *text = reinterpret_cast<const char *>(
        SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(start), end - start));
    const auto charactersBefore = [&](long position) {
        return QString::fromUtf8(text, qBound(start, position, end) - start).size();
    };
    switch (query) {
    case Qt::ImSurroundingText:
        return QString::fromUtf8(text, end - start);
    case Qt::ImCursorPosition:
        return charactersBefore(caret);
    default:
        return charactersBefore(SendScintilla(SCI_GETANCHOR));
    }
}

// A key pressed with Ctrl or Alt is a command, never text: Scintilla would type the "=" of an
// unbound Ctrl+= into the document. The zoom keys are the desktop's; Scintilla keeps its own
// bindings (Ctrl+Left and the like), which need no text.
void TextEditor::keyPressEvent(QKeyEvent *event)
{
    if (!(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        separateUndoStepBefore(event->text());
        QsciScintilla::keyPressEvent(event);
        return;
    }
    if (event->modifiers() & Qt::ControlModifier) {
        switch (event->key()) {
        case Qt::Key_Equal:
        case Qt::Key_Plus:
            zoomIn();
            return;
        case Qt::Key_Minus:
            zoomOut();
            return;
        case Qt::Key_0:
            zoomTo(0);
            return;
        default:
            break;
        }
    }
    QKeyEvent withoutText(event->type(), event->key(), event->modifiers(), QString(),
                          event->isAutoRepeat(), ushort(event->count()));
    QsciScintilla::keyPressEvent(&withoutText);
    event->setAccepted(withoutText.isAccepted());
}

// One undo takes back at most a word, a run of spaces, a line ending or what was typed before a
// pause, as in the desktop's other editors: Scintilla by itself would take back everything typed
// in a row, paragraphs at once.
void TextEditor::separateUndoStepBefore(const QString &typed)
{
    if (typed.isEmpty() ||
        (typed.front().category() == QChar::Other_Control && typed.front() != QLatin1Char('\r')))
        return;
    const QChar first = typed.front();
    const int kind = first == QLatin1Char('\r') || first == QLatin1Char('\n') ? 0
                     : first.isSpace()                                        ? 1
                                                                              : 2;
    constexpr std::chrono::milliseconds pause(1000);
    const Date now = m_clock->now();
    if (kind != m_lastTypedKind || kind == 0 || now - m_lastTypedAt >= pause) {
        // An empty undo action is a boundary that typing does not merge across.
        SendScintilla(SCI_BEGINUNDOACTION);
        SendScintilla(SCI_ENDUNDOACTION);
    }
    m_lastTypedKind = kind;
    m_lastTypedAt = now;
}

void TextEditor::changeEvent(QEvent *event)
{
    QsciScintilla::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        applyPalette();
}

// The text area takes the desktop's text colours, so a dark theme gives a dark editor.
void TextEditor::applyPalette()
{
    const QPalette colours = palette();
    for (const int style : {int(STYLE_DEFAULT), 0}) {
        SendScintilla(SCI_STYLESETBACK, style, scintillaColour(colours.color(QPalette::Base)));
        SendScintilla(SCI_STYLESETFORE, style, scintillaColour(colours.color(QPalette::Text)));
    }
    SendScintilla(SCI_SETCARETFORE, scintillaColour(colours.color(QPalette::Text)));
    SendScintilla(SCI_SETSELBACK, true, scintillaColour(colours.color(QPalette::Highlight)));
    SendScintilla(SCI_SETSELFORE, true, scintillaColour(colours.color(QPalette::HighlightedText)));
}

// The Return key types the line ending the text already uses, so that a line typed into a file
// with CR LF lines does not mix endings. The text itself is never converted.
void TextEditor::matchNewLinesTo(const QByteArray &utf8)
{
    const auto firstBreak = std::find_if(utf8.begin(), utf8.end(), isLineBreak);
    int mode = SC_EOL_LF;
    if (firstBreak != utf8.end() && *firstBreak == '\r')
        mode = firstBreak + 1 != utf8.end() && firstBreak[1] == '\n' ? SC_EOL_CRLF : SC_EOL_CR;
    SendScintilla(SCI_SETEOLMODE, mode);
}

} // namespace platform
