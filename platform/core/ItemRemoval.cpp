#include "ItemRemoval.h"

#include "PosixFile.h"

#include <QFile>

#include <set>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace platform {
namespace {

constexpr int directoryFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

struct Identity {
    dev_t device;
    ino_t inode;
    bool operator==(const Identity &) const = default;
};

std::optional<Identity> identityOf(int descriptor)
{
    struct stat status {};
    if (::fstat(descriptor, &status) != 0)
        return std::nullopt;
    return Identity{status.st_dev, status.st_ino};
}

// Unlinks every entry of `directory` that is not a folder, and returns the name of the first
// folder in it that is not in `skipped`, or nothing when none is left.
std::optional<std::string> unlinkEntriesUntilAFolder(int directory,
                                                     const std::set<std::string> &skipped)
{
    const int duplicate = ::dup(directory);
    DIR *stream = duplicate < 0 ? nullptr : ::fdopendir(duplicate);
    if (!stream) {
        if (duplicate >= 0)
            ::close(duplicate);
        return std::nullopt;
    }
    ::rewinddir(stream);
    std::optional<std::string> folder;
    while (const dirent *entry = ::readdir(stream)) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || skipped.count(name))
            continue;
        // unlinkat removes a link itself, never what it points at; a folder refuses.
        if (::unlinkat(directory, name.c_str(), 0) == 0 || (errno != EISDIR && errno != EPERM))
            continue;
        struct stat status {};
        if (::fstatat(directory, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISDIR(status.st_mode)) {
            folder = name;
            break;
        }
    }
    ::closedir(stream);
    return folder;
}

// Empties the folder open as `top` depth first, holding one descriptor at a time. Going back up
// goes through "..", which is only trusted while it is still the folder that was came down from;
// when a folder has been moved meanwhile, the removal stops.
void emptyFolder(FileDescriptor top)
{
    struct Level {
        Identity identity;
        std::string childName;
        std::set<std::string> skipped;
    };
    std::vector<Level> above;
    FileDescriptor current = std::move(top);
    std::set<std::string> skipped;
    for (;;) {
        if (const std::optional<std::string> folder =
                unlinkEntriesUntilAFolder(current.get(), skipped)) {
            FileDescriptor child(::openat(current.get(), folder->c_str(), directoryFlags));
            const std::optional<Identity> identity = identityOf(current.get());
            if (!child.isValid() || !identity) {
                skipped.insert(*folder);
                continue;
            }
            above.push_back({*identity, *folder, std::move(skipped)});
            skipped.clear();
            current = std::move(child);
            continue;
        }
        if (above.empty())
            return;
        FileDescriptor parent(::openat(current.get(), "..", directoryFlags));
        Level level = std::move(above.back());
        above.pop_back();
        if (!parent.isValid() || identityOf(parent.get()) != level.identity)
            return;
        current = std::move(parent);
        skipped = std::move(level.skipped);
        if (::unlinkat(current.get(), level.childName.c_str(), AT_REMOVEDIR) != 0)
            skipped.insert(level.childName);
    }
}

} // namespace

void removeItemBelow(const QString &base, const QStringList &components)
{
    if (components.isEmpty())
        return;
    FileDescriptor parent(
        ::open(QFile::encodeName(base).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    for (qsizetype index = 0; parent.isValid() && index + 1 < components.size(); ++index)
        parent = FileDescriptor(::openat(
            parent.get(), QFile::encodeName(components[index]).constData(), directoryFlags));
    if (!parent.isValid())
        return;
    const QByteArray name = QFile::encodeName(components.constLast());
    if (::unlinkat(parent.get(), name.constData(), 0) == 0 || (errno != EISDIR && errno != EPERM))
        return;
    FileDescriptor item(::openat(parent.get(), name.constData(), directoryFlags));
    if (!item.isValid())
        return;
    emptyFolder(std::move(item));
    ::unlinkat(parent.get(), name.constData(), AT_REMOVEDIR);
}

} // namespace platform
