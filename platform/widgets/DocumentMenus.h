#pragma once

class QMenuBar;

namespace platform {

class Document;

/// New, Open..., Open Recent, Close, Save, Save As..., Revert to Saved and Quit, acting on
/// `document` through the shared document controller.
void addFileMenu(QMenuBar *menuBar, Document *document);

/// Undo, Redo, Cut, Copy, Paste, Delete and Select All, sent to the widget that has the focus.
void addEditMenu(QMenuBar *menuBar);

} // namespace platform
