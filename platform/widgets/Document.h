#pragma once

#include "DocumentContent.h"
#include "FileStamp.h"

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

/// One open document: its file (none while untitled), whether it differs from that file, its
/// content and its window. The document controller creates and owns every Document.
class Document final : public QObject {
    Q_OBJECT

public:
    Document(std::unique_ptr<DocumentContent> content, QString filePath, int untitledNumber);
    ~Document() override;

    /// The file's absolute path, or empty while the document is untitled.
    const QString &filePath() const { return m_filePath; }
    bool isUntitled() const { return m_filePath.isEmpty(); }

    /// "Untitled", "Untitled 2", ... or the file's name.
    QString displayName() const;
    int untitledNumber() const { return m_untitledNumber; }

    bool isEdited() const { return m_isEdited; }

    /// An untitled document that the application made by itself and the user has neither
    /// touched nor named, and that no panel or question is open for.
    bool isTransient() const
    {
        return m_isTransient && !m_isEdited && isUntitled() && !isInModalSession();
    }
    void setTransient(bool transient) { m_isTransient = transient; }

    /// What the file was when the document last read or wrote it: what another program's change
    /// is told by.
    struct DiskVersion {
        FileStamp stamp;
        quint64 contentHash = 0;
        /// Whether the file changed so shortly before it was read that another change within
        /// the same tick of the file system's clock would leave the stamp as it is. Such a file
        /// is told by its bytes, as git does with racily clean files.
        bool isRacy = false;
    };
    const std::optional<DiskVersion> &diskVersion() const { return m_diskVersion; }
    void setDiskVersion(std::optional<DiskVersion> version) { m_diskVersion = version; }

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

    DocumentContent &content() const { return *m_content; }
    DocumentWindow *window() const;

    /// Shows the document in a window of its own, made on the first call; the window's commands
    /// go to `controller`.
    void showWindow(QSize contentSize, DocumentController &controller);

    /// Keeps the document's unsaved changes in drafts that `writer` writes, once it has a window
    /// with a text editor.
    void keepDrafts(DraftWriter &writer);
    /// What keeps the document's drafts, or null.
    DraftKeeper *draftKeeper() const { return m_draftKeeper.get(); }

    /// Records a successful save to `path`, which the file on disk now holds as `version`.
    void savedTo(const QString &path, const DiskVersion &version);

signals:
    void changed();

private:
    void setEdited(bool edited);
    QWidget *makeEditor();

    std::unique_ptr<DocumentContent> m_content;
    QString m_filePath;
    int m_untitledNumber;
    bool m_isEdited = false;
    bool m_isTransient = false;
    bool m_isDestroyedWhenFree = false;
    int m_modalSessions = 0;
    std::optional<DiskVersion> m_diskVersion;
    QPointer<DocumentWindow> m_window;
    std::unique_ptr<DraftKeeper> m_draftKeeper;
};

} // namespace platform
