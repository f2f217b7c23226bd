#pragma once

#include <QString>
#include <QVariantMap>

class QWidget;

namespace platform {

/// What a launcher hands the program it starts so that the window it shows may take the focus:
/// on Wayland an xdg-activation token, on X11 a startup-notification id. A later launch passes
/// it on to the running instance, which spends it on the window it brings forward.
struct ActivationToken {
    QString activationToken; ///< XDG_ACTIVATION_TOKEN, for Wayland
    QString startupId;       ///< DESKTOP_STARTUP_ID, for X11

    /// The launcher's, from this process's environment. Read it before the application object
    /// is made: on X11 that takes DESKTOP_STARTUP_ID for the program's own first window.
    static ActivationToken fromEnvironment();
    /// As the org.freedesktop.Application interface carries it, in `platform-data`.
    static ActivationToken fromPlatformData(const QVariantMap &data);
    QVariantMap platformData() const;
};

/// Brings `window` forward and gives it the focus with `token`, then tells the launcher that the
/// startup it announced is over (also when there is no window to show).
void activateWindow(QWidget *window, const ActivationToken &token);

} // namespace platform
