#pragma once

#include <QCoreApplication>
#include <QSettings>
#include <QVariantMap>

#include <memory>

namespace platform {

/// The application's own persistent settings, with a registration layer: registered values only
/// stand in for keys that have no stored value, and are never written to the settings file.
class UserDefaults final {
public:
    /// The application's settings file, in the user's configuration folder.
    static UserDefaults &standard();
    static QString standardPath();

    /// Settings kept in the file at `path`, made private if it is new. What stands there when it
    /// is not a regular file is left alone: the settings then last as long as the program.
    explicit UserDefaults(const QString &path);

    void registerDefaults(const QVariantMap &defaults);
    void setInteger(int value, const QString &key);
    void setBool(bool value, const QString &key);
    void setValue(const QVariant &value, const QString &key);

    /// The stored value, else the registered one, else an invalid QVariant.
    QVariant value(const QString &key) const;
    int integer(const QString &key, int fallback = 0) const;

private:
    std::unique_ptr<QSettings> m_settings; // null when the file cannot be used
    QVariantMap m_unsaved;
    QVariantMap m_registered;
};

} // namespace platform
