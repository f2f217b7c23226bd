#pragma once

#include <QString>

#include <optional>

#include <sys/stat.h>

namespace platform {

/// What a file on disk was when it was last read or written: enough to tell that another
/// program has changed, replaced or deleted it since. The change time is in it because no
/// program can set it back: a rewrite of the same size with the old modification time restored
/// still moves it.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    static FileStamp of(const struct stat &status);

    /// The stamp of what `path` names now, links followed; nothing when there is no file.
    static std::optional<FileStamp> ofFile(const QString &path);

    bool isSameFile(const FileStamp &other) const
    {
        return device == other.device && inode == other.inode;
    }
    /// Whether the bytes may differ. Same file, size and times: no program has written to it.
    bool mayDifferFrom(const FileStamp &other) const;
};

} // namespace platform
