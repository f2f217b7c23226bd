#include "SaveJournal.h"

#include "StandardDirectories.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <fcntl.h>

namespace platform {
namespace {

const QByteArray temporaryKind = "temporary";
const QByteArray backupKind = "backup";

struct Note {
    QByteArray kind;
    QByteArray directory;
    QByteArray name;
    dev_t device = 0;
    ino_t inode = 0;
};

std::optional<Note> readNote(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QList<QByteArray> fields = file.readAll().split('\n');
    if (fields.size() < 5)
        return std::nullopt;
    return Note{fields[0], QByteArray::fromPercentEncoding(fields[1]),
                QByteArray::fromPercentEncoding(fields[2]), dev_t(fields[3].toULongLong()),
                ino_t(fields[4].toULongLong())};
}

// Removes `name` in `directory` only while it is the very regular file the note describes.
void removeIfStillOurs(const Note &note)
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

QString backupPathFor(const QString &note)
{
    return note + QStringLiteral(".backup");
}

} // namespace

std::optional<SaveJournal> SaveJournal::open()
{
    const QList<QUrl> libraries = libraryDirectories();
    if (libraries.isEmpty())
        return std::nullopt;
    const QString folder = libraries.first().toLocalFile() + QLatin1Char('/') +
                           QCoreApplication::applicationName() +
                           QStringLiteral("/unfinished-saves");
    if (!QDir().mkpath(folder))
        return std::nullopt;
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return SaveJournal(folder);
}

QString SaveJournal::writeNote(const QByteArray &kind, const QByteArray &directory,
                               const QByteArray &name, const struct stat &identity) const
{
    QString path =
        m_folder + QLatin1Char('/') + QString::number(QRandomGenerator::system()->generate64(), 16);
    const QByteArray text = kind + '\n' + directory.toPercentEncoding() + '\n' +
                            name.toPercentEncoding() + '\n' +
                            QByteArray::number(quint64(identity.st_dev)) + '\n' +
                            QByteArray::number(quint64(identity.st_ino)) + '\n';
    const FileDescriptor file(
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    // A note that cannot be written costs only a clean-up later, never the save.
    if (file.isValid())
        writeAll(file.get(), text.constData(), text.size(), 0);
    return path;
}

QString SaveJournal::noteTemporary(const QByteArray &directory, const QByteArray &name,
                                   const struct stat &identity) const
{
    return writeNote(temporaryKind, directory, name, identity);
}

FileDescriptor SaveJournal::makeBackup(const QByteArray &target, const struct stat &identity,
                                       QString *note) const
{
    *note = writeNote(backupKind, target, QByteArray(), identity);
    return FileDescriptor(::open(QFile::encodeName(backupPathFor(*note)).constData(),
                                 O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
}

void SaveJournal::forget(const QString &note) const
{
    QFile::remove(backupPathFor(note));
    QFile::remove(note);
}

void SaveJournal::cleanUp(const struct stat &saved) const
{
    const QDir folder(m_folder);
    for (const QString &name : folder.entryList(QDir::Files)) {
        if (name.endsWith(QStringLiteral(".backup")))
            continue;
        const QString path = folder.filePath(name);
        const std::optional<Note> note = readNote(path);
        if (note && note->kind == temporaryKind)
            removeIfStillOurs(*note);
        else if (note && (note->device != saved.st_dev || note->inode != saved.st_ino))
            continue; // the backup of another file, kept until that file is saved
        forget(path);
    }
}

} // namespace platform
