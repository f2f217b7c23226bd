// Reads or writes one file through the editor's own file functions, so that a test can run them
// in a process of their own: under strace's fault injection, or as another user.
//   file_probe read PATH     prints the bytes
//   file_probe write PATH    saves standard input's bytes
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
    if (argc != 3)
        return 2;
    const QString path = QFile::decodeName(argv[2]);
    try {
        if (qstrcmp(argv[1], "read") == 0) {
            const QByteArray bytes =
                platform::readFile(path).regularFileContents().value_or(QByteArray());
            std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
            return 0;
        }
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
