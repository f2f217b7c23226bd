#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string_view>

namespace platform {

/// How a search reads what it is given.
struct SearchOptions {
    bool matchCase = false;
    /// A match may not begin or end inside a word.
    bool wholeWords = false;
    /// The pattern is a Perl-compatible regular expression (PCRE2, as in QRegularExpression);
    /// `^` and `$` match at every line ending, `.` stops at one.
    bool regularExpression = false;
};

/// Where a match lies: byte offsets into the text searched, `end` just past its last byte.
struct TextRange {
    qsizetype start = 0;
    qsizetype end = 0;

    bool isEmpty() const { return start == end; }
    friend bool operator==(const TextRange &, const TextRange &) = default;
};

/// A search that could not finish, such as a regular expression that backtracks without end.
class SearchError final : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// A pattern to find in UTF-8 text, NUL bytes and all. The text is searched where it lies,
/// never copied or converted: a plain case-sensitive string goes through memmem, anything else
/// through PCRE2's compiled matcher.
class TextSearch final {
public:
    TextSearch(const QString &pattern, SearchOptions options);
    ~TextSearch();
    TextSearch(const TextSearch &) = delete;
    TextSearch &operator=(const TextSearch &) = delete;

    /// Empty when the pattern is usable; else why not, for the user.
    QString patternError() const { return m_patternError; }

    /// The first match that starts at or after `from` and no later than `lastStart`.
    /// Throws SearchError.
    std::optional<TextRange> firstMatch(std::string_view text, qsizetype from,
                                        qsizetype lastStart) const;
    std::optional<TextRange> firstMatch(std::string_view text, qsizetype from) const
    {
        return firstMatch(text, from, qsizetype(text.size()));
    }

    /// The last match that starts before `before`. Throws SearchError.
    std::optional<TextRange> lastMatchBefore(std::string_view text, qsizetype before) const;

    /// Whether `range` is exactly a match, as when the selection is what was found.
    bool isMatch(std::string_view text, TextRange range) const;

    /// What replaces `match`: `replacement` as it stands, or for a regular expression with
    /// `$1`, `${name}` and `$$` filled in from the match.
    QByteArray replacementFor(std::string_view text, TextRange match,
                              const QByteArray &replacement) const;

    /// Where the next search may start after `match`: past it, or past the next character when
    /// it is empty, so that walking the matches always ends.
    static qsizetype nextStart(std::string_view text, TextRange match);

private:
    struct Compiled;

    std::optional<TextRange> literalMatch(std::string_view text, qsizetype from,
                                          qsizetype lastStart) const;

    QByteArray m_literal;
    bool m_isExpression = false;
    std::unique_ptr<Compiled> m_compiled;
    QString m_patternError;
};

} // namespace platform
