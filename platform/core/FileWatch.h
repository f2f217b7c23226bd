#pragma once

#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QTimer>

namespace platform {

/// Watches the files of open documents and the folders they are in, and says, once other
/// programs have stopped writing for a moment, that some of them may have changed. The folder
/// tells when a file is deleted, replaced or made again; a file replaced by a rename is watched
/// afresh with rewatch().
class FileWatch final : public QObject {
    Q_OBJECT

public:
    explicit FileWatch(QObject *parent = nullptr);

    /// Watches `file` (an absolute path) and its folder; each watch() is ended by one unwatch().
    void watch(const QString &file);
    void unwatch(const QString &file);

    /// Watches again what a rename took the watch off, once it exists again.
    void rewatch();

signals:
    /// A watched file or folder changed; some moments after the last of a burst of changes.
    void filesMayHaveChanged();

private:
    void add(const QString &path);
    void release(const QString &path);

    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QHash<QString, int> m_uses;
};

} // namespace platform
