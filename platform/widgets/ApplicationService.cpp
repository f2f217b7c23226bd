#include "ApplicationService.h"

#include "FileUris.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>

namespace platform {

/// The org.freedesktop.Application interface on the running instance's object.
class FreedesktopApplicationAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

public:
    explicit FreedesktopApplicationAdaptor(ApplicationService *service)
        : QDBusAbstractAdaptor(service)
        , m_service(service)
    {}

public slots:
    void Activate(const QVariantMap &platformData)
    {
        emit m_service->activateRequested(ActivationToken::fromPlatformData(platformData));
    }

    void Open(const QStringList &uris, const QVariantMap &platformData)
    {
        emit m_service->openRequested(uris, ActivationToken::fromPlatformData(platformData));
    }

    // The application declares no actions; an unknown one is a plain activation.
    void ActivateAction(const QString &actionName, const QVariantList &parameter,
                        const QVariantMap &platformData)
    {
        Q_UNUSED(actionName);
        Q_UNUSED(parameter);
        Activate(platformData);
    }

private:
    ApplicationService *m_service;
};

namespace {

QString objectPathFor(const QString &bundleIdentifier)
{
    QString path = QLatin1Char('/') + bundleIdentifier;
    path.replace(QLatin1Char('.'), QLatin1Char('/')).replace(QLatin1Char('-'), QLatin1Char('_'));
    return path;
}

} // namespace

ApplicationService::ApplicationService(const QString &bundleIdentifier, QObject *parent)
    : QObject(parent)
    , m_serviceName(bundleIdentifier)
    , m_objectPath(objectPathFor(bundleIdentifier))
{
    new FreedesktopApplicationAdaptor(this);
}

ApplicationService::~ApplicationService()
{
    if (m_isRegistered) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterObject(m_objectPath);
        bus.unregisterService(m_serviceName);
    }
}

bool ApplicationService::handOverToRunningInstance(const QByteArrayList &files,
                                                   const ActivationToken &token)
{
    // Connected first from the window's thread, the bus holds back what it delivers until the
    // event loop runs, so that the request that started the program, sent as soon as the name is
    // owned, finds the object registered. Connected ahead on another thread, it came too early.
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    if (bus.registerService(m_serviceName)) {
        m_isRegistered = bus.registerObject(m_objectPath, this);
        return false;
    }
    QDBusInterface running(m_serviceName, m_objectPath,
                           QStringLiteral("org.freedesktop.Application"), bus);
    running.setTimeout(10000);
    const QDBusMessage reply =
        files.isEmpty()
            ? running.call(QStringLiteral("Activate"), token.platformData())
            : running.call(QStringLiteral("Open"), fileUris(files), token.platformData());
    // When the running instance does not answer, this launch still gives the user a window.
    return reply.type() == QDBusMessage::ReplyMessage;
}

} // namespace platform

#include "ApplicationService.moc"
