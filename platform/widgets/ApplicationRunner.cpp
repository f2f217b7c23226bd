#include "ApplicationRunner.h"

#include "ApplicationDelegate.h"
#include "ApplicationService.h"
#include "Document.h"
#include "DocumentController.h"
#include "FileError.h"
#include "TerminationSignals.h"
#include "UserDefaults.h"

#include <QFile>
#include <QIcon>
#include <QSessionManager>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <algorithm>

namespace platform {
namespace {

// A name is used only when it says exactly which file it is: one whose bytes are not UTF-8 could
// otherwise be taken for another file whose name has U+FFFD in their place.
void openNamedFile(DocumentController &controller, const QByteArray &name)
{
    const QString path = QFile::decodeName(name);
    if (QFile::encodeName(path) != name)
        controller.presentError(FileError(FileError::ReadInvalidFileName), path);
    else
        controller.openDocumentWithContentsOf(path,
                                              DocumentController::MissingFile::MakesANewDocument);
}

// What a later launch names arrives as URIs from another process: anything but a local file is
// refused with a message, never trusted.
void openUris(DocumentController &controller, const QStringList &uris)
{
    for (const QString &uri : uris) {
        const QUrl url(uri, QUrl::StrictMode);
        if (url.isValid() && url.isLocalFile() &&
            (url.host().isEmpty() || url.host() == QLatin1String("localhost"))) {
            openNamedFile(controller,
                          QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
            continue;
        }
        controller.presentError(
            FileError(FileError::ReadUnknown,
                      QCoreApplication::translate("ApplicationRunner",
                                                  "Only local files can be opened.")),
            uri);
    }
}

// The windows' icon, as the theme names it after the desktop entry, in the sizes title bars, task
// bars and switchers show. X11 carries every size a window is given as raw pixels: the eight
// installed ones, 512 px among them, made a launch 13 ms slower.
QIcon windowIcon(const QString &name)
{
    const QIcon themed = QIcon::fromTheme(name);
    QIcon icon;
    if (!themed.isNull()) {
        for (const int size : {16, 24, 32, 48, 64})
            icon.addPixmap(themed.pixmap(size));
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

void reopenApplication(DocumentController &controller, ApplicationDelegate *delegate)
{
    if (delegate && !delegate->applicationShouldHandleReopen(hasVisibleWindows()))
        return;
    if (Document *document = controller.mostRecentDocument())
        controller.showDocument(document);
    else if (!delegate || delegate->applicationShouldOpenUntitledFile())
        controller.newDocument();
}

ApplicationRunner::ApplicationRunner(const ApplicationIdentity &identity)
    : m_service(std::make_unique<ApplicationService>(identity.bundleIdentifier))
{
    QCoreApplication::setApplicationName(identity.name);
    QGuiApplication::setApplicationDisplayName(identity.displayName);
    QGuiApplication::setDesktopFileName(identity.bundleIdentifier);
    QGuiApplication::setWindowIcon(windowIcon(identity.bundleIdentifier));
    // The document controller decides when the application ends: when its last document closes.
    QGuiApplication::setQuitOnLastWindowClosed(false);
}

ApplicationRunner::~ApplicationRunner() = default;

bool ApplicationRunner::handOverToRunningInstance(const QByteArrayList &files)
{
    return m_service->handOverToRunningInstance(files);
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
                     [&controller, delegate] { reopenApplication(controller, delegate); });
    QObject::connect(m_service.get(), &ApplicationService::openRequested, &controller,
                     [&controller](const QStringList &uris) { openUris(controller, uris); });

    if (delegate) {
        delegate->setDocumentController(&controller);
        delegate->applicationSupportsSecureRestorableState(); // no window state to restore here
    }
    for (const QByteArray &file : files)
        openNamedFile(controller, file);
    if (launch == Launch::ByBus && files.isEmpty())
        finishLaunchingOnceTheBusAsks(controller, delegate);
    else
        finishLaunching(controller, delegate, files.isEmpty());
    return QApplication::exec();
}

// A launch that names nothing, and a request from the bus that left no document, open an untitled
// one unless the delegate says otherwise.
void ApplicationRunner::finishLaunching(DocumentController &controller,
                                        ApplicationDelegate *delegate, bool namedNothing)
{
    if (namedNothing && (!delegate || delegate->applicationShouldOpenUntitledFile()))
        controller.openUntitledDocument();
    if (delegate)
        delegate->applicationDidFinishLaunching();
    QTimer::singleShot(0, &controller, &DocumentController::lookForWorkLeftBehind);
}

// The bus delivers the request that started the program as soon as it owns its name. Launching
// finishes once that request is handled, as it does after the files of a command line; should
// none come, a plain launch after ten seconds.
void ApplicationRunner::finishLaunchingOnceTheBusAsks(DocumentController &controller,
                                                      ApplicationDelegate *delegate)
{
    auto *pending = new QTimer(&controller);
    pending->setSingleShot(true);
    QObject::connect(pending, &QTimer::timeout, &controller, [&controller, delegate] {
        finishLaunching(controller, delegate, !controller.mostRecentDocument());
    });
    const auto handled = [pending] {
        if (pending->isActive())
            pending->start(0);
    };
    QObject::connect(m_service.get(), &ApplicationService::activateRequested, pending, handled);
    QObject::connect(m_service.get(), &ApplicationService::openRequested, pending, handled);
    pending->start(std::chrono::seconds(10));
}

} // namespace platform
