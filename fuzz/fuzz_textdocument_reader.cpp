// For any bytes: the reader does not crash, it either yields text or refuses the encoding,
// valid UTF-8 comes back unchanged but for one leading mark, and what is written reads back
// as the same text (again but for one leading mark, which reading always takes as a mark).

#include "TextDocument.h"

#include "FileError.h"

#include <cstdint>
#include <cstdlib>

namespace {

constexpr char byteOrderMark[] = "\xEF\xBB\xBF";

QByteArray withoutLeadingMark(QByteArray utf8)
{
    if (utf8.startsWith(byteOrderMark))
        utf8.remove(0, 3);
    return utf8;
}

scribbet::TextDocument read(const QByteArray &bytes)
{
    return scribbet::TextDocument(
        platform::ReadConfiguration{platform::FileWrapper::regularFile(bytes)});
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        const scribbet::TextDocument document = read(input);
        check(QByteArrayView(document.text).isValidUtf8());
        if (QByteArrayView(input).isValidUtf8())
            check(document.text == withoutLeadingMark(input));
        const QByteArray written = *document.fileWrapper().regularFileContents();
        check(written == document.text);
        check(read(written).text == withoutLeadingMark(document.text));
    } catch (const platform::FileError &error) {
        check(error.code() == platform::FileError::ReadInapplicableStringEncoding);
        check(!QByteArrayView(input).isValidUtf8());
    }
    return 0;
}
