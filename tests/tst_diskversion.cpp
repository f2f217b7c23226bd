#include "TestSandbox.h"

#include "DiskVersion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

using namespace platform;
using namespace scribbet::testing;

class DiskVersionTest final : public QObject {
    Q_OBJECT

private slots:
    void changeIsToldByStampThenBytes_data();
    void changeIsToldByStampThenBytes();
};

void DiskVersionTest::changeIsToldByStampThenBytes_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("found");
    QTest::addColumn<bool>("confirmed"); // a new stamp for the same bytes
    const int none = int(DiskChange::None);
    const int changed = int(DiskChange::Changed);
    QTest::newRow("nothing") << "" << none << false;
    QTest::newRow("appended") << "append" << changed << false;
    QTest::newRow("replaced by a rename") << "replace" << changed << false;
    QTest::newRow("same size, time put back") << "same size" << changed << false;
    QTest::newRow("deleted") << "delete" << int(DiskChange::Deleted) << false;
    QTest::newRow("only the mode") << "mode" << none << true;
    QTest::newRow("the same bytes written again") << "rewrite" << none << true;
}

// What the document last read or wrote is compared with the file: by its stamp, then, for a
// file of the same size, by its bytes. The check itself changes nothing.
void DiskVersionTest::changeIsToldByStampThenBytes()
{
    QFETCH(QString, change);
    QFETCH(int, found);
    QFETCH(bool, confirmed);
    const QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("doc.txt"));
    const DiskVersion written = saveDocumentFile(file, "on disk");
    const QFileInfo before(file);
    if (change == QLatin1String("append")) {
        QFile appended(file);
        QVERIFY(appended.open(QIODevice::Append) && appended.write("+") == 1);
    } else if (change == QLatin1String("replace")) {
        writeContents(folder.filePath(QStringLiteral("new")), "on disc");
        QCOMPARE(::rename(QFile::encodeName(folder.filePath(QStringLiteral("new"))).constData(),
                          QFile::encodeName(file).constData()),
                 0);
    } else if (change == QLatin1String("same size") || change == QLatin1String("rewrite")) {
        writeContents(file, change == QLatin1String("rewrite") ? "on disk" : "ON DISK");
        QFile(file).setFileTime(before.lastModified(), QFileDevice::FileModificationTime);
    } else if (change == QLatin1String("delete")) {
        QVERIFY(QFile::remove(file));
    } else if (change == QLatin1String("mode")) {
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner));
    }
    const DiskCheck check = checkFile(file, written);
    QCOMPARE(int(check.change), found);
    QCOMPARE(check.confirmed.has_value(), confirmed);
    if (confirmed)
        QCOMPARE(check.confirmed->contentHash, written.contentHash);
    // A document for a file not yet written: any file there is another's.
    QCOMPARE(checkFile(file, std::nullopt).change,
             QFileInfo::exists(file) ? DiskChange::Changed : DiskChange::None);
}

int main(int argc, char *argv[])
{
    const TestSandbox sandbox;
    const QCoreApplication application(argc, argv);
    DiskVersionTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_diskversion.moc"
