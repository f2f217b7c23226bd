#pragma once

#include <QString>

#include <optional>

namespace platform {

/// The application's reverse-DNS identifier as the desktop knows it, or nothing when unset.
std::optional<QString> mainBundleIdentifier();

} // namespace platform
