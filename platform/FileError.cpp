#include "FileError.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace platform {

QString FileError::message(const QString &path) const
{
    const QString name = QFileInfo(path).fileName();
    QString sentence;
    switch (m_code) {
    case ReadNoPermission:
        sentence = QCoreApplication::translate(
            "FileError", "The file “%1” couldn’t be opened because you don’t have permission to "
                         "view it.");
        break;
    case ReadCorruptFile:
        sentence = QCoreApplication::translate(
            "FileError", "The file “%1” couldn’t be opened because it isn’t a regular file.");
        break;
    case ReadNoSuchFile:
        sentence = QCoreApplication::translate(
            "FileError", "The file “%1” couldn’t be opened because there is no such file.");
        break;
    case ReadInapplicableStringEncoding:
        sentence = QCoreApplication::translate(
            "FileError", "The file “%1” couldn’t be opened because the text encoding of its "
                         "contents can’t be determined.");
        break;
    case WriteNoPermission:
        sentence = QCoreApplication::translate(
            "FileError", "The file “%1” couldn’t be saved because you don’t have permission.");
        break;
    case WriteOutOfSpace:
        sentence = QCoreApplication::translate(
            "FileError", "The file “%1” couldn’t be saved because there isn’t enough space.");
        break;
    case WriteUnknown:
        sentence = QCoreApplication::translate("FileError", "The file “%1” couldn’t be saved.");
        break;
    case ReadUnknown:
        sentence = QCoreApplication::translate("FileError", "The file “%1” couldn’t be opened.");
        break;
    }
    sentence = sentence.arg(name);
    // The known codes already say what the system would; only an unknown failure needs its words.
    if ((m_code == ReadUnknown || m_code == WriteUnknown) && !m_systemReason.isEmpty())
        sentence += QLatin1Char(' ') + m_systemReason;
    return sentence;
}

} // namespace platform
