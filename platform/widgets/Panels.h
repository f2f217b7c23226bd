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

} // namespace platform
