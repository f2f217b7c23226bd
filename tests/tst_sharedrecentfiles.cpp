#include "TestSandbox.h"

#include "SharedRecentFiles.h"
#include "UserDefaults.h"

#include <QDir>
#include <QDomDocument>
#include <QFileInfo>
#include <QStandardPaths>

#include <thread>

using platform::SharedRecentFiles;
using namespace scribbet::testing;

namespace {

QString note(const QString &path)
{
    return SharedRecentFiles::note(path,
                                   {QStringLiteral("Scribbet"), QStringLiteral("scribbet %u")});
}

QByteArray listBytes()
{
    return contentsOf(SharedRecentFiles::listPath());
}

// Each file in the list, with "name exec count" of each application that used it.
QMap<QString, QStringList> entries()
{
    QDomDocument list;
    QMap<QString, QStringList> found;
    if (!list.setContent(listBytes()))
        return {{QStringLiteral("unreadable"), {}}};
    const QDomNodeList used = list.elementsByTagName("bookmark:application");
    for (int each = 0; each < used.size(); ++each) {
        const QDomElement application = used.at(each).toElement();
        found[application.parentNode().parentNode().parentNode().parentNode().toElement().attribute(
            "href")]
            << application.attribute("name") + ' ' + application.attribute("exec") + ' ' +
                   application.attribute("count");
    }
    return found;
}

} // namespace

class SharedRecentFilesTest final : public QObject {
    Q_OBJECT

private slots:
    void anAbsentListIsMadeOtherEntriesStayADamagedOneIsLeftAlone();
    void racingWritersLoseNothingAndTearNothing();
    void listAndSettingsArePrivateAndOnlyInARegularFile_data();
    void listAndSettingsArePrivateAndOnlyInARegularFile();
};

void SharedRecentFilesTest::anAbsentListIsMadeOtherEntriesStayADamagedOneIsLeftAlone()
{
    QCOMPARE(note(QStringLiteral("/tmp/my notes.txt")), QString());
    const QString mine = QStringLiteral("file:///tmp/my%20notes.txt");
    QCOMPARE(entries().value(mine), QStringList{"Scribbet 'scribbet %u' 1"});

    QByteArray list = listBytes();
    list.insert(list.indexOf("<bookmark "),
                "<bookmark href=\"file:///x.png\"><info><metadata owner=\"http://freedesktop.org\">"
                "<bookmark:groups><bookmark:group>Graphics</bookmark:group></bookmark:groups>"
                "<bookmark:applications><bookmark:application name=\"Viewer\" exec=\"'viewer %u'\" "
                "count=\"7\"/></bookmark:applications></metadata></info></bookmark>");
    writeContents(SharedRecentFiles::listPath(), list);
    QCOMPARE(note(QStringLiteral("/tmp/my notes.txt")), QString());
    QCOMPARE(entries().value(mine), QStringList{"Scribbet 'scribbet %u' 2"});
    QCOMPARE(entries().value("file:///x.png"), QStringList{"Viewer 'viewer %u' 7"});
    QVERIFY(listBytes().contains("<bookmark:group>Graphics</bookmark:group>"));

    const QByteArray damaged = listBytes().chopped(20);
    writeContents(SharedRecentFiles::listPath(), damaged);
    QVERIFY(!note(QStringLiteral("/tmp/b.txt")).isEmpty());
    QCOMPARE(listBytes(), damaged);
    QVERIFY(QFile::remove(SharedRecentFiles::listPath()));
}

// Two writers at once: each waits for the other, so both sets of files end up in one whole list.
void SharedRecentFilesTest::racingWritersLoseNothingAndTearNothing()
{
    const auto write = [](char writer) {
        for (int file = 0; file < 20; ++file)
            note(QStringLiteral("/tmp/%1-%2").arg(writer).arg(file));
    };
    std::thread first(write, 'a');
    std::thread second(write, 'b');
    first.join();
    second.join();
    QCOMPARE(entries().size(), 40);
}

void SharedRecentFilesTest::listAndSettingsArePrivateAndOnlyInARegularFile_data()
{
    QTest::addColumn<bool>("isRecentList"); // or the settings
    QTest::addColumn<QString>("standing");  // what stands at the path before
    for (const bool isRecentList : {true, false}) {
        const char *what = isRecentList ? "recent list" : "settings";
        QTest::addRow("%s, new", what) << isRecentList << "";
        QTest::addRow("%s, a named pipe", what) << isRecentList << "pipe";
    }
    QTest::newRow("recent list over 8 MiB") << true << "large";
}

// What is made is the user's alone; a pipe or an oversized list is left as it is, nothing blocks.
void SharedRecentFilesTest::listAndSettingsArePrivateAndOnlyInARegularFile()
{
    QFETCH(bool, isRecentList);
    QFETCH(QString, standing);
    const QString file =
        isRecentList ? SharedRecentFiles::listPath()
                     : QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                           "/test/test.ini";
    QVERIFY(QDir().mkpath(QFileInfo(file).path()));
    if (standing == "pipe")
        QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0644), 0);
    if (standing == "large")
        writeContents(file, R"(<?xml version="1.0"?><xbel version="1.0">)" +
                                QByteArray(8 << 20, ' ') + "</xbel>"); // a valid list
    if (isRecentList) {
        QCOMPARE(note(QStringLiteral("/tmp/a.txt")).isEmpty(), standing.isEmpty());
    } else {
        platform::UserDefaults settings(file);
        settings.setValue(5, "kept");
        QCOMPARE(settings.integer("kept"), 5);
    }
    QCOMPARE(statusOf(file).st_mode & 0777, standing.isEmpty() ? 0600U : 0644U);
    QCOMPARE(S_ISFIFO(statusOf(file).st_mode), standing == "pipe");
    QVERIFY(QFile::remove(file));
}

SCRIBBET_TEST_MAIN(SharedRecentFilesTest)
#include "tst_sharedrecentfiles.moc"
