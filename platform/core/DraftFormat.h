#pragma once

#include "DiskVersion.h"

#include <QByteArray>
#include <QByteArrayView>

#include <functional>
#include <optional>

namespace platform {

/// What a draft's text starts from, before the edits it records.
enum class DraftBase : quint8 {
    Empty = 0, ///< nothing: an untitled document, or one for a file not yet written
    Text = 1,  ///< a copy of the text, kept in the draft itself
    File = 2,  ///< the document's file, as long as it holds the version the draft began from
};

/// What a draft is the unsaved text of.
struct DraftHeader {
    QByteArray filePath;             ///< the document's file, as bytes; empty while untitled
    std::optional<FileVersion> file; ///< that file's bytes when the draft began, if it had any
    DraftBase base = DraftBase::Empty;
    qint64 createdAt = 0; ///< milliseconds since the epoch

    bool isUntitled() const { return filePath.isEmpty(); }
};

/// The records a draft file is made of: a header, the base text when the draft keeps it, then
/// one record per edit. Each record carries its length and a checksum, so that a draft cut short
/// anywhere, as by a kill while it was written, reads back as a whole prefix of its edits.
namespace draftRecords {

/// How a draft file begins: its mark, the header and, for DraftBase::Text, the base text.
QByteArray start(const DraftHeader &header, QByteArrayView baseText = {});
QByteArray insertion(qsizetype position, QByteArrayView bytes);
QByteArray removal(qsizetype position, qsizetype length);

} // namespace draftRecords

/// A draft read back.
struct DraftContents {
    DraftHeader header;
    /// The unsaved text; nothing when the draft starts from its file and the file no longer
    /// holds the version it began from.
    std::optional<QByteArray> text;
    /// False when a damaged record, or one beyond the limits, ended the edits early: the text is
    /// then what the edits before it made.
    bool isWhole = true;
};

/// The header of a draft, or nothing when the bytes are not a draft.
std::optional<DraftHeader> readDraftHeader(QByteArrayView bytes);

/// The text of the document's file when `header` says the draft starts from it; nothing when
/// the file no longer holds header.file. May throw FileError.
using DraftFileText = std::function<std::optional<QByteArray>(const DraftHeader &header)>;

/// Reads a draft and makes its text, never longer than `largestText`, with work bounded by the
/// draft's size. Nothing when the bytes are not a draft.
std::optional<DraftContents> readDraft(QByteArrayView bytes, const DraftFileText &fileText,
                                       qsizetype largestText);

} // namespace platform
