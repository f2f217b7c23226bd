#include "AppDelegate.h"

#include "WindowPolicy.h"

#include "Panels.h"
#include "StandardDirectories.h"
#include "UserDefaults.h"

#include <QCoreApplication>
#include <QPointer>

namespace scribbet {
namespace {

constexpr std::chrono::duration<double> automaticOpenPanelWindow{1.5};

} // namespace

void storeDocumentSettings()
{
    platform::UserDefaults &defaults = platform::UserDefaults::standard();
    defaults.setInteger(recentDocumentsMaximum, recentDocumentsMaximumKey);
    defaults.setBool(false, quitAlwaysKeepsWindowsKey);
}

AppDelegate::AppDelegate(const platform::Clock &clock)
    : m_clock(clock)
{}

void AppDelegate::applicationDidFinishLaunching()
{
    storeDocumentSettings();
    discardPersistedWindowRestorationState();
    installUntitledSavePanelDefaultDirectory();
    installAutomaticOpenPanelSuppressor();
    startSuppressionWindow();
    // On a later turn of the event loop, never inside this callback.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [delegate = QPointer<AppDelegate>(this)] {
            if (delegate)
                ensureSingleUntitledDocument(delegate->documentController());
        },
        Qt::QueuedConnection);
}

bool AppDelegate::applicationSupportsSecureRestorableState()
{
    return true;
}

bool AppDelegate::applicationShouldOpenUntitledFile()
{
    return true;
}

bool AppDelegate::applicationShouldHandleReopen(bool hasVisibleWindows)
{
    if (hasVisibleWindows)
        return true;
    startSuppressionWindow();
    ensureSingleUntitledDocument(documentController());
    return false;
}

void AppDelegate::installUntitledSavePanelDefaultDirectory()
{
    const QList<QUrl> found = platform::documentDirectories();
    const std::optional<QUrl> documents =
        found.isEmpty() ? std::nullopt : std::optional(found.first());
    savePanelObserver = platform::addKeyWindowObserver([documents](QWidget *window) {
        auto *panel = qobject_cast<platform::SavePanel *>(window);
        if (!panel || qobject_cast<platform::OpenPanel *>(panel) || !documents ||
            panel->directoryUrl())
            return;
        panel->setDirectoryUrl(*documents);
    });
}

void AppDelegate::installAutomaticOpenPanelSuppressor()
{
    openPanelSuppressor =
        platform::addKeyWindowObserver([delegate = QPointer<AppDelegate>(this)](QWidget *window) {
            if (!delegate || !delegate->suppressAutomaticOpenPanelUntil)
                return;
            if (!(delegate->m_clock.now() < *delegate->suppressAutomaticOpenPanelUntil))
                return;
            auto *panel = qobject_cast<platform::OpenPanel *>(window);
            if (!panel)
                return;
            panel->close();
            ensureSingleUntitledDocument(delegate->documentController());
        });
}

void AppDelegate::startSuppressionWindow()
{
    suppressAutomaticOpenPanelUntil = m_clock.now() + automaticOpenPanelWindow;
}

} // namespace scribbet
