#pragma once

#include "DraftFormat.h"
#include "PosixFile.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace platform {

/// The folder of drafts: `$XDG_STATE_HOME/<application>/drafts`, readable by the user alone.
/// Every draft is a file that the editor keeping it holds locked (flock) for as long as it runs,
/// so a draft that nobody holds was left by an editor that ended without saving its document.
namespace draftFolder {

/// The folder, made when missing; nothing, with errno set, when it cannot be.
std::optional<QString> location();

/// Where a draft file with `name` (a plain name, no folder) is kept in `folder`.
QString draftPath(const QString &folder, const QString &name);

/// Whether `name` is that of a draft file, or of a draft being started afresh.
bool isDraftName(const QString &name);
bool isRestartName(const QString &name);

} // namespace draftFolder

/// A draft that no running editor holds.
struct LeftDraft {
    QString path; ///< the draft file
    DraftHeader header;
    QDateTime lastWritten;
};

/// The drafts in `folder` that no running editor holds, oldest first, read as far as their
/// headers. A file there that is no draft is left alone; a draft being started afresh by an
/// editor that ended meanwhile is removed, since the draft it was to replace is still whole.
QList<LeftDraft> leftDrafts(const QString &folder);

/// A left draft taken by this process, so that no other editor lists or takes it while it is
/// recovered or discarded.
class ClaimedDraft final {
public:
    /// Nothing when a running editor holds the draft, or it is gone or is no regular file.
    static std::optional<ClaimedDraft> claim(const QString &path);

    const QString &path() const { return m_path; }

    /// The draft's bytes, at most `limit` of them. Throws FileError.
    QByteArray read(qsizetype limit) const;

    /// Removes the draft.
    void remove();

private:
    ClaimedDraft(QString path, FileDescriptor file)
        : m_path(std::move(path))
        , m_file(std::move(file))
    {}

    QString m_path;
    FileDescriptor m_file;
};

} // namespace platform
