#pragma once

class QWidget;

namespace platform {

class TextEditor;

/// Asks which line to go to, "214" or "214:7", in a small question that also says where the
/// caret is and how many lines there are, then moves the caret there.
void goToLine(TextEditor &editor, QWidget *parent);

} // namespace platform
