#pragma once

#include "DocumentContent.h"

#include <QApplication>
#include <QString>

namespace platform {

/// How the application names itself to the desktop.
struct ApplicationIdentity {
    QString name;             ///< lower-case name: the settings file and the executable
    QString displayName;      ///< the name a person sees
    QString bundleIdentifier; ///< reverse-DNS identifier, also the desktop entry's name
};

/// Names the application, then, once the application object exists, shows its documents and
/// runs the event loop.
class ApplicationRunner final {
public:
    explicit ApplicationRunner(const ApplicationIdentity &identity);

    /// Opens each file in `files` in a window of its own, or one untitled document when none
    /// opens, and runs the event loop until the last document closes or the user quits.
    int run(const DocumentScene &scene, const QStringList &files);
};

/// The process entry's one call: constructs `App` once, evaluates its scene and runs it.
/// `App` provides `static ApplicationIdentity identity()` and a `body()` whose `scene()` is
/// the application's DocumentScene.
template <class App> int runApplication(int argc, char **argv)
{
    QApplication application(argc, argv);
    ApplicationRunner runner(App::identity());
    App app;
    return runner.run(app.body().scene(), QApplication::arguments().mid(1));
}

} // namespace platform
