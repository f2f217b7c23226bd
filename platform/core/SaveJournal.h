#pragma once

#include "PosixFile.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

#include <sys/stat.h>

namespace platform {

/// Where a save keeps notes on what it leaves beside a user's file until it is done, so that a
/// save that is killed leaves nothing the next one cannot find: a temporary file beside the
/// user's, or the complete copy of a file that is written in place.
///
/// A note is a file in the application's state folder that its save holds locked while it runs,
/// so that no other process takes the save for one that ended. A note on a temporary file names
/// its folder, its name and the device and inode it had: clean-up removes it only while it is
/// still that very regular file, never one the user made or that replaced it.
class SaveJournal final {
public:
    /// The journal in the application's state folder, or nothing when there is no such folder.
    static std::optional<SaveJournal> open();

    /// A note, held locked for as long as it lives; forgotten when it goes unless kept.
    class Note final {
    public:
        Note() = default;
        Note(QString path, FileDescriptor lock)
            : m_path(std::move(path))
            , m_lock(std::move(lock))
        {}
        Note(Note &&) noexcept = default;
        Note &operator=(Note &&) noexcept = default;
        /// Lets go of the note: a note that is not forgotten stays for a clean-up.
        ~Note() { keep(); }

        const QString &path() const { return m_path; }
        int descriptor() const { return m_lock.get(); }
        /// Removes the note and whatever copy it has.
        void forget();
        /// Lets go of the note without removing it, for a later run to find.
        void keep();

    private:
        QString m_path;
        FileDescriptor m_lock;
    };

    /// Notes that `name` in `directory` is a temporary file with the given identity.
    Note noteTemporary(const QByteArray &directory, const QByteArray &name,
                       const struct stat &identity) const;

    /// Removes every temporary file and unneeded copy that ended saves left.
    void cleanUp() const;

private:
    static Note writeNote(const QByteArray &text);

public:
    /// The complete copy of a file that is written in place, from before the write. From
    /// beginWriting() until the backup goes (unless kept for recovery), an interrupted save is
    /// found by settleInterruptedSaves() and the file put back from the copy; before
    /// beginWriting(), the copy is only litter.
    class Backup final {
    public:
        /// Copies the file open as `file`, whose path is `target`, and syncs the copy.
        /// Throws FileError.
        Backup(int file, const QByteArray &target, const struct stat &status);
        /// Removes the copy unless it is kept for recovery.
        ~Backup()
        {
            if (!m_isKept)
                m_note.forget();
        }
        Backup(const Backup &) = delete;
        Backup &operator=(const Backup &) = delete;

        /// Notes, synced, that `bytes` are about to be written over the file.
        void beginWriting(QByteArrayView bytes);
        /// Writes the copy back over the file; false, leaving the copy, when that fails too.
        bool writeBack(int file);
        /// Where the copy is, to tell the user when the file could not be put back.
        QString copyPath() const;
        /// Keeps the note and the copy: the file may be torn.
        void keepForRecovery() { m_isKept = true; }

    private:
        Note m_note;
        FileDescriptor m_copy;
        qint64 m_size;
        bool m_isKept = false;
    };
};

/// A save in place that did not finish, found after the process that made it ended.
struct InterruptedSave {
    enum class Finding {
        PutBack,         ///< the file was torn and is whole again, as before the save
        CouldNotPutBack, ///< the file was torn, and putting it back failed: it is damaged
        ChangedSince,    ///< the file changed after the save stopped: the user decides
    };
    Finding finding;
    QString file;   ///< the user's file
    QString copy;   ///< its complete copy from before the save
    QString reason; ///< why it could not be put back
    SaveJournal::Note note;
};

/// Settles the saves in place that ended processes left unfinished, for the file at `file` (a
/// path, links followed) or for every file: a file that is whole is left as it is, a torn one is
/// put back from its copy. What the user must hear of, or decide, is returned.
std::vector<InterruptedSave> settleInterruptedSaves(const QString &file = {});

/// Puts the file of `save` back from its copy and forgets the save. Throws FileError.
void putBackFromCopy(InterruptedSave &save);

} // namespace platform
