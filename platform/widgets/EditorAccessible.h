#pragma once

#include <QAccessibleWidget>

namespace platform {

class ScintillaControl;

/// What an assistive technology reads of a text editor: its text, caret and selection, with
/// offsets counted in characters (code points), as AT-SPI counts them.
///
/// An offset is found from the editor's index of where each line begins in characters, plus a
/// count within the line, so a query costs what a line does, never what the whole text does.
/// The index is kept only while an assistive technology listens.
class EditorAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit EditorAccessible(ScintillaControl *editor);

    void *interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                             int *startOffset, int *endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                            int *startOffset, int *endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                         int *endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

    using QAccessibleWidget::text;

    /// The character offset of a byte position in the editor's text.
    static int offsetOf(const ScintillaControl &editor, long position);

    /// Makes the control's accessible one of these (the first call installs the factory for
    /// every control), and tells assistive technologies of the caret, the selection and each
    /// change in the control while one listens.
    static void attachTo(ScintillaControl &control);

private:
    struct Span {
        long start;
        long end;
    };

    ScintillaControl *editor() const;
    long positionOf(int offset) const;
    QString textBetween(long start, long end) const;
    /// The character, word or line that the character at `position` is part of, in positions.
    Span unitAt(long position, QAccessible::TextBoundaryType boundaryType) const;
    QString textOf(Span unit, int *startOffset, int *endOffset) const;
};

} // namespace platform
