#pragma once

#include "FileWrapper.h"

class QString;

namespace platform {

/// Reads the item at `path` into a file wrapper: a regular file's bytes, or a wrapper without
/// regular contents for a directory, a pipe or a device. Never blocks on a pipe.
/// Throws FileError when the item cannot be read at all.
FileWrapper readFile(const QString &path);

/// Replaces the file at `path` with `bytes` so that it is either wholly the old file or wholly
/// the new one: the bytes go to a temporary file that is flushed, synced and only then renamed
/// over the old one. A symbolic link keeps pointing where it pointed, and an existing file keeps
/// its permissions. Throws FileError, and leaves the old file as it was, on any failure.
void writeFileAtomically(const QString &path, const QByteArray &bytes);

} // namespace platform
