#pragma once

#include <QStringList>

namespace platform {

/// The list of recently opened and saved files, most recent first, without duplicates, kept in
/// the application's settings. It holds at most as many entries as the setting `maximumKey`
/// says (10 when nothing is set).
class RecentDocuments final {
public:
    /// The setting that caps the list, as the platform the application was first written for
    /// names it.
    static inline const QString maximumKey = QStringLiteral("NSRecentDocumentsMaximum");

    static int maximum();

    /// The files that still exist, most recent first.
    static QStringList files();

    static void note(const QString &path);
    static void clear();
};

} // namespace platform
