#include "FileIO.h"

#include <QDir>
#include <QFile>

#include <climits>
#include <cstdlib>
#include <memory>

namespace platform {

QString resolvedPath(const QString &path)
{
    const QString absolute = QDir::isAbsolutePath(path) ? path : QDir::currentPath() + u'/' + path;
    const qsizetype slash = absolute.lastIndexOf(u'/');
    const QString name = absolute.mid(slash + 1);
    if (name.isEmpty() || name == u"." || name == u"..")
        return QDir::cleanPath(absolute);
    const QByteArray folder = QFile::encodeName(absolute.left(qMax(slash, qsizetype(1))));
    const std::unique_ptr<char, decltype(&std::free)> resolved(
        ::realpath(folder.constData(), nullptr), &std::free);
    if (!resolved)
        return QDir::cleanPath(absolute);
    const QString resolvedFolder = QFile::decodeName(resolved.get());
    return resolvedFolder + (resolvedFolder.endsWith(u'/') ? QString() : QStringLiteral("/")) +
           name;
}

} // namespace platform
