#pragma once

#include "WindowActivation.h"

#include <QByteArrayList>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

namespace platform {

/// One running instance per user. The first instance owns the application's name on the session
/// bus and serves the freedesktop org.freedesktop.Application interface; a later launch hands
/// its files, or a plain activation, to it and exits. Without a session bus every launch is an
/// instance of its own.
class ApplicationService final : public QObject {
    Q_OBJECT

public:
    explicit ApplicationService(const QString &bundleIdentifier, QObject *parent = nullptr);
    ~ApplicationService() override;

    /// Tries to become the running instance. When another instance runs already, hands it
    /// `files`, absolute names as bytes (or activates it when there are none) with the token
    /// this launch was given to show a window, and returns true: this process should exit.
    bool handOverToRunningInstance(const QByteArrayList &files, const ActivationToken &token);

signals:
    /// A later launch without files: the user wants the application back.
    void activateRequested(const platform::ActivationToken &token);
    /// A later launch named these URIs.
    void openRequested(const QStringList &uris, const platform::ActivationToken &token);

private:
    friend class FreedesktopApplicationAdaptor;

    QString m_serviceName;
    QString m_objectPath;
    bool m_isRegistered = false;
};

} // namespace platform
