#include "Panels.h"

namespace platform {

SavePanel::SavePanel(QWidget *parent)
    : QFileDialog(parent)
{
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    connect(this, &QFileDialog::directoryUrlEntered, this,
            [this](const QUrl &directory) { m_directoryUrl = directory; });
}

void SavePanel::setDirectoryUrl(const QUrl &directory)
{
    m_directoryUrl = directory;
    QFileDialog::setDirectoryUrl(directory);
}

OpenPanel::OpenPanel(QWidget *parent)
    : SavePanel(parent)
{
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFiles);
}

} // namespace platform
