#include "UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {

UserDefaults &UserDefaults::standard()
{
    static UserDefaults defaults(standardPath());
    return defaults;
}

namespace {

// The settings file, made private before anything is written to it (it names recent files),
// unless something other than a regular file stands there: a named pipe would hang the launch.
std::unique_ptr<QSettings> openSettings(const QString &path)
{
    const QFileInfo existing(path);
    if (existing.exists() && !existing.isFile()) {
        qWarning("%s is not a regular file; settings are kept only until the program ends",
                 qPrintable(path));
        return nullptr;
    }
    if (!existing.exists() && QDir().mkpath(existing.absolutePath()))
        QFile(path).open(QIODevice::NewOnly, QFile::ReadOwner | QFile::WriteOwner);
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}

// Whether the file holds `value` already. It keeps numbers and truth values as text.
bool isStoredAs(const QVariant &stored, const QVariant &value)
{
    const bool keptAsText = value.typeId() == QMetaType::Int || value.typeId() == QMetaType::Bool;
    return stored == value || (keptAsText && stored.toString() == value.toString());
}

} // namespace

// Where Qt keeps an application's settings in its configuration folder.
QString UserDefaults::standardPath()
{
    const QString name = QCoreApplication::applicationName();
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1Char('/') + name + QLatin1Char('/') + name + QStringLiteral(".ini");
}

UserDefaults::UserDefaults(const QString &path)
    : m_settings(openSettings(path))
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
    // a write per value would put file I/O on the launch path. A value the file holds already is
    // not set again: that would rewrite the file, with a lock and two syncs to the disk, at every
    // launch.
    if (!m_settings)
        m_unsaved.insert(key, value);
    else if (!m_settings->contains(key) || !isStoredAs(m_settings->value(key), value))
        m_settings->setValue(key, value);
}

QVariant UserDefaults::value(const QString &key) const
{
    if (m_settings && m_settings->contains(key))
        return m_settings->value(key);
    return m_unsaved.value(key, m_registered.value(key));
}

int UserDefaults::integer(const QString &key, int fallback) const
{
    bool isNumber = false;
    const int number = value(key).toInt(&isNumber);
    return isNumber ? number : fallback;
}

} // namespace platform
