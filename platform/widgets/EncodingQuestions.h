#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QWidget;

namespace platform {

class Document;

/// Asks in which encoding to open a file that is neither UTF-8 nor UTF-16; `why` says what is
/// wrong with it, and `guess` is the first choice. Nothing when the user cancels.
std::optional<QString> askForEncoding(const QString &why, const QString &guess, QWidget *parent);

/// The bytes to save of a document whose file is in a legacy encoding: asked at its first save,
/// the text in that encoding or the UTF-8 the editor holds, and the document's encoding forgotten
/// once the user converts it. Characters the encoding cannot hold are shown before anything is
/// written, with the choice of UTF-8; nothing when the user cancels.
std::optional<QByteArray> bytesInItsEncoding(Document &document, QByteArray utf8, QWidget *parent);

} // namespace platform
