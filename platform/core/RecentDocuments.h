#pragma once

#include "SharedRecentFiles.h"

#include <QStringList>

namespace platform {

class UserDefaults;

/// The list of recently opened and saved files, most recent first, without duplicates, kept in
/// the application's settings, and the desktop's own list, to which each file is added too. The
/// list holds at most as many entries as the setting `maximumKey` says (10 when nothing is set).
class RecentDocuments final {
public:
    /// The setting that caps the list, as the platform the application was first written for
    /// names it.
    static inline const QString maximumKey = QStringLiteral("NSRecentDocumentsMaximum");

    /// The list in `settings`; files noted go to the desktop's list as used by `application`.
    RecentDocuments(UserDefaults &settings, SharedRecentFiles::Application application);

    int maximum() const;

    /// The files that still exist, most recent first.
    QStringList files() const;

    /// Puts `path` at the top. The desktop's list is read and written whole, some 20 ms once it
    /// is long, so a worker thread does that, and the application object waits for it before
    /// the program ends.
    void note(const QString &path);
    void clear();

private:
    UserDefaults &m_settings;
    SharedRecentFiles::Application m_application;
};

} // namespace platform
