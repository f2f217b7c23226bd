#include "TextPieces.h"

#include <algorithm>
#include <iterator>

namespace platform {

qsizetype pieceEnd(const QByteArray &text, qsizetype start, qsizetype maximum)
{
    const char *data = text.constData();
    const char *const textEnd = data + text.size();
    const char *limit = data + qMin(text.size(), start + maximum);
    if (limit == textEnd)
        return text.size();
    const auto lastBreak = std::find_if(std::make_reverse_iterator(limit),
                                        std::make_reverse_iterator(data + start), isLineBreak);
    const char *end = lastBreak.base(); // just after the line break, or the piece's start
    if (end == data + start) {
        const char *nextBreak = std::find_if(limit, textEnd, isLineBreak);
        end = nextBreak == textEnd ? textEnd : nextBreak + 1;
    }
    if (end < textEnd && end[-1] == '\r' && end[0] == '\n')
        ++end;
    return end - data;
}

qsizetype tailPieceStart(const QByteArray &text, qsizetype loaded, qsizetype end, qsizetype maximum)
{
    const char *data = text.constData();
    const auto startsLine = [data](qsizetype position) {
        return data[position - 1] == '\n' || (data[position - 1] == '\r' && data[position] != '\n');
    };
    const qsizetype from = qMax(loaded, end - maximum);
    if (from == loaded) // all that is left fits
        return loaded;
    for (qsizetype position = from; position < end; ++position) {
        if (startsLine(position))
            return position;
    }
    for (qsizetype position = from - 1; position > loaded; --position) {
        if (startsLine(position))
            return position;
    }
    return loaded;
}

} // namespace platform
