#pragma once

#include <QByteArray>

namespace platform {

// Line breaks, and where a large text is cut into the pieces it is loaded in: always at a line
// start, since the editor lays a whole line out again whenever it grows, and never inside a CR LF
// pair.

inline bool isLineBreak(char byte)
{
    return byte == '\n' || byte == '\r';
}

/// Where a piece of `text` that starts at `start` and holds about `maximum` bytes ends: after
/// the last line ending within it, else after the first one beyond it, else at the text's end.
qsizetype pieceEnd(const QByteArray &text, qsizetype start, qsizetype maximum);

/// Where the last piece of `text` before `end`, about `maximum` bytes and none of them before
/// `loaded`, begins: at the first line start within it, else at the last one before it, else at
/// `loaded`, which starts a line.
qsizetype tailPieceStart(const QByteArray &text, qsizetype loaded, qsizetype end,
                         qsizetype maximum);

} // namespace platform
