#include "StandardDirectories.h"

#include <QDir>
#include <QStandardPaths>

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

QList<QUrl> documentDirectories()
{
    QList<QUrl> directories;
    for (const QString &path : QStandardPaths::standardLocations(QStandardPaths::DocumentsLocation))
        directories.append(QUrl::fromLocalFile(path));
    return directories;
}

} // namespace platform
