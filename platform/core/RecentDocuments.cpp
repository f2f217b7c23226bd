#include "RecentDocuments.h"

#include "FileIO.h"
#include "UserDefaults.h"

#include <QFileInfo>
#include <QThreadPool>

namespace platform {
namespace {

const QString listKey = QStringLiteral("RecentDocuments");
constexpr int platformDefaultMaximum = 10;

} // namespace

RecentDocuments::RecentDocuments(UserDefaults &settings, SharedRecentFiles::Application application)
    : m_settings(settings)
    , m_application(std::move(application))
{}

int RecentDocuments::maximum() const
{
    return qMax(0, m_settings.integer(maximumKey, platformDefaultMaximum));
}

QStringList RecentDocuments::files() const
{
    const int limit = maximum();
    QStringList existing;
    for (const QString &path : m_settings.value(listKey).toStringList()) {
        if (existing.size() == limit)
            break;
        if (QFileInfo::exists(path))
            existing.append(path);
    }
    return existing;
}

void RecentDocuments::note(const QString &path)
{
    const QString absolute = resolvedPath(path);
    QStringList list = m_settings.value(listKey).toStringList();
    list.removeAll(absolute);
    list.prepend(absolute);
    const int limit = maximum();
    while (list.size() > limit)
        list.removeLast();
    m_settings.setValue(list, listKey);
    // The desktop's list is a convenience: when it cannot be written the user is not troubled.
    QThreadPool::globalInstance()->start([absolute, application = m_application] {
        const QString problem = SharedRecentFiles::note(absolute, application);
        if (!problem.isEmpty())
            qWarning("The desktop's recent files were not updated: %s", qPrintable(problem));
    });
}

void RecentDocuments::clear()
{
    m_settings.setValue(QStringList(), listKey);
}

} // namespace platform
