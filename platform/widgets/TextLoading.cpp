#include "TextLoading.h"

#include "FileError.h"
#include "ScintillaControl.h"
#include "TextPieces.h"

#include <QSignalBlocker>
#include <QTimer>

namespace platform {
namespace {

constexpr qsizetype firstPieceSize = qsizetype(256) * 1024;
constexpr qsizetype pieceSize = qsizetype(4) * 1024 * 1024;

} // namespace

TextLoading::TextLoading(ScintillaControl &control)
    : m_control(control)
{}

void TextLoading::load(QByteArray utf8)
{
    if (!m_control.startDocument(utf8.size()))
        throw FileError::outOfMemory();
    m_control.matchNewLinesTo(utf8);
    m_control.SendScintilla(ScintillaControl::SCI_SETUNDOCOLLECTION, false);
    m_control.sendModificationNotices(false);
    m_text = std::move(utf8);
    m_loaded = 0;
    m_unloadedFrom = m_text.size();
    m_isIncomplete = false;
    if (!insertFirstPiece(firstPieceSize)) {
        m_text = QByteArray();
        throw FileError::outOfMemory();
    }
    if (isLoading()) {
        m_control.setReadOnly(true);
        QTimer::singleShot(0, this, &TextLoading::loadNextPiece);
    } else {
        finish();
    }
}

void TextLoading::loadNextPiece()
{
    if (!isLoading())
        return;
    if (!insertLastPiece(pieceSize)) {
        giveUp();
        return;
    }
    if (isLoading())
        QTimer::singleShot(0, this, &TextLoading::loadNextPiece);
    else
        finish();
}

// About `maximum` bytes cut after a line ending: the component lays out a whole line again
// whenever it grows, so a line never arrives in parts.
bool TextLoading::insertFirstPiece(qsizetype maximum)
{
    const qsizetype end = pieceEnd(m_text, 0, maximum);
    if (!insertPiece(0, end))
        return false;
    m_loaded = end;
    return true;
}

// The last piece still to come, whole lines of about `maximum` bytes, let go of at once in the
// text being loaded unless another holder shares that text.
bool TextLoading::insertLastPiece(qsizetype maximum)
{
    const qsizetype start = tailPieceStart(m_text, m_loaded, m_unloadedFrom, maximum);
    if (!insertPiece(start, m_unloadedFrom))
        return false;
    m_unloadedFrom = start;
    if (m_text.isDetached()) {
        m_text.truncate(start);
        m_text.squeeze(); // gives the memory back
    }
    return true;
}

// With no undo being collected while the text loads, the text stays at its save point: loading
// never counts as an edit.
bool TextLoading::insertPiece(qsizetype start, qsizetype end)
{
    const QSignalBlocker quiet(&m_control);
    const bool wasReadOnly = m_control.isReadOnly();
    m_control.SendScintilla(ScintillaControl::SCI_SETREADONLY, false);
    const bool inserted = m_control.insertHeld(m_loaded, m_text.constData() + start, end - start);
    m_control.SendScintilla(ScintillaControl::SCI_SETREADONLY, wasReadOnly);
    return inserted;
}

void TextLoading::finish()
{
    if (isLoading() && !insertLastPiece(m_unloadedFrom - m_loaded))
        giveUp();
    m_text = QByteArray();
    m_loaded = 0;
    m_unloadedFrom = 0;
    m_control.sendModificationNotices(true);
    m_control.SendScintilla(ScintillaControl::SCI_SETUNDOCOLLECTION, true);
    m_control.SendScintilla(ScintillaControl::SCI_EMPTYUNDOBUFFER);
    m_control.SendScintilla(ScintillaControl::SCI_SETSAVEPOINT);
    m_control.setReadOnly(m_isIncomplete);
}

void TextLoading::giveUp()
{
    m_text = QByteArray();
    m_loaded = 0;
    m_unloadedFrom = 0;
    m_isIncomplete = true;
    m_control.setReadOnly(true);
    emit ranOutOfMemory();
}

} // namespace platform
