// Types 100 characters at the end of texts of 1, 20 and 100 MB, with no assistive technology
// listening and with one that, as a screen reader does, asks after every key for the caret, the
// caret's line, the character before it and the number of characters. Prints the time for the 100
// keys each way. Run a release build:
//     cmake --preset bench && cmake --build --preset bench
//     build/bench/bench/bench_accessibility

#include "ScintillaControl.h"
#include "TextEditor.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>

#include <cstdio>

using platform::TextEditor;

namespace {

// What a screen reader asks when it hears of a change or of the caret moving. (Called here after
// each key: Qt delivers no accessibility events at all on the offscreen platform.)
void readAsAScreenReaderWould(TextEditor &editor)
{
    QAccessibleTextInterface *text =
        QAccessible::queryAccessibleInterface(editor.findChild<platform::ScintillaControl *>())
            ->textInterface();
    int start = 0;
    int end = 0;
    const int caret = text->cursorPosition();
    text->textAtOffset(caret, QAccessible::LineBoundary, &start, &end);
    text->textBeforeOffset(caret, QAccessible::CharBoundary, &start, &end);
    text->characterCount();
}

QByteArray textOfSize(qsizetype size)
{
    QByteArray text;
    text.reserve(size + 100);
    for (int line = 0; text.size() < size; ++line)
        text += QByteArray::number(line) +
                " the quick brown fox jumps over the lazy dog, caf\xc3\xa9\n";
    return text;
}

double millisecondsToType100(TextEditor &editor, bool read)
{
    editor.select({editor.length(), editor.length()});
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    for (int key = 0; key < 100; ++key) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("x"));
        QCoreApplication::sendEvent(&editor, &press);
        editor.findChild<platform::ScintillaControl *>()->viewport()->repaint();
        if (read)
            readAsAScreenReaderWould(editor);
    }
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    std::printf("%-8s %14s %14s %7s\n", "text", "listening off", "listening on", "ratio");
    for (const int megabytes : {1, 20, 100}) {
        TextEditor editor;
        editor.resize(800, 600);
        editor.show();
        editor.loadText(textOfSize(qsizetype(megabytes) * 1000 * 1000));
        while (editor.isLoading())
            QCoreApplication::processEvents();
        QAccessible::setActive(false);
        const double off = millisecondsToType100(editor, false);
        QAccessible::setActive(true);
        const double on = millisecondsToType100(editor, true);
        QAccessible::setActive(false);
        std::printf("%4d MB %12.1f ms %12.1f ms %6.2fx\n", megabytes, off, on, on / off);
    }
    return 0;
}
