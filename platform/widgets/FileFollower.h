#pragma once

#include "DocumentAlerts.h"
#include "FileWatch.h"

#include <QObject>

namespace platform {

class Document;
class DocumentController;

/// Keeps the controller's documents in step with their files on disk: a clean document follows
/// what other programs write to its file; an edited one is never touched, its draft stops counting
/// on the file, and its next save asks first. What the program writes itself comes back from the
/// watch too, and ends at the stamp it left: such a file is never read or hashed again.
class FileFollower final : public QObject {
    Q_OBJECT

public:
    explicit FileFollower(DocumentController &controller);

    /// Follows the document's file from now on, or a new one after a Save As.
    void follow(Document *document);
    void stopFollowing(Document *document);
    void fileWillChange(Document *document, const QString &path);

    /// Before the document is saved over its own file: whether another program changed or
    /// deleted it since, and if so what the user wants done.
    OutsideChangeChoice askBeforeSaving(Document *document);

    /// Reads the document's file again into it, as one step that can be undone.
    void reload(Document *document);

private:
    void followFiles();

    DocumentController &m_controller;
    FileWatch m_watch;
};

} // namespace platform
