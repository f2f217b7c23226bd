#include "FileFollower.h"

#include "AwayFromTheWindow.h"
#include "DiskVersion.h"
#include "Document.h"
#include "DocumentController.h"
#include "DocumentWindow.h"
#include "DraftKeeper.h"
#include "FileError.h"
#include "FileIO.h"

#include <QFileInfo>

#include <new>

namespace platform {

FileFollower::FileFollower(DocumentController &controller)
    : m_controller(controller)
{
    connect(&m_watch, &FileWatch::filesMayHaveChanged, this, &FileFollower::followFiles);
}

void FileFollower::follow(Document *document)
{
    if (!document->isUntitled())
        m_watch.watch(document->filePath());
}

void FileFollower::stopFollowing(Document *document)
{
    if (!document->isUntitled())
        m_watch.unwatch(document->filePath());
}

void FileFollower::fileWillChange(Document *document, const QString &path)
{
    const QString absolutePath = resolvedPath(path);
    if (absolutePath == document->filePath())
        return;
    stopFollowing(document);
    m_watch.watch(absolutePath);
}

OutsideChangeChoice FileFollower::askBeforeSaving(Document *document)
{
    const Document::ModalScope scope(document);
    // A file whose stamp cannot be trusted is compared by its bytes, which may be gigabytes.
    const DiskCheck check =
        awayFromTheWindow([path = document->filePath(), version = document->diskVersion()] {
            return checkFile(path, version);
        });
    if (check.confirmed)
        document->setDiskVersion(check.confirmed);
    if (check.change == DiskChange::None)
        return OutsideChangeChoice::SaveAnyway;
    m_controller.showDocument(document);
    return askAboutOutsideChange(*document, check.change == DiskChange::Deleted,
                                 document->window());
}

void FileFollower::reload(Document *document)
{
    try {
        DocumentFile read = readDocumentFile(document->filePath());
        document->replaceFromFile(std::move(read.file));
        document->setDiskVersion(read.version);
        document->setOutsideChange(DiskChange::None);
    } catch (const FileError &error) {
        m_controller.presentError(error, document->filePath());
    } catch (const std::bad_alloc &) {
        m_controller.presentError(FileError::outOfMemory(), document->filePath());
    }
}

void FileFollower::followFiles()
{
    m_watch.rewatch(); // a file replaced by a rename is no longer watched
    for (Document *document : m_controller.documents()) {
        if (document->isUntitled() || document->isInModalSession())
            continue;
        const DiskCheck check = checkFile(document->filePath(), document->diskVersion());
        if (check.confirmed)
            document->setDiskVersion(check.confirmed);
        document->setOutsideChange(check.change);
        if (check.change == DiskChange::None)
            continue;
        if (!document->isEdited() && check.change == DiskChange::Changed)
            reload(document);
        else if (DraftKeeper *keeper = document->draftKeeper())
            keeper->fileChangedOnDisk();
    }
}

} // namespace platform
