#pragma once

#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

namespace platform {

/// Where the user's per-application state lives: $XDG_STATE_HOME (by default ~/.local/state) on
/// Linux, ~/Library on macOS. Empty when the home folder is unknown.
QList<QUrl> libraryDirectories();

/// The user's Documents folder, or nothing when the desktop names none.
QList<QUrl> documentDirectories();

/// The application's reverse-DNS identifier as the desktop knows it, or nothing when unset.
std::optional<QString> mainBundleIdentifier();

} // namespace platform
