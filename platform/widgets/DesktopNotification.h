#pragma once

#include <QObject>
#include <QStringList>

namespace platform {

/// A notification on the desktop (org.freedesktop.Notifications on the session bus), with
/// actions the user can take from it. Where no notification service runs nothing shows and
/// nothing is reported: a notification only adds to what the application offers anyway.
class DesktopNotification final : public QObject {
    Q_OBJECT

public:
    /// `actions` holds pairs of a key and the label shown for it.
    DesktopNotification(QString summary, QString body, QStringList actions,
                        QObject *parent = nullptr);

    /// Sends the notification, without waiting for an answer.
    void show();

signals:
    /// The user took the action with `key` ("default" when they clicked the notification).
    void actionInvoked(const QString &key);

private slots:
    void takeAction(uint id, const QString &key);

private:
    QString m_summary;
    QString m_body;
    QStringList m_actions;
    uint m_id = 0;
};

} // namespace platform
