#pragma once

#include "FileWrapper.h"

#include <QByteArray>
#include <QStringList>

namespace scribbet {

/// A plain-text document: the whole text of a file and the rules by which it is read and written.
///
/// The text is held as UTF-8, the form in which the editor stores it and the file is written, in
/// an implicitly shared buffer: copying a document never copies its text.
struct TextDocument final {
    static QStringList readableContentTypes();
    static QStringList writableContentTypes();

    TextDocument() = default;
    explicit TextDocument(QByteArray utf8Text)
        : text(std::move(utf8Text))
    {}

    /// Reads a file: UTF-8 with one leading byte-order mark dropped, or else UTF-16.
    /// Throws platform::FileError with ReadCorruptFile when the file has no regular contents and
    /// ReadInapplicableStringEncoding when its bytes are neither.
    explicit TextDocument(platform::ReadConfiguration configuration);

    /// The file's bytes: exactly the UTF-8 of the text, without a byte-order mark.
    platform::FileWrapper fileWrapper() const;

    /// Equal when the texts are canonically equivalent Unicode.
    friend bool operator==(const TextDocument &left, const TextDocument &right);

    QByteArray text;
};

} // namespace scribbet
