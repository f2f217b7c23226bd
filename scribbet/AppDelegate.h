#pragma once

#include "ApplicationDelegate.h"
#include "Clock.h"
#include "KeyWindowNotifications.h"
#include "RecentDocuments.h"

#include <QString>

#include <memory>
#include <optional>

namespace scribbet {

inline const QString recentDocumentsMaximumKey = platform::RecentDocuments::maximumKey;
inline const QString quitAlwaysKeepsWindowsKey = QStringLiteral("NSQuitAlwaysKeepsWindows");
inline constexpr int recentDocumentsMaximum = 5;

/// Stores at most five recent documents and no windows kept across quitting in the application's
/// settings, replacing whatever was stored there.
void storeDocumentSettings();

/// The application's delegate. At launch it settles the settings, discards saved window state,
/// makes a save panel without a folder start in Documents, closes an open panel that shows up
/// by itself within 1.5 s, and makes sure a document stands open; a reopen with no visible
/// window does the last two again.
class AppDelegate final : public platform::ApplicationDelegate {
    Q_OBJECT

public:
    explicit AppDelegate(const platform::Clock &clock = platform::Clock::system());

    void applicationDidFinishLaunching() override;
    bool applicationSupportsSecureRestorableState() override;
    bool applicationShouldOpenUntitledFile() override;
    bool applicationShouldHandleReopen(bool hasVisibleWindows) override;

    /// Until when an open panel that becomes key is closed; absent before launch has finished.
    std::optional<platform::Date> suppressionDeadline() const
    {
        return suppressAutomaticOpenPanelUntil;
    }

private:
    void installUntitledSavePanelDefaultDirectory();
    void installAutomaticOpenPanelSuppressor();
    void startSuppressionWindow();

    const platform::Clock &m_clock;
    // Named as the platform's delegate names them. Each observer stays registered for as long
    // as its token, that is for the delegate's life, which is the process's.
    std::unique_ptr<QObject> savePanelObserver;
    std::unique_ptr<QObject> openPanelSuppressor;
    std::optional<platform::Date> suppressAutomaticOpenPanelUntil;
};

} // namespace scribbet
