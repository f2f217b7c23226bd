#pragma once

#include <QCoreApplication>
#include <QSettings>
#include <QVariantMap>

namespace platform {

/// The application's own persistent settings, with a registration layer: registered values only
/// stand in for keys that have no stored value, and are never written to the settings file.
class UserDefaults final {
public:
    /// The application's settings file, in the user's configuration folder.
    static UserDefaults &standard();

    void registerDefaults(const QVariantMap &defaults);
    void setInteger(int value, const QString &key);
    void setBool(bool value, const QString &key);
    void setValue(const QVariant &value, const QString &key);

    /// The stored value, else the registered one, else an invalid QVariant.
    QVariant value(const QString &key) const;
    int integer(const QString &key, int fallback = 0) const;

private:
    UserDefaults();

    QSettings m_settings;
    QVariantMap m_registered;
};

} // namespace platform
