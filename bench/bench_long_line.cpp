// Opens a text of one long line in the editor and times what a user waits for: the first
// screen after the text is given, and a keystroke in the middle of the line until it is
// painted. Median of five keystrokes; run a release build:
//     cmake --preset bench && cmake --build --preset bench
//     build/bench/bench/bench_long_line [FILE]   (build/bench-corpus/single-line-10m.txt)

#include "ScintillaControl.h"
#include "TextEditor.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>

#include <algorithm>
#include <cstdio>
#include <vector>

using platform::TextEditor;

namespace {

double millisecondsSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Paints at once what a window system would paint at its next chance.
void paint(TextEditor &editor)
{
    QCoreApplication::processEvents();
    editor.findChild<platform::ScintillaControl *>()->viewport()->repaint();
}

void type(TextEditor &editor, QChar character)
{
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(character));
    QCoreApplication::sendEvent(&editor, &press);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                  : QStringLiteral("build/bench-corpus/single-line-10m.txt");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        return 1;
    }
    const QByteArray text = file.readAll();

    TextEditor editor;
    editor.resize(1000, 700);
    editor.show();
    paint(editor);

    QElapsedTimer timer;
    timer.start();
    editor.loadText(text);
    paint(editor);
    std::printf("%-44s %9.1f ms\n", "text given to the first screen painted",
                millisecondsSince(timer));
    timer.restart();
    while (editor.isLoading())
        QCoreApplication::processEvents();
    paint(editor);
    std::printf("%-44s %9.1f ms\n", "then the whole text loaded", millisecondsSince(timer));

    editor.select({text.size() / 2, text.size() / 2});
    paint(editor);
    std::vector<double> times;
    for (int key = 0; key < 5; ++key) {
        timer.restart();
        type(editor, QLatin1Char('x'));
        paint(editor);
        times.push_back(millisecondsSince(timer));
    }
    std::sort(times.begin(), times.end());
    std::printf("%-44s %9.1f ms\n", "a keystroke mid-line, painted", times[times.size() / 2]);
    timer.restart();
    editor.select({editor.length(), editor.length()});
    paint(editor);
    std::printf("%-44s %9.1f ms\n", "Ctrl+End, painted", millisecondsSince(timer));
    return 0;
}
