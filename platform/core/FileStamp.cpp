#include "FileStamp.h"

#include <QFile>

namespace platform {
namespace {

bool operator==(const timespec &left, const timespec &right)
{
    return left.tv_sec == right.tv_sec && left.tv_nsec == right.tv_nsec;
}

} // namespace

FileStamp FileStamp::of(const struct stat &status)
{
    FileStamp stamp;
    stamp.device = status.st_dev;
    stamp.inode = status.st_ino;
    stamp.size = status.st_size;
#ifdef Q_OS_MACOS
    stamp.modified = status.st_mtimespec;
    stamp.changed = status.st_ctimespec;
#else
    stamp.modified = status.st_mtim;
    stamp.changed = status.st_ctim;
#endif
    return stamp;
}

std::optional<FileStamp> FileStamp::ofFile(const QString &path)
{
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return of(status);
}

bool FileStamp::mayDifferFrom(const FileStamp &other) const
{
    return !isSameFile(other) || size != other.size || !(modified == other.modified) ||
           !(changed == other.changed);
}

} // namespace platform
