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

#include <QDir>

#include <memory>

using namespace std::chrono_literals;
using platform::Date;
using platform::OpenPanel;
using platform::SavePanel;
using scribbet::AppDelegate;
using scribbet::testing::ManualClock;

namespace {

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

    void openPanelIsClosedOnlyBeforeTheDeadline_data();
    void openPanelIsClosedOnlyBeforeTheDeadline();

    void onlyASavePanelWithoutAFolderIsGivenDocuments_data();
    void onlyASavePanelWithoutAFolderIsGivenDocuments();
    void platformReopenBringsForwardOrAsks();

private:
    void launchAndSettle();

    std::unique_ptr<platform::DocumentController> m_controller;
    std::unique_ptr<ManualClock> m_clock;
    std::unique_ptr<AppDelegate> m_delegate;
};

void AppDelegateTest::init()
{
    m_controller = std::make_unique<platform::DocumentController>(
        scribbet::ScribbetApp::body().scene(), platform::UserDefaults::standard());
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
    QVERIFY(m_controller->closeAllDocuments() && m_controller->documents().isEmpty());
}

void AppDelegateTest::launchWritesSettingsAndDefersTheDocument()
{
    platform::UserDefaults &defaults = platform::UserDefaults::standard();
    defaults.setInteger(10, scribbet::recentDocumentsMaximumKey);
    defaults.setBool(true, scribbet::quitAlwaysKeepsWindowsKey);
    OpenPanel panel;
    panel.show();

    m_delegate->applicationDidFinishLaunching();
    QCOMPARE(m_controller->documents().size(), 0); // nothing inside the callback itself
    QVERIFY(panel.isVisible());
    QCOMPARE(*m_delegate->suppressionDeadline(), m_clock->current + 1.5s);

    QCoreApplication::processEvents();
    QVERIFY(!panel.isVisible());
    QCOMPARE(m_controller->documents().size(), 1);
    // What reaches the settings file, not what this process's settings object remembers.
    const QString path = qEnvironmentVariable("XDG_CONFIG_HOME") +
                         QStringLiteral("/scribbet-tests/scribbet-tests.ini");
    const QByteArray file = scribbet::testing::contentsOf(path);
    QVERIFY2(file.contains("NSRecentDocumentsMaximum=5") &&
                 file.contains("NSQuitAlwaysKeepsWindows=false"),
             file.constData());
    // The next launch, reading them back, leaves the file alone: a rewrite is a new file.
    const ino_t written = scribbet::testing::statusOf(path).st_ino;
    platform::UserDefaults(path).setInteger(5, scribbet::recentDocumentsMaximumKey);
    platform::UserDefaults(path).setBool(false, scribbet::quitAlwaysKeepsWindowsKey);
    QVERIFY(written != 0 && scribbet::testing::statusOf(path).st_ino == written);
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
    OpenPanel first;
    OpenPanel second;
    SavePanel save;
    for (QWidget *panel : std::initializer_list<QWidget *>{&first, &second, &save})
        panel->show();
    scribbet::ensureSingleUntitledDocument(m_controller.get());
    QVERIFY(!first.isVisible() && !second.isVisible() && save.isVisible());
    QCOMPARE(m_controller->documents().size(), 1);

    // Documents already there, shown or not, are neither closed nor joined by another; panels
    // close all the same.
    m_controller->newDocument()->window()->hide();
    first.show();
    scribbet::ensureSingleUntitledDocument(m_controller.get());
    QVERIFY(!first.isVisible());
    QCOMPARE(m_controller->documents().size(), 2);
}

void AppDelegateTest::openPanelIsClosedOnlyBeforeTheDeadline_data()
{
    QTest::addColumn<double>("secondsAfterLaunch");
    QTest::addColumn<bool>("reopenedFirst");
    QTest::addColumn<bool>("delegateGone");
    QTest::addColumn<bool>("closed");
    QTest::newRow("a second after launch") << 1.0 << false << false << true;
    QTest::newRow("just before the deadline") << 1.49 << false << false << true;
    QTest::newRow("at the deadline: the comparison is strict") << 1.5 << false << false << false;
    QTest::newRow("after the deadline") << 2.0 << false << false << false;
    QTest::newRow("a second after a reopen long after launch") << 61.0 << true << false << true;
    QTest::newRow("the delegate is gone") << 1.0 << false << true << false;
}

// An open panel that becomes key before the deadline is closed and a document made to stand in
// its place; at or after it, or without a delegate, the panel stays and nothing is made.
void AppDelegateTest::openPanelIsClosedOnlyBeforeTheDeadline()
{
    QFETCH(double, secondsAfterLaunch);
    QFETCH(bool, reopenedFirst);
    QFETCH(bool, delegateGone);
    QFETCH(bool, closed);
    launchAndSettle();
    if (reopenedFirst) {
        m_clock->advance(std::chrono::duration<double>(secondsAfterLaunch - 1));
        QCOMPARE(m_delegate->applicationShouldHandleReopen(false), false);
        QVERIFY(m_controller->closeAllDocuments() && m_controller->documents().isEmpty());
        secondsAfterLaunch = 1;
    }
    if (delegateGone)
        m_delegate.reset();
    m_clock->advance(std::chrono::duration<double>(secondsAfterLaunch));
    OpenPanel panel;
    makeKey(panel);
    QCOMPARE(QTest::qWaitFor([&panel] { return !panel.isVisible(); }, closed ? 5000 : 100), closed);
    QCOMPARE(m_controller->documents().size(), closed ? 1 : 0);
}

void AppDelegateTest::onlyASavePanelWithoutAFolderIsGivenDocuments_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("folder");
    const QString documents = QDir::homePath() + QStringLiteral("/Documents");
    QTest::newRow("save panel without a folder") << "save" << documents;
    QTest::newRow("save panel with a folder") << "save in temp" << QDir::tempPath();
    QTest::newRow("open panel, past the deadline") << "open" << QString();
    QTest::newRow("document window") << "document" << QString();
}

// Whatever becomes key after launch, only a save panel without a folder is changed: it starts in
// Documents. Nothing is closed past the deadline, and no document is made.
void AppDelegateTest::onlyASavePanelWithoutAFolderIsGivenDocuments()
{
    QFETCH(QString, window);
    QFETCH(QString, folder);
    launchAndSettle();
    m_clock->advance(10s);
    std::unique_ptr<SavePanel> panel = window == QLatin1String("open")
                                           ? std::make_unique<OpenPanel>()
                                           : std::make_unique<SavePanel>();
    if (window == QLatin1String("save in temp"))
        panel->setDirectoryUrl(QUrl::fromLocalFile(QDir::tempPath()));
    platform::Document *document =
        window == QLatin1String("document") ? m_controller->newDocument() : nullptr;
    makeKey(document ? static_cast<QWidget &>(*document->window()) : *panel);
    if (!document) {
        QTRY_COMPARE(panel->directoryUrl().value_or(QUrl()).toLocalFile(), folder);
        QVERIFY(panel->isVisible());
    }
    QCOMPARE(m_controller->documents().size(), document ? 1 : 0);
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

SCRIBBET_TEST_MAIN(AppDelegateTest)
#include "tst_appdelegate.moc"
