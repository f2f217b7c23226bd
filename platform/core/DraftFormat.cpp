#include "DraftFormat.h"

#include "FileIO.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

constexpr QByteArrayView mark("Scribbet draft 1\n");

enum class Kind : quint8 { Header = 1, Base = 2, Insertion = 3, Removal = 4 };

// A record: the length of what follows it up to the checksum, its kind and fields, then the
// contentHash() of kind and fields.
constexpr qsizetype lengthSize = 4;
constexpr qsizetype checksumSize = 8;
constexpr qsizetype largestRecord = (qsizetype(1) << 30) + 64;

template <class Number> void appendNumber(QByteArray &bytes, Number number)
{
    const Number little = qToLittleEndian(number);
    bytes.append(reinterpret_cast<const char *>(&little), sizeof little);
}

QByteArray record(Kind kind, const QByteArray &fields)
{
    QByteArray body;
    body.reserve(1 + fields.size());
    body.append(char(kind)).append(fields);
    QByteArray framed;
    framed.reserve(lengthSize + body.size() + checksumSize);
    appendNumber(framed, quint32(body.size()));
    framed.append(body);
    appendNumber(framed, contentHash(body));
    return framed;
}

// Reads numbers and bytes from a record's fields, failing once anything is missing.
class FieldReader final {
public:
    explicit FieldReader(QByteArrayView fields)
        : m_rest(fields)
    {}

    template <class Number> Number number()
    {
        Number little{};
        if (m_rest.size() < qsizetype(sizeof little)) {
            m_failed = true;
            return Number{};
        }
        std::memcpy(&little, m_rest.data(), sizeof little);
        m_rest = m_rest.sliced(sizeof little);
        return qFromLittleEndian(little);
    }

    QByteArrayView bytes(qsizetype count)
    {
        if (count < 0 || count > m_rest.size()) {
            m_failed = true;
            return {};
        }
        const QByteArrayView taken = m_rest.first(count);
        m_rest = m_rest.sliced(count);
        return taken;
    }

    QByteArrayView rest() { return bytes(m_rest.size()); }
    bool isComplete() const { return !m_failed && m_rest.isEmpty(); }

private:
    QByteArrayView m_rest;
    bool m_failed = false;
};

struct Record {
    Kind kind;
    QByteArrayView fields;
};

// Walks the records after the mark, stopping at the first one that is cut short or damaged.
class RecordWalker final {
public:
    explicit RecordWalker(QByteArrayView bytes)
        : m_rest(bytes.startsWith(mark) ? bytes.sliced(mark.size()) : QByteArrayView())
    {}

    std::optional<Record> next()
    {
        FieldReader framing(m_rest);
        const auto length = qsizetype(framing.number<quint32>());
        if (length < 1 || length > largestRecord)
            return std::nullopt;
        const QByteArrayView body = framing.bytes(length);
        const auto checksum = framing.number<quint64>();
        if (body.isEmpty() || checksum != contentHash(body))
            return std::nullopt;
        m_rest = m_rest.sliced(lengthSize + length + checksumSize);
        return Record{Kind(quint8(body.front())), body.sliced(1)};
    }

    bool isAtEnd() const { return m_rest.isEmpty(); }

private:
    QByteArrayView m_rest;
};

std::optional<DraftHeader> parseHeader(const Record &header)
{
    if (header.kind != Kind::Header)
        return std::nullopt;
    FieldReader fields(header.fields);
    DraftHeader parsed;
    parsed.base = DraftBase(fields.number<quint8>());
    parsed.createdAt = fields.number<qint64>();
    const bool hasFile = fields.number<quint8>() != 0;
    const FileVersion file{fields.number<qint64>(), fields.number<quint64>()};
    parsed.filePath = fields.bytes(fields.number<quint32>()).toByteArray();
    if (!fields.isComplete() || quint8(parsed.base) > quint8(DraftBase::File) ||
        (parsed.base == DraftBase::File && !hasFile))
        return std::nullopt;
    if (hasFile)
        parsed.file = file;
    return parsed;
}

// A text that takes edits where they were made: the gap between its two halves follows them, so
// typing in one place costs what was typed, and only a jump pays for the bytes it crosses.
class GapText final {
public:
    explicit GapText(QByteArray text)
        : m_bytes(std::move(text))
        , m_gapStart(m_bytes.size())
        , m_gapEnd(m_bytes.size())
    {}

    qsizetype size() const { return m_bytes.size() - (m_gapEnd - m_gapStart); }
    qsizetype bytesMoved() const { return m_bytesMoved; }

    void insert(qsizetype at, QByteArrayView bytes)
    {
        moveGapTo(at);
        if (m_gapEnd - m_gapStart < bytes.size())
            widenGap(bytes.size());
        std::memcpy(m_bytes.data() + m_gapStart, bytes.data(), size_t(bytes.size()));
        m_gapStart += bytes.size();
    }

    void remove(qsizetype at, qsizetype length)
    {
        moveGapTo(at);
        m_gapEnd += length;
    }

