#include "SaveJournal.h"

#include "FileError.h"
#include "FileIO.h"
#include "StandardDirectories.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <ctime>

#include <fcntl.h>
#include <sys/file.h>

namespace platform {
namespace {

const QByteArray temporaryKind = "temporary";
const QByteArray copyKind = "copy";
// What versions before the copy's note said when writing began wrote: such a copy is kept until
// the user decides, since nothing tells whether its file was written.
const QByteArray earlierCopyKind = "backup";
const QString copySuffix = QStringLiteral(".backup");

// A file written in place that last changed this close to when its save began writing was last
// changed by that save; a later change is another program's.
constexpr time_t writeWindowSeconds = 2;

struct Writing {
    timespec began{};
    qint64 newSize = -1;
    quint64 newHash = 0;
};

struct NoteText {
    QByteArray kind;
    QByteArray directory;
    QByteArray name;
    dev_t device = 0;
    ino_t inode = 0;
    std::optional<Writing> writing;
};

std::optional<NoteText> parse(const QByteArray &text)
{
    const QList<QByteArray> fields = text.split('\n');
    if (fields.size() < 5)
        return std::nullopt;
    NoteText note{fields[0],
                  QByteArray::fromPercentEncoding(fields[1]),
                  QByteArray::fromPercentEncoding(fields[2]),
                  dev_t(fields[3].toULongLong()),
                  ino_t(fields[4].toULongLong()),
                  std::nullopt};
    const QList<QByteArray> writing = fields.value(5).split(' ');
    if (writing.size() == 5 && writing[0] == "writing")
        note.writing = Writing{{time_t(writing[1].toLongLong()), long(writing[2].toLong())},
                               writing[3].toLongLong(),
                               writing[4].toULongLong()};
    else if (note.kind == earlierCopyKind)
        note.writing = Writing();
    return note;
}

QByteArray textOf(const QByteArray &kind, const QByteArray &directory, const QByteArray &name,
                  const struct stat &identity)
{
    return kind + '\n' + directory.toPercentEncoding() + '\n' + name.toPercentEncoding() + '\n' +
           QByteArray::number(quint64(identity.st_dev)) + '\n' +
           QByteArray::number(quint64(identity.st_ino)) + '\n';
}

FileDescriptor lockedOpen(const QString &path, int flags)
{
    FileDescriptor file(
        ::open(QFile::encodeName(path).constData(), flags | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (file.isValid() && ::flock(file.get(), LOCK_EX | LOCK_NB) != 0)
        return {};
    return file;
}

// Removes `name` in `directory` only while it is the very regular file the note describes.
void removeIfStillOurs(const NoteText &note)
{
    const FileDescriptor directory(
        ::open(note.directory.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!directory.isValid())
        return;
    struct stat status {};
    if (::fstatat(directory.get(), note.name.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(status.st_mode) && status.st_dev == note.device && status.st_ino == note.inode)
        ::unlinkat(directory.get(), note.name.constData(), 0);
}

void putBack(const QString &file, const QString &copy)
{
    const FileDescriptor from(::open(QFile::encodeName(copy).constData(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (!from.isValid() || ::fstat(from.get(), &status) != 0)
        throw FileError::writing(errno);
    const FileDescriptor to(::open(QFile::encodeName(file).constData(),
                                   O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666));
    struct stat target {};
    if (!to.isValid() || ::fstat(to.get(), &target) != 0)
        throw FileError::writing(errno);
    if (!S_ISREG(target.st_mode))
        throw FileError(FileError::WriteUnknown);
    if (!copyBytes(from.get(), to.get(), status.st_size))
        throw FileError::writing(errno);
}

bool hasSameBytes(const QString &one, const QString &other)
{
    try {
        const FileDigest first = digestFile(one);
        const FileDigest second = digestFile(other);
        return first.stamp.size == second.stamp.size && first.hash == second.hash;
    } catch (const FileError &) {
        return false;
    }
}

// What a save in place that stopped left its file as: whole (nothing to report), torn by the
// save itself (put back from the copy), or changed by someone since.
std::optional<InterruptedSave> settleCopy(const NoteText &text, SaveJournal::Note note)
{
    const QString file = QFile::decodeName(text.directory);
    const QString copy = note.path() + copySuffix;
    if (!QFileInfo::exists(copy)) {
        note.forget(); // nothing left to put back
        return std::nullopt;
    }
    struct stat status {};
    const bool isSameFile = ::stat(QFile::encodeName(file).constData(), &status) == 0 &&
                            S_ISREG(status.st_mode) && status.st_dev == text.device &&
                            status.st_ino == text.inode;
    if (isSameFile) {
        std::optional<FileDigest> now;
        try {
            now = digestFile(file);
        } catch (const FileError &) {
        }
        const Writing &writing = *text.writing;
        if ((now && now->stamp.size == writing.newSize && now->hash == writing.newHash) ||
            hasSameBytes(file, copy)) {
            note.forget();
            return std::nullopt;
        }
        if (writing.began.tv_sec > 0 &&
            qAbs(status.st_ctim.tv_sec - writing.began.tv_sec) <= writeWindowSeconds) {
            InterruptedSave save{
                InterruptedSave::Finding::PutBack, file, copy, {}, std::move(note)};
            try {
                putBackFromCopy(save);
            } catch (const FileError &error) {
                save.finding = InterruptedSave::Finding::CouldNotPutBack;
                save.reason = error.systemReason();
            }
            return save;
        }
    }
    return InterruptedSave{InterruptedSave::Finding::ChangedSince, file, copy, {}, std::move(note)};
}

std::optional<SaveJournal::Note> claimLeftNote(const QString &path)
{
    FileDescriptor lock = lockedOpen(path, O_RDWR);
    if (!lock.isValid())
        return std::nullopt; // its save still runs
    return SaveJournal::Note(path, std::move(lock));
}

QByteArray contentsOf(const SaveJournal::Note &note)
{
    QByteArray text(4096, Qt::Uninitialized);
    text.truncate(qMax<qsizetype>(0, readUpTo(note.descriptor(), text.data(), text.size())));
    return text;
}

QString journalFolder()
{
    return privateStateFolder(QStringLiteral("unfinished-saves")).value_or(QString());
}

// The notes left by saves that ended, each claimed by this process.
template <class Visit> void forEachLeftNote(const QString &folder, Visit visit)
{
    const QDir directory(folder);
    for (const QString &name : directory.entryList(QDir::Files)) {
        if (name.endsWith(copySuffix) || name.startsWith(QLatin1Char('.')))
            continue;
        std::optional<SaveJournal::Note> note = claimLeftNote(directory.filePath(name));
        if (!note)
            continue;
        const std::optional<NoteText> text = parse(contentsOf(*note));
        if (!text) {
            note->forget(); // its save was killed while writing it, before touching any file
            continue;
        }
        visit(*text, std::move(*note));
    }
}

} // namespace

std::optional<SaveJournal> SaveJournal::open()
{
    if (journalFolder().isEmpty())
        return std::nullopt;
    return SaveJournal();
}

void SaveJournal::Note::forget()
{
    if (m_path.isEmpty())
        return;
    QFile::remove(m_path + copySuffix);
    QFile::remove(m_path);
    keep();
}

void SaveJournal::Note::keep()
{
    m_lock.reset();
    m_path.clear();
}

SaveJournal::Note SaveJournal::noteTemporary(const QByteArray &directory, const QByteArray &name,
                                             const struct stat &identity) const
{
    return writeNote(textOf(temporaryKind, directory, name, identity));
}

// Written under a hidden name and renamed once locked and whole, so that no clean-up ever sees a
// note that is not yet its save's.
SaveJournal::Note SaveJournal::writeNote(const QByteArray &text)
{
    const QString folder = journalFolder();
    const QString token = QString::number(QRandomGenerator::system()->generate64(), 16);
    const QString hidden = folder + QStringLiteral("/.") + token;
    FileDescriptor lock = lockedOpen(hidden, O_RDWR | O_CREAT | O_EXCL);
    // A note that cannot be written costs only a clean-up later, never the save.
    if (!lock.isValid() || !writeAll(lock.get(), text.constData(), text.size(), 0) ||
        ::rename(QFile::encodeName(hidden).constData(),
                 QFile::encodeName(folder + QLatin1Char('/') + token).constData()) != 0) {
        QFile::remove(hidden);
        return {};
    }
    return {folder + QLatin1Char('/') + token, std::move(lock)};
}

void SaveJournal::cleanUp() const
{
    forEachLeftNote(journalFolder(), [](const NoteText &text, Note note) {
        if (text.kind == temporaryKind)
            removeIfStillOurs(text);
        if (text.writing)
            note.keep(); // its file may be torn: settled at the next launch or open
        else
            note.forget();
    });
}

SaveJournal::Backup::Backup(int file, const QByteArray &target, const struct stat &status)
    : m_note(writeNote(textOf(
          copyKind,
          target.startsWith('/') ? target : QFile::encodeName(QDir::currentPath()) + '/' + target,
          {}, status)))
    , m_size(status.st_size)
{
    if (m_note.path().isEmpty())
        throw FileError(FileError::WriteUnknown,
                        QCoreApplication::translate("FileError", "No backup copy could be made."));
    m_copy = FileDescriptor(::open(QFile::encodeName(copyPath()).constData(),
                                   O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!m_copy.isValid() || !copyBytes(file, m_copy.get(), m_size)) {
        const int error = errno;
        m_note.forget();
        throw FileError::writing(error);
    }
}

void SaveJournal::Backup::beginWriting(QByteArrayView bytes)
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const QByteArray line = "writing " + QByteArray::number(qint64(now.tv_sec)) + ' ' +
                            QByteArray::number(qint64(now.tv_nsec)) + ' ' +
                            QByteArray::number(bytes.size()) + ' ' +
                            QByteArray::number(contentHash(bytes)) + '\n';
    const off_t end = ::lseek(m_note.descriptor(), 0, SEEK_END);
    const FileDescriptor folder(::open(QFile::encodeName(QFileInfo(m_note.path()).path()),
                                       O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (end < 0 || !writeAll(m_note.descriptor(), line.constData(), line.size(), end) ||
        ::fdatasync(m_note.descriptor()) != 0 || !folder.isValid() || ::fsync(folder.get()) != 0)
        throw FileError::writing(errno);
}

bool SaveJournal::Backup::writeBack(int file)
{
    return copyBytes(m_copy.get(), file, m_size);
}

QString SaveJournal::Backup::copyPath() const
{
    return m_note.path() + copySuffix;
}

std::vector<InterruptedSave> settleInterruptedSaves(const QString &file)
{
    std::vector<InterruptedSave> found;
    const QString folder = journalFolder();
    if (folder.isEmpty())
        return found;
    struct stat wanted {};
    const bool hasFile =
        !file.isEmpty() && ::stat(QFile::encodeName(file).constData(), &wanted) == 0;
    const QString canonical = QFileInfo(file).canonicalFilePath();
    forEachLeftNote(folder, [&](const NoteText &text, SaveJournal::Note note) {
        const QString target = QFile::decodeName(text.directory);
        const bool isWanted =
            file.isEmpty() || target == file ||
            (hasFile && wanted.st_dev == text.device && wanted.st_ino == text.inode) ||
            (!canonical.isEmpty() && QFileInfo(target).canonicalFilePath() == canonical);
        if (text.kind == temporaryKind) {
            if (!file.isEmpty())
                return; // another file's: left for a full settling or the next save
            removeIfStillOurs(text);
            note.forget();
            return;
        }
        if (!text.writing) // a copy of a file that was never written
            note.forget();
        if (!isWanted || !text.writing)
            return;
        if (std::optional<InterruptedSave> save = settleCopy(text, std::move(note)))
            found.push_back(std::move(*save));
    });
    return found;
}

void putBackFromCopy(InterruptedSave &save)
{
    putBack(save.file, save.copy);
    save.note.forget();
}

} // namespace platform
