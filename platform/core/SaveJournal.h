#pragma once

#include "PosixFile.h"

#include <QByteArray>
#include <QString>

#include <optional>

#include <sys/stat.h>

namespace platform {

/// Where a save keeps notes on what it leaves beside a user's file until it is done, so that a
/// save killed half way leaves nothing that the next save cannot find and remove.
///
/// A note names a directory, an entry in it and the device and inode that entry had when the
/// save made it. Clean-up removes an entry only while it is still that very regular file: a file
/// the user made, or that replaced ours, has another inode and is never touched.
class SaveJournal final {
public:
    /// The journal in the application's state folder, or nothing when there is no such folder.
    static std::optional<SaveJournal> open();

    /// Notes that `name` in `directory` is a temporary file with the given identity.
    /// Returns the note's name, for forget().
    QString noteTemporary(const QByteArray &directory, const QByteArray &name,
                          const struct stat &identity) const;

    /// Makes a file for a complete copy of the file with `identity` before it is written in
    /// place. The copy stays until a later save of that file succeeds.
    FileDescriptor makeBackup(const QByteArray &target, const struct stat &identity,
                              QString *note) const;

    /// Removes the note `note` (and its backup copy, if it has one).
    void forget(const QString &note) const;

    /// Removes every noted temporary file that is still ours, and the backups of the file with
    /// `identity`, which has just been saved in full.
    void cleanUp(const struct stat &saved) const;

private:
    explicit SaveJournal(QString folder)
        : m_folder(std::move(folder))
    {}

    QString writeNote(const QByteArray &kind, const QByteArray &directory, const QByteArray &name,
                      const struct stat &identity) const;

    QString m_folder;
};

} // namespace platform
