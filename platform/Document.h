#pragma once

#include "DocumentContent.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

namespace platform {

class DocumentWindow;

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

    /// An untitled document that the application made by itself and the user has not touched.
    bool isTransient() const { return m_isTransient && !m_isEdited; }
    void setTransient(bool transient) { m_isTransient = transient; }

    DocumentContent &content() const { return *m_content; }
    DocumentWindow *window() const;

    /// Shows the document in a window of its own, made on the first call.
    void showWindow(QSize contentSize);

    /// Records a successful save to `path`.
    void savedTo(const QString &path);

    /// Replaces the content with what was read from the file, as after a revert.
    void replaceContent(std::unique_ptr<DocumentContent> content);

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
    QPointer<DocumentWindow> m_window;
};

} // namespace platform
