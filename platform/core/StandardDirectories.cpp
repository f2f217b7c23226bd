#include "StandardDirectories.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>

#include <sys/stat.h>

namespace platform {

QList<QUrl> libraryDirectories()
{
    const QString home = QDir::homePath();
#ifdef Q_OS_MACOS
    return {QUrl::fromLocalFile(home + QStringLiteral("/Library"))};
#else
    // The XDG rule: an absolute $XDG_STATE_HOME, else ~/.local/state.
    const QString configured = qEnvironmentVariable("XDG_STATE_HOME");
    if (QDir::isAbsolutePath(configured))
        return {QUrl::fromLocalFile(configured)};
    if (home.isEmpty() || home == QDir::rootPath())
        return {};
    return {QUrl::fromLocalFile(home + QStringLiteral("/.local/state"))};
#endif
}

std::optional<QString> privateStateFolder(const QString &name)
{
    const QList<QUrl> libraries = libraryDirectories();
    if (libraries.isEmpty()) {
        errno = ENOENT;
        return std::nullopt;
    }
    const QString library = libraries.first().toLocalFile();
    const QString application = library + QLatin1Char('/') + QCoreApplication::applicationName();
    const QString folder = application + QLatin1Char('/') + name;
    // The parents as the user's umask makes them, the two folders of ours private; one made
    // before by an older version is made private too.
    if (!QDir().mkpath(library)) {
        errno = EACCES;
        return std::nullopt;
    }
    for (const QString &path : {application, folder}) {
        const QByteArray encoded = QFile::encodeName(path);
        if (::mkdir(encoded.constData(), 0700) != 0 && errno != EEXIST)
            return std::nullopt;
        struct stat status {};
        if (::stat(encoded.constData(), &status) != 0)
            return std::nullopt;
        if (!S_ISDIR(status.st_mode)) {
            errno = ENOTDIR;
            return std::nullopt;
        }
        if ((status.st_mode & 0077) != 0)
            ::chmod(encoded.constData(), 0700);
    }
    return folder;
}

QList<QUrl> documentDirectories()
{
    QList<QUrl> directories;
    for (const QString &path : QStandardPaths::standardLocations(QStandardPaths::DocumentsLocation))
        directories.append(QUrl::fromLocalFile(path));
    return directories;
}

} // namespace platform
