#include "RecentDocuments.h"

#include "UserDefaults.h"

#include <QFileInfo>

namespace platform {
namespace {

const QString listKey = QStringLiteral("RecentDocuments");
constexpr int platformDefaultMaximum = 10;

QStringList storedFiles()
{
    return UserDefaults::standard().value(listKey).toStringList();
}

} // namespace

int RecentDocuments::maximum()
{
    return qMax(0, UserDefaults::standard().integer(maximumKey, platformDefaultMaximum));
}

QStringList RecentDocuments::files()
{
    const int limit = maximum();
    QStringList existing;
    for (const QString &path : storedFiles()) {
        if (existing.size() == limit)
            break;
        if (QFileInfo::exists(path))
            existing.append(path);
    }
    return existing;
}

void RecentDocuments::note(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList list = storedFiles();
    list.removeAll(absolute);
    list.prepend(absolute);
    const int limit = maximum();
    while (list.size() > limit)
        list.removeLast();
    UserDefaults::standard().setValue(list, listKey);
}

void RecentDocuments::clear()
{
    UserDefaults::standard().setValue(QStringList(), listKey);
}

} // namespace platform
