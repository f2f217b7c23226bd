#include "SharedRecentFiles.h"

#include "FileError.h"
#include "FileIO.h"

#include <QDateTime>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QLockFile>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QUrl>

namespace platform {
namespace {

constexpr int lockWaitMilliseconds = 5000;
constexpr qint64 largestList = qint64(8) << 20;

// The child of `parent` named `tag` whose `attribute` is `value` (any such child when `attribute`
// is empty), made when there is none.
QDomElement childOf(QDomElement parent, const QString &tag, const QString &attribute = {},
                    const QString &value = {})
{
    for (QDomElement child = parent.firstChildElement(tag); !child.isNull();
         child = child.nextSiblingElement(tag)) {
        if (attribute.isEmpty() || child.attribute(attribute) == value)
            return child;
    }
    QDomElement made = parent.ownerDocument().createElement(tag);
    if (!attribute.isEmpty())
        made.setAttribute(attribute, value);
    parent.appendChild(made);
    return made;
}

QDomDocument emptyList()
{
    QDomDocument list;
    list.setContent(
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<xbel version=\"1.0\" "
                       "xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\" "
                       "xmlns:mime=\"http://www.freedesktop.org/standards/shared-mime-info\"/>"));
    return list;
}

} // namespace

QString SharedRecentFiles::listPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/recently-used.xbel");
}

QString SharedRecentFiles::note(const QString &path, const Application &application)
{
    const QString listFile = listPath();
    QDir().mkpath(QFileInfo(listFile).absolutePath());
    // Two writers that read the list at once would each drop what the other added.
    QLockFile lock(listFile + QStringLiteral(".lock"));
    if (!lock.tryLock(lockWaitMilliseconds))
        return QStringLiteral("another program kept the list locked");

    // A pipe or a device would block or never end, and a list this large is another program's
    // problem: parsed whole, it would cost a hundred times its size on every open and save.
    const QFileInfo existing(listFile);
    if (existing.exists() && (!existing.isFile() || existing.size() > largestList))
        return QStringLiteral("the list is not a regular file of up to 8 MiB; it is left as it is");
    // Like the other programs that keep it, private to the user: it names every file opened.
    const bool isNew = !existing.exists();
    if (isNew)
        QFile(listFile).open(QIODevice::NewOnly, QFile::ReadOwner | QFile::WriteOwner);
    QDomDocument list = emptyList();
    QFile file(listFile);
    if (!isNew) {
        if (!file.open(QIODevice::ReadOnly))
            return file.errorString();
        QString problem;
        if (!list.setContent(&file, &problem) || list.documentElement().tagName() != "xbel")
            return QStringLiteral("the list cannot be read (%1); it is left as it is").arg(problem);
    }
    markUsed(list, path, application);
    try {
        writeFile(listFile, list.toByteArray(2));
    } catch (const FileError &error) {
        return error.message(listFile);
    }
    return {};
}

// The file's bookmark, made when there is none, stamped as used now by the application.
void SharedRecentFiles::markUsed(QDomDocument &list, const QString &path,
                                 const Application &application)
{
    const QString now = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    const QString href = QString::fromUtf8(QUrl::fromLocalFile(path).toEncoded());
    QDomElement bookmark =
        childOf(list.documentElement(), QStringLiteral("bookmark"), QStringLiteral("href"), href);
    if (!bookmark.hasAttribute(QStringLiteral("added")))
        bookmark.setAttribute(QStringLiteral("added"), now);
    bookmark.setAttribute(QStringLiteral("modified"), now);
    bookmark.setAttribute(QStringLiteral("visited"), now);
    QDomElement metadata =
        childOf(childOf(bookmark, QStringLiteral("info")), QStringLiteral("metadata"),
                QStringLiteral("owner"), QStringLiteral("http://freedesktop.org"));
    childOf(metadata, QStringLiteral("mime:mime-type"))
        .setAttribute(QStringLiteral("type"), QMimeDatabase().mimeTypeForFile(path).name());
    QDomElement used =
        childOf(childOf(metadata, QStringLiteral("bookmark:applications")),
                QStringLiteral("bookmark:application"), QStringLiteral("name"), application.name);
    used.setAttribute(QStringLiteral("exec"),
                      QLatin1Char('\'') + application.exec + QLatin1Char('\''));
    used.setAttribute(QStringLiteral("modified"), now);
    used.setAttribute(QStringLiteral("count"), used.attribute(QStringLiteral("count")).toInt() + 1);
}

} // namespace platform
