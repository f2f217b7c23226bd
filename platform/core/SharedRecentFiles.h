#pragma once

#include <QString>

class QDomDocument;

namespace platform {

/// The desktop's own list of recently used files, `$XDG_DATA_HOME/recently-used.xbel`, which file
/// managers and file choosers show as Recent. Other applications' entries are kept as they are.
class SharedRecentFiles final {
public:
    struct Application {
        QString name; ///< as the desktop shows it, "Scribbet"
        QString exec; ///< the command that opens a file, "scribbet %u"
    };

    /// Marks `path` as used now by `application`. The list is replaced whole and at once, under
    /// a lock that other writers of this program wait for. A list that cannot be read is left as
    /// it is. Returns the reason when nothing was written, or an empty string.
    static QString note(const QString &path, const Application &application);

    /// Where the list is: `$XDG_DATA_HOME/recently-used.xbel`.
    static QString listPath();

private:
    static void markUsed(QDomDocument &list, const QString &path, const Application &application);
};

} // namespace platform
