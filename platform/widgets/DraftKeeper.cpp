#include "DraftKeeper.h"

#include "Document.h"
#include "TextEditor.h"

#include <QDateTime>
#include <QFile>

#include <algorithm>

namespace platform {
namespace {

// Edits are written once typing pauses this long, and never later than the second bound after
// the first of them, so that a kill loses at most about a second of typing.
constexpr qint64 pauseMilliseconds = 500;
constexpr qint64 longestWaitMilliseconds = 1000;

} // namespace

DraftKeeper::DraftKeeper(Document &document, TextEditor &editor, DraftWriter &writer)
    : m_document(document)
    , m_editor(editor)
    , m_writer(writer)
{
    m_write.setSingleShot(true);
    connect(&m_write, &QTimer::timeout, this, &DraftKeeper::keepNow);
    connect(&m_editor, &TextEditor::edited, this, &DraftKeeper::record);
    connect(&m_editor, &TextEditor::editedChanged, this, &DraftKeeper::editedChanged);
    connect(&m_writer, &DraftWriter::becameSelfContained, this, [this](quint64 draft) {
        if (m_draft == draft)
            m_needsItsFile = false;
    });
    connect(&m_writer, &DraftWriter::lostItsBase, this, &DraftKeeper::restartFromText);
}

DraftKeeper::~DraftKeeper()
{
    keepNow();
    if (m_draft)
        m_writer.release(*m_draft);
}

void DraftKeeper::record(qsizetype position, qsizetype removed, QByteArrayView inserted)
{
    if (m_unwritten.isEmpty())
        m_unwrittenSince.start();
    m_unwritten += removed > 0 ? draftRecords::removal(position, removed)
                               : draftRecords::insertion(position, inserted);
    m_bytesMoved += std::abs(position - m_lastPosition);
    m_lastPosition = position + inserted.size();
    const qint64 waited = m_unwrittenSince.elapsed();
    m_write.start(int(std::clamp(longestWaitMilliseconds - waited, qint64(0), pauseMilliseconds)));
}

void DraftKeeper::keepNow()
{
    m_write.stop();
    if (m_unwritten.isEmpty())
        return;
    if (!m_editor.isEdited()) { // back where it was saved before a pause
        m_unwritten.clear();
        return;
    }
    const qsizetype textSize = m_editor.length();
    const qsizetype bytesMoved = std::exchange(m_bytesMoved, 0);
    if (m_draft) {
        m_writer.append(*m_draft, std::exchange(m_unwritten, {}), textSize, bytesMoved);
        return;
    }
    const DraftHeader started = header();
    m_needsItsFile = started.base == DraftBase::File;
    m_draft = m_writer.begin(started, std::exchange(m_unwritten, {}), textSize, bytesMoved);
    // A file in a legacy encoding cannot be read back by the draft's reader, which takes UTF-8
    // and UTF-16 only: its draft holds the whole text from the start.
    if (m_needsItsFile && !m_document.encoding().isEmpty())
        restartFromText(*m_draft);
}

void DraftKeeper::discard()
{
    m_write.stop();
    m_unwritten.clear();
    if (m_draft)
        m_writer.remove(*std::exchange(m_draft, std::nullopt));
}

void DraftKeeper::fileChangedOnDisk()
{
    keepNow();
    if (m_draft && m_needsItsFile)
        restartFromText(*m_draft);
}

// A text back at its save point needs no draft: what the edits since made is undone.
void DraftKeeper::editedChanged(bool edited)
{
    if (!edited)
        discard();
}

// Copying the text holds the window for as long as it takes, which only happens when a large
// text's file changes under its unsaved edits.
void DraftKeeper::restartFromText(quint64 draft)
{
    if (m_draft != draft)
        return;
    keepNow();
    try {
        m_writer.restart(draft, m_editor.utf8Text());
        m_needsItsFile = false;
    } catch (const std::exception &) {
        // An incomplete text, or no memory for the copy: the draft keeps starting from the file.
    }
}

// A document whose file was read starts its draft from that file, as the file was read; one
// without (untitled, or not yet written) starts from nothing.
DraftHeader DraftKeeper::header() const
{
    DraftHeader header;
    header.filePath = QFile::encodeName(m_document.filePath());
    if (const std::optional<DiskVersion> &version = m_document.diskVersion())
        header.file = version->bytes();
    header.base = header.file && !header.isUntitled() ? DraftBase::File : DraftBase::Empty;
    header.createdAt = QDateTime::currentMSecsSinceEpoch();
    return header;
}

} // namespace platform
