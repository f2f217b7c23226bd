#include "FileIO.h"

#include "FileError.h"
#include "PosixFile.h"
#include "SaveJournal.h"

#include <QCoreApplication>
#include <QFile>
#include <QMutex>
#include <QRandomGenerator>

#include <climits>

#include <fcntl.h>
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <sys/xattr.h>
#include <unistd.h>

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

// Kernel interfaces that look like files: writing one changes the system (a hostname, a device's
// setting), never a document, and a rename over one fails after the harm is done.
bool isPseudoFileSystem(int directory)
{
    struct statfs system {};
    if (::fstatfs(directory, &system) != 0)
        return false;
    switch (static_cast<unsigned long>(system.f_type)) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case BPF_FS_MAGIC:
    case PSTOREFS_MAGIC:
    case EFIVARFS_MAGIC:
    case SELINUX_MAGIC:
    case DEVPTS_SUPER_MAGIC:
        return true;
    default:
        return false;
    }
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

// The inode flags a user sets with chattr (no dump, synchronous writes, no copy on write...),
// where the file system has them. Immutable and append-only files never get this far: they
// refuse to be replaced.
bool takeOverInodeFlags(int temporary, const Place &place)
{
    const FileDescriptor file(::openat(place.directory.get(), place.name.constData(),
                                       O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    int flags = 0;
    if (!file.isValid() || ::ioctl(file.get(), FS_IOC_GETFLAGS, &flags) != 0)
        return !file.isValid() || errno == ENOTTY || errno == EOPNOTSUPP;
    int current = 0;
    if (::ioctl(temporary, FS_IOC_GETFLAGS, &current) != 0)
        return false;
    flags &= ~(FS_IMMUTABLE_FL | FS_APPEND_FL);
    return flags == current || ::ioctl(temporary, FS_IOC_SETFLAGS, &flags) == 0;
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
    // The folder's default ACL, which the kernel gave the new file, must not widen who may read
    // a file that had no ACL of its own; one that had gets its own back with the attributes.
    if (::fremovexattr(temporary, "system.posix_acl_access") != 0 && errno != ENODATA &&
        errno != ENOTSUP)
        return false;
    // After the owner: changing it clears the set-user and set-group bits.
    if (::fchmod(temporary, old.st_mode & 07777) != 0 || !takeOverInodeFlags(temporary, place))
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

// The new file of an atomic replace, in the same folder as the one it replaces: unnamed where the
// file system allows, so that a save killed before it is linked in leaves nothing at all, else
// under a temporary name noted in the journal. It is removed unless committed, like QSaveFile's.
class PendingReplacement final {
public:
    // A new file gets the rights the user's umask and the folder's default ACL give, as with
    // touch; a replacement starts private and takes the old file's rights over.
    PendingReplacement(const Place &place, bool isNew, const std::optional<SaveJournal> &journal)
        : m_place(place)
        , m_temporaryName(temporaryNameFor(place.name))
        , m_journal(journal)
    {
        const mode_t mode = isNew ? 0666 : 0600;
        m_file = FileDescriptor(
            ::openat(place.directory.get(), ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode));
        if (!m_file.isValid() && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
            m_file = FileDescriptor(::openat(place.directory.get(), m_temporaryName.constData(),
                                             O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, mode));
            if (m_file.isValid())
                nameNoted(false);
        }
    }
    ~PendingReplacement()
    {
        if (m_isNamed && !m_isCommitted)
            ::unlinkat(m_place.directory.get(), m_temporaryName.constData(), 0);
        m_note.forget();
    }
    PendingReplacement(const PendingReplacement &) = delete;
    PendingReplacement &operator=(const PendingReplacement &) = delete;

    bool isOpen() const { return m_file.isValid(); }
    int descriptor() const { return m_file.get(); }

    // Puts the file in place under the name it replaces, or takes for a new one.
    struct stat commit(bool isNew)
    {
        // A new file is linked in under its own name: nothing is left to rename.
        const QByteArray &linkedName = isNew ? m_place.name : m_temporaryName;
        if (!m_isNamed && !isNew)
            nameNoted(true);
        else if (!m_isNamed &&
                 ::linkat(AT_FDCWD, pathOfDescriptor(descriptor()).constData(),
                          m_place.directory.get(), linkedName.constData(), AT_SYMLINK_FOLLOW) != 0)
            fail(errno);
        if (!isNew && ::renameat(m_place.directory.get(), m_temporaryName.constData(),
                                 m_place.directory.get(), m_place.name.constData()) != 0)
            fail(errno);
        m_isCommitted = true;
        struct stat written {};
        ::fstat(descriptor(), &written);
        return written;
    }

private:
    // The note comes before the name, so that no named file is ever left without one.
    void nameNoted(bool link)
    {
        struct stat identity {};
        ::fstat(descriptor(), &identity);
        if (m_journal)
            m_note = m_journal->noteTemporary(m_place.directoryPath, m_temporaryName, identity);
        if (link &&
            ::linkat(AT_FDCWD, pathOfDescriptor(descriptor()).constData(), m_place.directory.get(),
                     m_temporaryName.constData(), AT_SYMLINK_FOLLOW) != 0)
            fail(errno);
        m_isNamed = true;
    }

    const Place &m_place;
    QByteArray m_temporaryName;
    const std::optional<SaveJournal> &m_journal;
    FileDescriptor m_file;
    SaveJournal::Note m_note;
    bool m_isNamed = false;
    bool m_isCommitted = false;
};

// A file with no other name, or a new one, is replaced atomically: the bytes go to a new file in
// the same folder, which takes over the old one's identity, is synced, and only then renamed over
// it. Returns false, having changed nothing, when the old file's identity cannot be reproduced.
bool replaceAtomically(const Place &place, const struct stat *old, QByteArrayView bytes,
                       const std::optional<SaveJournal> &journal, struct stat *written)
{
    PendingReplacement replacement(place, old == nullptr, journal);
    if (!replacement.isOpen()) {
        if (old && (errno == EACCES || errno == EPERM))
            return false; // a folder the user may not write to, with a file they may
        fail(errno);
    }
    if (old && !takeOverIdentity(replacement.descriptor(), place, *old))
        return false;
    writeAndSync(replacement.descriptor(), bytes);
    *written = replacement.commit(old == nullptr);
    return true;
}

// Said when a file written in place could not be written whole, nor put back as it was.
FileError damaged(int error, const QString &copy)
{
    return FileError(FileError::writing(error).code(),
                     systemReason(error) + QLatin1Char(' ') +
                         QCoreApplication::translate(
                             "FileError", "The file is damaged: putting it back as it was failed "
                                          "too. A whole copy of it from before this save is in "
                                          "“%1”.")
                             .arg(copy));
}

// A file that has other names, or whose owner or attributes a new file cannot be given, keeps
// its inode: it is written where it stands. A complete, synced copy is made first and written
// back if the write fails; a save killed while writing leaves the copy for the next launch, or
// the next open of the file, to put the file back from.
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
    SaveJournal::Backup backup(file.get(), place.directoryPath + '/' + place.name, status);
    // Claim the space first where the file system can, so that a full disk fails the save
    // before a byte of the file has changed.
    if (bytes.size() > status.st_size &&
        ::fallocate(file.get(), FALLOC_FL_KEEP_SIZE, 0, off_t(bytes.size())) != 0 &&
        errno != EOPNOTSUPP)
        fail(errno);
    backup.beginWriting(bytes);
    if (!writeAll(file.get(), bytes.data(), bytes.size(), 0) ||
        ::ftruncate(file.get(), off_t(bytes.size())) != 0 ||
        retryOnInterrupt([&] { return ::fsync(file.get()); }) != 0) {
        const int error = errno;
        if (!backup.writeBack(file.get())) {
            backup.keepForRecovery();
            throw damaged(error, backup.copyPath());
        }
        fail(error);
    }
    // Writing drops the set-user and set-group bits for a process that is not privileged.
    if ((status.st_mode & 07777) != (old.st_mode & 07777))
        ::fchmod(file.get(), old.st_mode & 07777);
    ::fstat(file.get(), written);
}

} // namespace

FileStamp writeFile(const QString &path, QByteArrayView bytes)
{
    // Each save ends by clearing what killed saves left beside their files, which must never be
    // the work of another save of this process half way through: saves take turns.
    static QMutex oneAtATime;
    const QMutexLocker turn(&oneAtATime);
    const Place place = placeOf(resolveLinks(QFile::encodeName(path)));
    struct stat old {};
    const bool exists =
        ::fstatat(place.directory.get(), place.name.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (!exists && errno != ENOENT)
        fail(errno);
    if (exists && S_ISLNK(old.st_mode))
        fail(ELOOP); // a link put there since it was resolved: stay safe, let the user try again
    if (exists && !S_ISREG(old.st_mode))
        throw FileError(FileError::WriteUnknown, describeNonRegular(old.st_mode));
    if (isPseudoFileSystem(place.directory.get()))
        throw FileError(FileError::WriteUnknown,
                        QCoreApplication::translate(
                            "FileError", "It belongs to the system, not to a disk: writing it "
                                         "would change the system’s settings."));
    // A file the user may not write is not replaced behind its back because its folder is
    // writable; root keeps its power to write.
    if (exists && ::faccessat(place.directory.get(), place.name.constData(), W_OK, AT_EACCESS) != 0)
        fail(errno);
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
        journal->cleanUp();
    return FileStamp::of(written);
}

} // namespace platform
