#include "EditorAccessible.h"

#include "ScintillaControl.h"

#include <QApplication>

#include <algorithm>

namespace platform {
namespace {

using Sci = QsciScintillaBase;

long send(const ScintillaControl &editor, unsigned int message, unsigned long wParam = 0,
          long lParam = 0)
{
    return editor.SendScintilla(message, wParam, lParam);
}

// The bytes from `start`, `length` of them, where the editor holds them.
const char *bytesAt(const ScintillaControl &editor, long start, long length)
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
long charactersBetween(const ScintillaControl &editor, long start, long end)
{
    const char *bytes = bytesAt(editor, start, end - start);
    if (bytes && isAscii(bytes, end - start))
        return end - start;
    return send(editor, Sci::SCI_COUNTCHARACTERS, static_cast<unsigned long>(start), end);
}

// The character offset at which `line` begins; at the line count, the number of characters.
long lineOffset(const ScintillaControl &editor, long line)
{
    if (send(editor, Sci::SCI_GETLINECHARACTERINDEX) & Sci::SC_LINECHARACTERINDEX_UTF32)
        return send(editor, Sci::SCI_INDEXPOSITIONFROMLINE, static_cast<unsigned long>(line),
                    Sci::SC_LINECHARACTERINDEX_UTF32);
    // Only asked without an assistive technology listening, as by a test: counted.
    return send(editor, Sci::SCI_COUNTCHARACTERS, 0,
                send(editor, Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line)));
}

QAccessibleInterface *accessibleForEditor(const QString &className, QObject *object)
{
    if (className != QLatin1String(ScintillaControl::staticMetaObject.className()))
        return nullptr;
    return new EditorAccessible(static_cast<ScintillaControl *>(object));
}

// Tells an assistive technology what happens in one control: the caret moving, the selection,
// each change of the text. It also keeps the control's index of lines in characters, which keeps
// every offset cheap but costs a little on every edit, only while someone listens.
class Announcer final : public QObject {
    Q_OBJECT

public:
    explicit Announcer(ScintillaControl &control)
        : QObject(&control)
        , m_control(control)
    {
        connect(&control, &ScintillaControl::SCN_UPDATEUI, this, [this](int updated) {
            if (updated & Sci::SC_UPDATE_SELECTION)
                reportCaretAndSelection();
        });
        connect(&control, &ScintillaControl::SCN_MODIFIED, this, &Announcer::reportChange);
        listenersChanged(QAccessible::isActive());
    }

    void listenersChanged(bool listening)
    {
        m_control.holdCharacterIndex(listening);
        m_reportedCaret = send(m_control, Sci::SCI_GETCURRENTPOS);
        m_reportedAnchor = send(m_control, Sci::SCI_GETANCHOR);
    }

private:
    void reportCaretAndSelection();
    void reportChange(int position, int type, const char *text, int length);

    ScintillaControl &m_control;
    long m_reportedCaret = -1;
    long m_reportedAnchor = -1;
};

void Announcer::reportCaretAndSelection()
{
    if (!QAccessible::isActive())
        return;
    const long caret = send(m_control, Sci::SCI_GETCURRENTPOS);
    const long anchor = send(m_control, Sci::SCI_GETANCHOR);
    if (caret != m_reportedCaret) {
        QAccessibleTextCursorEvent moved(&m_control, EditorAccessible::offsetOf(m_control, caret));
        QAccessible::updateAccessibility(&moved);
    }
    // A selection that appears, changes or goes; not an empty one moving with the caret.
    const bool selectionChanged = anchor != m_reportedAnchor || caret != m_reportedCaret;
    if (selectionChanged && (anchor != caret || m_reportedAnchor != m_reportedCaret)) {
        const int start = EditorAccessible::offsetOf(m_control, std::min(caret, anchor));
        const int end = EditorAccessible::offsetOf(m_control, std::max(caret, anchor));
        QAccessibleTextSelectionEvent selected(&m_control, start, end);
        QAccessible::updateAccessibility(&selected);
    }
    m_reportedCaret = caret;
    m_reportedAnchor = anchor;
}

// Changes arrive only while the control sends modification notices: once a text is loaded.
void Announcer::reportChange(int position, int type, const char *text, int length)
{
    if (!QAccessible::isActive() || !text ||
        !(type & (Sci::SC_MOD_INSERTTEXT | Sci::SC_MOD_DELETETEXT)))
        return;
    const int offset = EditorAccessible::offsetOf(m_control, position);
    const QString changed = QString::fromUtf8(text, length);
    if (type & Sci::SC_MOD_INSERTTEXT) {
        QAccessibleTextInsertEvent inserted(&m_control, offset, changed);
        QAccessible::updateAccessibility(&inserted);
    } else {
        QAccessibleTextRemoveEvent removed(&m_control, offset, changed);
        QAccessible::updateAccessibility(&removed);
    }
}

class ActivationListener final : public QAccessible::ActivationObserver {
public:
    void accessibilityActiveChanged(bool active) override
    {
        for (QWidget *widget : QApplication::allWidgets()) {
            if (auto *announcer =
                    widget->findChild<Announcer *>(QString(), Qt::FindDirectChildrenOnly))
                announcer->listenersChanged(active);
        }
    }
};

} // namespace

void EditorAccessible::attachTo(ScintillaControl &control)
{
    static ActivationListener listener;
    static const bool installed = [] {
        // Factories installed later are asked first, so this one comes before QScintilla's.
        QAccessible::installFactory(accessibleForEditor);
        QAccessible::installActivationObserver(&listener);
        return true;
    }();
    Q_UNUSED(installed);
    new Announcer(control);
}

EditorAccessible::EditorAccessible(ScintillaControl *editor)
    : QAccessibleWidget(editor, QAccessible::EditableText)
{}

ScintillaControl *EditorAccessible::editor() const
{
    return static_cast<ScintillaControl *>(widget());
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

int EditorAccessible::offsetOf(const ScintillaControl &editor, long position)
{
    const long line = send(editor, Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(position));
    const long lineStart =
        send(editor, Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    return int(lineOffset(editor, line) + charactersBetween(editor, lineStart, position));
}

long EditorAccessible::positionOf(int offset) const
{
    const ScintillaControl &text = *editor();
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
    const ScintillaControl &text = *editor();
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
    const ScintillaControl &text = *editor();
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

#include "EditorAccessible.moc"
