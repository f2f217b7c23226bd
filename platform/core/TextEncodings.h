#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

/// Encodings other than UTF-8 and UTF-16, for files written in one of them: a guess from the
/// bytes, decoding that changes nothing, and encoding that never replaces a character.
namespace platform::textEncodings {

/// The encodings a user may choose from, by the names Qt's decoders know, most used first.
QStringList available();

/// The encoding the bytes most likely are in: of the encodings that decode them without an
/// error, the one whose text reads most like words, the user's language breaking ties.
QString guess(QByteArrayView bytes, const QLocale &locale = QLocale());

/// The text the bytes are in `encoding`; nothing when they are not valid in it, or when its
/// text would not encode back to the very same bytes, so that keeping the encoding at a save
/// leaves every character that was not edited as it was.
std::optional<QString> decode(QByteArrayView bytes, const QString &encoding);

/// The text in `encoding`, or the characters it cannot hold, each once, in their order.
struct Encoded {
    QByteArray bytes;
    QString unrepresentable;
};
Encoded encode(const QString &text, const QString &encoding);

} // namespace platform::textEncodings
