#include "DocumentMenus.h"

#include "Document.h"
#include "DocumentController.h"
#include "RecentDocuments.h"

#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>

#include <Qsci/qsciscintilla.h>

#include <functional>

namespace platform {
namespace {

// Qt's bindings for a desktop without a theme of its own lack some that every desktop uses.
QList<QKeySequence> shortcutsFor(QKeySequence::StandardKey key)
{
    QList<QKeySequence> shortcuts = QKeySequence::keyBindings(key);
    if (shortcuts.isEmpty() && key == QKeySequence::SaveAs)
        shortcuts.append(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    return shortcuts;
}

QAction *addAction(QMenu *menu, const QString &text, QKeySequence::StandardKey key,
                   const std::function<void()> &trigger)
{
    QAction *action = menu->addAction(text);
    action->setShortcuts(shortcutsFor(key));
    QObject::connect(action, &QAction::triggered, menu, trigger);
    return action;
}

// Runs `operation` on the shared controller, if one exists, with the menu's document.
std::function<void()> onController(std::function<void(DocumentController &)> operation)
{
    return [operation = std::move(operation)] {
        if (DocumentController *controller = DocumentController::shared())
            operation(*controller);
    };
}

void fillRecentMenu(QMenu *menu)
{
    menu->clear();
    for (const QString &path : RecentDocuments::files()) {
        QAction *action = menu->addAction(QFileInfo(path).fileName());
        action->setToolTip(path);
        QObject::connect(action, &QAction::triggered, menu,
                         onController([path](DocumentController &controller) {
                             controller.openDocumentWithContentsOf(path);
                         }));
    }
    menu->addSeparator();
    QAction *clear = menu->addAction(QMenu::tr("Clear Menu"));
    QObject::connect(clear, &QAction::triggered, menu, &RecentDocuments::clear);
}

// The Edit commands go to whichever widget has the focus, as they would along a responder chain.
void sendToFocus(const char *slot)
{
    if (QWidget *focus = QApplication::focusWidget())
        QMetaObject::invokeMethod(focus, slot);
}

} // namespace

void addFileMenu(QMenuBar *menuBar, Document *document)
{
    QMenu *menu = menuBar->addMenu(QMenu::tr("&File"));
    addAction(menu, QMenu::tr("&New"), QKeySequence::New,
              onController([](DocumentController &c) { c.newDocument(); }));
    addAction(menu, QMenu::tr("&Open..."), QKeySequence::Open,
              onController([](DocumentController &c) { c.openDocument(); }));
    QMenu *recent = menu->addMenu(QMenu::tr("Open &Recent"));
    // Filled as it opens, so that it shows the files as they are then and costs nothing before.
    QObject::connect(recent, &QMenu::aboutToShow, recent, [recent] { fillRecentMenu(recent); });
    menu->addSeparator();
    addAction(menu, QMenu::tr("&Close"), QKeySequence::Close,
              onController([document](DocumentController &c) { c.closeDocument(document); }));
    addAction(menu, QMenu::tr("&Save"), QKeySequence::Save,
              onController([document](DocumentController &c) { c.saveDocument(document); }));
    addAction(menu, QMenu::tr("Save &As..."), QKeySequence::SaveAs,
              onController([document](DocumentController &c) { c.saveDocumentAs(document); }));
    QAction *revert = menu->addAction(QMenu::tr("Re&vert to Saved"));
    QObject::connect(
        revert, &QAction::triggered, menu,
        onController([document](DocumentController &c) { c.revertDocumentToSaved(document); }));
    QObject::connect(menu, &QMenu::aboutToShow, revert, [revert, document] {
        revert->setEnabled(!document->isUntitled() && document->isEdited());
    });
    menu->addSeparator();
    addAction(menu, QMenu::tr("&Quit"), QKeySequence::Quit,
              onController([](DocumentController &c) { c.quit(); }));
}

void addEditMenu(QMenuBar *menuBar)
{
    QMenu *menu = menuBar->addMenu(QMenu::tr("&Edit"));
    QAction *undo =
        addAction(menu, QMenu::tr("&Undo"), QKeySequence::Undo, [] { sendToFocus("undo"); });
    QAction *redo =
        addAction(menu, QMenu::tr("&Redo"), QKeySequence::Redo, [] { sendToFocus("redo"); });
    menu->addSeparator();
    QAction *cut =
        addAction(menu, QMenu::tr("Cu&t"), QKeySequence::Cut, [] { sendToFocus("cut"); });
    QAction *copy =
        addAction(menu, QMenu::tr("&Copy"), QKeySequence::Copy, [] { sendToFocus("copy"); });
    addAction(menu, QMenu::tr("&Paste"), QKeySequence::Paste, [] { sendToFocus("paste"); });
    // No shortcut: the Delete key belongs to the editor, where it also deletes with no selection.
    QAction *remove = addAction(menu, QMenu::tr("&Delete"), QKeySequence::UnknownKey,
                                [] { sendToFocus("removeSelectedText"); });
    menu->addSeparator();
    addAction(menu, QMenu::tr("Select &All"), QKeySequence::SelectAll,
              [] { sendToFocus("selectAll"); });

    // While the menu shows, what cannot be done now is greyed out. Afterwards everything is
    // enabled again, since a disabled action would also swallow its shortcut.
    QObject::connect(menu, &QMenu::aboutToShow, menu, [=] {
        auto *editor = qobject_cast<QsciScintilla *>(QApplication::focusWidget());
        undo->setEnabled(editor && editor->isUndoAvailable());
        redo->setEnabled(editor && editor->isRedoAvailable());
        for (QAction *needsSelection : {cut, copy, remove})
            needsSelection->setEnabled(editor && editor->hasSelectedText());
    });
    QObject::connect(menu, &QMenu::aboutToHide, menu, [menu] {
        for (QAction *action : menu->actions())
            action->setEnabled(true);
    });
}

} // namespace platform
