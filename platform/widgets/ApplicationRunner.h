#pragma once

#include "CommandLine.h"
#include "DocumentScene.h"
#include "LoadingAhead.h"
#include "Translations.h"
#include "WindowActivation.h"

#include <QApplication>
#include <QString>

#include <memory>
#include <optional>

namespace platform {

class ApplicationDelegate;
class ApplicationService;
class DocumentController;

/// Whether any window of the application is visible and not minimised.
bool hasVisibleWindows();

/// A plain second launch: asks the delegate, then brings the most recent document window forward
/// (or makes a document when there is none), unless the delegate answers NO; the window takes the
/// focus with the launcher's `token`.
void reopenApplication(DocumentController &controller, ApplicationDelegate *delegate,
                       const ActivationToken &token = {});

/// How the application names itself to the desktop.
struct ApplicationIdentity {
    QString name;             ///< lower-case name: the settings file and the executable
    QString displayName;      ///< the name a person sees
    QString bundleIdentifier; ///< reverse-DNS identifier, also the desktop entry's name
    QString version;          ///< what --version prints
    /// One line for --help, marked with QT_TRANSLATE_NOOP("ApplicationIdentity", ...): it is
    /// translated only once the translations are loaded.
    const char *description;
};

/// Names the application, gives its windows the icon the program carries under :/window-icon (a
/// PNG for each size), keeps it to one instance per user, and once the application object exists
/// shows its documents, tells its delegate about launch and reopen, and runs the event loop.
class ApplicationRunner final {
public:
    explicit ApplicationRunner(const ApplicationIdentity &identity);
    ~ApplicationRunner();
    ApplicationRunner(const ApplicationRunner &) = delete;
    ApplicationRunner &operator=(const ApplicationRunner &) = delete;

    /// When the application runs already, hands it `files` (absolute names, as bytes) or asks it
    /// to reopen, with the `token` this launch was given to show a window, and returns true: this
    /// process has nothing more to do.
    bool handOverToRunningInstance(const QByteArrayList &files, const ActivationToken &token);

    /// How the program was started: by a person (or a launcher running its command), or by the
    /// session bus for a request that it is about to deliver.
    enum class Launch { ByCommand, ByBus };

    /// Opens each file in `files` in a window of its own or, when none was named, one untitled
    /// document if the delegate agrees; then finishes launching and runs the event loop until the
    /// last document closes or the user quits. Started by the bus, it leaves the windows to the
    /// bus's request. The delegate may be null.
    int run(std::shared_ptr<const DocumentScene> scene, const QByteArrayList &files,
            ApplicationDelegate *delegate, Launch launch = Launch::ByCommand);

private:
    static void finishLaunching(DocumentController &controller, ApplicationDelegate *delegate);
    static void finishLaunchingOnceOpened(DocumentController &controller,
                                          ApplicationDelegate *delegate);
    void finishLaunchingOnceTheBusAsks(DocumentController &controller,
                                       ApplicationDelegate *delegate);

    std::unique_ptr<ApplicationService> m_service;
    std::optional<ActivationToken> m_pendingActivation;
};

/// The process entry's one call: constructs `App` once, evaluates its scene and runs it.
/// `App` provides `static ApplicationIdentity identity()`, a static `body()` whose `scene()` is
/// the application's DocumentScene, and `delegate()`, its ApplicationDelegate.
template <class App> int runApplication(int argc, char **argv)
{
    const ApplicationIdentity identity = App::identity();
    QCoreApplication::setApplicationName(identity.name);
    QCoreApplication::setApplicationVersion(identity.version);
    // Declared before the application, which keeps a reference to its argument count.
    CommandLine commandLine(argc, argv, identity.description);
    const ActivationToken launcherToken = ActivationToken::fromEnvironment();
    const LoadingAhead fonts(loadFontConfiguration);
    QApplication application(commandLine.toolkitArgumentCount(), argv);
    installTranslations();
    const QByteArrayList files = commandLine.files(argv);
    ApplicationRunner runner(identity);
    if (runner.handOverToRunningInstance(files, launcherToken))
        return 0;
    const LoadingAhead images(loadImagePlugins);
    App app;
    return runner.run(App::body().scene(), files, &app.delegate(),
                      commandLine.activatedByBus() ? ApplicationRunner::Launch::ByBus
                                                   : ApplicationRunner::Launch::ByCommand);
}

} // namespace platform
