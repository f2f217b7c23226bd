#include "ScintillaControl.h"

#include "TextPieces.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QPalette>
#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <algorithm>
#include <new>

namespace platform {
namespace {

// Scintilla takes colours as 0x00BBGGRR.
long scintillaColour(const QColor &colour)
{
    return long(colour.red()) | (long(colour.green()) << 8) | (long(colour.blue()) << 16);
}

// Room for edits in a new document's text, beyond the text itself.
constexpr qsizetype editingRoom = qsizetype(1) << 20;

} // namespace

ScintillaControl::ScintillaControl(QWidget *parent)
    : QsciScintilla(parent)
{
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
    // Ctrl+L is the window's Go to Line; the control would take it first and cut the line.
    if (QsciCommand *lineCut = standardCommands()->boundTo((Qt::CTRL | Qt::Key_L).toCombined()))
        lineCut->setKey(0);
    connect(this, &ScintillaControl::SCN_MODIFIED, this, &ScintillaControl::reportChange);
}

bool ScintillaControl::startDocument(qsizetype size)
{
    // A document without per-character style bytes: plain text needs none, and they would
    // double the memory a large file takes. Room beyond the text, so that neither inserting it
    // nor the first edits copy it into a larger buffer, which for a large text touches as much
    // fresh memory as the text itself. The room is small, since moving the text across it to
    // edit at the end touches it too.
    const long options =
        SC_DOCUMENTOPTION_STYLES_NONE | (size > 0x7fffffff ? SC_DOCUMENTOPTION_TEXT_LARGE : 0);
    // Scintilla lets a failed allocation here through, which its callers take as out of memory;
    // the text shown so far stays as it is either way.
    const long document =
        SendScintilla(SCI_CREATEDOCUMENT,
                      static_cast<unsigned long>(size + qMin(size / 8, editingRoom) + 1), options);
    if (!document)
        return false;
    SendScintilla(SCI_SETDOCPOINTER, 0UL, document);
    SendScintilla(SCI_RELEASEDOCUMENT, 0UL, document); // the view now holds the only reference
    // Without a lexer that marks the text styled, the editor asks for styling before every
    // paint and, unanswered, compares each laid-out line with the text again: a long line costs
    // that on every keystroke. The null lexer answers at once and changes nothing.
    SendScintilla(SCI_SETLEXER, SCLEX_NULL);
    const bool heldIndex = std::exchange(m_holdsCharacterIndex, false); // a new document has none
    holdCharacterIndex(heldIndex);
    wrapLines(size);
    return true;
}

// Scintilla mostly keeps running out of memory to itself and only records it, so a text it could
// not take whole would otherwise look complete, and saving it would cut the file short.
bool ScintillaControl::insertHeld(qsizetype position, const char *utf8, qsizetype size)
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

std::string_view ScintillaControl::textView()
{
    const auto length = size_t(SendScintilla(SCI_GETLENGTH));
    // Scintilla hands out pointers as integers. NOLINTNEXTLINE(performance-no-int-to-ptr)
    const auto *text = reinterpret_cast<const char *>(SendScintilla(SCI_GETCHARACTERPOINTER));
    return {text, length};
}

// From the last range to the first, so that each range is still where it was found.
void ScintillaControl::replaceRanges(const std::vector<Replacement> &replacements)
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

void ScintillaControl::replaceTextAsEdit(const QByteArray &utf8)
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

// Wrapping measures every character: a small text is wrapped whole in idle time, but 10 MB of
// mixed scripts would keep the processor busy for seconds after it shows, so a larger text is
// wrapped where it is seen, and its scroll bar counts each line not yet seen as one row.
void ScintillaControl::wrapLines(qsizetype textSize)
{
    constexpr qsizetype largestWrappedWhole = qsizetype(1024) * 1024;
    // SCI_SETWRAPINIDLE comes with the patched editing component; Debian's ignores it.
    constexpr unsigned int setWrapInIdle = 9500;
    SendScintilla(setWrapInIdle, textSize <= largestWrappedWhole);
}

// The Return key types the line ending the text already uses, so that a line typed into a file
// with CR LF lines does not mix endings. The text itself is never converted.
void ScintillaControl::matchNewLinesTo(const QByteArray &utf8)
{
    const auto firstBreak = std::find_if(utf8.begin(), utf8.end(), isLineBreak);
    int mode = SC_EOL_LF;
    if (firstBreak != utf8.end() && *firstBreak == '\r')
        mode = firstBreak + 1 != utf8.end() && firstBreak[1] == '\n' ? SC_EOL_CRLF : SC_EOL_CR;
    SendScintilla(SCI_SETEOLMODE, mode);
}

// Each notice of a change carries a copy of the changed text, for drafts and assistive
// technologies; none flows while a text is loaded, which is no change.
void ScintillaControl::sendModificationNotices(bool send)
{
    SendScintilla(SCI_SETMODEVENTMASK, send ? long(SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT) : 0L);
}

// The index of where lines begin in characters is what keeps each offset cheap; it costs a little
// on every edit, so it is kept only while someone reads offsets. Scintilla counts allocations, so
// each is matched by one release.
void ScintillaControl::holdCharacterIndex(bool hold)
{
    if (hold == m_holdsCharacterIndex)
        return;
    SendScintilla(hold ? SCI_ALLOCATELINECHARACTERINDEX : SCI_RELEASELINECHARACTERINDEX,
                  SC_LINECHARACTERINDEX_UTF32);
    m_holdsCharacterIndex = hold;
}

// Changes arrive only while modification notices flow: once a text is loaded.
void ScintillaControl::reportChange(int position, int type, const char *text, int length)
{
    if (type & SC_MOD_INSERTTEXT)
        emit edited(position, 0, QByteArrayView(text, text ? length : 0));
    else if (type & SC_MOD_DELETETEXT)
        emit edited(position, length, {});
}

// Input methods ask for the text around the caret after every keystroke. QScintilla answers with
// the whole paragraph, which in a file without blank lines is the whole file, copied and
// converted each time. The caret's line, at most a few hundred bytes either side, is context
// enough and costs the same in any document.
QVariant ScintillaControl::inputMethodQuery(Qt::InputMethodQuery query) const
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
void ScintillaControl::keyPressEvent(QKeyEvent *event)
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
void ScintillaControl::separateUndoStepBefore(const QString &typed)
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

void ScintillaControl::changeEvent(QEvent *event)
{
    QsciScintilla::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        applyPalette();
}

// The text area takes the desktop's text colours, so a dark theme gives a dark editor.
void ScintillaControl::applyPalette()
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

} // namespace platform
