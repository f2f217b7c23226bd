#include "TestSandbox.h"

#include <QDir>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace scribbet::testing {

TestSandbox::TestSandbox()
    : m_previousHome(qgetenv("HOME"))
{
    const QString root = m_root.path();
    qputenv("HOME", QFile::encodeName(root));
    for (const char *variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME",
                                 "XDG_CACHE_HOME", "XDG_DOCUMENTS_DIR"})
        qunsetenv(variable);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + QStringLiteral("/.config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(root + QStringLiteral("/.local/share")));
    qputenv("XDG_STATE_HOME", QFile::encodeName(root + QStringLiteral("/.local/state")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(root + QStringLiteral("/.cache")));
    QDir(root).mkpath(QStringLiteral("Documents"));
}

TestSandbox::~TestSandbox()
{
    qputenv("HOME", m_previousHome);
}

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeContents(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the test file %s", qPrintable(path));
}

struct stat statusOf(const QString &path)
{
    struct stat status {};
    ::lstat(QFile::encodeName(path).constData(), &status);
    return status;
}

void setImmutable(const QString &path, bool immutable)
{
    const int file = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    int flags = 0;
    ::ioctl(file, FS_IOC_GETFLAGS, &flags);
    flags = immutable ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    ::ioctl(file, FS_IOC_SETFLAGS, &flags);
    ::close(file);
}

} // namespace scribbet::testing
