#include "EditorAccessible.h"

#include "TextEditor.h"

#include <QApplication>

#include <algorithm>

namespace platform {
namespace {

using Sci = QsciScintillaBase;

long send(const TextEditor &editor, unsigned int message, unsigned long wParam = 0, long lParam = 0)
{
    return editor.SendScintilla(message, wParam, lParam);
}

// The bytes from `start`, `length` of them, where the editor holds them.
const char *bytesAt(const TextEditor &editor, long start, long length)
{
    // NOLINTNEXTLINE(performance-no-int-to-ptr): Scintilla hands out pointers as integers.
    return reinterpret_cast<const char *>(
        send(editor, Sci::SCI_GETRANGEPOINTER, static_cast<unsigned long>(start), length));
}

bool isAscii(const char *bytes, long length)
{
    return std::none_of(bytes, bytes + length, [](char byte) { return byte & 0x80; });
}

// The characters from `start` to `end` of one line: the bytes where only ASCII is found, else
// Scintilla's own count, which agrees with its index on every byte that is not UTF-8.
long charactersBetween(const TextEditor &editor, long start, long end)
{
    const char *bytes = bytesAt(editor, start, end - start);
    if (bytes && isAscii(bytes, end - start))
        return end - start;
    return send(editor, Sci::SCI_COUNTCHARACTERS, static_cast<unsigned long>(start), end);
}

// The character offset at which `line` begins; at the line count, the number of characters.
long lineOffset(const TextEditor &editor, long line)
{
    if (send(editor, Sci::SCI_GETLINECHARACTERINDEX) & Sci::SC_LINECHARACTERINDEX_UTF32)
        return send(editor, Sci::SCI_INDEXPOSITIONFROMLINE, static_cast<unsigned long>(line),
                    Sci::SC_LINECHARACTERINDEX_UTF32);
    // Only asked without an assistive technology listening, as by a test: counted.
    return send(editor, Sci::SCI_COUNTCHARACTERS, 0,
                send(editor, Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line)));
}

bool &listening()
{
    static bool listens = QAccessible::isActive();
    return listens;
}

QAccessibleInterface *accessibleForEditor(const QString &className, QObject *object)
{
    if (className != QLatin1String(TextEditor::staticMetaObject.className()))
        return nullptr;
    return new EditorAccessible(static_cast<TextEditor *>(object));
}

class ActivationListener final : public QAccessible::ActivationObserver {
public:
    void accessibilityActiveChanged(bool active) override
    {
        listening() = active;
        for (QWidget *widget : QApplication::allWidgets()) {
            if (auto *editor = qobject_cast<TextEditor *>(widget))
                editor->accessibilityActiveChanged(active);
        }
    }
};

} // namespace

void EditorAccessible::install()
{
    static ActivationListener listener;
    static const bool installed = [] {
        // Factories installed later are asked first, so this one comes before QScintilla's.
        QAccessible::installFactory(accessibleForEditor);
        QAccessible::installActivationObserver(&listener);
        return true;
    }();
    Q_UNUSED(installed);
}

bool EditorAccessible::someoneListens()
{
    return listening();
}

EditorAccessible::EditorAccessible(TextEditor *editor)
    : QAccessibleWidget(editor, QAccessible::EditableText)
{}

TextEditor *EditorAccessible::editor() const
{
    return static_cast<TextEditor *>(widget());
}

void *EditorAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State EditorAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = !editor()->isReadOnly();
    state.readOnly = editor()->isReadOnly();
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

int EditorAccessible::offsetOf(const TextEditor &editor, long position)
{
    const long line = send(editor, Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(position));
    const long lineStart =
        send(editor, Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    return int(lineOffset(editor, line) + charactersBetween(editor, lineStart, position));
}

long EditorAccessible::positionOf(int offset) const
{
    const TextEditor &text = *editor();
    offset = std::clamp(offset, 0, characterCount());
    // Only asked without an assistive technology listening, as by a test: counted.
    if (!(send(text, Sci::SCI_GETLINECHARACTERINDEX) & Sci::SC_LINECHARACTERINDEX_UTF32))
        return send(text, Sci::SCI_POSITIONRELATIVE, 0, offset);
    const long line = send(text, Sci::SCI_LINEFROMINDEXPOSITION, static_cast<unsigned long>(offset),
                           Sci::SC_LINECHARACTERINDEX_UTF32);
    const long lineStart = send(text, Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const long into = offset - lineOffset(text, line);
    const long lineEnd =
        send(text, Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line + 1));
    const long ahead = std::min(into, lineEnd - lineStart);
    const char *bytes = bytesAt(text, lineStart, ahead);
    if (bytes && isAscii(bytes, ahead))
        return lineStart + into;
    return send(text, Sci::SCI_POSITIONRELATIVE, static_cast<unsigned long>(lineStart), into);
}

int EditorAccessible::characterCount() const
{
    // Where the line after the last would begin.
    return int(lineOffset(*editor(), send(*editor(), Sci::SCI_GETLINECOUNT)));
}

int EditorAccessible::cursorPosition() const
{
    return offsetOf(*editor(), send(*editor(), Sci::SCI_GETCURRENTPOS));
}

void EditorAccessible::setCursorPosition(int position)
{
    send(*editor(), Sci::SCI_GOTOPOS, static_cast<unsigned long>(positionOf(position)));
}

int EditorAccessible::selectionCount() const
{
    return send(*editor(), Sci::SCI_GETSELECTIONEMPTY)
               ? 0
               : int(send(*editor(), Sci::SCI_GETSELECTIONS));
}

void EditorAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex < 0 || selectionIndex >= selectionCount())
        return;
    const auto index = static_cast<unsigned long>(selectionIndex);
    *startOffset = offsetOf(*editor(), send(*editor(), Sci::SCI_GETSELECTIONNSTART, index));
    *endOffset = offsetOf(*editor(), send(*editor(), Sci::SCI_GETSELECTIONNEND, index));
}

void EditorAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void EditorAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        send(*editor(), Sci::SCI_SETEMPTYSELECTION,
             static_cast<unsigned long>(send(*editor(), Sci::SCI_GETCURRENTPOS)));
}

void EditorAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        send(*editor(), Sci::SCI_SETSEL, static_cast<unsigned long>(positionOf(startOffset)),
             positionOf(endOffset));
}

QString EditorAccessible::text(int startOffset, int endOffset) const
{
    const long start = positionOf(startOffset);
    return textBetween(start, std::max(start, positionOf(endOffset)));
}

QString EditorAccessible::textBetween(long start, long end) const
{
    const char *bytes = bytesAt(*editor(), start, end - start);
    return bytes ? QString::fromUtf8(bytes, end - start) : QString();
}

EditorAccessible::Span EditorAccessible::unitAt(long position,
                                                QAccessible::TextBoundaryType boundaryType) const
{
    const TextEditor &text = *editor();
    const auto at = static_cast<unsigned long>(position);
    switch (boundaryType) {
    case QAccessible::CharBoundary:
        return {position, send(text, Sci::SCI_POSITIONAFTER, at)};
    case QAccessible::WordBoundary:
        // The word, or the run of spaces or of punctuation, that the character at the position
        // is in: Scintilla looks back from a position at the character before it.
        return {send(text, Sci::SCI_WORDSTARTPOSITION,
                     static_cast<unsigned long>(send(text, Sci::SCI_POSITIONAFTER, at)), false),
                send(text, Sci::SCI_WORDENDPOSITION, at, false)};
    case QAccessible::SentenceBoundary:
    case QAccessible::ParagraphBoundary:
    case QAccessible::LineBoundary: {
        const long line = send(text, Sci::SCI_LINEFROMPOSITION, at);
        return {send(text, Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line)),
                send(text, Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line + 1))};
    }
    case QAccessible::NoBoundary:
        break;
    }
    return {0, send(text, Sci::SCI_GETLENGTH)};
}

QString EditorAccessible::textOf(Span unit, int *startOffset, int *endOffset) const
{
    *startOffset = offsetOf(*editor(), unit.start);
    *endOffset = offsetOf(*editor(), unit.end);
    return textBetween(unit.start, unit.end);
}

QString EditorAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                       int *startOffset, int *endOffset) const
{
    return textOf(unitAt(positionOf(offset), boundaryType), startOffset, endOffset);
}

QString EditorAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                           int *startOffset, int *endOffset) const
{
    const Span unit = unitAt(positionOf(offset), boundaryType);
    if (unit.start == 0) {
        *startOffset = *endOffset = 0;
        return {};
    }
    const long before =
        send(*editor(), Sci::SCI_POSITIONBEFORE, static_cast<unsigned long>(unit.start));
    return textOf(unitAt(before, boundaryType), startOffset, endOffset);
}

QString EditorAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                          int *startOffset, int *endOffset) const
{
    const Span unit = unitAt(positionOf(offset), boundaryType);
    if (unit.end >= send(*editor(), Sci::SCI_GETLENGTH)) {
        *startOffset = *endOffset = offsetOf(*editor(), unit.end);
        return {};
    }
    return textOf(unitAt(unit.end, boundaryType), startOffset, endOffset);
}

QRect EditorAccessible::characterRect(int offset) const
{
    const TextEditor &text = *editor();
    const long position = positionOf(offset);
    const long x = send(text, Sci::SCI_POINTXFROMPOSITION, 0, position);
    const long y = send(text, Sci::SCI_POINTYFROMPOSITION, 0, position);
    const long next = send(text, Sci::SCI_POSITIONAFTER, static_cast<unsigned long>(position));
    const long nextX = send(text, Sci::SCI_POINTXFROMPOSITION, 0, next);
    const int height = int(send(text, Sci::SCI_TEXTHEIGHT, 0));
    const QPoint topLeft = text.viewport()->mapToGlobal(QPoint(int(x), int(y)));
    return {topLeft, QSize(int(std::max(1L, nextX - x)), height)};
}

int EditorAccessible::offsetAtPoint(const QPoint &point) const
{
    const QPoint local = editor()->viewport()->mapFromGlobal(point);
    const long position = send(*editor(), Sci::SCI_CHARPOSITIONFROMPOINTCLOSE,
                               static_cast<unsigned long>(local.x()), local.y());
    return position < 0 ? -1 : offsetOf(*editor(), position);
}

void EditorAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    send(*editor(), Sci::SCI_SCROLLRANGE, static_cast<unsigned long>(positionOf(endIndex)),
         positionOf(startIndex));
}

// Plain text: the same (no) attributes from the start of a line to its end.
QString EditorAccessible::attributes(int offset, int *startOffset, int *endOffset) const
{
    const Span line = unitAt(positionOf(offset), QAccessible::LineBoundary);
    *startOffset = offsetOf(*editor(), line.start);
    *endOffset = offsetOf(*editor(), line.end);
    return {};
}

} // namespace platform
