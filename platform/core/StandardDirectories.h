#pragma once

#include <QList>
#include <QString>
#include <QUrl>

namespace platform {

/// Where the user's per-application state lives: $XDG_STATE_HOME (by default ~/.local/state) on
/// Linux, ~/Library on macOS. Empty when the home folder is unknown.
QList<QUrl> libraryDirectories();

/// The user's Documents folder, or nothing when the desktop names none.
QList<QUrl> documentDirectories();

} // namespace platform
