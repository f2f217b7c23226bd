// Reads and writes 100 MB in three forms and sets each figure beside the time of copying the same
// bytes in memory, measured in the same run. Best of five; run a release build:
//     cmake --preset bench && cmake --build --preset bench
//     build/bench/bench/bench_textdocument_format

#include "TextDocument.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

using scribbet::TextDocument;

namespace {

constexpr qsizetype targetSize = 100 * 1000 * 1000;
constexpr int rounds = 5;

QByteArray repeatTo(const QByteArray &pattern, qsizetype size)
{
    QByteArray result;
    result.reserve(size + pattern.size());
    while (result.size() < size)
        result += pattern;
    return result;
}

QByteArray asciiProse()
{
    return repeatTo("It was the best of times, it was the worst of times, it was the age of "
                    "wisdom, it was the age of foolishness.\n",
                    targetSize);
}

const QString multibyteLine =
    QStringLiteral("Grüße aus Köln. Привет, мир. Γειά σου κόσμε. "
                   "你好，世界。こんにちは。안녕하세요. 🙂 done\n");

QByteArray mixedMultibyte()
{
    return repeatTo(multibyteLine.toUtf8(), targetSize);
}

QByteArray utf16WithMark()
{
    const QByteArray line(reinterpret_cast<const char *>(multibyteLine.utf16()),
                          multibyteLine.size() * 2);
    return QByteArray("\xFF\xFE") + repeatTo(line, targetSize);
}

// The best of several rounds of `work`; `prepare` runs before each round and is not timed.
double bestSeconds(const std::function<void()> &prepare, const std::function<void()> &work)
{
    double best = 1e9;
    for (int round = 0; round < rounds; ++round) {
        prepare();
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        best = std::min(best, elapsed.count());
    }
    return best;
}

double copySeconds(const QByteArray &bytes)
{
    return bestSeconds([] {},
                       [&] {
                           QByteArray copy(bytes.size(), Qt::Uninitialized);
                           std::memcpy(copy.data(), bytes.constData(), size_t(bytes.size()));
                       });
}

void report(const char *what, qsizetype size, double seconds, double copy, double target)
{
    std::printf("%-34s %6.1f MB %8.1f ms  %5.2fx copy  (target %.1fx)%s\n", what, size / 1e6,
                seconds * 1e3, seconds / copy, target, seconds / copy <= target ? "" : "  MISSED");
}

void measureRead(const char *name, const QByteArray &bytes, double target)
{
    const double copy = copySeconds(bytes);
    std::printf("%-34s %6.1f MB %8.1f ms\n", (std::string("copy ") + name).c_str(),
                bytes.size() / 1e6, copy * 1e3);
    QByteArray owned; // the reader is handed bytes of its own, as when a file is opened
    const double read = bestSeconds(
        [&] {
            owned = QByteArray(bytes.size(), Qt::Uninitialized);
            std::memcpy(owned.data(), bytes.constData(), size_t(bytes.size()));
        },
        [&] {
            const TextDocument document(
                platform::ReadConfiguration{platform::FileWrapper::regularFile(std::move(owned))});
        });
    report((std::string("read ") + name).c_str(), bytes.size(), read, copy, target);
}

void measureWrite(const QByteArray &text, const QString &path)
{
    const double copy = copySeconds(text);
    const TextDocument document(text);
    const double write = bestSeconds([] {},
                                     [&] {
                                         QFile file(path);
                                         if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                                             std::abort();
                                         const std::optional<QByteArray> bytes =
                                             document.fileWrapper().regularFileContents();
                                         if (file.write(*bytes) != bytes->size())
                                             std::abort();
                                     });
    report("write UTF-8 to a file (page cache)", text.size(), write, copy, 1.5);
}

} // namespace

int main()
{
    QTemporaryDir folder;
    const QByteArray ascii = asciiProse();
    measureRead("ASCII prose", ascii, 2.0);
    measureRead("mixed multibyte UTF-8", mixedMultibyte(), 4.0);
    measureRead("UTF-16 LE with mark", utf16WithMark(), 6.0);
    measureWrite(ascii, folder.filePath(QStringLiteral("written.txt")));
    return 0;
}
