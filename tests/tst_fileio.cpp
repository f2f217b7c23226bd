#include "TestSandbox.h"

#include "platform/FileError.h"
#include "platform/FileIO.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using platform::FileError;
using namespace scribbet::testing;

namespace {

int readErrorCode(const QString &path)
{
    try {
        platform::readFile(path);
    } catch (const FileError &error) {
        return error.code();
    }
    return 0;
}

} // namespace

class FileIOTest final : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
    }

    void readsRegularFileBytes();
    void directoryAndPipeHaveNoRegularContents();
    void missingFileIsReadNoSuchFile();
    void unreadableFileIsReadNoPermission();

    void writeCreatesAndReplacesFile();
    void writeKeepsPermissions();
    void writeThroughSymbolicLinkKeepsLink();
    void failedWriteLeavesOldFileAndNoTemporaryFile();
    void writeOnFullDiskFailsAndKeepsOldFile();

private:
    QString path(const QString &name) const { return m_folder->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_folder;
};

void FileIOTest::readsRegularFileBytes()
{
    const QByteArray bytes("a\r\nb\0c\xff", 7);
    writeContents(path("bytes"), bytes);
    QCOMPARE(platform::readFile(path("bytes")).regularFileContents().value_or("<none>"), bytes);
    writeContents(path("empty"), {});
    QCOMPARE(platform::readFile(path("empty")).regularFileContents().value_or("<none>"),
             QByteArray());
}

void FileIOTest::directoryAndPipeHaveNoRegularContents()
{
    QVERIFY(QDir(m_folder->path()).mkdir("folder"));
    QVERIFY(!platform::readFile(path("folder")).regularFileContents().has_value());
    // Nobody writes to this pipe: a reader that blocked on it would hang the test.
    QCOMPARE(::mkfifo(QFile::encodeName(path("pipe")).constData(), 0600), 0);
    QVERIFY(!platform::readFile(path("pipe")).regularFileContents().has_value());
}

void FileIOTest::missingFileIsReadNoSuchFile()
{
    QCOMPARE(readErrorCode(path("missing")), int(FileError::ReadNoSuchFile));
    QCOMPARE(readErrorCode(path("missing/below")), int(FileError::ReadNoSuchFile));
}

void FileIOTest::unreadableFileIsReadNoPermission()
{
    if (::geteuid() == 0)
        QSKIP("root reads every file");
    writeContents(path("secret"), "x");
    QVERIFY(QFile::setPermissions(path("secret"), QFile::WriteOwner));
    QCOMPARE(readErrorCode(path("secret")), int(FileError::ReadNoPermission));
}

void FileIOTest::writeCreatesAndReplacesFile()
{
    platform::writeFileAtomically(path("new.txt"), "first");
    QCOMPARE(contentsOf(path("new.txt")), QByteArray("first"));
    platform::writeFileAtomically(path("new.txt"), "");
    QCOMPARE(contentsOf(path("new.txt")), QByteArray());
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files), QStringList{"new.txt"});
}

void FileIOTest::writeKeepsPermissions()
{
    writeContents(path("script.sh"), "old");
    const auto permissions =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup;
    QVERIFY(QFile::setPermissions(path("script.sh"), permissions));
    platform::writeFileAtomically(path("script.sh"), "new");
    QCOMPARE(contentsOf(path("script.sh")), QByteArray("new"));
    // Qt reports the owner's bits twice, as "owner" and as "user"; the user's are left out.
    const auto ownerGroupOther = QFile::Permissions(0x7077);
    QCOMPARE(QFile::permissions(path("script.sh")) & ownerGroupOther, permissions);
}

void FileIOTest::writeThroughSymbolicLinkKeepsLink()
{
    QVERIFY(QDir(m_folder->path()).mkdir("real"));
    writeContents(path("real/target.txt"), "old");
    QVERIFY(QFile::link(path("real/target.txt"), path("link.txt")));
    platform::writeFileAtomically(path("link.txt"), "new");
    QVERIFY(QFileInfo(path("link.txt")).isSymLink());
    QCOMPARE(QFileInfo(path("link.txt")).symLinkTarget(), path("real/target.txt"));
    QCOMPARE(contentsOf(path("real/target.txt")), QByteArray("new"));
}

void FileIOTest::failedWriteLeavesOldFileAndNoTemporaryFile()
{
    try {
        platform::writeFileAtomically(path("no/such/folder/file.txt"), "x");
        QFAIL("a write into a missing folder succeeded");
    } catch (const FileError &error) {
        QVERIFY(error.code() >= FileError::WriteUnknown);
        QVERIFY(!error.message(path("file.txt")).isEmpty());
    }
    QVERIFY(QDir(m_folder->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

// A full disk is a tmpfs of a few kilobytes, which only root can mount.
void FileIOTest::writeOnFullDiskFailsAndKeepsOldFile()
{
    QVERIFY(QDir(m_folder->path()).mkdir("small"));
    const QByteArray mountPoint = QFile::encodeName(path("small"));
    if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") != 0)
        QSKIP("cannot mount a small tmpfs here (needs root)");
    const QString file = path("small/document.txt");
    writeContents(file, "precious");
    try {
        platform::writeFileAtomically(file, QByteArray(1024 * 1024, 'x'));
        ::umount(mountPoint.constData());
        QFAIL("a write larger than the disk succeeded");
    } catch (const FileError &error) {
        QCOMPARE(error.code(), FileError::WriteOutOfSpace);
    }
    const QByteArray left = contentsOf(file);
    const QStringList entries =
        QDir(path("small")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    ::umount(mountPoint.constData());
    QCOMPARE(left, QByteArray("precious"));
    QCOMPARE(entries, QStringList{"document.txt"});
}

QTEST_GUILESS_MAIN(FileIOTest)
#include "tst_fileio.moc"
