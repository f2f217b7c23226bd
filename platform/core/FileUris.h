#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>
#include <QStringList>

#include <optional>

namespace platform {

/// The file: URI of an absolute name, every byte that is not a plain path character
/// percent-encoded, so that a name that is not UTF-8 travels as it is.
QString fileUri(const QByteArray &absoluteName);

/// fileUri of each name.
QStringList fileUris(const QByteArrayList &absoluteNames);

/// The absolute name, as bytes, that a local file: URI stands for; nothing for any other URI:
/// another scheme or host, a relative path, or one that is not well-formed.
std::optional<QByteArray> localFileName(const QString &uri);

} // namespace platform
