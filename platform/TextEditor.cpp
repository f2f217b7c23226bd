#include "TextEditor.h"

#include <QEvent>
#include <QFontDatabase>
#include <QPalette>

namespace platform {
namespace {

// Scintilla takes colours as 0x00BBGGRR.
long scintillaColour(const QColor &colour)
{
    return long(colour.red()) | (long(colour.green()) << 8) | (long(colour.blue()) << 16);
}

} // namespace

TextEditor::TextEditor(QWidget *parent)
    : QsciScintilla(parent)
{
    SendScintilla(SCI_SETCODEPAGE, SC_CP_UTF8);
    // What is pasted is inserted as it is, line endings included.
    SendScintilla(SCI_SETPASTECONVERTENDINGS, false);
    for (int margin = 0; margin < 5; ++margin)
        SendScintilla(SCI_SETMARGINWIDTHN, margin, 0L);
    setFrameShape(QFrame::NoFrame);
    setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    applyPalette();
    loadText({});
}

void TextEditor::loadText(const QByteArray &utf8)
{
    // A document without per-character style bytes: plain text needs none, and they would
    // double the memory a large file takes. One byte more than the text, so that inserting it
    // never grows the buffer.
    const long options = SC_DOCUMENTOPTION_STYLES_NONE
                         | (utf8.size() > 0x7fffffff ? SC_DOCUMENTOPTION_TEXT_LARGE : 0);
    const long document =
        SendScintilla(SCI_CREATEDOCUMENT, static_cast<unsigned long>(utf8.size() + 1), options);
    SendScintilla(SCI_SETDOCPOINTER, 0UL, document);
    SendScintilla(SCI_RELEASEDOCUMENT, 0UL, document); // the view now holds the only reference
    wrapLinesIfAffordable(utf8.size());
    SendScintilla(SCI_SETUNDOCOLLECTION, false);
    insertInPiecesFromTheEnd(utf8);
    SendScintilla(SCI_SETUNDOCOLLECTION, true);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_SETSAVEPOINT);
    matchNewLinesTo(utf8);
}

// QScintilla tells accessibility about every insertion as a QString, with the position counted in
// characters from the start of the text. Inserting a whole large text at once would build a
// UTF-16 copy twice its size; appending it in pieces would count from the start for every piece.
// Pieces inserted at the start, the last one first, cost neither. Each piece is given with its
// length, so NUL bytes are text, and never splits a character or a CR LF pair.
void TextEditor::insertInPiecesFromTheEnd(const QByteArray &utf8)
{
    constexpr qsizetype pieceSize = 1024 * 1024;
    const auto isInsideCharacterOrLineEnd = [&utf8](qsizetype index) {
        const auto byte = static_cast<unsigned char>(utf8[index]);
        return (byte & 0xC0) == 0x80 || (byte == '\n' && utf8[index - 1] == '\r');
    };
    qsizetype end = utf8.size();
    while (end > 0) {
        qsizetype start = qMax(qsizetype(0), end - pieceSize);
        while (start > 0 && isInsideCharacterOrLineEnd(start))
            --start;
        SendScintilla(SCI_SETTARGETRANGE, 0UL, 0L);
        SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(end - start),
                      utf8.constData() + start);
        end = start;
    }
}

// Scintilla wraps a line by measuring every character in it, about half a microsecond each here:
// a megabyte wraps in half a second of idle time, a hundred megabytes would take most of a
// minute. Larger texts are shown unwrapped, with a horizontal scroll bar, so they open at once.
void TextEditor::wrapLinesIfAffordable(qsizetype textSize)
{
    constexpr qsizetype largestWrappedText = 1024 * 1024;
    const bool wrap = textSize <= largestWrappedText;
    SendScintilla(SCI_SETWRAPMODE, wrap ? SC_WRAP_WORD : SC_WRAP_NONE);
    SendScintilla(SCI_SETHSCROLLBAR, !wrap);
}

QByteArray TextEditor::utf8Text() const
{
    const auto length = qsizetype(SendScintilla(SCI_GETLENGTH));
    const auto *text = reinterpret_cast<const char *>(SendScintilla(SCI_GETCHARACTERPOINTER));
    return QByteArray(text, length);
}

void TextEditor::markSaved()
{
    SendScintilla(SCI_SETSAVEPOINT);
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
    const qsizetype newline = utf8.indexOf('\n');
    const qsizetype carriageReturn = utf8.indexOf('\r');
    int mode = SC_EOL_LF;
    if (carriageReturn >= 0 && (newline < 0 || carriageReturn < newline))
        mode = utf8.mid(carriageReturn, 2) == "\r\n" ? SC_EOL_CRLF : SC_EOL_CR;
    SendScintilla(SCI_SETEOLMODE, mode);
}

} // namespace platform
