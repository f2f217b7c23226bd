#include "Finding.h"

#include <QList>

#include <array>

namespace platform {

std::optional<Found> findFrom(const TextSearch &search, std::string_view text, TextRange selection,
                              FindDirection direction)
{
    if (direction == FindDirection::Backward) {
        if (const std::optional<TextRange> match = search.lastMatchBefore(text, selection.start))
            return Found{*match, false};
        const std::optional<TextRange> wrapped =
            search.lastMatchBefore(text, qsizetype(text.size()) + 1);
        return wrapped ? std::optional(Found{*wrapped, true}) : std::nullopt;
    }
    std::optional<TextRange> match = search.firstMatch(text, selection.end);
    // An empty match where the caret already is would be found again and again.
    if (match && match->isEmpty() && match->start == selection.start)
        match = search.firstMatch(text, TextSearch::nextStart(text, *match));
    if (match)
        return Found{*match, false};
    const std::optional<TextRange> wrapped = search.firstMatch(text, 0);
    return wrapped ? std::optional(Found{*wrapped, true}) : std::nullopt;
}

std::vector<Replacement> replaceEveryMatch(const TextSearch &search, std::string_view text,
                                           const QByteArray &replacement)
{
    std::vector<Replacement> replacements;
    for (auto match = search.firstMatch(text, 0); match;
         match = search.firstMatch(text, TextSearch::nextStart(text, *match)))
        replacements.push_back({*match, search.replacementFor(text, *match, replacement)});
    return replacements;
}

std::optional<TextPlace> parseTextPlace(QStringView typed)
{
    const QList<QStringView> parts = typed.split(QLatin1Char(':'));
    if (parts.size() > 2)
        return std::nullopt;
    std::array<qsizetype, 2> numbers{1, 1};
    for (qsizetype index = 0; index < parts.size(); ++index) {
        bool isNumber = false;
        numbers.at(index) = parts.at(index).trimmed().toLongLong(&isNumber);
        if (!isNumber || numbers.at(index) < 1)
            return std::nullopt;
    }
    return TextPlace{numbers[0], numbers[1]};
}

} // namespace platform
