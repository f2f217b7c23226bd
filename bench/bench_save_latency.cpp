// Times how long the window's thread goes unanswered while a large file is saved and then checked
// for outside changes as the next save checks it (its stamp untrusted, so its bytes are hashed):
// once on the window's thread, once away from it as the editor does. A timer ticks every
// millisecond meanwhile; the longest gap between ticks is what a window would wait to repaint.
// Run a release build:
//     cmake --preset bench && cmake --build --preset bench
//     build/bench/bench/bench_save_latency [FOLDER [MEBIBYTES]]   (/tmp, 1024)

#include "AwayFromTheWindow.h"
#include "DiskVersion.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <cstdio>

using namespace platform;

namespace {

// The longest time the event loop went without a tick while `work` ran, in milliseconds.
template <typename Work> double longestGap(Work work)
{
    QElapsedTimer sinceTick;
    qint64 longest = 0;
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        longest = std::max(longest, sinceTick.nsecsElapsed());
        sinceTick.restart();
    });
    ticks.start(1);
    QCoreApplication::processEvents();
    sinceTick.start();
    QElapsedTimer total;
    total.start();
    work();
    longest = std::max(longest, sinceTick.nsecsElapsed());
    std::printf("  (%.0f ms in all)", double(total.nsecsElapsed()) / 1e6);
    return double(longest) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp");
    const qsizetype mebibytes = argc > 2 ? std::atoi(argv[2]) : 1024;
    const QString path = folder + QStringLiteral("/bench-save-latency.txt");
    const QByteArray text(mebibytes << 20, 'x');
    for (const bool away : {false, true}) {
        const auto run = [away](auto work) {
            return away ? awayFromTheWindow(work) : work();
        };
        std::printf("%s, %lld MiB:\n", away ? "away from the window" : "on the window's thread",
                    static_cast<long long>(mebibytes));
        DiskVersion written;
        double gap =
            longestGap([&] { written = run([&] { return saveDocumentFile(path, text); }); });
        std::printf("  save: the window waited at most %.1f ms\n", gap);
        written.isRacy = true;
        gap = longestGap([&] { run([&] { return checkFile(path, written); }); });
        std::printf("  check: the window waited at most %.1f ms\n", gap);
    }
    QFile::remove(path);
    return 0;
}
