#include "FileIO.h"

#include "FileError.h"
#include "PosixFile.h"
#include "TextPieces.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>

#include <algorithm>
#include <new>

#include <xxhash.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace platform {
namespace {

FileError tooLarge(qsizetype limit, const char *what)
{
    return FileError(FileError::ReadTooLarge,
                     QCoreApplication::translate("FileError", what)
                         .arg(QLocale().formattedDataSize(limit, 0, QLocale::DataSizeIecFormat)));
}

FileError fileTooLarge(qsizetype limit)
{
    return tooLarge(limit, QT_TRANSLATE_NOOP("FileError", "Files of up to %1 can be opened."));
}

// Reads to the end of the file, however its size changes meanwhile, but never past `limit` and one
// page: the buffer grows in whole pages, which pseudo-files such as /proc/self/pagemap need, and
// stops growing there. A file that yields far more than its size said, as a pseudo-file does,
// is held to that size and 64 MiB more, so that it is refused in a fraction of a second.
QByteArray readToEnd(int descriptor, qsizetype expectedSize, qsizetype limit)
{
    constexpr qsizetype page = 4096;
    constexpr qsizetype growthAllowed = qsizetype(64) << 20;
    const qsizetype readLimit = qMin(limit, expectedSize + qMax(expectedSize, growthAllowed));
    const qsizetype largestBuffer = (readLimit / page + 1) * page;
    QByteArray bytes((qMin(expectedSize, readLimit) / page + 1) * page, Qt::Uninitialized);
    qsizetype filled = 0;
    for (;;) {
        const qsizetype wanted = bytes.size() - filled;
        const qsizetype count = readUpTo(descriptor, bytes.data() + filled, wanted);
        if (count < 0)
            throw FileError::reading(errno);
        filled += count;
        if (count < wanted)
            break;
        if (filled > readLimit)
            throw fileTooLarge(limit);
        bytes.resize(qMin(bytes.size() * 2, largestBuffer));
    }
    bytes.truncate(filled);
    return bytes;
}

struct OpenItem {
    FileDescriptor file;
    struct stat status;
};

// POSIX rather than QFile: QFile::open blocks on a named pipe, and O_NONBLOCK lets the caller see
// what the item is before reading.
OpenItem openForReading(const QString &path)
{
    FileDescriptor file(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (!file.isValid() || ::fstat(file.get(), &status) != 0)
        throw FileError::reading(errno);
    return {std::move(file), status};
}

qsizetype longestLineIn(QByteArrayView bytes)
{
    qsizetype longest = 0;
    const char *const end = bytes.data() + bytes.size();
    for (const char *start = bytes.data(); start < end;) {
        const char *lineEnd = std::find_if(start, end, isLineBreak);
        longest = std::max<qsizetype>(longest, lineEnd - start);
        start = lineEnd + 1;
    }
    return longest;
}

// XXH3: fast enough to hash every file opened, and the same in every run and on every machine,
// so that a draft can tell later whether a file is still the one it was made from.
class Hasher final {
public:
    Hasher()
        : m_state(XXH3_createState())
    {
        if (!m_state)
            throw std::bad_alloc();
        XXH3_64bits_reset(m_state);
    }
    ~Hasher() { XXH3_freeState(m_state); }
    Hasher(const Hasher &) = delete;
    Hasher &operator=(const Hasher &) = delete;

    void add(QByteArrayView bytes)
    {
        XXH3_64bits_update(m_state, bytes.data(), size_t(bytes.size()));
    }
    quint64 digest() const { return XXH3_64bits_digest(m_state); }

private:
    XXH3_state_t *m_state;
};

constexpr qsizetype hashPiece = qsizetype(1) << 20;

} // namespace

quint64 contentHash(QByteArrayView bytes)
{
    return XXH3_64bits(bytes.data(), size_t(bytes.size()));
}

FileDigest digestFile(const QString &path)
{
    const OpenItem item = openForReading(path);
    if (!S_ISREG(item.status.st_mode))
        throw FileError(FileError::ReadCorruptFile);
    QByteArray piece(hashPiece, Qt::Uninitialized);
    Hasher hash;
    for (qsizetype filled = hashPiece; filled == hashPiece;) {
        filled = readUpTo(item.file.get(), piece.data(), hashPiece);
        if (filled < 0)
            throw FileError::reading(errno);
        hash.add(QByteArrayView(piece.constData(), filled));
    }
    return {FileStamp::of(item.status), hash.digest()};
}

FileContents readFile(const QString &path, const ReadLimits &limits)
{
    const OpenItem item = openForReading(path);
    const struct stat &status = item.status;
    if (!S_ISREG(status.st_mode))
        return {FileWrapper::withoutRegularContents(), FileStamp::of(status)};
    if (status.st_size > limits.largestFile)
        throw fileTooLarge(limits.largestFile);
    try {
        QByteArray bytes =
            readToEnd(item.file.get(), qsizetype(status.st_size), limits.largestFile);
        // Only a file larger than the limit can hold a line longer than it.
        if (bytes.size() > limits.longestLine && longestLineIn(bytes) > limits.longestLine)
            throw tooLarge(limits.longestLine,
                           QT_TRANSLATE_NOOP("FileError", "Lines of up to %1 can be opened."));
        return {FileWrapper::regularFile(std::move(bytes)), FileStamp::of(status)};
    } catch (const std::bad_alloc &) {
        throw FileError::outOfMemory();
    }
}

} // namespace platform
