#pragma once

#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

namespace platform {

/// Where the user's per-application state lives: $XDG_STATE_HOME (by default ~/.local/state) on
/// Linux, ~/Library on macOS. Empty when the home folder is unknown.
QList<QUrl> libraryDirectories();

/// The folder `name` of this application's state, `<library>/<application name>/<name>`, made
/// when missing and, with the application's folder, readable by the user alone (mode 0700), for
/// what holds the user's text. Nothing, with errno set, when it cannot be made.
std::optional<QString> privateStateFolder(const QString &name);

/// The user's Documents folder, or nothing when the desktop names none.
QList<QUrl> documentDirectories();

} // namespace platform
