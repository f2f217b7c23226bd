#pragma once

class QMainWindow;
class QMenuBar;

namespace platform {

class Document;
class DocumentController;

/// New, Open..., Open Recent, Close, Save, Save As..., Revert to Saved and Quit, acting on
/// `document` through `controller`.
void addFileMenu(QMenuBar *menuBar, Document *document, DocumentController &controller);

/// Undo, Redo, Cut, Copy, Paste, Delete and Select All, acting on the text editor in `window`
/// however the menu is reached.
void addEditMenu(QMenuBar *menuBar, QMainWindow *window);

} // namespace platform
