#include "FileUris.h"

#include <QUrl>

namespace platform {

QString fileUri(const QByteArray &absoluteName)
{
    return QStringLiteral("file://") + QString::fromLatin1(absoluteName.toPercentEncoding("/"));
}

QStringList fileUris(const QByteArrayList &absoluteNames)
{
    QStringList uris;
    for (const QByteArray &name : absoluteNames)
        uris.append(fileUri(name));
    return uris;
}

// A name taken relative to this process's folder would be a file the sender never meant.
std::optional<QByteArray> localFileName(const QString &uri)
{
    const QUrl url(uri, QUrl::StrictMode);
    if (!url.isValid() || !url.isLocalFile() ||
        !(url.host().isEmpty() || url.host() == QLatin1String("localhost")))
        return std::nullopt;
    QByteArray name = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    if (!name.startsWith('/'))
        return std::nullopt;
    return name;
}

} // namespace platform
