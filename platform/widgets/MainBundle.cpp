#include "MainBundle.h"

#include <QGuiApplication>

namespace platform {

std::optional<QString> mainBundleIdentifier()
{
    const QString identifier = QGuiApplication::desktopFileName();
    if (identifier.isEmpty())
        return std::nullopt;
    return identifier;
}

} // namespace platform
