#pragma once

#include <QByteArray>

#include <optional>

namespace platform {

/// A file as a document's reader and writer see it: either the bytes of a regular file, or a
/// stand-in for something that has no regular-file contents (a directory, a pipe, a device).
class FileWrapper final {
public:
    /// A wrapper around the given bytes. The bytes are shared, not copied.
    static FileWrapper regularFile(QByteArray contents) { return FileWrapper(std::move(contents)); }

    /// A wrapper for a file system item that has no regular-file contents.
    static FileWrapper withoutRegularContents() { return FileWrapper(std::nullopt); }

    /// The bytes of a regular file, or nothing.
    const std::optional<QByteArray> &regularFileContents() const { return m_contents; }

    /// Hands the bytes over, so that a reader that keeps them never copies them.
    std::optional<QByteArray> takeRegularFileContents() && { return std::move(m_contents); }

private:
    explicit FileWrapper(std::optional<QByteArray> contents)
        : m_contents(std::move(contents))
    {}

    std::optional<QByteArray> m_contents;
};

/// What a document's reader is given.
struct ReadConfiguration {
    FileWrapper file;
};

} // namespace platform
