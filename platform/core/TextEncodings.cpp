#include "TextEncodings.h"

#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>

#include <unicode/ucsdet.h>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

namespace platform::textEncodings {
namespace {

// By how many files there are in them, roughly.
constexpr std::array singleByte{
    "windows-1252", "ISO-8859-15", "ISO-8859-1",   "windows-1250", "ISO-8859-2",   "windows-1251",
    "KOI8-R",       "KOI8-U",      "ISO-8859-5",   "IBM866",       "windows-1253", "ISO-8859-7",
    "windows-1254", "ISO-8859-9",  "windows-1255", "ISO-8859-8",   "windows-1256", "ISO-8859-6",
    "windows-1257", "ISO-8859-13", "windows-1258", "windows-874",  "ISO-8859-4",   "ISO-8859-10",
    "ISO-8859-16",  "macintosh",   "IBM437",       "IBM850",
};
constexpr std::array multiByte{
    "Shift_JIS", "EUC-JP", "ISO-2022-JP", "GB18030", "GBK", "Big5", "Big5-HKSCS", "EUC-KR",
};

// The encodings a user writing in `locale`'s language most likely has files in.
QStringList localFavourites(const QLocale &locale)
{
    switch (locale.language()) {
    case QLocale::Japanese:
        return {QStringLiteral("Shift_JIS"), QStringLiteral("EUC-JP")};
    case QLocale::Chinese:
        return {QStringLiteral("GB18030"), QStringLiteral("Big5")};
    case QLocale::Korean:
        return {QStringLiteral("EUC-KR")};
    case QLocale::Russian:
    case QLocale::Bulgarian:
    case QLocale::Serbian:
        return {QStringLiteral("windows-1251"), QStringLiteral("KOI8-R")};
    case QLocale::Ukrainian:
        return {QStringLiteral("windows-1251"), QStringLiteral("KOI8-U")};
    case QLocale::Polish:
    case QLocale::Czech:
    case QLocale::Slovak:
    case QLocale::Hungarian:
    case QLocale::Slovenian:
    case QLocale::Croatian:
        return {QStringLiteral("windows-1250")};
    case QLocale::Greek:
        return {QStringLiteral("windows-1253")};
    case QLocale::Turkish:
        return {QStringLiteral("windows-1254")};
    default:
        return {QStringLiteral("windows-1252")};
    }
}

bool isUnlikely(QChar character)
{
    const QChar::Category category = character.category();
    return character == QChar::ReplacementCharacter || category == QChar::Other_Control ||
           category == QChar::Other_PrivateUse || category == QChar::Other_NotAssigned ||
           category == QChar::Other_Surrogate;
}

// Han, kana and hangul are written together, so they count as one script here.
int scriptGroup(QChar character)
{
    switch (character.script()) {
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Hangul:
    case QChar::Script_Bopomofo:
        return QChar::Script_Han;
    default:
        return character.script();
    }
}

// What a letter beyond ASCII adds for the letter beside it: its own script is likely, another
// is not, and Latin letters beyond ASCII seldom come two together: when they do, the bytes are
// more likely another alphabet's.
int besideScore(QChar letter, QChar beside)
{
    if (!beside.isLetter())
        return 0;
    if (scriptGroup(beside) != scriptGroup(letter))
        return -4;
    return letter.script() == QChar::Script_Latin && beside.unicode() >= 0x80 ? -1 : 1;
}

// How much the text beyond ASCII reads like words: letters count, lower case and the two-byte
// letters of East Asian scripts more, and so do letters beside letters of their own script;
// controls and unassigned characters count against.
long long wordLikeness(const QString &text)
{
    long long score = 0;
    for (qsizetype index = 0; index < text.size(); ++index) {
        const QChar character = text.at(index);
        if (character.unicode() < 0x80)
            continue;
        if (isUnlikely(character)) {
            score -= 8;
            continue;
        }
        if (!character.isLetter())
            continue;
        score += character.isLower() || scriptGroup(character) == QChar::Script_Han ? 2 : 1;
        if (index > 0)
            score += besideScore(character, text.at(index - 1));
        if (index + 1 < text.size())
            score += besideScore(character, text.at(index + 1));
    }
    return score;
}

// The encodings ICU's detector finds the bytes may be in, by its statistics of each language's
// byte sequences: a short list, and the only sure way to tell the East Asian encodings apart.
struct Detected {
    QString name;
    int confidence = 0;
};

std::vector<Detected> detected(QByteArrayView bytes)
{
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UCharsetDetector, void (*)(UCharsetDetector *)> detector(
        ucsdet_open(&status), ucsdet_close);
    ucsdet_setText(detector.get(), bytes.data(), int32_t(qMin(bytes.size(), qsizetype(INT32_MAX))),
                   &status);
    int32_t count = 0;
    const UCharsetMatch **matches = ucsdet_detectAll(detector.get(), &count, &status);
    std::vector<Detected> found;
    for (int32_t index = 0; U_SUCCESS(status) && index < count; ++index) {
        found.push_back({QLatin1String(ucsdet_getName(matches[index], &status)),
                         ucsdet_getConfidence(matches[index], &status)});
    }
    return found;
}

std::optional<QString> decodeExactly(QByteArrayView bytes, const QString &encoding)
{
    QStringDecoder decoder(encoding.toLatin1().constData(), QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return std::nullopt;
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// The East Asian encodings all decode one another's bytes into plausible characters: ICU's
// statistics of each language's byte sequences tell them apart, when it is sure.
std::optional<QString> surelyEastAsian(QByteArrayView sample, const std::vector<Detected> &likely)
{
    for (const Detected &match : likely) {
        const bool isEastAsian =
            std::any_of(multiByte.begin(), multiByte.end(),
                        [&](const char *name) { return match.name == QLatin1String(name); });
        if (isEastAsian && match.confidence >= 50 && decodeExactly(sample, match.name))
            return match.name;
    }
    return std::nullopt;
}

int confidenceOf(const std::vector<Detected> &likely, const QString &encoding)
{
    const auto match = std::find_if(likely.begin(), likely.end(), [&](const Detected &each) {
        return each.name.compare(encoding, Qt::CaseInsensitive) == 0;
    });
    return match == likely.end() ? 0 : match->confidence;
}

} // namespace

QStringList available()
{
    QStringList list;
    for (const char *name : singleByte)
        list.append(QLatin1String(name));
    for (const char *name : multiByte)
        list.append(QLatin1String(name));
    list.removeIf(
        [](const QString &name) { return !QStringDecoder(name.toLatin1().constData()).isValid(); });
    return list;
}

QString guess(QByteArrayView bytes, const QLocale &locale)
{
    // A sample is enough to tell, and keeps the guess quick for any size of file; it ends at a
    // line's end, so that no character is cut in two.
    QByteArrayView sample = bytes;
    if (sample.size() > (qsizetype(1) << 20)) {
        sample = sample.first(qsizetype(1) << 20);
        sample = sample.first(sample.lastIndexOf('\n') + 1);
    }
    const std::vector<Detected> likely = detected(sample);
    if (const std::optional<QString> eastAsian = surelyEastAsian(sample, likely))
        return *eastAsian;
    const QStringList favourites = localFavourites(locale);
    QStringList candidates = favourites;
    for (const char *name : singleByte)
        candidates.append(QLatin1String(name));
    QString best;
    long long bestScore = 0;
    for (const QString &encoding : std::as_const(candidates)) {
        const std::optional<QString> text = decodeExactly(sample, encoding);
        // Where two alphabets read alike, as Greek and Cyrillic letters from the same bytes can,
        // the detector's confidence decides.
        const long long score =
            text ? wordLikeness(*text) * 30 + confidenceOf(likely, encoding) : 0;
        if (text && (best.isEmpty() || score > bestScore)) {
            best = encoding;
            bestScore = score;
        }
    }
    return best.isEmpty() ? favourites.constFirst() : best;
}

std::optional<QString> decode(QByteArrayView bytes, const QString &encoding)
{
    std::optional<QString> text = decodeExactly(bytes, encoding);
    if (!text)
        return std::nullopt;
    const Encoded back = encode(*text, encoding);
    if (!back.unrepresentable.isEmpty() || QByteArrayView(back.bytes) != bytes)
        return std::nullopt;
    return text;
}

Encoded encode(const QString &text, const QString &encoding)
{
    QStringEncoder encoder(encoding.toLatin1().constData());
    Encoded encoded{encoder.encode(text), {}};
    // An encoder puts a stand-in for what it cannot hold, and may not say so: what does not come
    // back is what the encoding cannot hold.
    if (!encoder.hasError() && decodeExactly(encoded.bytes, encoding) == text)
        return encoded;
    QSet<char32_t> seen;
    for (const char32_t character : text.toUcs4()) {
        if (character < 0x80 || seen.contains(character))
            continue;
        seen.insert(character);
        const QString alone = QString::fromUcs4(&character, 1);
        QStringEncoder single(encoding.toLatin1().constData());
        const QByteArray bytes = single.encode(alone);
        if (single.hasError() || decodeExactly(bytes, encoding) != alone)
            encoded.unrepresentable += alone;
    }
    if (!encoded.unrepresentable.isEmpty())
        encoded.bytes.clear();
    return encoded;
}

} // namespace platform::textEncodings
