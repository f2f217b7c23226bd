#include "TestSandbox.h"

#include "WindowPolicy.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace scribbet::testing;

namespace {

QString stateFolder()
{
    return qEnvironmentVariable("XDG_STATE_HOME") + QStringLiteral("/Saved Application State");
}

QString savedStateOf(const QString &identifier)
{
    return stateFolder() + QLatin1Char('/') + identifier + QStringLiteral(".savedState");
}

bool exists(const QString &path)
{
    return QFileInfo(path).exists() || QFileInfo(path).isSymLink();
}

} // namespace

class SavedStateTest final : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void whateverStandsThereGoesAndNothingElse_data();
    void whateverStandsThereGoesAndNothingElse();
    void missingOrUnsafeIdentifierFallsBackToTheApplications_data();
    void missingOrUnsafeIdentifierFallsBackToTheApplications();
    void treeDeeperThanAPathCanNameGoes();
    void linkSwappedInWhileRemovingLeadsNowhereElse();
    void failedRemovalLetsLaunchGoOn();

private:
    QString m_precious;
};

void SavedStateTest::init()
{
    QGuiApplication::setDesktopFileName(scribbet::bundleIdentifier);
    QDir(qEnvironmentVariable("XDG_STATE_HOME")).removeRecursively();
    m_precious = QDir::homePath() + QStringLiteral("/precious");
    writeContents(m_precious + QStringLiteral("/letter.txt"), "do not lose me");
}

void SavedStateTest::cleanup()
{
    QDir(m_precious).removeRecursively();
}

void SavedStateTest::whateverStandsThereGoesAndNothingElse_data()
{
    using Make = std::function<void(const QString &target, const QString &precious)>;
    QTest::addColumn<Make>("make");
    const auto link = [](const QString &to, const QString &at) {
        QDir().mkpath(QFileInfo(at).absolutePath());
        QVERIFY(QFile::link(to, at));
    };
    QTest::newRow("nothing") << Make([](const QString &, const QString &) {});
    QTest::newRow("folder with contents") << Make([](const QString &target, const QString &) {
        writeContents(target + QStringLiteral("/data.data"));
        writeContents(target + QStringLiteral("/windows/1.plist"));
    });
    QTest::newRow("regular file") << Make(
        [](const QString &target, const QString &) { writeContents(target); });
    // removeRecursively() on a link to a folder would empty the folder it points at.
    QTest::newRow("link to a folder")
        << Make([link](const QString &target, const QString &precious) { link(precious, target); });
    QTest::newRow("links inside") << Make([link](const QString &target, const QString &precious) {
        writeContents(target + QStringLiteral("/data.data"));
        link(precious, target + QStringLiteral("/elsewhere"));
        link(precious + QStringLiteral("/letter.txt"), target + QStringLiteral("/letter"));
    });
    QTest::newRow("dangling link") << Make([link](const QString &target, const QString &) {
        link(QStringLiteral("/nowhere/at/all"), target);
    });
    QTest::newRow("link to itself")
        << Make([link](const QString &target, const QString &) { link(target, target); });
}

// Whatever stands at the saved state goes, a link as a link; its neighbours, the folder that
// holds them and whatever a link points at stay.
void SavedStateTest::whateverStandsThereGoesAndNothingElse()
{
    QFETCH(std::function<void(const QString &, const QString &)>, make);
    const QString target = savedStateOf(scribbet::bundleIdentifier);
    const QString neighbour = savedStateOf(QStringLiteral("com.example.Other")) + "/window.plist";
    writeContents(neighbour);
    make(target, m_precious);
    scribbet::discardPersistedWindowRestorationState();
    QVERIFY(!exists(target));
    QVERIFY(exists(neighbour));
    QCOMPARE(contentsOf(m_precious + QStringLiteral("/letter.txt")), "do not lose me");
}

void SavedStateTest::missingOrUnsafeIdentifierFallsBackToTheApplications_data()
{
    QTest::addColumn<QString>("reported");
    QTest::newRow("none") << QString();
    QTest::newRow("dot") << QStringLiteral(".");
    QTest::newRow("dot dot") << QStringLiteral("..");
    QTest::newRow("path") << QStringLiteral("../../precious");
}

