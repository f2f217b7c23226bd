#include "TestSandbox.h"

#include "scribbet/WindowPolicy.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTest>

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

void SavedStateTest::failedRemovalLetsLaunchGoOn()
{
    if (::geteuid() == 0)
        QSKIP("root may remove anything");
    const QString target = savedStateOf(scribbet::bundleIdentifier);
    makeFile(target + QStringLiteral("/locked/data"));
    QVERIFY(QFile::setPermissions(target + QStringLiteral("/locked"),
                                  QFile::ReadOwner | QFile::ExeOwner));
    scribbet::discardPersistedWindowRestorationState(); // must neither throw nor stop
    QVERIFY(exists(target + QStringLiteral("/locked/data")));
    QFile::setPermissions(target + QStringLiteral("/locked"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    scribbet::discardPersistedWindowRestorationState(); // the next launch tries again
    QVERIFY(!exists(target));
}

SCRIBBET_TEST_MAIN(SavedStateTest)
#include "tst_savedstate.moc"
