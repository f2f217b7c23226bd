#include "DesktopNotification.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>

namespace platform {
namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString interface = QStringLiteral("org.freedesktop.Notifications");

} // namespace

DesktopNotification::DesktopNotification(QString summary, QString body, QStringList actions,
                                         QObject *parent)
    : QObject(parent)
    , m_summary(std::move(summary))
    , m_body(std::move(body))
    , m_actions(std::move(actions))
{
    QDBusConnection::sessionBus().connect(service, path, interface, QStringLiteral("ActionInvoked"),
                                          this, SLOT(takeAction(uint, QString)));
}

void DesktopNotification::show()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage notify =
        QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("Notify"));
    const QString application = QGuiApplication::desktopFileName();
    notify << QGuiApplication::applicationDisplayName() << uint(0) << application << m_summary
           << m_body << m_actions << QVariantMap{{QStringLiteral("desktop-entry"), application}}
           << -1;
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(notify), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher *call) {
                const QDBusPendingReply<uint> reply = *call;
                if (reply.isValid())
                    m_id = reply.value();
                call->deleteLater();
            });
}

void DesktopNotification::takeAction(uint id, const QString &key)
{
    if (m_id != 0 && id == m_id)
        emit actionInvoked(key);
}

} // namespace platform
