#include "TestSandbox.h"

#include "AppDelegate.h"
#include "ScribbetApp.h"
#include "WindowPolicy.h"

#include "ApplicationRunner.h"
#include "Document.h"
#include "DocumentController.h"
#include "DocumentWindow.h"
#include "Panels.h"
#include "UserDefaults.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>

#include <memory>

using namespace std::chrono_literals;
using platform::Date;
using platform::OpenPanel;
using platform::SavePanel;
using scribbet::AppDelegate;

namespace {

class ManualClock final : public platform::Clock {
public:
    Date now() const override { return current; }
    void advance(std::chrono::duration<double> by) { current += by; }

    Date current{std::chrono::duration<double>(1'800'000'000.0)};
};

// Shows `panel` and lets it become the key window, as a panel the platform shows by itself would.
void makeKey(QWidget &window)
{
    window.show();
    window.activateWindow();
    QTRY_VERIFY(QGuiApplication::focusWindow() == window.windowHandle() || !window.isVisible());
}

} // namespace

class AppDelegateTest final : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void launchWritesSettingsAndDefersTheDocument();
    void deferredBlockDoesNothingOnceTheDelegateIsGone();
    void ensureSingleUntitledDocumentClosesPanelsAndMakesAtMostOne();
    void ensureSingleUntitledDocumentNeverClosesDocuments();

    void openPanelWithinTheWindowIsClosedAndADocumentStands();
    void openPanelAtOrAfterTheDeadlineStays();
    void twoOpenPanelsAreBothClosed();
    void savePanelsAndDocumentWindowsAreLeftAlone();
    void reopenWithoutVisibleWindowsStartsANewWindow();
    void withoutDeadlineOrDelegateNothingIsTouched();

    void reopenAnswersAndStamps();
    void constantAnswersAreYes();
    void platformReopenBringsForwardOrAsks();

    void savePanelWithoutFolderGetsDocuments();
    void savePanelWithFolderAndOpenPanelAreLeftAlone();

private:
    void launchAndSettle();
    bool openPanelIsClosedAndADocumentStands();
    void closeAllDocuments();

