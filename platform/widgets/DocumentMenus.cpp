#include "DocumentMenus.h"

#include "Document.h"
#include "DocumentController.h"
#include "DocumentWindow.h"
#include "Drafts.h"
#include "FindBar.h"
#include "GoToLine.h"
#include "RecentDocuments.h"
#include "TextEditor.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include <array>
#include <functional>

namespace platform {
namespace {

struct DocumentMenus {
    Q_DECLARE_TR_FUNCTIONS(DocumentMenus)
};

// Qt's bindings for a desktop without a theme of its own lack some that every desktop uses.
QList<QKeySequence> shortcutsFor(QKeySequence::StandardKey key)
{
    QList<QKeySequence> shortcuts = QKeySequence::keyBindings(key);
    if (shortcuts.isEmpty() && key == QKeySequence::SaveAs)
        shortcuts.append(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    // Ctrl+H replaces on every desktop; KDE's Ctrl+R stays where its bindings give it.
    const QKeySequence controlH(Qt::CTRL | Qt::Key_H);
    if (key == QKeySequence::Replace && !shortcuts.contains(controlH))
        shortcuts.prepend(controlH);
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

void printText(DocumentWindow *window)
{
    if (TextEditor *editor = window ? window->textEditor() : nullptr)
        editor->print(window->document()->displayName());
}

void addFindActions(QMenu *menu, const QPointer<DocumentWindow> &window)
{
    // Finding again shows the bar, so that what it says (wrapped, not found) is seen; with
    // nothing searched yet, it asks what to find.
    const auto withFindBar = [window](const std::function<void(FindBar *)> &command) {
        return [window, command] {
            FindBar *bar = window ? window->findBar() : nullptr;
            if (!bar)
                return;
            if (!bar->hasSearch()) {
                window->showFindBar(false);
                return;
            }
            bar->parentWidget()->show();
            command(bar);
        };
    };
    menu->addSeparator();
    addAction(menu, DocumentMenus::tr("&Find…"), QKeySequence::Find, [window] {
        if (window)
            window->showFindBar(false);
    });
    addAction(menu, DocumentMenus::tr("Find &Next"), QKeySequence::FindNext,
              withFindBar([](FindBar *bar) { bar->findNext(); }));
    addAction(menu, DocumentMenus::tr("Find Pre&vious"), QKeySequence::FindPrevious,
              withFindBar([](FindBar *bar) { bar->findPrevious(); }));
    addAction(menu, DocumentMenus::tr("R&eplace…"), QKeySequence::Replace, [window] {
        if (window)
            window->showFindBar(true);
    });
    // Ctrl+L, as in FeatherPad and Firefox; Ctrl+G is Find Next on many desktops.
    QAction *goTo =
        addAction(menu, DocumentMenus::tr("&Go to Line…"), QKeySequence::UnknownKey, [window] {
            if (TextEditor *editor = window ? window->textEditor() : nullptr)
                goToLine(*editor, window);
        });
    goTo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
}

void fillRecentMenu(QMenu *menu, DocumentController &controller)
{
    menu->clear();
    for (const QString &path : controller.recentDocuments().files()) {
        QAction *action = menu->addAction(QFileInfo(path).fileName());
        action->setToolTip(path);
        QObject::connect(action, &QAction::triggered, menu,
                         [&controller, path] { controller.openDocumentWithContentsOf(path); });
    }
    menu->addSeparator();
    QAction *clear = menu->addAction(DocumentMenus::tr("Clear Menu"));
    QObject::connect(clear, &QAction::triggered, menu,
                     [&controller] { controller.recentDocuments().clear(); });
}

// Each draft that an editor left, by its file's name or its first line, when it was last written
// and how large it is; the most recent first, as in Open Recent.
void fillDraftsMenu(QMenu *menu, Drafts &recovery)
{
    menu->clear();
    const QList<DraftSummary> drafts = recovery.leftDraftSummaries();
    const QLocale locale;
    for (const DraftSummary &draft : drafts) {
        QAction *action = menu->addAction(
            DocumentMenus::tr("%1 — %2, %3")
                .arg(draft.title, locale.toString(draft.lastWritten, QLocale::ShortFormat),
                     locale.formattedDataSize(draft.size)));
        QObject::connect(action, &QAction::triggered, menu,
                         [&recovery, path = draft.draftPath] { recovery.recover(path); });
    }
    if (drafts.isEmpty())
        menu->addAction(DocumentMenus::tr("No Unsaved Work Left"))->setEnabled(false);
    menu->addSeparator();
    QAction *all = menu->addAction(DocumentMenus::tr("Recover All"));
    QObject::connect(all, &QAction::triggered, menu, [&recovery] { recovery.recoverAll(); });
    QAction *discard = menu->addAction(DocumentMenus::tr("Discard All…"));
    QObject::connect(discard, &QAction::triggered, menu,
                     [&recovery, menu] { recovery.discardAll(menu->window()); });
    for (QAction *action : {all, discard})
        action->setEnabled(!drafts.isEmpty());
}

// While the Edit menu shows, what cannot be done now is greyed out: `actions` are undo, redo and
// three that need a selection. Afterwards everything is enabled again, since a disabled action
// would also swallow its shortcut.
void greyOutWhileShown(QMenu *menu, const QPointer<DocumentWindow> &window,
                       const std::array<QAction *, 5> &actions)
{
    QObject::connect(menu, &QMenu::aboutToShow, menu, [window, actions] {
        TextEditor *target = window ? window->textEditor() : nullptr;
        const auto [undo, redo, cut, copy, remove] = actions;
        undo->setEnabled(target && target->isUndoAvailable());
        redo->setEnabled(target && target->isRedoAvailable());
        for (QAction *needsSelection : {cut, copy, remove})
            needsSelection->setEnabled(target && target->hasSelectedText());
    });
    QObject::connect(menu, &QMenu::aboutToHide, menu, [menu] {
        for (QAction *action : menu->actions())
            action->setEnabled(true);
    });
}

} // namespace

void addFileMenu(QMenuBar *menuBar, Document *document, DocumentController &controller)
{
    DocumentController *c = &controller;
    QMenu *menu = menuBar->addMenu(DocumentMenus::tr("&File"));
    addAction(menu, DocumentMenus::tr("&New"), QKeySequence::New, [c] { c->newDocument(); });
    addAction(menu, DocumentMenus::tr("&Open..."), QKeySequence::Open, [c] { c->openDocument(); });
    QMenu *recent = menu->addMenu(DocumentMenus::tr("Open &Recent"));
    // Filled as it opens, so that it shows the files as they are then and costs nothing before.
    QObject::connect(recent, &QMenu::aboutToShow, recent,
                     [recent, c] { fillRecentMenu(recent, *c); });
    if (Drafts *recovery = controller.drafts()) {
        QMenu *drafts = menu->addMenu(DocumentMenus::tr("Recover &Unsaved Work"));
        QObject::connect(drafts, &QMenu::aboutToShow, drafts,
                         [drafts, recovery] { fillDraftsMenu(drafts, *recovery); });
    }
    menu->addSeparator();
    addAction(menu, DocumentMenus::tr("&Close"), QKeySequence::Close,
              [c, document] { c->closeDocument(document); });
    addAction(menu, DocumentMenus::tr("&Save"), QKeySequence::Save,
              [c, document] { c->saveDocument(document); });
    addAction(menu, DocumentMenus::tr("Save &As..."), QKeySequence::SaveAs,
              [c, document] { c->saveDocumentAs(document); });
    QAction *revert =
        addAction(menu, DocumentMenus::tr("Re&vert to Saved"), QKeySequence::UnknownKey,
                  [c, document] { c->revertDocumentToSaved(document); });
    QObject::connect(menu, &QMenu::aboutToShow, revert, [revert, document] {
        revert->setEnabled(!document->isUntitled() && document->isEdited());
    });
    menu->addSeparator();
    addAction(menu, DocumentMenus::tr("&Print…"), QKeySequence::Print,
              [menuBar] { printText(qobject_cast<DocumentWindow *>(menuBar->window())); });
    menu->addSeparator();
    addAction(menu, DocumentMenus::tr("&Quit"), QKeySequence::Quit, [c] { c->quit(); });
}

QMenu *addEditMenu(QMenuBar *menuBar, DocumentWindow *window)
{
    QMenu *menu = menuBar->addMenu(DocumentMenus::tr("&Edit"));
    const QPointer<DocumentWindow> owner = window;
    const auto editor = [owner] {
        return owner ? owner->textEditor() : nullptr;
    };
    const auto onEditor = [editor](void (TextEditor::*command)()) {
        return [editor, command] {
            if (TextEditor *target = editor())
                (target->*command)();
        };
    };
    QAction *undo = addAction(menu, DocumentMenus::tr("&Undo"), QKeySequence::Undo,
                              onEditor(&TextEditor::undo));
    QAction *redo = addAction(menu, DocumentMenus::tr("&Redo"), QKeySequence::Redo,
                              onEditor(&TextEditor::redo));
    menu->addSeparator();
    QAction *cut =
        addAction(menu, DocumentMenus::tr("Cu&t"), QKeySequence::Cut, onEditor(&TextEditor::cut));
    QAction *copy = addAction(menu, DocumentMenus::tr("&Copy"), QKeySequence::Copy,
                              onEditor(&TextEditor::copy));
    addAction(menu, DocumentMenus::tr("&Paste"), QKeySequence::Paste, onEditor(&TextEditor::paste));
    // No shortcut: the Delete key belongs to the editor, where it also deletes with no selection.
    QAction *remove = addAction(menu, DocumentMenus::tr("&Delete"), QKeySequence::UnknownKey,
                                onEditor(&TextEditor::removeSelectedText));
    menu->addSeparator();
    addAction(menu, DocumentMenus::tr("Select &All"), QKeySequence::SelectAll, [editor] {
        if (TextEditor *target = editor())
            target->selectAll();
    });
    addFindActions(menu, owner);
    greyOutWhileShown(menu, owner, {undo, redo, cut, copy, remove});
    return menu;
}

} // namespace platform
