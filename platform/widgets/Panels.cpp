#include "Panels.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMimeDatabase>

namespace platform {
namespace {

struct Panels {
    Q_DECLARE_TR_FUNCTIONS(Panels)
};

const QString anyFile = QStringLiteral("application/octet-stream");

QStringList withAnyFile(QStringList mimeTypes)
{
    mimeTypes.append(anyFile);
    return mimeTypes;
}

// The suffix an untitled document is offered, as the desktop names it for the document's type.
QString preferredSuffixFor(const QStringList &writable)
{
    if (writable.isEmpty())
        return {};
    const QString suffix = QMimeDatabase().mimeTypeForName(writable.constFirst()).preferredSuffix();
    return suffix.isEmpty() ? suffix : QLatin1Char('.') + suffix;
}

} // namespace

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

QStringList askForFilesToOpen(const QStringList &readable, QWidget *parent)
{
    OpenPanel panel(parent);
    panel.setWindowTitle(Panels::tr("Open"));
    panel.setMimeTypeFilters(withAnyFile(readable));
    // Every file by default, so that README, Makefile and a file saved without a suffix show;
    // the document's own types stay a choice.
    panel.selectMimeTypeFilter(anyFile);
    return panel.exec() == QDialog::Accepted ? panel.selectedFiles() : QStringList();
}

std::optional<QString> askForSaveLocation(const QStringList &writable, const QString &file,
                                          const QString &name, QWidget *parent)
{
    SavePanel panel(parent);
    panel.setWindowTitle(Panels::tr("Save As"));
    panel.setMimeTypeFilters(withAnyFile(writable));
    if (file.isEmpty()) {
        panel.selectFile(name + preferredSuffixFor(writable));
    } else {
        panel.setDirectoryUrl(QUrl::fromLocalFile(QFileInfo(file).absolutePath()));
        panel.selectFile(QFileInfo(file).fileName());
    }
    if (panel.exec() != QDialog::Accepted || panel.selectedFiles().isEmpty())
        return std::nullopt;
    return panel.selectedFiles().constFirst();
}

} // namespace platform