    std::unique_ptr<platform::DocumentController> m_controller;
    std::unique_ptr<ManualClock> m_clock;
    std::unique_ptr<AppDelegate> m_delegate;
};

void AppDelegateTest::init()
{
    m_controller =
        std::make_unique<platform::DocumentController>(scribbet::ScribbetApp::body().scene());
    m_clock = std::make_unique<ManualClock>();
    m_delegate = std::make_unique<AppDelegate>(*m_clock);
    m_delegate->setDocumentController(m_controller.get());
}

void AppDelegateTest::cleanup()
{
    m_delegate.reset();
    m_controller.reset();
    for (QWidget *window : QApplication::topLevelWidgets())
        window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Launch, let the deferred block make its document, then close it again so that what a handler
// does shows in the number of documents.
void AppDelegateTest::launchAndSettle()
{
    m_delegate->applicationDidFinishLaunching();
    QCoreApplication::processEvents();
    closeAllDocuments();
}

// Lets an open panel become key, as one the platform shows by itself would, and tells whether it
// was closed and exactly one document made to stand in its place.
bool AppDelegateTest::openPanelIsClosedAndADocumentStands()
{
    OpenPanel panel;
    makeKey(panel);
    return QTest::qWaitFor([&panel] { return !panel.isVisible(); }) &&
           m_controller->documents().size() == 1;
}

void AppDelegateTest::closeAllDocuments()
{
    for (platform::Document *document : m_controller->documents())
        m_controller->closeDocument(document);
    QCOMPARE(m_controller->documents().size(), 0);
}

void AppDelegateTest::launchWritesSettingsAndDefersTheDocument()
{
    platform::UserDefaults &defaults = platform::UserDefaults::standard();
    defaults.setInteger(10, scribbet::recentDocumentsMaximumKey);
    defaults.setBool(true, scribbet::quitAlwaysKeepsWindowsKey);
    OpenPanel panel;
    panel.show();

    m_delegate->applicationDidFinishLaunching();
    QCOMPARE(defaults.value(scribbet::recentDocumentsMaximumKey).toInt(), 5);
    QCOMPARE(defaults.value(scribbet::quitAlwaysKeepsWindowsKey).toBool(), false);
    QCOMPARE(m_controller->documents().size(), 0); // nothing inside the callback itself
    QVERIFY(panel.isVisible());
    QCOMPARE(*m_delegate->suppressionDeadline(), m_clock->current + 1.5s);

    QCoreApplication::processEvents();
    QVERIFY(!panel.isVisible());
    QCOMPARE(m_controller->documents().size(), 1);
}

void AppDelegateTest::deferredBlockDoesNothingOnceTheDelegateIsGone()
{
    m_delegate->applicationDidFinishLaunching();
    m_delegate.reset();
    QCoreApplication::processEvents();
    QCOMPARE(m_controller->documents().size(), 0);
}

void AppDelegateTest::ensureSingleUntitledDocumentClosesPanelsAndMakesAtMostOne()
{
    scribbet::ensureSingleUntitledDocument(m_controller.get());
    QCOMPARE(m_controller->documents().size(), 1);
    scribbet::ensureSingleUntitledDocument(m_controller.get());
    QCOMPARE(m_controller->documents().size(), 1);

    OpenPanel first;
    OpenPanel second;
    SavePanel save;
    first.show();
    second.show();
    save.show();
    scribbet::ensureSingleUntitledDocument(m_controller.get());
    QVERIFY(!first.isVisible());
    QVERIFY(!second.isVisible());
    QVERIFY(save.isVisible());
    QCOMPARE(m_controller->documents().size(), 1);

    closeAllDocuments();
    OpenPanel alone;
    alone.show();
    scribbet::ensureSingleUntitledDocument(m_controller.get());
    QVERIFY(!alone.isVisible());
    QCOMPARE(m_controller->documents().size(), 1);
}

void AppDelegateTest::ensureSingleUntitledDocumentNeverClosesDocuments()
{
    m_controller->newDocument();
    m_controller->newDocument();
    platform::Document *hidden = m_controller->newDocument();
    hidden->window()->hide(); // a document counts whether or not its window shows
    scribbet::ensureSingleUntitledDocument(m_controller.get());
    QCOMPARE(m_controller->documents().size(), 3);
    for (platform::Document *document : m_controller->documents())
        QVERIFY(document == hidden || document->window()->isVisible());
}

void AppDelegateTest::openPanelWithinTheWindowIsClosedAndADocumentStands()
{
    launchAndSettle();
    m_clock->advance(1s);
    QVERIFY(openPanelIsClosedAndADocumentStands());
}

void AppDelegateTest::openPanelAtOrAfterTheDeadlineStays()
{
    launchAndSettle();
    m_clock->advance(1.5s); // exactly at the deadline: the comparison is strict
    OpenPanel atDeadline;
    makeKey(atDeadline);
    QVERIFY(atDeadline.isVisible());
    atDeadline.close();

    m_clock->advance(0.5s);
    OpenPanel later;
    makeKey(later);
    QVERIFY(later.isVisible());
    QCOMPARE(m_controller->documents().size(), 0);
}

void AppDelegateTest::twoOpenPanelsAreBothClosed()
{
    launchAndSettle();
    m_clock->advance(0.2s);
    QVERIFY(openPanelIsClosedAndADocumentStands());
    closeAllDocuments(); // so that the second run shows too

    m_clock->advance(0.2s);
    QVERIFY(openPanelIsClosedAndADocumentStands());
}

void AppDelegateTest::savePanelsAndDocumentWindowsAreLeftAlone()
{
    launchAndSettle();
    m_clock->advance(0.5s);
    SavePanel save;
    makeKey(save);
    QVERIFY(save.isVisible());
    platform::Document *document = m_controller->newDocument();
    makeKey(*document->window());
    QVERIFY(document->window()->isVisible());
    QCOMPARE(m_controller->documents().size(), 1);
}

void AppDelegateTest::reopenWithoutVisibleWindowsStartsANewWindow()
{
    launchAndSettle();
    m_clock->advance(60s);
    QCOMPARE(m_delegate->applicationShouldHandleReopen(false), false);
    QCOMPARE(m_controller->documents().size(), 1);
    closeAllDocuments();
    m_clock->advance(1s);
    QVERIFY(openPanelIsClosedAndADocumentStands());
}

void AppDelegateTest::withoutDeadlineOrDelegateNothingIsTouched()
{
    // The observers exist only after launch; a delegate that never launched touches nothing.
    OpenPanel beforeLaunch;
    makeKey(beforeLaunch);
    QVERIFY(beforeLaunch.isVisible());
    beforeLaunch.close();

    launchAndSettle();
    m_delegate.reset();
    OpenPanel afterDelegate;
    makeKey(afterDelegate);
    QVERIFY(afterDelegate.isVisible());
    QCOMPARE(m_controller->documents().size(), 0);
}

void AppDelegateTest::reopenAnswersAndStamps()
{
    QCOMPARE(m_delegate->applicationShouldHandleReopen(true), true);
    QVERIFY(!m_delegate->suppressionDeadline());
    QCOMPARE(m_controller->documents().size(), 0);

    OpenPanel panel;
    panel.show();
    m_controller->newDocument();
    QCOMPARE(m_delegate->applicationShouldHandleReopen(false), false);
    QCOMPARE(*m_delegate->suppressionDeadline(), m_clock->current + 1.5s);
    QVERIFY(!panel.isVisible()); // panels close even when a document exists
    QCOMPARE(m_controller->documents().size(), 1);

    m_clock->advance(1s);
    m_delegate->applicationShouldHandleReopen(false);
    QCOMPARE(*m_delegate->suppressionDeadline(), m_clock->current + 1.5s);
}

void AppDelegateTest::constantAnswersAreYes()
{
    for (int call = 0; call < 3; ++call) {
        QVERIFY(m_delegate->applicationSupportsSecureRestorableState());
        QVERIFY(m_delegate->applicationShouldOpenUntitledFile());
    }
}

// With a window showing, a plain second launch brings the most recent one forward; with every
// window minimised, the delegate is told none is visible and makes no second document.
void AppDelegateTest::platformReopenBringsForwardOrAsks()
{
    platform::Document *first = m_controller->newDocument();
    platform::Document *second = m_controller->newDocument();
    makeKey(*second->window());
    makeKey(*first->window());
    QVERIFY(platform::hasVisibleWindows());
    platform::reopenApplication(*m_controller, m_delegate.get());
    QCOMPARE(m_controller->documents().size(), 2);
    QVERIFY(!m_delegate->suppressionDeadline());

    first->window()->showMinimized();
    second->window()->showMinimized();
    QTRY_VERIFY(!platform::hasVisibleWindows());
    platform::reopenApplication(*m_controller, m_delegate.get());
    QCOMPARE(m_controller->documents().size(), 2);
    QVERIFY(m_delegate->suppressionDeadline().has_value());
}

void AppDelegateTest::savePanelWithoutFolderGetsDocuments()
{
    launchAndSettle();
    SavePanel panel;
    QVERIFY(!panel.directoryUrl());
    makeKey(panel);
    const QString documents = QDir::homePath() + QStringLiteral("/Documents");
    QTRY_COMPARE(panel.directoryUrl().value_or(QUrl()).toLocalFile(), documents);
    QCOMPARE(QDir(panel.directory()).absolutePath(), documents);
}

void AppDelegateTest::savePanelWithFolderAndOpenPanelAreLeftAlone()
{
    launchAndSettle();
    m_clock->advance(10s); // past the open panel suppression
    const QUrl elsewhere = QUrl::fromLocalFile(QDir::tempPath());
    SavePanel withFolder;
    withFolder.setDirectoryUrl(elsewhere);
    makeKey(withFolder);
    QCOMPARE(withFolder.directoryUrl(), elsewhere);

    OpenPanel open;
    makeKey(open);
    QVERIFY(!open.directoryUrl());
}

SCRIBBET_TEST_MAIN(AppDelegateTest)
#include "tst_appdelegate.moc"
