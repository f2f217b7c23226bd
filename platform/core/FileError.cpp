#include "FileError.h"

#include "PosixFile.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cerrno>

namespace platform {
namespace {

QString sentenceFor(FileError::Code code)
{
    switch (code) {
    case FileError::ReadNoPermission:
        return QCoreApplication::translate(
            "FileError",
            "The file “%1” couldn’t be opened because you don’t have permission to view it.");
    case FileError::ReadInvalidFileName:
        return QCoreApplication::translate(
            "FileError", "The file “%1” couldn’t be opened because its name can’t be read as "
                         "UTF-8, so another file could be opened in its place.");
    case FileError::ReadCorruptFile:
        return QCoreApplication::translate(
            "FileError", "The file “%1” couldn’t be opened because it isn’t a regular file.");
    case FileError::ReadNoSuchFile:
        return QCoreApplication::translate(
            "FileError", "The file “%1” couldn’t be opened because there is no such file.");
    case FileError::ReadInapplicableStringEncoding:
        return QCoreApplication::translate(
            "FileError", "The file “%1” couldn’t be opened because the text encoding of its "
                         "contents can’t be determined.");
    case FileError::ReadTooLarge:
        return QCoreApplication::translate(
            "FileError", "The file “%1” couldn’t be opened because it is too large.");
    case FileError::WriteNoPermission:
        return QCoreApplication::translate(
            "FileError", "The file “%1” couldn’t be saved because you don’t have permission.");
    case FileError::WriteOutOfSpace:
        return QCoreApplication::translate(
            "FileError", "The file “%1” couldn’t be saved because there isn’t enough space.");
    case FileError::WriteVolumeReadOnly:
        return QCoreApplication::translate(
            "FileError", "The file “%1” couldn’t be saved because the volume is read only.");
    case FileError::WriteUnknown:
        return QCoreApplication::translate("FileError", "The file “%1” couldn’t be saved.");
    case FileError::ReadUnknown:
        break;
    }
    return QCoreApplication::translate("FileError", "The file “%1” couldn’t be opened.");
}

} // namespace

FileError FileError::reading(int error)
{
    Code code = ReadUnknown;
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        code = ReadNoSuchFile;
        break;
    case EACCES:
    case EPERM:
        code = ReadNoPermission;
        break;
    case ENOMEM:
    case EFBIG:
    case EOVERFLOW:
        code = ReadTooLarge;
        break;
    }
    return FileError(code, platform::systemReason(error));
}

FileError FileError::writing(int error)
{
    Code code = WriteUnknown;
    switch (error) {
    case EACCES:
    case EPERM:
        code = WriteNoPermission;
        break;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        code = WriteOutOfSpace;
        break;
    case EROFS:
        code = WriteVolumeReadOnly;
        break;
    }
    return FileError(code, platform::systemReason(error));
}

FileError FileError::outOfMemory()
{
    return FileError(ReadTooLarge,
                     QCoreApplication::translate("FileError", "There isn’t enough memory."));
}

QString FileError::message(const QString &path) const
{
    QString sentence = sentenceFor(m_code).arg(QFileInfo(path).fileName());
    // Most read codes say all the user needs; a failed write and an unknown failure also say
    // what the system answered, so that an immutable file or a full quota can be told apart.
    const bool saysWhy = isWriteError() || m_code == ReadUnknown || m_code == ReadTooLarge;
    if (saysWhy && !m_systemReason.isEmpty())
        sentence += QLatin1Char(' ') + m_systemReason;
    return sentence;
}

} // namespace platform
