// The floor for an editor's launch: what any window with a menu bar and a text area costs beyond a
// bare one (a font engine, the menus, the editing component), shown as soon as Qt is ready.
// Timed beside bare_qt_window and Scribbet, it tells Scribbet's own start-up work from the rest.
#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QFontDatabase>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QMainWindow window;
    QMenu *file = window.menuBar()->addMenu(QStringLiteral("&File"));
    for (const auto key : {QKeySequence::New, QKeySequence::Open, QKeySequence::Close,
                           QKeySequence::Save, QKeySequence::SaveAs, QKeySequence::Quit})
        file->addAction(QStringLiteral("Command"))->setShortcut(key);
    file->addMenu(QStringLiteral("Open &Recent"));
    QMenu *edit = window.menuBar()->addMenu(QStringLiteral("&Edit"));
    for (const auto key :
         {QKeySequence::Undo, QKeySequence::Redo, QKeySequence::Cut, QKeySequence::Copy,
          QKeySequence::Paste, QKeySequence::SelectAll, QKeySequence::Find})
        edit->addAction(QStringLiteral("Command"))->setShortcut(key);
    auto *text = new QsciScintilla;
    text->setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    text->setWrapMode(QsciScintilla::WrapWord);
    window.setCentralWidget(text);
    text->setFocus();
    window.resize(640, 480);
    window.show();
    return QApplication::exec();
}
