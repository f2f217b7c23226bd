#pragma once

#include "FileStamp.h"
#include "FileWrapper.h"

#include <QByteArrayView>

class QString;

namespace platform {

/// The most a file may hold to be opened. Beyond it the editing control cannot keep or lay out
/// the text safely, so such a file is refused before it is read.
struct ReadLimits {
    qsizetype largestFile = qsizetype(1) << 30;
    qsizetype longestLine = qsizetype(256) << 20;
};

/// What was read of a file: its contents, and the stamp of the very file opened, taken before a
/// byte was read (a change while reading looks like a later change, never like none).
struct FileContents {
    FileWrapper file;
    FileStamp stamp;
};

/// Reads the item at `path` into a file wrapper: a regular file's bytes, or a wrapper without
/// regular contents for a directory, a pipe or a device. Never blocks on a pipe, and never reads
/// past the limits, even from a file that grows or a pseudo-file that states no size.
/// Throws FileError when the item cannot be read, is beyond the limits or does not fit in memory.
FileContents readFile(const QString &path, const ReadLimits &limits = {});

/// A hash of `bytes` that tells a file's contents apart from another's, as digestFile() also
/// gives it. It is the same in every run, so it may be kept on disk.
quint64 contentHash(QByteArrayView bytes);

/// The stamp and the contentHash() of the regular file at `path`, read a piece at a time, so
/// that checking a large file costs no memory of its size. Throws FileError when it cannot be
/// read or is no regular file.
struct FileDigest {
    FileStamp stamp;
    quint64 hash = 0;
};
FileDigest digestFile(const QString &path);

/// Saves `bytes` to the file at `path` and returns what the file is afterwards.
///
/// Symbolic links are followed to the file they name, which gets the bytes; a loop, a folder, a
/// pipe, a socket or a device there is refused. The file keeps its owner, group, mode bits,
/// extended attributes and access control lists. A file with a single name is replaced
/// atomically (a new file, synced, renamed over it; the folder synced after); a file with other
/// hard links, or whose identity a new file cannot take over, is written in place after a
/// complete backup copy. Either way a failure leaves the old file as it was and throws
/// FileError with the system's reason; a save killed at any moment leaves the old file or the
/// new one, and what it left beside it is removed by the next save. Saves from several threads
/// take turns.
FileStamp writeFile(const QString &path, QByteArrayView bytes);

/// The absolute path of what `path` names, as the kernel resolves it: its folder with every link
/// and ".." followed in turn, where a textual clean-up would drop a ".." that comes after a link
/// to another folder; the last name is kept as given. A folder that does not exist is cleaned up
/// as text, for a file yet to be made there.
QString resolvedPath(const QString &path);

} // namespace platform
