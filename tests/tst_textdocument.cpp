#include "TextDocument.h"

#include "FileError.h"
#include "TextEncodings.h"

#include <QStringEncoder>
#include <QTest>

#include <optional>
#include <string_view>

using platform::FileError;
using platform::FileWrapper;
using scribbet::TextDocument;

namespace {

constexpr int readable = 0;

// The outcome of reading bytes: the text, or the error code.
struct ReadOutcome {
    QByteArray text;
    int errorCode = readable;
};

ReadOutcome readBytes(const QByteArray &bytes)
{
    try {
        return {TextDocument(platform::ReadConfiguration{FileWrapper::regularFile(bytes)}).text};
    } catch (const FileError &error) {
        return {{}, error.code()};
    }
}

QByteArray utf8(std::u8string_view text)
{
    return {reinterpret_cast<const char *>(text.data()), qsizetype(text.size())};
}

QByteArray fromHex(const char *hex)
{
    return QByteArray::fromHex(hex);
}

} // namespace

class TextDocumentTest final : public QObject {
    Q_OBJECT

private slots:
    void readsAndWritesFileForms_data();
    void readsAndWritesFileForms();
    void equalityIsCanonical();
    void legacyEncodingsAreGuessedAndKeptByteForByte_data();
    void legacyEncodingsAreGuessedAndKeptByteForByte();
};

// Each row: the file's bytes, then either the text they read as (and which is written back) or
// the error code. Where Qt's own decoders would differ, the row says how.
void TextDocumentTest::readsAndWritesFileForms_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("errorCode");

    auto text = [](const char *name, const char *file, const char *decoded) {
        QTest::newRow(name) << fromHex(file) << fromHex(decoded) << readable;
    };
    auto refused = [](const char *name, const char *file) {
        QTest::newRow(name) << fromHex(file) << QByteArray()
                            << int(FileError::ReadInapplicableStringEncoding);
    };

    text("empty file", "", "");
    text("utf-8 mark is dropped", "efbbbf61", "61");
    text("mark after text stays", "61efbbbf", "61efbbbf");
    // Qt's UTF-8 decoder would drop both marks by itself.
    text("second leading mark stays", "efbbbfefbbbf61", "efbbbf61");
    text("only a mark", "efbbbf", "");
    text("mixed line endings", "610d0a620a630d640a0d", "610d0a620a630d640a0d");
    text("nbsp line and paragraph separators", "61c2a062e280a863e280a964",
         "61c2a062e280a863e280a964");
    text("utf-16 lookalike is utf-8 with nul", "6100", "6100");
    text("largest code point", "f48fbfbf", "f48fbfbf");

    text("utf-16 le with mark", "fffe61006200", "6162");
    text("utf-16 be with mark", "feff00610062", "6162");
    text("utf-16 only a mark", "fffe", "");
    text("utf-16 second mark stays", "fffefffe6100", "efbbbf61");
    text("utf-16 surrogate pair", "fffe3dd800de", "f09f9880");
    text("utf-16 replacement character is text", "fffefdff", "efbfbd");
    text("utf-16 le without mark", "e9006100", "c3a961");
    // Qt's UTF-16 decoder would assume little-endian here.
    text("utf-16 be without mark", "00e90061", "c3a961");
    text("utf-16 cr lf kept", "fffee9000d000a00", "c3a90d0a");

    refused("latin-1 is not utf-16", "636166e9");
    refused("truncated utf-8 sequence", "61e282");
    refused("overlong nul", "c080");
    refused("encoded surrogate", "eda08061");
    refused("above U+10FFFF", "f4908080");
    refused("invalid lead byte", "ff61");
    // Qt's UTF-16 decoder would drop the odd last byte.
    refused("utf-16 odd byte count", "fffe610062");
    // Qt's UTF-16 decoder would let these through as replacement characters.
    refused("utf-16 unpaired high surrogate", "fffe3dd86100");
    refused("utf-16 lone low surrogate", "fffe00de");
    refused("utf-16 zeros balanced", "00e9e900");
}

void TextDocumentTest::readsAndWritesFileForms()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, text);
    QFETCH(int, errorCode);

    const ReadOutcome outcome = readBytes(file);
    QCOMPARE(outcome.errorCode, errorCode);
    if (errorCode != readable)
        return;
    QCOMPARE(outcome.text.toHex(), text.toHex());
    const std::optional<QByteArray> written =
        TextDocument(outcome.text).fileWrapper().regularFileContents();
    QVERIFY(written.has_value());
    QCOMPARE(written->toHex(), text.toHex());
}

void TextDocumentTest::equalityIsCanonical()
{
    const TextDocument precomposed(utf8(u8"caf\u00e9"));
    const TextDocument decomposed(utf8(u8"cafe\u0301"));
    QVERIFY(precomposed == decomposed);
    QVERIFY(!(precomposed == TextDocument(QByteArray("cafe"))));
    QVERIFY(TextDocument() == TextDocument(QByteArray()));
    QVERIFY(!(TextDocument(QByteArray("a\r\n")) == TextDocument(QByteArray("a\n"))));
}

void TextDocumentTest::legacyEncodingsAreGuessedAndKeptByteForByte_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("guessed");
    QTest::addColumn<QString>("cannotHold"); // of "日€→"
    const auto row = [](const char *encoding, const char *text, const char *language,
                        const char *cannotHold) {
        QStringEncoder encoder(encoding);
        QTest::newRow(encoding) << QByteArray(encoder.encode(QString::fromUtf8(text))) << language
                                << encoding << QString::fromUtf8(cannotHold);
    };
    row("windows-1252", "Café crème – größer\r\n", "en", "日→");
    row("ISO-8859-15", "L’été, où l’œuvre coûte 5 €.\n", "de", "日→");
    row("KOI8-R", "Съешь же ещё этих мягких французских булок.\n", "en", "日€→");
    row("Shift_JIS", "日本語のテキストです。カタカナも。\n", "en", "€");
    row("GB18030", "这是一个中文文本文件。\n", "de", "");
    QTest::newRow("mixed, fits none but is kept")
        << QByteArray("caf\xc3\xa9 caf\xe9 \x81\r") << "en"
        << ""
        << "";
}

// What is guessed reads as the text, and writes back as the same bytes with an edit added; what
// the encoding has no place for is listed and nothing is written.
void TextDocumentTest::legacyEncodingsAreGuessedAndKeptByteForByte()
{
    namespace encodings = platform::textEncodings;
    QFETCH(QByteArray, file);
    QFETCH(QString, language);
    QFETCH(QString, guessed);
    QFETCH(QString, cannotHold);
    QCOMPARE(readBytes(file).errorCode, int(FileError::ReadInapplicableStringEncoding));
    const QString guess = encodings::guess(file, QLocale(language));
    QVERIFY2(guessed.isEmpty() || guess == guessed, qPrintable(guess));
    QVERIFY(encodings::available().contains(guess));
    const std::optional<QString> text = encodings::decode(file, guess);
    QVERIFY(text && !text->contains(QChar::ReplacementCharacter));
    QCOMPARE(encodings::encode(*text + "\r\nok", guess).bytes, file + "\r\nok");
    const encodings::Encoded refused = encodings::encode(*text + "日€→", guess);
    QVERIFY2(guessed.isEmpty() || refused.unrepresentable == cannotHold,
             qPrintable(refused.unrepresentable));
    QVERIFY(refused.unrepresentable.isEmpty() == !refused.bytes.isEmpty());
}

QTEST_GUILESS_MAIN(TextDocumentTest)
#include "tst_textdocument.moc"
