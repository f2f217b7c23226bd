#include "ApplicationRunner.h"

#include "DocumentController.h"

namespace platform {

ApplicationRunner::ApplicationRunner(const ApplicationIdentity &identity)
{
    QCoreApplication::setApplicationName(identity.name);
    QGuiApplication::setApplicationDisplayName(identity.displayName);
    QGuiApplication::setDesktopFileName(identity.bundleIdentifier);
    // The document controller decides when the application ends: when its last document closes.
    QGuiApplication::setQuitOnLastWindowClosed(false);
}

int ApplicationRunner::run(const DocumentScene &scene, const QStringList &files)
{
    DocumentController controller(scene);
    QObject::connect(&controller, &DocumentController::lastDocumentClosed, &controller,
                     &QCoreApplication::quit, Qt::QueuedConnection);
    for (const QString &file : files)
        controller.openDocumentWithContentsOf(file);
    if (controller.documents().isEmpty())
        controller.openUntitledDocument();
    return QApplication::exec();
}

} // namespace platform
