#pragma once

#include <QFileDialog>
#include <QUrl>

#include <optional>

namespace platform {

/// A panel that asks where to save a file. It is a window of this process (never the desktop's
/// native dialog), so the application sees it among its windows. It has no directory until
/// someone sets one or the user moves to one.
class SavePanel : public QFileDialog {
    Q_OBJECT

public:
    explicit SavePanel(QWidget *parent = nullptr);

    std::optional<QUrl> directoryUrl() const { return m_directoryUrl; }
    void setDirectoryUrl(const QUrl &directory);

private:
    std::optional<QUrl> m_directoryUrl;
};

/// A panel that asks which files to open.
class OpenPanel final : public SavePanel {
    Q_OBJECT

public:
    explicit OpenPanel(QWidget *parent = nullptr);
};

/// Asks with an open panel over `parent` for files of the `readable` media types, or any file;
/// empty when the user cancels.
QStringList askForFilesToOpen(const QStringList &readable, QWidget *parent);

/// Asks with a save panel over `parent` where to save a document of one of the `writable`
/// media types, offering `file`, or for an untitled document `name` with the type's suffix, in
/// its folder; nothing when the user cancels.
std::optional<QString> askForSaveLocation(const QStringList &writable, const QString &file,
                                          const QString &name, QWidget *parent);

} // namespace platform
