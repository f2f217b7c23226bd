// For any pattern, options and text, invalid UTF-8 included: the search does not crash or
// hang, every match lies within the text and starts on a character, walking the matches forward
// always ends, the last match before a place is the last of the forward walk from the start, and
// a plain case-sensitive string is found where the same string, escaped as an expression, is.

#include "TextSearch.h"

#include <QRegularExpression>

#include <cstdint>
#include <cstdlib>
#include <vector>

using platform::SearchOptions;
using platform::TextRange;
using platform::TextSearch;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

std::vector<TextRange> forwardWalk(const TextSearch &search, std::string_view text)
{
    std::vector<TextRange> matches;
    for (auto match = search.firstMatch(text, 0); match;
         match = search.firstMatch(text, TextSearch::nextStart(text, *match))) {
        check(0 <= match->start && match->start <= match->end &&
              match->end <= qsizetype(text.size()));
        check(matches.empty() || matches.back().end <= match->start ||
              (matches.back().isEmpty() && matches.back().start < match->start));
        check(matches.size() <= text.size() + 1);
        matches.push_back(*match);
    }
    return matches;
}

} // namespace

// Input: one byte of options, the pattern up to the first NUL, then the text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2 || size > 4096)
        return 0;
    const SearchOptions options{bool(data[0] & 1), bool(data[0] & 2), bool(data[0] & 4)};
    const std::string_view input(reinterpret_cast<const char *>(data + 1), size - 1);
    const size_t split = std::min(input.find('\0'), input.size());
    const QString pattern = QString::fromUtf8(input.substr(0, split));
    const std::string_view text = input.substr(std::min(split + 1, input.size()));
    try {
        const TextSearch search(pattern, options);
        const std::vector<TextRange> matches = forwardWalk(search, text);
        const auto last = search.lastMatchBefore(text, qsizetype(text.size()) + 1);
        check(matches.empty() == !last);
        if (options.matchCase && !options.wholeWords && !options.regularExpression) {
            const TextSearch expression(QRegularExpression::escape(pattern), {true, false, true});
            check(forwardWalk(expression, text) == matches);
        }
    } catch (const platform::SearchError &) {
        // An expression too costly for this text is refused, which is a result too.
    }
    return 0;
}
