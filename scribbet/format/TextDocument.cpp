#include "TextDocument.h"

#include "FileError.h"

#include <QString>
#include <QStringView>
#include <QtEndian>

#include <optional>

namespace scribbet {
namespace {

constexpr QByteArrayView utf8ByteOrderMark("\xEF\xBB\xBF");

void dropLeadingByteOrderMark(QByteArray &utf8)
{
    if (utf8.startsWith(utf8ByteOrderMark))
        utf8.remove(0, 3); // On an unshared buffer this only moves the start; nothing is copied.
}

enum class ByteOrder { LittleEndian, BigEndian };

struct Utf16Layout {
    ByteOrder byteOrder;
    qsizetype markLength;
};

// Without a byte-order mark the zero bytes tell the order: the high bytes of text in the Latin
// and common ranges are zero, and they sit at odd offsets in little-endian data.
std::optional<Utf16Layout> detectUtf16Layout(QByteArrayView bytes)
{
    if (bytes.size() % 2 != 0)
        return std::nullopt;
    if (bytes.startsWith("\xFF\xFE"))
        return Utf16Layout{ByteOrder::LittleEndian, 2};
    if (bytes.startsWith("\xFE\xFF"))
        return Utf16Layout{ByteOrder::BigEndian, 2};
    qsizetype zerosAtEven = 0;
    qsizetype zerosAtOdd = 0;
    for (qsizetype index = 0; index < bytes.size(); index += 2) {
        zerosAtEven += bytes[index] == '\0';
        zerosAtOdd += bytes[index + 1] == '\0';
    }
    if (zerosAtOdd > zerosAtEven)
        return Utf16Layout{ByteOrder::LittleEndian, 0};
    if (zerosAtEven > zerosAtOdd)
        return Utf16Layout{ByteOrder::BigEndian, 0};
    return std::nullopt;
}

// Qt's UTF-16 decoder guesses the byte order, drops an odd last byte and lets unpaired
// surrogates through, so the checks are made here and Qt only transcodes checked data.
std::optional<QByteArray> decodeUtf16(QByteArrayView bytes)
{
    const std::optional<Utf16Layout> layout = detectUtf16Layout(bytes);
    if (!layout)
        return std::nullopt;
    const QByteArrayView payload = bytes.sliced(layout->markLength);
    const qsizetype unitCount = payload.size() / 2;
    QString units(unitCount, Qt::Uninitialized);
    if (layout->byteOrder == ByteOrder::LittleEndian)
        qFromLittleEndian<char16_t>(payload.data(), unitCount, units.data());
    else
        qFromBigEndian<char16_t>(payload.data(), unitCount, units.data());
    if (!QStringView(units).isValidUtf16()) // an unpaired surrogate is no text
        return std::nullopt;
    return units.toUtf8();
}

} // namespace

QStringList TextDocument::readableContentTypes()
{
    return {QStringLiteral("text/plain")};
}

QStringList TextDocument::writableContentTypes()
{
    return {QStringLiteral("text/plain")};
}

TextDocument::TextDocument(platform::ReadConfiguration configuration)
{
    std::optional<QByteArray> contents = std::move(configuration.file).takeRegularFileContents();
    if (!contents)
        throw platform::FileError(platform::FileError::ReadCorruptFile);
    QByteArray bytes = std::move(*contents);
    // Qt's validator is strict: it refuses overlong forms, encoded surrogates, code points above
    // U+10FFFF and truncated sequences, which is what valid UTF-8 has to mean here.
    if (QByteArrayView(bytes).isValidUtf8()) {
        dropLeadingByteOrderMark(bytes);
        text = std::move(bytes);
        return;
    }
    if (std::optional<QByteArray> utf16 = decodeUtf16(bytes)) {
        text = std::move(*utf16);
        return;
    }
    throw platform::FileError(platform::FileError::ReadInapplicableStringEncoding);
}

platform::FileWrapper TextDocument::fileWrapper() const
{
    return platform::FileWrapper::regularFile(text);
}

bool operator==(const TextDocument &left, const TextDocument &right)
{
    if (left.text == right.text)
        return true;
    return QString::fromUtf8(left.text).normalized(QString::NormalizationForm_D) ==
           QString::fromUtf8(right.text).normalized(QString::NormalizationForm_D);
}

} // namespace scribbet
