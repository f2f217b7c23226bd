#pragma once

#include <QStringList>

namespace platform {

/// The list of recently opened and saved files, most recent first, without duplicates, kept in
/// the application's settings. It holds at most as many entries as the setting
/// "NSRecentDocumentsMaximum" says (10 when nothing is set).
class RecentDocuments final {
public:
    static int maximum();

    /// The files that still exist, most recent first.
    static QStringList files();

    static void note(const QString &path);
    static void clear();
};

} // namespace platform
