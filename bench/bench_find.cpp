// Finds and replaces in a 100 MB text of short lines and sets each figure beside a plain memmem
// over the same bytes, measured in the same run. Median of five; run a release build:
//     cmake --preset bench && cmake --build --preset bench
//     build/bench/bench/bench_find

#include "FindBar.h"
#include "Finding.h"
#include "TextEditor.h"
#include "TextSearch.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <vector>

using platform::FindBar;
using platform::SearchOptions;
using platform::TextEditor;
using platform::TextSearch;

namespace {

constexpr qsizetype targetSize = 100 * 1000 * 1000;
constexpr int rounds = 5;

// Lines of about seventy bytes; every fourteenth holds "zebra", about 100,000 in all, and
// the last line holds the one "needle".
QByteArray corpus()
{
    QByteArray text;
    text.reserve(targetSize + 100);
    for (int line = 0; text.size() < targetSize - 100; ++line) {
        text += QByteArray::number(line);
        text += line % 14 == 0 ? " the quick brown zebra jumps over the lazy dog, again and again\n"
                               : " the quick brown fox jumps over the lazy dog, again and again.\n";
    }
    return text + "the needle\n";
}

double medianMilliseconds(const std::function<void()> &work)
{
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[rounds / 2];
}

void report(const char *what, double milliseconds, double floor)
{
    std::printf("%-52s %9.1f ms  %5.1fx memmem\n", what, milliseconds, milliseconds / floor);
}

qsizetype memmemCount(const QByteArray &text, const char *needle)
{
    qsizetype count = 0;
    const size_t length = std::strlen(needle);
    for (const char *at = text.constData(), *end = at + text.size();
         (at = static_cast<const char *>(memmem(at, size_t(end - at), needle, length)));
         at += length)
        ++count;
    return count;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QByteArray text = corpus();
    const std::string_view view(text.constData(), size_t(text.size()));
    std::printf("%.1f MB, %lld lines with \"zebra\"\n", double(text.size()) / 1e6,
                static_cast<long long>(memmemCount(text, "zebra")));

    const void *volatile found = nullptr;
    const double floor = medianMilliseconds(
        [&] { found = memmem(text.constData(), size_t(text.size()), "needle", 6); });
    report("memmem, \"needle\" at the end", floor, floor);
    for (const auto &[label, options] :
         {std::pair{"TextSearch, match case", SearchOptions{true, false, false}},
          std::pair{"TextSearch, case ignored", SearchOptions{false, false, false}},
          std::pair{"TextSearch, whole words, case ignored", SearchOptions{false, true, false}},
          std::pair{"TextSearch, regular expression n[e]+dle", SearchOptions{true, false, true}}}) {
        const TextSearch search(options.regularExpression ? QStringLiteral("n[e]+dle")
                                                          : QStringLiteral("needle"),
                                options);
        std::optional<platform::TextRange> match;
        report(label, medianMilliseconds([&] { match = search.firstMatch(view, 0); }), floor);
        if (!match || match->start != text.size() - 7)
            std::printf("    wrong match\n");
    }

    TextEditor editor;
    editor.loadText(text);
    (void)editor.textView();
    platform::LastSearch last;
    FindBar bar(&editor, last);
    bar.startFinding(true);
    bar.findChild<QCheckBox *>(QStringLiteral("matchCase"))->setChecked(true);
    auto *field = bar.findChild<QLineEdit *>(QStringLiteral("find"));
    field->setText(QStringLiteral("needle"));
    report("Find Next in the editor, from the start", medianMilliseconds([&] {
               editor.select({0, 0});
               bar.findNext();
           }),
           floor);

    volatile qsizetype count = 0;
    const double countFloor = medianMilliseconds([&] { count = memmemCount(text, "zebra"); });
    report("memmem, every \"zebra\"", countFloor, countFloor);
    field->setText(QStringLiteral("zebra"));
    bar.findChild<QLineEdit *>(QStringLiteral("replace"))->setText(QStringLiteral("horse"));
    qsizetype replaced = 0;
    QElapsedTimer timer;
    timer.start();
    replaced = bar.replaceAll();
    const double replaceAll = double(timer.nsecsElapsed()) / 1e6;
    std::printf("%-52s %9.1f ms  (%lld replaced)\n", "Replace All \"zebra\" in the editor",
                replaceAll, static_cast<long long>(replaced));
    timer.restart();
    editor.undo();
    std::printf("%-52s %9.1f ms\n", "Undo of the Replace All", double(timer.nsecsElapsed()) / 1e6);
    return 0;
}
