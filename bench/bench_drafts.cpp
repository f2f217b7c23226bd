// What keeping drafts costs while typing. Opens a file of 1 MB of short lines, the 100 MB one and
// the 10 MB one-line one of the peer corpus, types 10 bursts of 20 keys 12 ms apart at its end,
// each followed by a pause of 0.7 s, once with drafts kept and once without, and prints for each:
// the window thread's CPU over the bursts and pauses per key, the longest the event loop was held
// (a timer of 1 ms that fires late), and what the state folder grew by at the first pause and at
// each later one (median).
//     cmake --preset bench && cmake --build --preset bench
//     build/bench/bench/bench_drafts build/bench-corpus     (made by
//     ../shared/peer-bench/gen-corpus.sh)

#include "ScribbetApp.h"

#include "Document.h"
#include "DocumentController.h"
#include "DocumentWindow.h"
#include "ScintillaControl.h"
#include "TextEditor.h"
#include "UserDefaults.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>

using platform::DocumentController;

namespace {

double threadMilliseconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

qint64 draftFolderSize(const QString &state)
{
    qint64 size = 0;
    for (QDirIterator each(state, QDir::Files, QDirIterator::Subdirectories); each.hasNext();)
        size += QFileInfo(each.next()).size();
    return size;
}

void runEventsFor(int milliseconds)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

struct Figures {
    double cpuPerKey = 0;
    double longestHold = 0;
    qint64 firstPause = 0;
    qint64 laterPause = 0;
};

Figures typeInto(const QString &file, DocumentController::DraftKeeping drafts)
{
    const QTemporaryDir state;
    qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    DocumentController controller(scribbet::ScribbetApp::body().scene(),
                                  platform::UserDefaults::standard(), drafts);
    platform::TextEditor *editor = controller.openDocumentWithContentsOf(file)->textEditor();
    while (editor->isLoading())
        QCoreApplication::processEvents();
    runEventsFor(1000);
    editor->select({editor->length(), editor->length()});
    QElapsedTimer sinceBeat;
    double longestHold = 0;
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        longestHold = std::max(longestHold, double(sinceBeat.nsecsElapsed()) / 1e6);
        sinceBeat.restart();
    });
    sinceBeat.start();
    heartbeat.start(1);
    std::vector<qint64> pauses;
    const double start = threadMilliseconds();
    for (int burst = 0; burst < 10; ++burst) {
        const qint64 before = draftFolderSize(state.path());
        for (int key = 0; key < 20; ++key) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
            QCoreApplication::sendEvent(editor, &press);
            editor->findChild<platform::ScintillaControl *>()->viewport()->repaint();
            runEventsFor(12);
        }
        runEventsFor(700);
        pauses.push_back(draftFolderSize(state.path()) - before);
    }
    const double cpu = threadMilliseconds() - start;
    std::sort(pauses.begin() + 1, pauses.end());
    return {cpu / 200, longestHold, pauses.front(), pauses[pauses.size() / 2 + 1]};
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("scribbet-bench"));
    const QString corpus = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    const QTemporaryDir made;
    const QString small = made.filePath(QStringLiteral("lines-1m.txt"));
    QFile file(small);
    file.open(QIODevice::WriteOnly);
    for (int line = 0; file.size() < 1'000'000; ++line)
        file.write(QByteArray::number(line) + " the quick brown fox jumps over the lazy dog\n");
    file.close();
    std::printf("%-20s %-7s %12s %14s %14s %14s\n", "file", "drafts", "CPU a key", "longest hold",
                "first pause", "later pauses");
    for (const QString &path : {small, corpus + QStringLiteral("/ascii-100m.txt"),
                                corpus + QStringLiteral("/single-line-10m.txt")}) {
        for (const auto drafts :
             {DocumentController::DraftKeeping::Off, DocumentController::DraftKeeping::On}) {
            const Figures figures = typeInto(path, drafts);
            std::printf("%-20s %-7s %9.3f ms %11.1f ms %10lld B %12lld B\n",
                        qPrintable(QFileInfo(path).fileName()),
                        drafts == DocumentController::DraftKeeping::On ? "kept" : "off",
                        figures.cpuPerKey, figures.longestHold, figures.firstPause,
                        figures.laterPause);
        }
    }
    return 0;
}
