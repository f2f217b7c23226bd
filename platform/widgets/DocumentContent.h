#pragma once

#include "FileWrapper.h"

#include <QSize>
#include <QStringList>

#include <functional>
#include <memory>

class QMenuBar;
class QWidget;

namespace platform {

/// One open document's value and the editor that shows it, as the document controller sees
/// them whatever the document type.
class DocumentContent {
public:
    virtual ~DocumentContent() = default;

    /// Makes the editor for the document; `editedChanged` hears whether it differs from the file.
    virtual QWidget *makeEditor(std::function<void(bool)> editedChanged) = 0;

    /// The bytes to save, which may share the editor's own storage: they hold until the
    /// document next changes, so they are written at once. Throws FileError if the document
    /// cannot be written.
    virtual FileWrapper fileWrapper() const = 0;

    /// Tells the editor that what it shows has just been saved.
    virtual void markSaved() = 0;

    /// Takes the document as read from `file` again, in the editor that shows it, as one step
    /// the user can undo. Throws FileError when the file cannot be read as a document.
    virtual void replaceFromFile(FileWrapper file) = 0;
};

/// What the document controller needs to know of the application's one document type.
struct DocumentScene {
    QStringList readableContentTypes;
    QStringList writableContentTypes;
    std::function<std::unique_ptr<DocumentContent>()> makeUntitled;
    /// Throws FileError when the file cannot be read as a document.
    std::function<std::unique_ptr<DocumentContent>(FileWrapper)> read;
    QSize defaultSize;
    /// Adds the application's own menus to a document window whose editor is `editor`.
    std::function<void(QMenuBar *menuBar, QWidget *editor)> addCommands = [](QMenuBar *,
                                                                             QWidget *) {
    };
};

} // namespace platform
