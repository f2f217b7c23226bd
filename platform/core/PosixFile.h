#pragma once

#include <QByteArray>
#include <QString>

#include <cerrno>
#include <utility>

#include <unistd.h>

namespace platform {

/// An open file descriptor, closed when it goes out of scope.
class FileDescriptor final {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int descriptor)
        : m_descriptor(descriptor)
    {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(FileDescriptor &&other) noexcept
        : m_descriptor(other.release())
    {}
    FileDescriptor &operator=(FileDescriptor &&other) noexcept
    {
        if (this != &other) {
            reset();
            m_descriptor = other.release();
        }
        return *this;
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;

    int get() const { return m_descriptor; }
    bool isValid() const { return m_descriptor >= 0; }
    int release() { return std::exchange(m_descriptor, -1); }
    void reset()
    {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
        m_descriptor = -1;
    }

private:
    int m_descriptor = -1;
};

/// Calls `call` again for as long as a signal interrupts it.
template <class Call> auto retryOnInterrupt(Call call)
{
    for (;;) {
        const auto result = call();
        if (result >= 0 || errno != EINTR)
            return result;
    }
}

/// The operating system's words for `error`, in the user's language, as a sentence.
QString systemReason(int error);

/// Reads until `size` bytes are in or the file ends, and returns how many came; -1 with errno set
/// on a failure.
qsizetype readUpTo(int descriptor, char *data, qsizetype size);

/// Writes all of `size` bytes at `offset`, or returns false with errno set.
bool writeAll(int descriptor, const char *data, qsizetype size, off_t offset);

/// Makes the file open as `to` hold the first `size` bytes of `from`, exactly, and syncs it;
/// false with errno set on a failure.
bool copyBytes(int from, int to, off_t size);

} // namespace platform
