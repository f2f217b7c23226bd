#pragma once

#include "FileStamp.h"
#include "FileWrapper.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace platform {

/// The bytes of a file, told apart from others by their size and contentHash().
struct FileVersion {
    qint64 size = 0;
    quint64 hash = 0;

    friend bool operator==(const FileVersion &, const FileVersion &) = default;
};

/// What a document last read from its file or wrote to it: what another program's change is
/// told by.
struct DiskVersion {
    FileStamp stamp;
    quint64 contentHash = 0;
    /// Whether the stamp alone cannot tell a later change: another program changed the file so
    /// shortly before it was read that a second change within the same tick of the file system's
    /// clock would leave the stamp as it is. Such a file is told by its bytes, as git does with
    /// racily clean files. What the program wrote itself is not racy: its own stamp is the last.
    bool isRacy = false;

    FileVersion bytes() const { return {qint64(stamp.size), contentHash}; }
};

enum class DiskChange { None, Changed, Deleted };

struct DiskCheck {
    DiskChange change = DiskChange::None;
    /// The version to keep from now on when the file holds the same bytes under a new stamp:
    /// touched, its mode or links changed, or a racy stamp that the bytes confirm.
    std::optional<DiskVersion> confirmed;
};

/// Whether the file at `path` (links followed) still holds `known`, the version last read or
/// written; without one, as for a document whose file is yet to be written, any file is a
/// change. A stamp that says nothing moved is taken at its word, unless racy; otherwise a file
/// of the same size is compared by its bytes, a piece at a time. Changes nothing.
DiskCheck checkFile(const QString &path, const std::optional<DiskVersion> &known);

/// A document's file as read, and the version it held then. Throws FileError.
struct DocumentFile {
    FileWrapper file;
    DiskVersion version;
};
DocumentFile readDocumentFile(const QString &path);

/// Saves `bytes` as writeFile() does and returns the version now on disk. Throws FileError.
DiskVersion saveDocumentFile(const QString &path, QByteArrayView bytes);

} // namespace platform
