#include "WindowPolicy.h"

#include "platform/DocumentController.h"
#include "platform/Panels.h"
#include "platform/StandardDirectories.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>

namespace scribbet {
namespace {

// An identifier that could name a folder outside "Saved Application State" is never used.
QString usableIdentifier(const std::optional<QString> &reported)
{
    if (!reported || reported->isEmpty() || *reported == QLatin1String(".") ||
        *reported == QLatin1String("..") || reported->contains(QLatin1Char('/')))
        return bundleIdentifier;
    return *reported;
}

} // namespace

void discardPersistedWindowRestorationState()
{
    const QList<QUrl> libraries = platform::libraryDirectories();
    if (libraries.isEmpty())
        return;
    const QString identifier = usableIdentifier(platform::mainBundleIdentifier());
    const QString target = QDir(libraries.first().toLocalFile())
                               .filePath(QStringLiteral("Saved Application State/") + identifier +
                                         QStringLiteral(".savedState"));
    const QFileInfo item(target);
    if (!item.exists())
        return;
    // A symbolic link goes as a link: removeRecursively() would follow it and empty the folder
    // it points to. Failures are dropped; whatever stays is tried again at the next launch.
    if (item.isDir() && !item.isSymLink())
        QDir(target).removeRecursively();
    else
        QFile::remove(target);
}

void ensureSingleUntitledDocument()
{
    QList<QPointer<QWidget>> windows;
    for (QWidget *window : QApplication::topLevelWidgets())
        windows.append(window);
    for (const QPointer<QWidget> &window : windows) {
        if (auto *panel = qobject_cast<platform::OpenPanel *>(window.data()))
            panel->close();
    }
    platform::DocumentController *controller = platform::DocumentController::shared();
    if (controller && controller->documents().isEmpty())
        controller->newDocument();
}

} // namespace scribbet
