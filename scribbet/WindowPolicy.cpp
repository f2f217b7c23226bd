#include "WindowPolicy.h"

#include "DocumentController.h"
#include "ItemRemoval.h"
#include "MainBundle.h"
#include "Panels.h"
#include "StandardDirectories.h"

#include <QApplication>
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
    // Whatever stands there goes, a link as a link; failures are dropped, and whatever stays is
    // tried again at the next launch.
    platform::removeItemBelow(
        libraries.first().toLocalFile(),
        {QStringLiteral("Saved Application State"), identifier + QStringLiteral(".savedState")});
}

void ensureSingleUntitledDocument(platform::DocumentController *controller)
{
    QList<QPointer<QWidget>> windows;
    for (QWidget *window : QApplication::topLevelWidgets())
        windows.append(window);
    for (const QPointer<QWidget> &window : windows) {
        if (auto *panel = qobject_cast<platform::OpenPanel *>(window.data()))
            panel->close();
    }
    if (controller && controller->documents().isEmpty())
        controller->newDocument();
}

} // namespace scribbet
