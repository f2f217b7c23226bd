// Saves standard input's bytes to one file through the editor's own file functions, in a process
// of its own, so that a test can run it under strace's fault injection or as another user:
//     file_probe write PATH
// A failure prints the message the user would see and exits with 1.

#include "FileError.h"
#include "FileIO.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    const QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("scribbet-tests"));
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
