#pragma once

#include "TextSearch.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <string_view>
#include <vector>

namespace platform {

/// What was searched for last, shared by every find bar, as the desktop's editors share it.
struct LastSearch {
    QString pattern;
    SearchOptions options;
};

enum class FindDirection { Forward, Backward };

struct Found {
    TextRange match;
    /// The search went around the end of the text (forward) or its start (backward).
    bool wrapped = false;
};

/// The match after `selection` or before it, going around the end of the text when there is
/// none on that side. An empty match where the selection starts is passed over, so that
/// finding again moves on. Nothing when the text has no match. Throws SearchError.
std::optional<Found> findFrom(const TextSearch &search, std::string_view text, TextRange selection,
                              FindDirection direction);

/// A range of the text and what takes its place.
struct Replacement {
    TextRange range;
    QByteArray utf8;
};

/// Every match in the text, in order, each with what `replacement` makes of it. Throws
/// SearchError, and std::bad_alloc for more matches than memory holds.
std::vector<Replacement> replaceEveryMatch(const TextSearch &search, std::string_view text,
                                           const QByteArray &replacement);

/// A place in the text as people say it: line and column, each counted from 1, the column in
/// characters.
struct TextPlace {
    qsizetype line = 1;
    qsizetype column = 1;

    friend bool operator==(const TextPlace &, const TextPlace &) = default;
};

/// The place "214" or "214:7" names, spaces around either number allowed; nothing for anything
/// else, or for a line or column of 0.
std::optional<TextPlace> parseTextPlace(QStringView typed);

} // namespace platform
