#pragma once

#include "FileWrapper.h"

#include <QPointer>
#include <QSize>
#include <QStringList>

#include <memory>

class QMenuBar;
class QWidget;

namespace platform {

class TextBinding;
class TextEditor;

/// One open document's value, whatever the application's document type, as the framework
/// keeps it. Its text moves into the text editor that shows it, which holds it from then on.
class DocumentValue {
public:
    virtual ~DocumentValue() = default;

    /// The text editor that holds the text; null until the document's editor is made.
    TextEditor *textEditor() const;

    /// The value in its file's form (the document type's writer), its text as the editor holds
    /// it. The bytes may share the editor's own buffer: they are written at once. Throws
    /// FileError.
    virtual FileWrapper fileWrapper() const = 0;

    /// The text `file` reads as (the document type's reader). Throws FileError.
    virtual QByteArray textOf(FileWrapper file) const = 0;

    /// Makes the editor that shows the value (the application's editor factory).
    virtual QWidget *makeEditor() = 0;

protected:
    /// The text as its editor holds it, sharing the editor's buffer. Throws FileError.
    QByteArray lentText() const;

private:
    friend class TextBinding;
    virtual QByteArray takeText() = 0;

    QPointer<TextEditor> m_holder;
};

/// What the framework needs of the application's one scene, a group of documents of one type.
class DocumentScene {
public:
    virtual ~DocumentScene() = default;

    virtual QStringList readableContentTypes() const = 0;
    virtual QStringList writableContentTypes() const = 0;
    /// The content size of a new document window.
    virtual QSize defaultSize() const = 0;

    /// A new, empty document (the application's new-document factory).
    virtual std::unique_ptr<DocumentValue> makeUntitled() const = 0;
    /// A document read from `file`. Throws FileError.
    virtual std::unique_ptr<DocumentValue> read(FileWrapper file) const = 0;

    /// Adds the application's own menus to a document window whose editor is `editor`.
    virtual void addCommands(QMenuBar *menuBar, QWidget *editor) const = 0;
};

} // namespace platform