    QByteArray take() &&
    {
        moveGapTo(size());
        m_bytes.truncate(m_gapStart);
        return std::move(m_bytes);
    }

private:
    void moveGapTo(qsizetype at)
    {
        char *bytes = m_bytes.data();
        const qsizetype count = at < m_gapStart ? m_gapStart - at : at - m_gapStart;
        if (at < m_gapStart)
            std::memmove(bytes + m_gapEnd - count, bytes + at, size_t(count));
        else
            std::memmove(bytes + m_gapStart, bytes + m_gapEnd, size_t(count));
        const qsizetype shift = at - m_gapStart;
        m_gapStart += shift;
        m_gapEnd += shift;
        m_bytesMoved += count;
    }

    void widenGap(qsizetype needed)
    {
        const qsizetype tail = m_bytes.size() - m_gapEnd;
        const qsizetype gap = std::max({needed, size() / 2, qsizetype(64) * 1024});
        QByteArray wider(m_gapStart + gap + tail, Qt::Uninitialized);
        std::memcpy(wider.data(), m_bytes.constData(), size_t(m_gapStart));
        std::memcpy(wider.data() + m_gapStart + gap, m_bytes.constData() + m_gapEnd, size_t(tail));
        m_bytes = std::move(wider);
        m_gapEnd = m_gapStart + gap;
    }

    QByteArray m_bytes;
    qsizetype m_gapStart;
    qsizetype m_gapEnd;
    qsizetype m_bytesMoved = 0;
};

// Applies one edit, or says false when it does not fit the text or the limits.
bool apply(const Record &edit, GapText &text, qsizetype largestText)
{
    FieldReader fields(edit.fields);
    const auto position = qsizetype(fields.number<quint64>());
    if (position < 0 || position > text.size())
        return false;
    if (edit.kind == Kind::Insertion) {
        const QByteArrayView inserted = fields.rest();
        if (!fields.isComplete() || inserted.size() > largestText - text.size())
            return false;
        text.insert(position, inserted);
        return true;
    }
    const auto length = qsizetype(fields.number<quint64>());
    if (edit.kind != Kind::Removal || !fields.isComplete() || length < 0 ||
        length > text.size() - position)
        return false;
    text.remove(position, length);
    return true;
}

} // namespace

namespace draftRecords {

QByteArray start(const DraftHeader &header, QByteArrayView baseText)
{
    QByteArray fields;
    appendNumber(fields, quint8(header.base));
    appendNumber(fields, header.createdAt);
    appendNumber(fields, quint8(header.file ? 1 : 0));
    appendNumber(fields, header.file.value_or(FileVersion()).size);
    appendNumber(fields, header.file.value_or(FileVersion()).hash);
    appendNumber(fields, quint32(header.filePath.size()));
    fields.append(header.filePath);
    QByteArray bytes = mark.toByteArray() + record(Kind::Header, fields);
    if (header.base == DraftBase::Text)
        bytes += record(Kind::Base, baseText.toByteArray());
    return bytes;
}

QByteArray insertion(qsizetype position, QByteArrayView bytes)
{
    QByteArray fields;
    fields.reserve(8 + bytes.size());
    appendNumber(fields, quint64(position));
    fields.append(bytes);
    return record(Kind::Insertion, fields);
}

QByteArray removal(qsizetype position, qsizetype length)
{
    QByteArray fields;
    appendNumber(fields, quint64(position));
    appendNumber(fields, quint64(length));
    return record(Kind::Removal, fields);
}

} // namespace draftRecords

std::optional<DraftHeader> readDraftHeader(QByteArrayView bytes)
{
    RecordWalker records(bytes);
    const std::optional<Record> first = records.next();
    return first ? parseHeader(*first) : std::nullopt;
}

std::optional<DraftContents> readDraft(QByteArrayView bytes, const DraftFileText &fileText,
                                       qsizetype largestText)
{
    RecordWalker records(bytes);
    const std::optional<Record> first = records.next();
    std::optional<DraftHeader> header = first ? parseHeader(*first) : std::nullopt;
    if (!header)
        return std::nullopt;
    DraftContents contents{*header, QByteArray(), true};
    std::optional<QByteArray> base = QByteArray();
    if (header->base == DraftBase::Text) {
        const std::optional<Record> kept = records.next();
        if (!kept || kept->kind != Kind::Base || kept->fields.size() > largestText)
            return std::nullopt;
        base = kept->fields.toByteArray();
    } else if (header->base == DraftBase::File) {
        base = fileText(*header);
    }
    if (!base) {
        contents.text = std::nullopt;
        return contents;
    }
    // The writer starts the draft afresh long before its edits move this many bytes about, so
    // more is a draft made to keep the reader busy.
    const qsizetype mostBytesMoved = 64 * (base->size() + bytes.size()) + (qsizetype(64) << 20);
    GapText text(std::move(*base));
    while (!records.isAtEnd()) {
        const std::optional<Record> edit = records.next();
        if (!edit || !apply(*edit, text, largestText) || text.bytesMoved() > mostBytesMoved) {
            contents.isWhole = false;
            break;
        }
    }
    contents.text = std::move(text).take();
    return contents;
}

} // namespace platform
