#include "PosixFile.h"

#include <cstring>
#include <vector>

namespace platform {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error)) + QLatin1Char('.');
}

qsizetype readUpTo(int descriptor, char *data, qsizetype size)
{
    qsizetype filled = 0;
    while (filled < size) {
        const ssize_t count = retryOnInterrupt(
            [&] { return ::read(descriptor, data + filled, size_t(size - filled)); });
        if (count < 0)
            return -1;
        if (count == 0)
            break;
        filled += count;
    }
    return filled;
}

bool writeAll(int descriptor, const char *data, qsizetype size, off_t offset)
{
    while (size > 0) {
        // At most 1 GiB a call: Linux writes no more than about 2 GiB at once anyway.
        const size_t chunk = size_t(qMin<qsizetype>(size, qsizetype(1) << 30));
        const ssize_t written =
            retryOnInterrupt([&] { return ::pwrite(descriptor, data, chunk, offset); });
        if (written < 0)
            return false;
        if (written == 0) {
            errno = EIO;
            return false;
        }
        data += written;
        size -= written;
        offset += written;
    }
    return true;
}

bool copyBytes(int from, int to, off_t size)
{
    std::vector<char> buffer(size_t(1024) * 1024);
    for (off_t offset = 0; offset < size;) {
        const ssize_t count =
            retryOnInterrupt([&] { return ::pread(from, buffer.data(), buffer.size(), offset); });
        if (count <= 0) {
            if (count == 0)
                errno = EIO; // the file is shorter than it was: the copy would be cut short
            return false;
        }
        if (!writeAll(to, buffer.data(), count, offset))
            return false;
        offset += count;
    }
    return ::ftruncate(to, size) == 0 && retryOnInterrupt([&] { return ::fsync(to); }) == 0;
}

} // namespace platform
