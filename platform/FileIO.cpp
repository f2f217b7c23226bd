#include "FileIO.h"

#include "FileError.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

FileError readError(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return FileError(FileError::ReadNoSuchFile, systemReason(error));
    case EACCES:
    case EPERM:
        return FileError(FileError::ReadNoPermission, systemReason(error));
    default:
        return FileError(FileError::ReadUnknown, systemReason(error));
    }
}

class FileDescriptor final {
public:
    explicit FileDescriptor(int descriptor)
        : m_descriptor(descriptor)
    {}
    ~FileDescriptor() { ::close(m_descriptor); }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return m_descriptor; }

private:
    int m_descriptor;
};

QByteArray readToEnd(int descriptor, qsizetype expectedSize)
{
    QByteArray bytes(expectedSize, Qt::Uninitialized);
    qsizetype filled = 0;
    for (;;) {
        if (filled == bytes.size()) // the file may have grown since it was measured
            bytes.resize(bytes.size() + 64 * 1024);
        const ssize_t count =
            ::read(descriptor, bytes.data() + filled, size_t(bytes.size() - filled));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            throw readError(errno);
        if (count == 0)
            break;
        filled += count;
    }
    bytes.truncate(filled);
    return bytes;
}

// Qt reports a full disk as a plain write error, so the errno of the failed call decides.
FileError writeError(const QFileDevice &file, int error)
{
    if (error == ENOSPC || error == EDQUOT)
        return FileError(FileError::WriteOutOfSpace, file.errorString());
    switch (file.error()) {
    case QFileDevice::PermissionsError:
        return FileError(FileError::WriteNoPermission, file.errorString());
    case QFileDevice::ResourceError:
        return FileError(FileError::WriteOutOfSpace, file.errorString());
    default:
        return FileError(FileError::WriteUnknown, file.errorString());
    }
}

// A save through a symbolic link replaces the file the link points at, not the link.
QString resolvedTarget(const QString &path)
{
    QString target = path;
    for (int depth = 0; depth < 32 && QFileInfo(target).isSymLink(); ++depth)
        target = QFileInfo(target).symLinkTarget();
    return target;
}

} // namespace

FileWrapper readFile(const QString &path)
{
    // POSIX rather than QFile: QFile::open blocks on a named pipe, and O_NONBLOCK lets the type
    // check below see the pipe first.
    const int descriptor =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        throw readError(errno);
    const FileDescriptor file(descriptor);
    struct stat status {};
    if (::fstat(file.get(), &status) != 0)
        throw readError(errno);
    if (!S_ISREG(status.st_mode))
        return FileWrapper::withoutRegularContents();
    return FileWrapper::regularFile(readToEnd(file.get(), qsizetype(status.st_size)));
}

void writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(resolvedTarget(path));
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        throw writeError(file, errno);
    // QSaveFile::commit() can report success after a write failed on a full disk (QTBUG-75077),
    // so every step is checked here and the save is cancelled at the first failure.
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const FileError error = writeError(file, errno);
        file.cancelWriting();
        throw error;
    }
    if (::fsync(file.handle()) != 0) {
        const int error = errno;
        file.cancelWriting();
        throw FileError(error == ENOSPC ? FileError::WriteOutOfSpace : FileError::WriteUnknown,
                        systemReason(error));
    }
    if (!file.commit())
        throw writeError(file, errno);
}

} // namespace platform
