#include "DiskVersion.h"

#include "FileError.h"
#include "FileIO.h"

#include <ctime>

namespace platform {
namespace {

// File systems stamp changes with a coarse clock, some to two seconds: two changes within that
// are not told apart safely by their stamps alone.
bool isRacy(const FileStamp &stamp)
{
    return std::time(nullptr) - stamp.changed.tv_sec < 2;
}

} // namespace

DiskCheck checkFile(const QString &path, const std::optional<DiskVersion> &known)
{
    const std::optional<FileStamp> now = FileStamp::ofFile(path);
    if (!known) // a document for a file not yet written: one that appeared is another's
        return {now ? DiskChange::Changed : DiskChange::None, std::nullopt};
    if (!now)
        return {DiskChange::Deleted, std::nullopt};
    if (!now->mayDifferFrom(known->stamp) && !known->isRacy)
        return {};
    // The same bytes written again, only the owner, mode or links changed, or a stamp that
    // cannot be trusted: the bytes decide.
    if (now->size == known->stamp.size) {
        try {
            const FileDigest disk = digestFile(path);
            if (disk.hash == known->contentHash)
                return {DiskChange::None, DiskVersion{disk.stamp, disk.hash, isRacy(disk.stamp)}};
        } catch (const FileError &) {
            // Unreadable now: changed, as far as anyone can tell.
        }
    }
    return {DiskChange::Changed, std::nullopt};
}

DocumentFile readDocumentFile(const QString &path)
{
    FileContents read = readFile(path);
    const std::optional<QByteArray> &bytes = read.file.regularFileContents();
    const DiskVersion version{read.stamp, bytes ? contentHash(*bytes) : 0, isRacy(read.stamp)};
    return {std::move(read.file), version};
}

DiskVersion saveDocumentFile(const QString &path, QByteArrayView bytes)
{
    const quint64 hash = contentHash(bytes);
    return {writeFile(path, bytes), hash, false};
}

} // namespace platform
