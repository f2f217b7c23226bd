#pragma once

#include <QByteArray>
#include <QObject>

namespace platform {

class ScintillaControl;

/// Loads a text into the editing component. The first screens show at once; the rest follows a
/// piece per turn of the event loop, each a few milliseconds' work, from the end of the text
/// backwards, so that each piece the component takes is let go of by the text being loaded: the
/// two never hold the whole text at once. Loading is no edit: the text stays at its save point
/// with no undo history, and is read-only until it is whole.
class TextLoading final : public QObject {
    Q_OBJECT

public:
    explicit TextLoading(ScintillaControl &control);

    /// Starts loading `utf8` in place of the component's text. Throws FileError when there is
    /// not memory enough to begin.
    void load(QByteArray utf8);

    /// Whether part of the text is still to come.
    bool isLoading() const { return m_loaded < m_unloadedFrom; }

    /// Puts what is still to come in place now.
    void finish();

    /// Whether memory ran out before the text was whole: what shows must never be saved.
    bool isIncomplete() const { return m_isIncomplete; }

    /// Gives up on the rest of the text: it is incomplete and read-only from now on.
    void giveUp();

signals:
    /// Memory ran out while the text arrived; what shows is incomplete.
    void ranOutOfMemory();

private:
    void loadNextPiece();
    bool insertFirstPiece(qsizetype maximum);
    bool insertLastPiece(qsizetype maximum);
    bool insertPiece(qsizetype start, qsizetype end);

    ScintillaControl &m_control;
    QByteArray m_text;
    qsizetype m_loaded = 0;       // the first piece, in place from the start
    qsizetype m_unloadedFrom = 0; // where the pieces in place at the end begin
    bool m_isIncomplete = false;
};

} // namespace platform
