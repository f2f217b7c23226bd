#include "DraftFolder.h"

#include "FileError.h"
#include "StandardDirectories.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

namespace platform {
namespace {

const QString draftSuffix = QStringLiteral(".draft");
const QString restartSuffix = QStringLiteral(".draft.new");

// A header names a file; it never needs more than this, and reading no more keeps listing a
// folder of large drafts cheap.
constexpr qsizetype headerReach = qsizetype(64) * 1024;

// Opens `path` without following a link or blocking, as a regular file locked for this open
// file alone; nothing when someone else holds it or it is no regular file.
FileDescriptor openUnheld(const QString &path)
{
    FileDescriptor file(::open(QFile::encodeName(path).constData(),
                               O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (!file.isValid() || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode) ||
        ::flock(file.get(), LOCK_EX | LOCK_NB) != 0)
        return {};
    return file;
}

} // namespace

namespace draftFolder {

std::optional<QString> location()
{
    return privateStateFolder(QStringLiteral("drafts"));
}

QString draftPath(const QString &folder, const QString &name)
{
    return folder + QLatin1Char('/') + name + draftSuffix;
}

bool isDraftName(const QString &name)
{
    return name.endsWith(draftSuffix) && !name.startsWith(QLatin1Char('.'));
}

bool isRestartName(const QString &name)
{
    return name.endsWith(restartSuffix) && !name.startsWith(QLatin1Char('.'));
}

} // namespace draftFolder

QList<LeftDraft> leftDrafts(const QString &folder)
{
    QList<LeftDraft> left;
    const QDir directory(folder);
    for (const QString &name : directory.entryList(QDir::Files | QDir::System)) {
        const QString path = directory.filePath(name);
        if (draftFolder::isRestartName(name)) {
            if (openUnheld(path).isValid())
                QFile::remove(path);
            continue;
        }
        const FileDescriptor file =
            draftFolder::isDraftName(name) ? openUnheld(path) : FileDescriptor();
        if (!file.isValid())
            continue;
        QByteArray start(headerReach, Qt::Uninitialized);
        start.truncate(qMax<qsizetype>(readUpTo(file.get(), start.data(), headerReach), 0));
        if (const std::optional<DraftHeader> header = readDraftHeader(start))
            left.append({path, *header, QFileInfo(path).lastModified()});
    }
    std::sort(left.begin(), left.end(), [](const LeftDraft &one, const LeftDraft &other) {
        return one.lastWritten < other.lastWritten;
    });
    return left;
}

std::optional<ClaimedDraft> ClaimedDraft::claim(const QString &path)
{
    FileDescriptor file = openUnheld(path);
    if (!file.isValid())
        return std::nullopt;
    return ClaimedDraft(path, std::move(file));
}

QByteArray ClaimedDraft::read(qsizetype limit) const
{
    struct stat status {};
    if (::fstat(m_file.get(), &status) != 0)
        throw FileError::reading(errno);
    if (status.st_size > limit)
        throw FileError(FileError::ReadTooLarge);
    QByteArray bytes(qsizetype(status.st_size), Qt::Uninitialized);
    if (::lseek(m_file.get(), 0, SEEK_SET) != 0)
        throw FileError::reading(errno);
    const qsizetype count = readUpTo(m_file.get(), bytes.data(), bytes.size());
    if (count < 0)
        throw FileError::reading(errno);
    bytes.truncate(count);
    return bytes;
}

void ClaimedDraft::remove()
{
    QFile::remove(m_path);
    m_file.reset();
}

} // namespace platform
