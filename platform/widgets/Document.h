#pragma once

#include "DiskVersion.h"
#include "DocumentScene.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <optional>

namespace platform {

class DocumentController;
class DocumentWindow;
class DraftKeeper;
class DraftWriter;

/// One open document: its file (none while untitled), its value and its window. Whether it
/// differs from its file is its text editor's save point alone to say. The document controller
/// creates and owns every Document.
class Document final : public QObject {
    Q_OBJECT

public:
    Document(std::unique_ptr<DocumentValue> value, QString filePath, int untitledNumber);
    ~Document() override;

    /// The file's absolute path, or empty while the document is untitled.
    const QString &filePath() const { return m_filePath; }
    bool isUntitled() const { return m_filePath.isEmpty(); }

    /// "Untitled", "Untitled 2", ... or the file's name.
    QString displayName() const;
    int untitledNumber() const { return m_untitledNumber; }

    /// Whether the text differs from what was last saved or read.
    bool isEdited() const;

    /// An untitled document that the application made by itself and the user has neither
    /// touched nor named, and that no panel or question is open for.
    bool isTransient() const
    {
        return m_isTransient && !isEdited() && isUntitled() && !isInModalSession();
    }
    void setTransient(bool transient) { m_isTransient = transient; }

    /// What the file was when the document last read or wrote it; nothing before then.
    const std::optional<DiskVersion> &diskVersion() const { return m_diskVersion; }
    void setDiskVersion(std::optional<DiskVersion> version) { m_diskVersion = version; }

    /// What another program did to the file since the document last read or wrote it, as last
    /// seen; its window's title says so until the document reads or writes the file again.
    DiskChange outsideChange() const { return m_outsideChange; }
    void setOutsideChange(DiskChange change);

    /// The legacy encoding the file was read in, as the user chose it; empty for the UTF-8 or
    /// UTF-16 that the document's own reader takes. Whether a save keeps it or converts the file
    /// to UTF-8 is asked once, at the first save.
    const QString &encoding() const { return m_encoding; }
    void setEncoding(const QString &encoding);
    bool isEncodingSettled() const { return m_isEncodingSettled; }
    void settleEncoding() { m_isEncodingSettled = true; }

    /// Marks the document as in use by a panel or question with an event loop of its own, for as
    /// long as the scope lives: until then the document is not destroyed, even once closed.
    class ModalScope final {
    public:
        explicit ModalScope(Document *document);
        ~ModalScope();
        ModalScope(const ModalScope &) = delete;
        ModalScope &operator=(const ModalScope &) = delete;

    private:
        QPointer<Document> m_document;
    };
    bool isInModalSession() const { return m_modalSessions > 0; }

    /// Destroys the document once control is back in the event loop and no modal session of its
    /// own is running.
    void destroyWhenFree();

    DocumentWindow *window() const;
    /// The text editor that holds the document's text; null until the window is made.
    TextEditor *textEditor() const { return m_value->textEditor(); }

    /// Shows the document in a window of its own, made on the first call; the window's commands
    /// go to `controller`.
    void showWindow(QSize contentSize, DocumentController &controller);

    /// What to save: the text as the editor holds it, in the file's form. The bytes may share
    /// the editor's buffer, so they are written at once. Throws FileError.
    FileWrapper fileToSave() const { return m_value->fileWrapper(); }

    /// Takes what `file` holds as the document's text again, as one step that can be undone,
    /// and as what is saved. Throws FileError.
    void replaceFromFile(FileWrapper file);

    /// Records a successful save to `path`, which the file on disk now holds as `version`.
    void savedTo(const QString &path, const DiskVersion &version);

    /// Keeps the document's unsaved changes in drafts that `writer` writes.
    void keepDrafts(DraftWriter &writer);
    /// What keeps the document's drafts, or null.
    DraftKeeper *draftKeeper() const { return m_draftKeeper.get(); }

signals:
    void changed();

private:
    std::unique_ptr<DocumentValue> m_value;
    QString m_filePath;
    int m_untitledNumber;
    bool m_isTransient = false;
    bool m_isDestroyedWhenFree = false;
    int m_modalSessions = 0;
    std::optional<DiskVersion> m_diskVersion;
    DiskChange m_outsideChange = DiskChange::None;
    QString m_encoding;
    bool m_isEncodingSettled = false;
    QPointer<DocumentWindow> m_window;
    std::unique_ptr<DraftKeeper> m_draftKeeper;
};

} // namespace platform