void SavedStateTest::missingOrUnsafeIdentifierFallsBackToTheApplications()
{
    QFETCH(QString, reported);
    QGuiApplication::setDesktopFileName(reported);
    writeContents(savedStateOf(scribbet::bundleIdentifier) + QStringLiteral("/data.data"));
    writeContents(stateFolder() + QStringLiteral("/..savedState/keep"));
    writeContents(stateFolder() + QStringLiteral("/...savedState/keep"));
    scribbet::discardPersistedWindowRestorationState();
    QVERIFY(!exists(savedStateOf(scribbet::bundleIdentifier)));
    QVERIFY(QFile::exists(stateFolder() + QStringLiteral("/..savedState/keep")));
    QVERIFY(QFile::exists(stateFolder() + QStringLiteral("/...savedState/keep")));
    QVERIFY(QFile::exists(m_precious + QStringLiteral("/letter.txt")));
}

void SavedStateTest::treeDeeperThanAPathCanNameGoes()
{
    const QString target = savedStateOf(scribbet::bundleIdentifier);
    QDir().mkpath(target);
    int folder = ::open(QFile::encodeName(target).constData(), O_RDONLY | O_DIRECTORY);
    const QByteArray name(200, 'd');
    for (int depth = 0; depth < 40; ++depth) { // 8,000 bytes of path below the item
        QCOMPARE(::mkdirat(folder, name.constData(), 0700), 0);
        const int below = ::openat(folder, name.constData(), O_RDONLY | O_DIRECTORY);
        ::close(folder);
        folder = below;
    }
    ::close(::openat(folder, "deepest", O_CREAT | O_WRONLY, 0600));
    ::close(folder);
    scribbet::discardPersistedWindowRestorationState();
    QVERIFY(!exists(target));
}

// Another thread keeps swapping a folder in the item with a link to the precious folder: the
// removal finds one or the other, and follows neither out of the item.
void SavedStateTest::linkSwappedInWhileRemovingLeadsNowhereElse()
{
    for (int file = 0; file < 200; ++file)
        writeContents(m_precious + QStringLiteral("/victim/%1").arg(file));
    const QString target = savedStateOf(scribbet::bundleIdentifier);
    for (int round = 0; round < 30; ++round) {
        for (int file = 0; file < 50; ++file)
            writeContents(target + QStringLiteral("/windows/%1").arg(file));
        QVERIFY(
            QFile::link(m_precious + QStringLiteral("/victim"), target + QStringLiteral("/swap")));
        const QByteArray folder = QFile::encodeName(target + QStringLiteral("/windows"));
        const QByteArray link = QFile::encodeName(target + QStringLiteral("/swap"));
        std::atomic<bool> done = false;
        std::thread swapper([&] {
            while (!done)
                ::syscall(SYS_renameat2, AT_FDCWD, folder.constData(), AT_FDCWD, link.constData(),
                          2 /* RENAME_EXCHANGE */);
        });
        scribbet::discardPersistedWindowRestorationState();
        done = true;
        swapper.join();
        scribbet::discardPersistedWindowRestorationState();
        QVERIFY(!exists(target));
    }
    QCOMPARE(QDir(m_precious + QStringLiteral("/victim")).entryList(QDir::Files).size(), 200);
}

void SavedStateTest::failedRemovalLetsLaunchGoOn()
{
    const QString target = savedStateOf(scribbet::bundleIdentifier);
    writeContents(target + QStringLiteral("/locked/data"));
    const bool asRoot = ::geteuid() == 0;
    if (asRoot)
        setImmutable(target + QStringLiteral("/locked"), true);
    else
        QFile::setPermissions(target + QStringLiteral("/locked"),
                              QFile::ReadOwner | QFile::ExeOwner);
    scribbet::discardPersistedWindowRestorationState(); // must neither throw nor stop
    const bool kept = exists(target + QStringLiteral("/locked/data"));
    const QFile::Permissions permissions = QFile::permissions(target + QStringLiteral("/locked"));
    if (asRoot)
        setImmutable(target + QStringLiteral("/locked"), false);
    else
        QFile::setPermissions(target + QStringLiteral("/locked"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(kept);
    QVERIFY(!(permissions & QFile::WriteOwner) || asRoot); // no permission was changed
    scribbet::discardPersistedWindowRestorationState();    // the next launch tries again
    QVERIFY(!exists(target));
}

SCRIBBET_TEST_MAIN(SavedStateTest)
#include "tst_savedstate.moc"
