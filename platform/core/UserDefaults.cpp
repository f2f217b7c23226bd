#include "UserDefaults.h"

namespace platform {

UserDefaults &UserDefaults::standard()
{
    static UserDefaults defaults;
    return defaults;
}

UserDefaults::UserDefaults()
    : m_settings(QSettings::IniFormat, QSettings::UserScope, QCoreApplication::applicationName(),
                 QCoreApplication::applicationName())
{}

void UserDefaults::registerDefaults(const QVariantMap &defaults)
{
    m_registered.insert(defaults);
}

void UserDefaults::setInteger(int value, const QString &key)
{
    setValue(value, key);
}

void UserDefaults::setBool(bool value, const QString &key)
{
    setValue(value, key);
}

void UserDefaults::setValue(const QVariant &value, const QString &key)
{
    // QSettings writes the file on its own once control is back in the event loop, and at exit;
    // a write per value would put file I/O on the launch path.
    m_settings.setValue(key, value);
}

QVariant UserDefaults::value(const QString &key) const
{
    return m_settings.contains(key) ? m_settings.value(key) : m_registered.value(key);
}

int UserDefaults::integer(const QString &key, int fallback) const
{
    bool isNumber = false;
    const int number = value(key).toInt(&isNumber);
    return isNumber ? number : fallback;
}

} // namespace platform
