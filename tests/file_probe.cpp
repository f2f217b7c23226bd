// Runs the editor's own file functions in a process of its own, so that a test can run them under
// strace's fault injection, as another user or with a umask of its own:
//     file_probe write PATH     saves standard input's bytes to PATH
//     file_probe settle         settles the saves that killed probes left, as a launch does
// A failed save prints the message the user would see and exits with 1; settle prints a line per
// file it has to tell about: what it found, then the file.

#include "FileError.h"
#include "FileIO.h"
#include "SaveJournal.h"

#include <QCoreApplication>
#include <QFile>

#include <array>
#include <cstdio>

namespace {

int settle()
{
    for (const platform::InterruptedSave &save : platform::settleInterruptedSaves()) {
        const std::array finding{"put back", "could not put back", "changed since"};
        std::printf("%s %s\n", finding.at(size_t(save.finding)), qPrintable(save.file));
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    const QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("scribbet-tests"));
    if (argc == 2 && qstrcmp(argv[1], "settle") == 0)
        return settle();
    if (argc != 3 || qstrcmp(argv[1], "write") != 0)
        return 2;
    const QString path = QFile::decodeName(argv[2]);
    try {
        QFile input;
        if (!input.open(stdin, QIODevice::ReadOnly))
            return 2;
        platform::writeFile(path, input.readAll());
        return 0;
    } catch (const platform::FileError &error) {
        std::printf("%s\n", qPrintable(error.message(path)));
        return 1;
    }
}
