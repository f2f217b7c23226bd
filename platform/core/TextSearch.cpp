#include "TextSearch.h"

#include <QCoreApplication>

#include <cctype>
#include <cstring>

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

namespace platform {
namespace {

struct TextSearchText {
    Q_DECLARE_TR_FUNCTIONS(TextSearch)
};

// A backward search looks this far back first, then twice as far each time, so that finding
// the previous match costs about what the distance to it does.
constexpr qsizetype firstBackwardReach = qsizetype(64) * 1024;

bool isContinuationByte(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

qsizetype characterStartAtOrBefore(std::string_view text, qsizetype offset)
{
    while (offset > 0 && offset < qsizetype(text.size()) && isContinuationByte(text[offset]))
        --offset;
    return offset;
}

// Every ASCII character but a letter or digit is taken literally after a backslash; the rest of
// UTF-8 is literal as it stands.
QByteArray escapedForPattern(const QByteArray &literal)
{
    QByteArray escaped;
    escaped.reserve(literal.size() * 2);
    for (const char byte : literal) {
        const auto code = static_cast<unsigned char>(byte);
        if (code == 0) {
            escaped.append("\\x00");
            continue;
        }
        if (code < 0x80 && !std::isalnum(code))
            escaped.append('\\');
        escaped.append(byte);
    }
    return escaped;
}

QString pcreMessage(int code)
{
    PCRE2_UCHAR buffer[256];
    pcre2_get_error_message(code, buffer, sizeof buffer);
    return QString::fromUtf8(reinterpret_cast<const char *>(buffer));
}

// PCRE2 takes no null subject, even an empty one.
PCRE2_SPTR subjectOf(std::string_view text)
{
    return reinterpret_cast<PCRE2_SPTR>(text.empty() ? "" : text.data());
}

} // namespace

struct TextSearch::Compiled {
    pcre2_code *code = nullptr;
    pcre2_match_context *context = pcre2_match_context_create(nullptr);
    pcre2_jit_stack *jitStack =
        pcre2_jit_stack_create(size_t(32) * 1024, size_t(8) * 1024 * 1024, nullptr);
    pcre2_match_data *matchData = nullptr;

