#include "FileWatch.h"

#include <QFileInfo>

namespace platform {
namespace {

// How often the files are looked at, at most, while other programs write them.
constexpr int settleMilliseconds = 200;

QString folderOf(const QString &file)
{
    return QFileInfo(file).absolutePath();
}

} // namespace

FileWatch::FileWatch(QObject *parent)
    : QObject(parent)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(settleMilliseconds);
    connect(&m_settle, &QTimer::timeout, this, &FileWatch::filesMayHaveChanged);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, &m_settle, qOverload<>(&QTimer::start));
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_settle,
            qOverload<>(&QTimer::start));
}

void FileWatch::watch(const QString &file)
{
    for (const QString &path : {file, folderOf(file)})
        add(path);
}

void FileWatch::unwatch(const QString &file)
{
    for (const QString &path : {file, folderOf(file)})
        release(path);
}

void FileWatch::rewatch()
{
    for (auto use = m_uses.cbegin(); use != m_uses.cend(); ++use) {
        if (!m_watcher.files().contains(use.key()) &&
            !m_watcher.directories().contains(use.key()) && QFileInfo::exists(use.key()))
            m_watcher.addPath(use.key());
    }
}

void FileWatch::add(const QString &path)
{
    if (m_uses[path]++ == 0 && QFileInfo::exists(path))
        m_watcher.addPath(path);
}

void FileWatch::release(const QString &path)
{
    const auto use = m_uses.find(path);
    if (use == m_uses.end() || --*use > 0)
        return;
    m_uses.erase(use);
    m_watcher.removePath(path);
}

} // namespace platform
