#include "FileIO.h"

#include "FileError.h"
#include "PosixFile.h"
#include "SaveJournal.h"

#include <QCoreApplication>
#include <QFile>
#include <QMutex>
#include <QRandomGenerator>

#include <climits>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace platform {
namespace {

constexpr int mostLinksFollowed = 40; // as the kernel's own limit for a path

[[noreturn]] void fail(int error)
{
    throw FileError::writing(error);
}

QString describeNonRegular(mode_t mode)
{
    const char *what = S_ISDIR(mode)    ? QT_TRANSLATE_NOOP("FileError", "It is a folder.")
                       : S_ISFIFO(mode) ? QT_TRANSLATE_NOOP("FileError", "It is a named pipe.")
                       : S_ISSOCK(mode) ? QT_TRANSLATE_NOOP("FileError", "It is a socket.")
                       : S_ISCHR(mode) || S_ISBLK(mode)
                           ? QT_TRANSLATE_NOOP("FileError", "It is a device.")
                           : QT_TRANSLATE_NOOP("FileError", "It isn’t a regular file.");
    return QCoreApplication::translate("FileError", what);
}

// Follows symbolic links the way the kernel would, so that the save replaces the file a link
// points at and never the link; a loop is an error. A missing last component is a new file.
QByteArray resolveLinks(QByteArray path)
{
    for (int hop = 0; hop <= mostLinksFollowed; ++hop) {
        struct stat status {};
        if (::lstat(path.constData(), &status) != 0) {
            if (errno == ENOENT)
                return path;
            fail(errno);
        }
        if (!S_ISLNK(status.st_mode))
            return path;
        QByteArray target(qsizetype(status.st_size > 0 ? status.st_size : PATH_MAX) + 1,
                          Qt::Uninitialized);
        const ssize_t length = ::readlink(path.constData(), target.data(), size_t(target.size()));
        if (length < 0)
            fail(errno);
        target.truncate(length);
        if (!target.startsWith('/'))
            target.prepend(path.left(path.lastIndexOf('/') + 1));
        path = target;
    }
    fail(ELOOP);
}

struct Place {
    QByteArray directoryPath;
    QByteArray name;
    FileDescriptor directory;
};

Place placeOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    Place place{slash < 0 ? QByteArray(".") : path.left(qMax<qsizetype>(slash, 1)),
                slash < 0 ? path : path.mid(slash + 1), FileDescriptor()};
    place.directory =
        FileDescriptor(::open(place.directoryPath.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!place.directory.isValid())
        fail(errno);
    return place;
}

// The path by which the kernel reaches what `descriptor` has open, whatever its name is now.
QByteArray pathOfDescriptor(int descriptor)
{
    return "/proc/self/fd/" + QByteArray::number(descriptor);
}

// The path by which the entry itself, not a link's target, is read through the directory that
// was opened, so that a rename of the directory in the meantime changes nothing.
QByteArray entryPath(const Place &place)
{
    return pathOfDescriptor(place.directory.get()) + '/' + place.name;
}

QByteArray temporaryNameFor(const QByteArray &name)
{
    const QByteArray token = QByteArray::number(QRandomGenerator::system()->generate64(), 16);
    return '.' + name.left(200) + '.' + QFile::encodeName(QCoreApplication::applicationName()) +
           '-' + token + '~';
}

void writeAndSync(int descriptor, QByteArrayView bytes)
{
    if (!writeAll(descriptor, bytes.data(), bytes.size(), 0) ||
        retryOnInterrupt([&] { return ::fsync(descriptor); }) != 0)
        fail(errno);
}

// Gives the new file the old one's owner, group, every mode bit, extended attributes and
// access control lists. False when any of them cannot be given, as when the process may not
// give the file away to its owner.
bool takeOverIdentity(int temporary, const Place &place, const struct stat &old)
{
    struct stat current {};
    if (::fstat(temporary, &current) != 0)
        return false;
    if ((current.st_uid != old.st_uid || current.st_gid != old.st_gid) &&
        ::fchown(temporary, old.st_uid, old.st_gid) != 0)
        return false;
    // After the owner: changing it clears the set-user and set-group bits.
    if (::fchmod(temporary, old.st_mode & 07777) != 0)
        return false;
    const QByteArray source = entryPath(place);
    const ssize_t listSize = ::llistxattr(source.constData(), nullptr, 0);
    if (listSize <= 0)
        return listSize == 0 || errno == ENOTSUP;
    QByteArray names(listSize, Qt::Uninitialized);
    if (::llistxattr(source.constData(), names.data(), size_t(names.size())) != listSize)
        return false;
    for (const QByteArray &name : names.split('\0')) {
        if (name.isEmpty())
            continue;
        const ssize_t size = ::lgetxattr(source.constData(), name.constData(), nullptr, 0);
        QByteArray value(qMax<ssize_t>(size, 0), Qt::Uninitialized);
        if (size < 0 ||
            ::lgetxattr(source.constData(), name.constData(), value.data(), size_t(size)) != size ||
            ::fsetxattr(temporary, name.constData(), value.constData(), size_t(size), 0) != 0)
            return false;
    }
    return true;
}

// A file with no other name, or a new one, is replaced atomically: the bytes go to a new file in
// the same folder, which takes over the old one's identity, is synced, and only then renamed over
// it. Returns false, having changed nothing, when the old file's identity cannot be reproduced.
bool replaceAtomically(Place &place, const struct stat *old, QByteArrayView bytes,
                       const std::optional<SaveJournal> &journal, struct stat *written)
{
    // An unnamed file: a save killed before it is linked in leaves nothing at all behind.
    FileDescriptor temporary(
        ::openat(place.directory.get(), ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
    QByteArray temporaryName = temporaryNameFor(place.name);
    bool named = false;
    if (!temporary.isValid() && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        temporary = FileDescriptor(::openat(place.directory.get(), temporaryName.constData(),
                                            O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600));
        named = true;
    }
    if (!temporary.isValid()) {
        if (old && (errno == EACCES || errno == EPERM))
            return false; // a folder the user may not write to, with a file they may
        fail(errno);
    }
    struct stat identity {};
    ::fstat(temporary.get(), &identity);
    QString note;
    const auto removeTemporary = [&] {
        if (named)
            ::unlinkat(place.directory.get(), temporaryName.constData(), 0);
        if (journal && !note.isEmpty())
            journal->forget(note);
    };
    if (named && journal)
        note = journal->noteTemporary(place.directoryPath, temporaryName, identity);
    if (old && !takeOverIdentity(temporary.get(), place, *old)) {
        removeTemporary();
        return false;
    }
    try {
        writeAndSync(temporary.get(), bytes);
    } catch (const FileError &) {
        removeTemporary();
        throw;
    }
    if (!named) {
        if (!old) {
            // A new file is linked in under its own name: nothing is left to rename.
            if (::linkat(AT_FDCWD, pathOfDescriptor(temporary.get()).constData(),
                         place.directory.get(), place.name.constData(), AT_SYMLINK_FOLLOW) != 0)
                fail(errno);
            ::fstat(temporary.get(), written);
            return true;
        }
        if (journal)
            note = journal->noteTemporary(place.directoryPath, temporaryName, identity);
        if (::linkat(AT_FDCWD, pathOfDescriptor(temporary.get()).constData(), place.directory.get(),
                     temporaryName.constData(), AT_SYMLINK_FOLLOW) != 0) {
            const int error = errno;
            removeTemporary();
            fail(error);
        }
        named = true;
    }
    if (::renameat(place.directory.get(), temporaryName.constData(), place.directory.get(),
                   place.name.constData()) != 0) {
        const int error = errno;
        removeTemporary();
        fail(error);
    }
    if (journal && !note.isEmpty())
        journal->forget(note);
    ::fstat(temporary.get(), written);
    return true;
}

bool copyAll(int from, int to, off_t size)
{
    std::vector<char> buffer(size_t(1024) * 1024);
    for (off_t offset = 0; offset < size;) {
        const ssize_t count =
            retryOnInterrupt([&] { return ::pread(from, buffer.data(), buffer.size(), offset); });
        if (count <= 0)
            return false;
        if (!writeAll(to, buffer.data(), count, offset))
            return false;
        offset += count;
    }
    return ::ftruncate(to, size) == 0 && retryOnInterrupt([&] { return ::fsync(to); }) == 0;
}

// A file that has other names, or whose owner or attributes a new file cannot be given, keeps
// its inode: it is written where it stands. A complete, synced copy is made first and written
// back if the write fails; it is removed only once the new text is safely on disk.
void writeInPlace(const Place &place, const struct stat &old, QByteArrayView bytes,
                  const std::optional<SaveJournal> &journal, struct stat *written)
{
    const FileDescriptor file(::openat(place.directory.get(), place.name.constData(),
                                       O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (!file.isValid())
        fail(errno);
    if (::fstat(file.get(), &status) != 0 || status.st_ino != old.st_ino ||
        status.st_dev != old.st_dev || !S_ISREG(status.st_mode))
        fail(EAGAIN); // replaced while the save began; the next save sees the file as it is
    if (!journal)
        throw FileError(FileError::WriteUnknown,
                        QCoreApplication::translate("FileError", "No backup copy could be made."));
    QString note;
    const FileDescriptor backup =
        journal->makeBackup(place.directoryPath + '/' + place.name, status, &note);
    if (!backup.isValid() || !copyAll(file.get(), backup.get(), status.st_size)) {
        const int error = errno;
        journal->forget(note);
        fail(error);
    }
    // Claim the space first where the file system can, so that a full disk fails the save
    // before a byte of the file has changed.
    if (bytes.size() > status.st_size &&
        ::fallocate(file.get(), FALLOC_FL_KEEP_SIZE, 0, off_t(bytes.size())) != 0 &&
        errno != EOPNOTSUPP) {
        const int error = errno;
        journal->forget(note);
        fail(error);
    }
    if (!writeAll(file.get(), bytes.data(), bytes.size(), 0) ||
        ::ftruncate(file.get(), off_t(bytes.size())) != 0 ||
        retryOnInterrupt([&] { return ::fsync(file.get()); }) != 0) {
        const int error = errno;
        // The old bytes go back; should that fail too, the copy stays in the journal.
        if (copyAll(backup.get(), file.get(), status.st_size))
            journal->forget(note);
        fail(error);
    }
    // Writing drops the set-user and set-group bits for a process that is not privileged.
    if ((status.st_mode & 07777) != (old.st_mode & 07777))
        ::fchmod(file.get(), old.st_mode & 07777);
    journal->forget(note);
    ::fstat(file.get(), written);
}

} // namespace

FileStamp writeFile(const QString &path, QByteArrayView bytes)
{
    // Each save ends by clearing what killed saves left beside their files, which must never be
    // the work of another save of this process half way through: saves take turns.
    static QMutex oneAtATime;
    const QMutexLocker turn(&oneAtATime);
    Place place = placeOf(resolveLinks(QFile::encodeName(path)));
    struct stat old {};
    const bool exists =
        ::fstatat(place.directory.get(), place.name.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (!exists && errno != ENOENT)
        fail(errno);
    if (exists && S_ISLNK(old.st_mode))
        fail(ELOOP); // a link put there since it was resolved: stay safe, let the user try again
    if (exists && !S_ISREG(old.st_mode))
        throw FileError(FileError::WriteUnknown, describeNonRegular(old.st_mode));
    const std::optional<SaveJournal> journal = SaveJournal::open();
    struct stat written {};
    const bool keepsInode =
        (exists && old.st_nlink > 1) ||
        !replaceAtomically(place, exists ? &old : nullptr, bytes, journal, &written);
    if (keepsInode)
        writeInPlace(place, old, bytes, journal, &written);
    // The new name must survive a power cut as well as the bytes.
    ::fsync(place.directory.get());
    if (journal)
        journal->cleanUp(written);
    return FileStamp::of(written);
}

} // namespace platform
