#pragma once

class QMenu;
class QMenuBar;

namespace platform {

class Document;
class DocumentController;
class DocumentWindow;

/// New, Open..., Open Recent, Close, Save, Save As..., Revert to Saved and Quit, acting on
/// `document` through `controller`.
void addFileMenu(QMenuBar *menuBar, Document *document, DocumentController &controller);

/// Undo, Redo, Cut, Copy, Paste, Delete, Select All, Find, Find Next, Find Previous and
/// Replace, acting on the text editor in `window` however the menu is reached.
QMenu *addEditMenu(QMenuBar *menuBar, DocumentWindow *window);

} // namespace platform
