// Drafts may be torn by a kill, or be anything a file in the state folder can be. Each input is
// read twice: as the bytes of a draft file, which must never crash the reader or pass its limit,
// and as a list of edits written as a real draft, whose text must be what a plain string makes of
// the same edits, up to the first edit that does not fit.

#include "DraftFormat.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

constexpr qsizetype largestText = 4096;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

class Input {
public:
    Input(const uint8_t *data, size_t size)
        : m_data(data)
        , m_size(size)
    {}
    bool isAtEnd() const { return m_at >= m_size; }
    unsigned byte() { return isAtEnd() ? 0 : m_data[m_at++]; }
    qsizetype number() { return qsizetype(byte() | (byte() << 8)) % (largestText + 64); }
    QByteArray bytes(qsizetype count)
    {
        QByteArray taken;
        while (count-- > 0 && !isAtEnd())
            taken.append(char(byte()));
        return taken;
    }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_at = 0;
};

// The edits as a draft, and the text a plain string makes of them; false once one does not fit.
struct Replayed {
    QByteArray draft;
    std::string text;
    bool isWhole = true;
};

Replayed replay(Input &input, const QByteArray &fileText)
{
    platform::DraftHeader header;
    header.base = platform::DraftBase(input.byte() % 3);
    header.filePath = "/a";
    header.file = platform::FileVersion{0, 0};
    const QByteArray base = header.base == platform::DraftBase::Text   ? input.bytes(input.byte())
                            : header.base == platform::DraftBase::File ? fileText
                                                                       : QByteArray();
    Replayed made{platform::draftRecords::start(header, base), base.toStdString()};
    while (!input.isAtEnd()) {
        const unsigned kind = input.byte();
        const qsizetype position = input.number();
        const bool fits = position <= qsizetype(made.text.size());
        if (kind % 2 == 0) {
            const QByteArray inserted = input.bytes(kind % 32);
            made.draft += platform::draftRecords::insertion(position, inserted);
            if (made.isWhole && fits && made.text.size() + inserted.size() <= largestText)
                made.text.insert(size_t(position), inserted.toStdString());
            else
                made.isWhole = false;
        } else {
            const qsizetype length = input.number();
            made.draft += platform::draftRecords::removal(position, length);
            if (made.isWhole && fits && length <= qsizetype(made.text.size()) - position)
                made.text.erase(size_t(position), size_t(length));
            else
                made.isWhole = false;
        }
    }
    return made;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QByteArray fileText = bytes.left(32);
    const auto file = [&](const platform::DraftHeader &) {
        return std::optional(fileText);
    };
    if (const auto draft = platform::readDraft(bytes, file, largestText); draft && draft->text)
        check(draft->text->size() <= largestText);

    Input input(data, size);
    const Replayed made = replay(input, fileText);
    const auto draft = platform::readDraft(made.draft, file, largestText);
    check(draft && draft->text && draft->isWhole == made.isWhole);
    check(draft->text->toStdString() == made.text);
    return 0;
}
