#include "TestSandbox.h"

#include "WindowPolicy.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTest>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

QString stateFolder()
{
    return qEnvironmentVariable("XDG_STATE_HOME") + QStringLiteral("/Saved Application State");
}

QString savedStateOf(const QString &identifier)
{
    return stateFolder() + QLatin1Char('/') + identifier + QStringLiteral(".savedState");
}

void makeFile(const QString &path, const QByteArray &bytes = "state")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

bool exists(const QString &path)
{
    return QFileInfo(path).exists() || QFileInfo(path).isSymLink();
}

// Root may remove anything but what is in an immutable folder.
void setImmutable(const QString &path, bool immutable)
{
    const int folder = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    ::ioctl(folder, FS_IOC_GETFLAGS, &flags);
    flags = immutable ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    ::ioctl(folder, FS_IOC_SETFLAGS, &flags);
    ::close(folder);
}

} // namespace

class SavedStateTest final : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void absentStateTouchesNothing();
    void folderWithContentsGoesAndNeighboursStay();
    void regularFileGoesToo();
    void linkToAFolderGoesAsALinkAndItsFilesSurvive();
    void linksInsideTheStateAreNotFollowed();
    void missingOrUnsafeIdentifierFallsBackToTheApplications_data();
    void missingOrUnsafeIdentifierFallsBackToTheApplications();
    void linkItemsGoWhateverTheyPointAt_data();
    void linkItemsGoWhateverTheyPointAt();
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
    makeFile(m_precious + QStringLiteral("/letter.txt"), "do not lose me");
}

void SavedStateTest::cleanup()
{
    QDir(m_precious).removeRecursively();
}

void SavedStateTest::absentStateTouchesNothing()
{
    makeFile(savedStateOf(QStringLiteral("com.example.Other")) + QStringLiteral("/window.plist"));
    scribbet::discardPersistedWindowRestorationState();
    QVERIFY(exists(savedStateOf(QStringLiteral("com.example.Other")) +
                   QStringLiteral("/window.plist")));
}

void SavedStateTest::folderWithContentsGoesAndNeighboursStay()
{
    const QString target = savedStateOf(scribbet::bundleIdentifier);
    makeFile(target + QStringLiteral("/data.data"));
    makeFile(target + QStringLiteral("/windows/1.plist"));
    makeFile(savedStateOf(QStringLiteral("com.example.Other")) + QStringLiteral("/window.plist"));
    scribbet::discardPersistedWindowRestorationState();
    QVERIFY(!exists(target));
    QVERIFY(QFileInfo(stateFolder()).isDir());
    QVERIFY(exists(savedStateOf(QStringLiteral("com.example.Other")) +
                   QStringLiteral("/window.plist")));
}

void SavedStateTest::regularFileGoesToo()
{
    makeFile(savedStateOf(scribbet::bundleIdentifier));
    scribbet::discardPersistedWindowRestorationState();
    QVERIFY(!exists(savedStateOf(scribbet::bundleIdentifier)));
}

void SavedStateTest::linkToAFolderGoesAsALinkAndItsFilesSurvive()
{
    QDir().mkpath(stateFolder());
    QVERIFY(QFile::link(m_precious, savedStateOf(scribbet::bundleIdentifier)));
    scribbet::discardPersistedWindowRestorationState();
    QVERIFY(!exists(savedStateOf(scribbet::bundleIdentifier)));
    QVERIFY(QFile::exists(m_precious + QStringLiteral("/letter.txt")));
}

void SavedStateTest::linksInsideTheStateAreNotFollowed()
{
    const QString target = savedStateOf(scribbet::bundleIdentifier);
    makeFile(target + QStringLiteral("/data.data"));
    QVERIFY(QFile::link(m_precious, target + QStringLiteral("/elsewhere")));
    scribbet::discardPersistedWindowRestorationState();
    QVERIFY(!exists(target));
    QVERIFY(QFile::exists(m_precious + QStringLiteral("/letter.txt")));
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
    makeFile(savedStateOf(scribbet::bundleIdentifier) + QStringLiteral("/data.data"));
    makeFile(stateFolder() + QStringLiteral("/..savedState/keep"));
    makeFile(stateFolder() + QStringLiteral("/...savedState/keep"));
    scribbet::discardPersistedWindowRestorationState();
    QVERIFY(!exists(savedStateOf(scribbet::bundleIdentifier)));
    QVERIFY(QFile::exists(stateFolder() + QStringLiteral("/..savedState/keep")));
    QVERIFY(QFile::exists(stateFolder() + QStringLiteral("/...savedState/keep")));
    QVERIFY(QFile::exists(m_precious + QStringLiteral("/letter.txt")));
}

void SavedStateTest::linkItemsGoWhateverTheyPointAt_data()
{
    QTest::addColumn<QString>("pointsAt");
    QTest::newRow("dangling") << QStringLiteral("/nowhere/at/all");
    QTest::newRow("itself") << savedStateOf(scribbet::bundleIdentifier);
    QTest::newRow("a file") << m_precious + QStringLiteral("/letter.txt");
}

void SavedStateTest::linkItemsGoWhateverTheyPointAt()
{
    QFETCH(QString, pointsAt);
    QDir().mkpath(stateFolder());
    QVERIFY(QFile::link(pointsAt, savedStateOf(scribbet::bundleIdentifier)));
    scribbet::discardPersistedWindowRestorationState();
    QVERIFY(!exists(savedStateOf(scribbet::bundleIdentifier)));
    QCOMPARE(scribbet::testing::contentsOf(m_precious + QStringLiteral("/letter.txt")),
             "do not lose me");
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

// Another process keeps swapping a folder inside the item with a link to the precious folder.
// Whenever the removal looks, it must find either the folder or the link, and follow neither
// out of the item.
void SavedStateTest::linkSwappedInWhileRemovingLeadsNowhereElse()
{
    for (int file = 0; file < 200; ++file)
        makeFile(m_precious + QStringLiteral("/victim/%1").arg(file));
    const QString target = savedStateOf(scribbet::bundleIdentifier);
    for (int round = 0; round < 30; ++round) {
        for (int file = 0; file < 50; ++file)
            makeFile(target + QStringLiteral("/windows/%1").arg(file));
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
    makeFile(target + QStringLiteral("/locked/data"));
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
