#pragma once

#include <QString>

namespace platform {

/// A failure to read or write a document file. The codes are those of Cocoa's file errors, so
/// that a document type written for either platform raises the same values.
///
/// A document reader raises it with a code alone; the document controller adds the file's name
/// and, for operating-system failures, the system's reason when it shows the error.
class FileError final {
public:
    enum Code {
        ReadUnknown = 256,
        ReadNoPermission = 257,
        ReadInvalidFileName = 258,
        ReadCorruptFile = 259,
        ReadNoSuchFile = 260,
        ReadInapplicableStringEncoding = 261,
        ReadTooLarge = 263,
        WriteUnknown = 512,
        WriteNoPermission = 513,
        WriteOutOfSpace = 640,
        WriteVolumeReadOnly = 642,
    };

    explicit FileError(Code code, QString systemReason = {})
        : m_code(code)
        , m_systemReason(std::move(systemReason))
    {}

    /// The read error for the operating system's `error` number, with its reason.
    static FileError reading(int error);
    /// The write error for the operating system's `error` number, with its reason.
    static FileError writing(int error);
    /// Reading failed because the text does not fit in memory.
    static FileError outOfMemory();

    Code code() const { return m_code; }
    bool isWriteError() const { return m_code >= WriteUnknown; }
    /// Why, in the system's words or ours; empty when the code says it all.
    const QString &systemReason() const { return m_systemReason; }

    /// A sentence for the user that names the file at `path`.
    QString message(const QString &path) const;

private:
    Code m_code;
    QString m_systemReason;
};

} // namespace platform