    Compiled() { pcre2_jit_stack_assign(context, nullptr, jitStack); }
    ~Compiled()
    {
        pcre2_match_data_free(matchData);
        pcre2_jit_stack_free(jitStack);
        pcre2_match_context_free(context);
        pcre2_code_free(code);
    }
    Compiled(const Compiled &) = delete;
    Compiled &operator=(const Compiled &) = delete;
};

namespace {

pcre2_code *compile(const QByteArray &expression, uint32_t options, QString *error)
{
    pcre2_compile_context *context = pcre2_compile_context_create(nullptr);
    // Lines end as the text's own do, whichever convention that is.
    pcre2_set_newline(context, PCRE2_NEWLINE_ANYCRLF);
    pcre2_set_bsr(context, PCRE2_BSR_ANYCRLF);
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    pcre2_code *code =
        pcre2_compile(reinterpret_cast<PCRE2_SPTR>(expression.constData()),
                      PCRE2_SIZE(expression.size()), options, &errorCode, &errorOffset, context);
    pcre2_compile_context_free(context);
    if (!code)
        *error = TextSearchText::tr("The regular expression can’t be used: %1 (at character %2).")
                     .arg(pcreMessage(errorCode))
                     .arg(QString::fromUtf8(expression.left(qsizetype(errorOffset))).size() + 1);
    return code;
}

} // namespace

TextSearch::TextSearch(const QString &pattern, SearchOptions options)
{
    const QByteArray utf8 = pattern.toUtf8();
    if (utf8.isEmpty())
        return;
    m_isExpression = options.regularExpression;
    if (options.matchCase && !options.wholeWords && !options.regularExpression) {
        m_literal = utf8;
        return;
    }
    // Matching never checks the whole text for valid UTF-8 first, which would cost a pass over it
    // per search, and a bad sequence never stops it.
    uint32_t flags =
        PCRE2_UTF | PCRE2_UCP | PCRE2_MATCH_INVALID_UTF | PCRE2_MULTILINE | PCRE2_USE_OFFSET_LIMIT;
    if (!options.matchCase)
        flags |= PCRE2_CASELESS;
    QByteArray expression = options.regularExpression ? utf8 : escapedForPattern(utf8);
    if (options.wholeWords) {
        // Checked alone first, so that a stray parenthesis is reported rather than paired with
        // the ones around it.
        if (pcre2_code *bare = compile(expression, flags, &m_patternError))
            pcre2_code_free(bare);
        else
            return;
        expression = "(?<!\\w)(?:" + expression + ")(?!\\w)";
    }
    auto compiled = std::make_unique<Compiled>();
    compiled->code = compile(expression, flags, &m_patternError);
    if (!compiled->code)
        return;
    pcre2_jit_compile(compiled->code, PCRE2_JIT_COMPLETE); // without JIT it matches more slowly
    compiled->matchData = pcre2_match_data_create_from_pattern(compiled->code, nullptr);
    m_compiled = std::move(compiled);
}

TextSearch::~TextSearch() = default;

std::optional<TextRange> TextSearch::firstMatch(std::string_view text, qsizetype from,
                                                qsizetype lastStart) const
{
    const auto size = qsizetype(text.size());
    lastStart = qMin(lastStart, size);
    if (from < 0 || from > lastStart)
        return std::nullopt;
    if (!m_literal.isEmpty())
        return literalMatch(text, from, lastStart);
    if (!m_compiled)
        return std::nullopt;
    pcre2_set_offset_limit(m_compiled->context, PCRE2_SIZE(lastStart));
    const int result = pcre2_match(m_compiled->code, subjectOf(text), PCRE2_SIZE(size),
                                   PCRE2_SIZE(from), 0, m_compiled->matchData, m_compiled->context);
    if (result == PCRE2_ERROR_NOMATCH)
        return std::nullopt;
    if (result < 0)
        throw SearchError(TextSearchText::tr("The search couldn’t finish: %1.")
                              .arg(pcreMessage(result))
                              .toStdString());
    const PCRE2_SIZE *found = pcre2_get_ovector_pointer(m_compiled->matchData);
    // \K can put a match's start after its end; the match is then the empty place it ends.
    const auto start = qsizetype(qMin(found[0], found[1]));
    return TextRange{start, qsizetype(found[1])};
}

std::optional<TextRange> TextSearch::literalMatch(std::string_view text, qsizetype from,
                                                  qsizetype lastStart) const
{
    const qsizetype end = qMin(qsizetype(text.size()), lastStart + m_literal.size());
    if (end - from < m_literal.size())
        return std::nullopt;
    const void *found = memmem(text.data() + from, size_t(end - from), m_literal.constData(),
                               size_t(m_literal.size()));
    if (!found)
        return std::nullopt;
    const qsizetype start = static_cast<const char *>(found) - text.data();
    return TextRange{start, start + m_literal.size()};
}

std::optional<TextRange> TextSearch::lastMatchBefore(std::string_view text, qsizetype before) const
{
    qsizetype searchedFrom = qMin(before, qsizetype(text.size()) + 1); // an empty match may end it
    for (qsizetype reach = firstBackwardReach; searchedFrom > 0; reach *= 2) {
        const qsizetype from =
            characterStartAtOrBefore(text, qMax(qsizetype(0), searchedFrom - reach));
        std::optional<TextRange> last;
        for (auto match = firstMatch(text, from, searchedFrom - 1); match;) {
            last = match;
            match = firstMatch(text, nextStart(text, *match), searchedFrom - 1);
        }
        if (last)
            return last;
        searchedFrom = from;
    }
    return std::nullopt;
}

bool TextSearch::isMatch(std::string_view text, TextRange range) const
{
    return firstMatch(text, range.start, range.start) == range;
}

QByteArray TextSearch::replacementFor(std::string_view text, TextRange match,
                                      const QByteArray &replacement) const
{
    // Only a regular expression's replacement has groups to fill in; any other is taken as it is,
    // dollar signs and all.
    if (!m_compiled || !m_isExpression)
        return replacement;
    pcre2_set_offset_limit(m_compiled->context, PCRE2_SIZE(match.start));
    QByteArray result(qMax(qsizetype(64), replacement.size() * 2), Qt::Uninitialized);
    for (;;) {
        auto length = PCRE2_SIZE(result.size());
        const int outcome = pcre2_substitute(
            m_compiled->code, subjectOf(text), PCRE2_SIZE(text.size()), PCRE2_SIZE(match.start),
            PCRE2_ANCHORED | PCRE2_SUBSTITUTE_REPLACEMENT_ONLY | PCRE2_SUBSTITUTE_OVERFLOW_LENGTH,
            m_compiled->matchData, m_compiled->context,
            reinterpret_cast<PCRE2_SPTR>(replacement.constData()), PCRE2_SIZE(replacement.size()),
            reinterpret_cast<PCRE2_UCHAR *>(result.data()), &length);
        if (outcome == PCRE2_ERROR_NOMEMORY) {
            result.resize(qsizetype(length));
            continue;
        }
        if (outcome < 0)
            throw SearchError(TextSearchText::tr("The replacement can’t be used: %1.")
                                  .arg(pcreMessage(outcome))
                                  .toStdString());
        result.resize(qsizetype(length));
        return result;
    }
}

qsizetype TextSearch::nextStart(std::string_view text, TextRange match)
{
    if (!match.isEmpty())
        return match.end;
    qsizetype next = match.end + 1;
    while (next < qsizetype(text.size()) && isContinuationByte(text[next]))
        ++next;
    return next;
}

} // namespace platform
