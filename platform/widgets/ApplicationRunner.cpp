#include "ApplicationRunner.h"

#include "ApplicationDelegate.h"
#include "ApplicationService.h"
#include "Document.h"
#include "DocumentController.h"
#include "FileUris.h"
#include "TerminationSignals.h"
#include "UserDefaults.h"

#include <QDir>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QSessionManager>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace platform {
namespace {

// The windows' icon, one PNG for each size, as the program carries it under :/window-icon (the
// desktop shows a running program by its desktop entry's icon; the title bars and switchers of
// X11 show the window's). Each image is read as the PNG it is: left to find the format itself,
// the reader first loads every image plugin installed.
QIcon windowIcon()
{
    QIcon icon;
    const QDir folder(QStringLiteral(":/window-icon"));
    for (const QString &name : folder.entryList(QDir::Files)) {
        QImageReader reader(folder.filePath(name), "png");
        reader.setAutoDetectImageFormat(false);
        const QImage image = reader.read();
        if (!image.isNull())
            icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

// A person may turn drafts off, say for text that must never reach the disk unless saved.
DocumentController::DraftKeeping draftsAsSet(const UserDefaults &settings)
{
    const QVariant keep = settings.value(QStringLiteral("KeepDrafts"));
    return !keep.isValid() || keep.toBool() ? DocumentController::DraftKeeping::On
                                            : DocumentController::DraftKeeping::Off;
}

// A logout, a shutdown or a closed terminal ends the program without asking anything: every
// unsaved change is put in its draft first, for the next run to offer back.
void keepDraftsWhenMadeToEnd(DocumentController &controller)
{
    auto *termination = new TerminationSignals(&controller);
    QObject::connect(termination, &TerminationSignals::received, &controller,
                     [&controller](int signal) {
                         controller.keepAllDrafts();
                         TerminationSignals::endBy(signal);
                     });
    // The session manager may end the program once this returns; nothing here waits for the
    // user, so the logout never waits either.
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &controller,
                     [&controller](QSessionManager &) { controller.keepAllDrafts(); });
}

} // namespace

bool hasVisibleWindows()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](const QWidget *window) {
        return window->isVisible() && !window->isMinimized();
    });
}

void reopenApplication(DocumentController &controller, ApplicationDelegate *delegate,
                       const ActivationToken &token)
{
    if (delegate && !delegate->applicationShouldHandleReopen(hasVisibleWindows())) {
        activateWindow(nullptr, token);
        return;
    }
    if (Document *document = controller.mostRecentDocument())
        controller.showDocument(document);
    else if (!delegate || delegate->applicationShouldOpenUntitledFile())
        controller.newDocument();
    activateWindow(controller.mostRecentWindow(), token);
}

ApplicationRunner::ApplicationRunner(const ApplicationIdentity &identity)
    : m_service(std::make_unique<ApplicationService>(identity.bundleIdentifier))
{
    QCoreApplication::setApplicationName(identity.name);
    QGuiApplication::setApplicationDisplayName(identity.displayName);
    QGuiApplication::setDesktopFileName(identity.bundleIdentifier);
    QGuiApplication::setWindowIcon(windowIcon());
    // The document controller decides when the application ends: when its last document closes.
    QGuiApplication::setQuitOnLastWindowClosed(false);
}

ApplicationRunner::~ApplicationRunner() = default;

bool ApplicationRunner::handOverToRunningInstance(const QByteArrayList &files,
                                                  const ActivationToken &token)
{
    return m_service->handOverToRunningInstance(files, token);
}

int ApplicationRunner::run(std::shared_ptr<const DocumentScene> scene, const QByteArrayList &files,
                           ApplicationDelegate *delegate, Launch launch)
{
    UserDefaults &settings = UserDefaults::standard();
    DocumentController controller(std::move(scene), settings, draftsAsSet(settings));
    keepDraftsWhenMadeToEnd(controller);
    QObject::connect(&controller, &DocumentController::lastDocumentClosed, &controller,
                     &QCoreApplication::quit, Qt::QueuedConnection);
    QObject::connect(m_service.get(), &ApplicationService::activateRequested, &controller,
                     [&controller, delegate](const ActivationToken &token) {
                         reopenApplication(controller, delegate, token);
                     });
    QObject::connect(m_service.get(), &ApplicationService::openRequested, &controller,
                     [this, &controller](const QStringList &uris, const ActivationToken &token) {
                         m_pendingActivation = token;
                         controller.openFilesNamed(uris);
                     });
    // The window a later launch asked for takes the focus with its token once the files are open.
    QObject::connect(&controller, &DocumentController::namedFilesOpened, &controller,
                     [this, &controller] {
                         if (const auto token = std::exchange(m_pendingActivation, std::nullopt))
                             activateWindow(controller.mostRecentWindow(), *token);
                     });

    if (delegate) {
        delegate->setDocumentController(&controller);
        delegate->applicationSupportsSecureRestorableState(); // no window state to restore here
    }
    if (!files.isEmpty()) {
        controller.openFilesNamed(fileUris(files));
        finishLaunchingOnceOpened(controller, delegate);
    } else if (launch == Launch::ByBus) {
        finishLaunchingOnceTheBusAsks(controller, delegate);
    } else {
        finishLaunching(controller, delegate);
    }
    return QApplication::exec();
}

// A launch that leaves no document, as one that names nothing, opens an untitled one unless the
// delegate says otherwise.
void ApplicationRunner::finishLaunching(DocumentController &controller,
                                        ApplicationDelegate *delegate)
{
    if (!controller.mostRecentDocument() &&
        (!delegate || delegate->applicationShouldOpenUntitledFile()))
        controller.openUntitledDocument();
    if (delegate)
        delegate->applicationDidFinishLaunching();
    QTimer::singleShot(0, &controller, &DocumentController::lookForWorkLeftBehind);
}

// The files named open one at a time; launching finishes once they have.
void ApplicationRunner::finishLaunchingOnceOpened(DocumentController &controller,
                                                  ApplicationDelegate *delegate)
{
    QObject::connect(
        &controller, &DocumentController::namedFilesOpened, &controller,
        [&controller, delegate] { finishLaunching(controller, delegate); },
        Qt::SingleShotConnection);
}

// The bus delivers the request that started the program as soon as it owns its name. Launching
// finishes once that request is handled, as it does after the files of a command line; should
// none come, a plain launch after ten seconds.
void ApplicationRunner::finishLaunchingOnceTheBusAsks(DocumentController &controller,
                                                      ApplicationDelegate *delegate)
{
    auto *pending = new QTimer(&controller);
    pending->setSingleShot(true);
    QObject::connect(pending, &QTimer::timeout, &controller,
                     [&controller, delegate] { finishLaunching(controller, delegate); });
    const auto handled = [pending] {
        if (pending->isActive())
            pending->start(0);
    };
    QObject::connect(m_service.get(), &ApplicationService::activateRequested, pending, handled);
    QObject::connect(&controller, &DocumentController::namedFilesOpened, pending, handled);
    pending->start(std::chrono::seconds(10));
}

} // namespace platform
