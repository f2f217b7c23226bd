#include "TestSandbox.h"

#include "FileError.h"
#include "FileIO.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <memory>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/xattr.h>
#include <unistd.h>

using platform::FileError;
using namespace scribbet::testing;

namespace {

using Make = std::function<void(const QString &)>;

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

QByteArray outputOf(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished();
    return process.readAllStandardOutput();
}

// What must survive a save: who owns the file, its mode, its links, its inode flags, every
// extended attribute (access control lists included).
QByteArray identityOf(const QString &path)
{
    return outputOf(QStringLiteral("stat"), {QStringLiteral("-c%u %g %a %h"), path}) +
           outputOf(QStringLiteral("lsattr"), {QStringLiteral("-d"), path}) +
           outputOf(QStringLiteral("getfattr"),
                    {QStringLiteral("-dhe"), QStringLiteral("hex"), QStringLiteral("-m-"), path});
}

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

// What the user is told when `operation` on `path` fails; empty when it succeeds.
template <class Operation> QString failureOf(const QString &path, Operation operation)
{
    try {
        operation();
        return {};
    } catch (const FileError &error) {
        return error.message(path);
    }
}

struct ProbeResult {
    int exitCode;
    QString output;
};

// Saves `bytes` to `path` in a process of its own, started through `prefix`.
ProbeResult probeWrite(const QStringList &prefix, const QString &path, const QByteArray &bytes)
{
    QProcess probe;
    // LeakSanitizer cannot run under strace; the same code runs in this process with it.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    probe.setProcessEnvironment(environment);
    QStringList command = prefix;
    command << QStringLiteral(FILE_PROBE) << QStringLiteral("write") << path;
    probe.start(command.takeFirst(), command);
    probe.write(bytes);
    probe.closeWriteChannel();
    if (!probe.waitForFinished(60000))
        return {-1, QStringLiteral("the probe did not finish")};
    return {probe.exitStatus() == QProcess::NormalExit ? probe.exitCode() : -2,
            QString::fromUtf8(probe.readAllStandardOutput() + probe.readAllStandardError())};
}

QStringList injected(const QString &fault)
{
    return QStringLiteral("strace -f -qq -o /dev/null -e inject=%1").arg(fault).split(' ');
}

QDir journal()
{
    return {qEnvironmentVariable("XDG_STATE_HOME") +
            QStringLiteral("/scribbet-tests/unfinished-saves")};
}

const QStringList asNobody =
    QStringLiteral("setpriv --reuid=65534 --regid=65534 --clear-groups").split(' ');

} // namespace

class FileIOTest final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void readsBytesAndNeverBlocks();
    void readStaysWithinItsLimits_data();
    void readStaysWithinItsLimits();
    void unreadableFileIsReadNoPermission();

    void saveKeepsWhatTheFileWas_data();
    void saveKeepsWhatTheFileWas();
    void saveRefusesWhatIsNotARegularFile_data();
    void saveRefusesWhatIsNotARegularFile();
    void failedSaveLeavesTheFileAsItWas_data();
    void failedSaveLeavesTheFileAsItWas();
    void killedSaveLeavesLitterThatOnlyTheNextSaveRemoves();
    void newFileTakesTheUmask_data();
    void newFileTakesTheUmask();
    void killedSaveInPlaceIsSettledByTheNextLaunch_data();
    void killedSaveInPlaceIsSettledByTheNextLaunch();

private:
    QString path(const QString &name) const { return m_folder->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_folder;
    QStringList m_mounts;
    QStringList m_immutable;
};

void FileIOTest::initTestCase()
{
    if (::geteuid() != 0)
        QSKIP("the faults are provoked as root, as CI runs");
}

void FileIOTest::init()
{
    journal().removeRecursively();
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    // Another user must reach the folder for the rows that save as nobody.
    QFile::setPermissions(m_folder->path(), QFile::Permissions(0x7755));
}

// Whatever a failed row provoked is undone, so that no mount or flag outlives the test.
void FileIOTest::cleanup()
{
    for (const QString &file : std::exchange(m_immutable, {}))
        setImmutable(file, false);
    for (const QString &mount : std::exchange(m_mounts, {}))
        ::umount2(encoded(mount).constData(), MNT_DETACH);
}

void FileIOTest::readsBytesAndNeverBlocks()
{
    const QByteArray bytes("a\r\nb\0c\xff", 7);
    writeContents(path("bytes"), bytes);
    QCOMPARE(platform::readFile(path("bytes")).file.regularFileContents().value_or("-"), bytes);
    writeContents(path("empty"), {});
    QCOMPARE(platform::readFile(path("empty")).file.regularFileContents().value_or("-"), "");
    // Nobody writes to this pipe: a reader that blocked on it would hang the test.
    QCOMPARE(::mkfifo(encoded(path("pipe")).constData(), 0600), 0);
    QVERIFY(!platform::readFile(path("pipe")).file.regularFileContents());
    // Checked a piece at a time, a file hashes as its bytes do in memory, and one byte tells.
    QByteArray large(qsizetype(3) * 1024 * 1024 + 5, 'x');
    writeContents(path("large"), large);
    QCOMPARE(platform::digestFile(path("large")).hash, platform::contentHash(large));
    large[qsizetype(2) * 1024 * 1024] = 'y';
    QVERIFY(platform::digestFile(path("large")).hash != platform::contentHash(large));
}

void FileIOTest::readStaysWithinItsLimits_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("refusal");                             // empty when the file opens
    const QByteArray lines = QByteArray("0123456789\n").repeated(90); // 990 bytes
    const QString tooLarge = QStringLiteral("Files of up to");
    QTest::newRow("just within") << QString() << lines << QString();
    QTest::newRow("one byte more than the largest")
        << QString() << lines + "0123456789a" << tooLarge;
    QTest::newRow("a line longer than the longest")
        << QString() << QByteArray(200, 'x') + lines.left(700) << QStringLiteral("Lines of up to");
    QTest::newRow("lines ended by CR")
        << QString() << QByteArray(lines).replace('\n', '\r') << QString();
    // A pseudo-file states no size and never ends: only counting what is read stops it.
    QTest::newRow("page map of a process")
        << QStringLiteral("/proc/self/pagemap") << QByteArray() << tooLarge;
}

void FileIOTest::readStaysWithinItsLimits()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, refusal);
    if (file.isEmpty()) {
        file = path("limited.txt");
        writeContents(file, bytes);
    }
    const QString message = failureOf(file, [&] {
        QCOMPARE(*platform::readFile(file, {1000, 150}).file.regularFileContents(), bytes);
    });
    QVERIFY2(refusal.isEmpty() ? message.isEmpty() : message.contains(refusal),
             qPrintable(message));

    // With the usual gigabyte allowed, a pseudo-file still costs no more than 64 MiB. (Not under
    // AddressSanitizer: it keeps freed buffers in quarantine, so its peak counts every size the
    // buffer grew through.)
#ifndef __SANITIZE_ADDRESS__
    if (file.startsWith("/proc/")) {
        const auto peakKilobytes = [] {
            rusage usage{};
            ::getrusage(RUSAGE_SELF, &usage);
            return usage.ru_maxrss;
        };
        const long before = peakKilobytes();
        QVERIFY(failureOf(file, [&] { platform::readFile(file); }).contains(refusal));
        QCOMPARE_LT(peakKilobytes() - before, 100 * 1024);
    }
#endif
}

void FileIOTest::unreadableFileIsReadNoPermission()
{
    writeContents(path("secret"), "x");
    QVERIFY(QFile::setPermissions(path("secret"), QFile::WriteOwner));
    QCOMPARE(::seteuid(65534), 0); // as nobody, for as long as the read takes
    const QString message =
        failureOf(path("secret"), [this] { platform::readFile(path("secret")); });
    QCOMPARE(::seteuid(0), 0);
    QVERIFY2(message.contains(QStringLiteral("permission to view it")), qPrintable(message));
}

void FileIOTest::saveKeepsWhatTheFileWas_data()
{
    QTest::addColumn<Make>("make");
    const auto plain = [](const QString &file) {
        writeContents(file, "old");
    };
    const auto withMode = [plain](mode_t mode) {
        return [plain, mode](const QString &file) {
            plain(file);
            ::chmod(encoded(file).constData(), mode);
        };
    };
    QTest::newRow("new file") << Make([](const QString &) {});
    QTest::newRow("owner and group of another user") << Make([plain](const QString &file) {
        plain(file);
        ::chown(encoded(file).constData(), 1234, 5678);
    });
    QTest::newRow("read only") << Make(withMode(0444));
    QTest::newRow("set user, set group and sticky") << Make(withMode(07755));
    QTest::newRow("inode flags: no dump, synchronous") << Make([plain](const QString &file) {
        plain(file);
        QCOMPARE(QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+dS"), file}), 0);
    });
    QTest::newRow("no ACL, in a folder with a default ACL") << Make([plain](const QString &file) {
        plain(file);
        ::chmod(encoded(file).constData(), 0640);
        QCOMPARE(QProcess::execute("setfacl", {"-d", "-m", "u:nobody:rwx", QFileInfo(file).path()}),
                 0);
    });
    QTest::newRow("extended attribute") << Make([plain](const QString &file) {
        plain(file);
        ::setxattr(encoded(file).constData(), "user.origin", "kept", 4, 0);
    });
    QTest::newRow("access control list") << Make([plain](const QString &file) {
        plain(file);
        QCOMPARE(QProcess::execute(QStringLiteral("setfacl"),
                                   {QStringLiteral("-m"), QStringLiteral("u:1234:rw"), file}),
                 0);
    });
    QTest::newRow("hard link") << Make([plain](const QString &file) {
        plain(file);
        ::link(encoded(file).constData(), encoded(file + QStringLiteral(".other")).data());
    });
}

// Every save keeps the file's identity, leaves nothing beside it, and a link keeps pointing at
// the file, which gets the bytes.
void FileIOTest::saveKeepsWhatTheFileWas()
{
    QFETCH(Make, make);
    QVERIFY(QDir(m_folder->path()).mkdir("real"));
    const QString file = path("real/doc.txt");
    make(file);
    QVERIFY(QFile::link(file, path("link.txt")));
    const bool existed = QFileInfo::exists(file);
    const QString before = identityOf(file);
    const ino_t inode = statusOf(file).st_ino;
    const QStringList entries = entriesOf(path("real"));
    for (const QString &via : {file, path("link.txt")}) {
        const platform::FileStamp stamp = platform::writeFile(via, "new bytes");
        QCOMPARE(contentsOf(file), QByteArray("new bytes"));
        QCOMPARE(stamp.inode, statusOf(file).st_ino);
    }
    QVERIFY(QFileInfo(path("link.txt")).isSymLink());
    if (!existed)
        return;
    QCOMPARE(identityOf(file), before);
    QCOMPARE(entriesOf(path("real")), entries);
    if (statusOf(file).st_nlink > 1) {
        QCOMPARE(statusOf(file).st_ino, inode);
        QCOMPARE(contentsOf(file + QStringLiteral(".other")), QByteArray("new bytes"));
    }
}

void FileIOTest::saveRefusesWhatIsNotARegularFile_data()
{
    QTest::addColumn<Make>("make");
    QTest::addColumn<QString>("reason");
    QTest::newRow("named pipe") << Make([](const QString &node) {
        ::mkfifo(encoded(node).constData(), 0600);
    }) << QStringLiteral("named pipe");
    QTest::newRow("device") << Make([](const QString &node) {
        ::mknod(encoded(node).constData(), S_IFCHR | 0600, makedev(1, 7));
    }) << QStringLiteral("device");
    QTest::newRow("socket") << Make([](const QString &node) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, encoded(node).constData(), sizeof address.sun_path);
        const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QCOMPARE(::bind(socket, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
        ::close(socket);
    }) << QStringLiteral("socket");
    QTest::newRow("folder") << Make([](const QString &node) { QDir().mkdir(node); })
                            << QStringLiteral("folder");
    QTest::newRow("link to itself")
        << Make([](const QString &node) { QFile::link(node, node); }) << QStringLiteral("levels");
    // Writing this one would only rename the test's own thread, were the refusal missing.
    QTest::newRow("a kernel interface in /proc") << Make([](const QString &node) {
        QFile::link(QStringLiteral("/proc/thread-self/comm"), node);
    }) << QStringLiteral("belongs to the system");
}

// Through a link, as a file changed from a terminal would be: nothing is written, nothing
// blocks, and the node is left as it was.
void FileIOTest::saveRefusesWhatIsNotARegularFile()
{
    QFETCH(Make, make);
    QFETCH(QString, reason);
    make(path("node"));
    QVERIFY(QFile::link(path("node"), path("doc.txt")));
    const mode_t type = statusOf(path("node")).st_mode & S_IFMT;
    const QStringList entries = entriesOf(m_folder->path());
    const QString message =
        failureOf(path("doc.txt"), [this] { platform::writeFile(path("doc.txt"), "text"); });
    QVERIFY2(message.contains(reason) && message.contains(QStringLiteral("“doc.txt”")),
             qPrintable(message));
    QCOMPARE(statusOf(path("node")).st_mode & S_IFMT, type);
    QCOMPARE(entriesOf(m_folder->path()), entries);
}

void FileIOTest::failedSaveLeavesTheFileAsItWas_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("reason");
    QTest::newRow("full disk") << "full disk"
                               << "enough space";
    QTest::newRow("write error") << "inject=pwrite64:error=EIO"
                                 << "Input/output error";
    QTest::newRow("sync error") << "inject=fsync:error=EIO"
                                << "Input/output error";
    QTest::newRow("rename error") << "inject=rename,renameat,renameat2:error=EIO"
                                  << "Input/output error";
    // A file with other links is written in place: first the backup copy fails, then the file's
    // own sync after it was overwritten, when only the copy can put it back.
    QTest::newRow("hard link, copy fails") << "links inject=pwrite64:error=EIO:when=2"
                                           << "Input/output error";
    QTest::newRow("hard link, sync error after writing") << "links inject=fsync:error=EIO:when=3"
                                                         << "Input/output error";
    QTest::newRow("another user") << "nobody"
                                  << "Permission denied";
    QTest::newRow("read-only file of the user's own, in a folder they may write")
        << "nobody read-only"
        << "Permission denied";
    QTest::newRow("immutable") << "immutable"
                               << "Operation not permitted";
    QTest::newRow("read-only mount") << "read-only"
                                     << "read only";
}

// One oracle for every fault: the file is byte for byte what it was, with its identity; the
// user is told why; nothing is left beside it; and once the fault is gone, a save goes through.
void FileIOTest::failedSaveLeavesTheFileAsItWas()
{
    QFETCH(QString, fault);
    QFETCH(QString, reason);
    const QString folder = path("place");
    QVERIFY(QDir().mkpath(folder));
    if (fault == QLatin1String("full disk")) {
        QCOMPARE(::mount("tmpfs", encoded(folder).constData(), "tmpfs", 0, "size=64k"), 0);
        m_mounts << folder;
    }
    const QString file = folder + QStringLiteral("/doc.txt");
    writeContents(file, "precious");
    QStringList prefix;
    if (fault.startsWith(QLatin1String("inject")))
        prefix = injected(fault.mid(7));
    if (fault.startsWith(QLatin1String("links"))) {
        QCOMPARE(::link(encoded(file).constData(), encoded(path("other name")).constData()), 0);
        prefix = injected(fault.section(QLatin1Char(' '), 1).mid(7));
    }
    if (fault.startsWith(QLatin1String("nobody")))
        prefix = asNobody;
    if (fault == QLatin1String("nobody read-only")) {
        for (const QString &own : {folder, file})
            QCOMPARE(::chown(encoded(own).constData(), 65534, 65534), 0);
        QVERIFY(
            QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    }
    if (fault == QLatin1String("immutable")) {
        setImmutable(file, true);
        m_immutable << file;
    }
    if (fault == QLatin1String("read-only")) {
        QCOMPARE(::mount(encoded(folder).constData(), encoded(folder).constData(), nullptr, MS_BIND,
                         nullptr),
                 0);
        m_mounts << folder;
        QCOMPARE(::mount(nullptr, encoded(folder).constData(), nullptr,
                         MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr),
                 0);
    }
    const QString identity = identityOf(file);
    const ino_t inode = statusOf(file).st_ino;
    const QStringList entries = entriesOf(folder);

    const ProbeResult result = probeWrite(prefix, file, QByteArray(qsizetype(1024) * 1024, 'x'));
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.output.contains(QStringLiteral("“doc.txt”")) && result.output.contains(reason),
             qPrintable(result.output));
    QCOMPARE(contentsOf(file), QByteArray("precious"));
    QCOMPARE(identityOf(file), identity);
    QCOMPARE(statusOf(file).st_ino, inode);
    QCOMPARE(entriesOf(folder), entries);

    cleanup();
    if (fault == QLatin1String("full disk"))
        return; // the disk is gone with its fault
    QCOMPARE(probeWrite({}, file, "current text").exitCode, 0);
    QCOMPARE(contentsOf(file), QByteArray("current text"));
}

// A save killed between linking its file in and the rename leaves that file; the next save
// removes it, and never a file of the user's with a name just like it.
void FileIOTest::killedSaveLeavesLitterThatOnlyTheNextSaveRemoves()
{
    const QString file = path("doc.txt");
    writeContents(file, "precious");
    const QString lookalike = path(".doc.txt.scribbet-tests-0123456789abcdef~");
    writeContents(lookalike, "the user's own");
    for (int kill = 0; kill < 2; ++kill) {
        const ProbeResult killed = probeWrite(
            injected(QStringLiteral("renameat,renameat2:signal=SIGKILL")), file, "new text");
        QVERIFY(killed.exitCode != 0);
    }
    QCOMPARE(contentsOf(file), QByteArray("precious"));
    QStringList litter = entriesOf(m_folder->path());
    litter.removeAll(QStringLiteral("doc.txt"));
    litter.removeAll(QFileInfo(lookalike).fileName());
    QCOMPARE(litter.size(), 2);
    // The user has since put a file of their own where one of them was: that one is not litter.
    // (The litter moves aside rather than going, so that the new file cannot take its inode.)
    QVERIFY(QFile::rename(path(litter.at(0)), path("aside")));
    writeContents(path(litter.at(0)), "the user's own too");

    QCOMPARE(probeWrite({}, file, "next text").exitCode, 0);
    QCOMPARE(contentsOf(file), QByteArray("next text"));
    QStringList kept{QFileInfo(lookalike).fileName(), litter.at(0), QStringLiteral("doc.txt"),
                     QStringLiteral("aside")};
    kept.sort();
    QCOMPARE(entriesOf(m_folder->path()), kept);
}

void FileIOTest::newFileTakesTheUmask_data()
{
    QTest::addColumn<QString>("umask");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("defaultAcl"); // of the folder
    QTest::newRow("022") << "022"
                         << "644"
                         << "";
    QTest::newRow("077") << "077"
                         << "600"
                         << "";
    QTest::newRow("002") << "002"
                         << "664"
                         << "";
    QTest::newRow("a folder's default ACL, not the umask") << "077"
                                                           << "644"
                                                           << "u:nobody:r";
}

// As touch makes it: what the umask leaves of 0666, or what the folder's default ACL gives.
void FileIOTest::newFileTakesTheUmask()
{
    QFETCH(QString, umask);
    QFETCH(QString, mode);
    QFETCH(QString, defaultAcl);
    if (!defaultAcl.isEmpty())
        QCOMPARE(QProcess::execute("setfacl", {"-d", "-m", defaultAcl, m_folder->path()}), 0);
    const QStringList withUmask{QStringLiteral("sh"), QStringLiteral("-c"),
                                QStringLiteral("umask %1 && exec \"$0\" \"$@\"").arg(umask)};
    QCOMPARE(probeWrite(withUmask, path("new.txt"), "new").exitCode, 0);
    QCOMPARE(
        QProcess::execute("sh", {"-c", "umask " + umask + " && touch \"$0\"", path("touched")}), 0);
    QCOMPARE(outputOf(QStringLiteral("stat"), {QStringLiteral("-c%a"), path("new.txt")}).trimmed(),
             mode.toUtf8());
    const auto acl = [this](const char *name) {
        return outputOf(QStringLiteral("getfacl"), {QStringLiteral("-cp"), path(name)});
    };
    QCOMPARE(acl("new.txt"), acl("touched"));
}

void FileIOTest::killedSaveInPlaceIsSettledByTheNextLaunch_data()
{
    QTest::addColumn<QString>("killedAt");
    QTest::addColumn<QString>("thenDone");
    QTest::addColumn<QString>("told"); // by the launch that follows
    QTest::addColumn<QByteArray>("file");
    const QByteArray old(100'000, 'o');
    const QByteArray saved(10'000, 'n');
    QTest::newRow("copying the file") << "ftruncate:when=1"
                                      << ""
                                      << "" << old;
    QTest::newRow("noting the write") << "fdatasync:when=1"
                                      << ""
                                      << "" << old;
    QTest::newRow("writing") << "pwrite64:when=4"
                             << ""
                             << "" << old;
    QTest::newRow("cutting the file to size, torn") << "ftruncate:when=2"
                                                    << ""
                                                    << "put back" << old;
    QTest::newRow("syncing the written file") << "fsync:when=3"
                                              << ""
                                              << "" << saved;
    QTest::newRow("torn, then replaced by someone") << "ftruncate:when=2"
                                                    << "replace"
                                                    << "changed since" << QByteArray("someone's");
    QTest::newRow("torn, and immutable since") << "ftruncate:when=2"
                                               << "immutable"
                                               << "could not put back" << saved + old.mid(10'000);
}

// A save of a file with other names is written in place; killed at any step, the next launch
// leaves the file whole, puts a torn one back from its copy and says so, or asks when the file
// changed since; the copy stays until the file is whole.
void FileIOTest::killedSaveInPlaceIsSettledByTheNextLaunch()
{
    QFETCH(QString, killedAt);
    QFETCH(QString, thenDone);
    QFETCH(QString, told);
    QFETCH(QByteArray, file);
    const QString doc = path("doc.txt");
    writeContents(doc, QByteArray(100'000, 'o'));
    QCOMPARE(::link(encoded(doc).constData(), encoded(path("other name")).constData()), 0);
    const ProbeResult killed =
        probeWrite(injected(killedAt + ":signal=SIGKILL"), doc, QByteArray(10'000, 'n'));
    QCOMPARE(killed.exitCode, -2);
    if (thenDone == QLatin1String("replace")) {
        writeContents(path("theirs"), "someone's");
        QVERIFY(QFile::remove(doc) && QFile::rename(path("theirs"), doc));
    } else if (thenDone == QLatin1String("immutable")) {
        setImmutable(doc, true);
        m_immutable << doc;
    }
    QProcess launch;
    launch.start(QStringLiteral(FILE_PROBE), {QStringLiteral("settle")});
    QVERIFY(launch.waitForFinished());
    const QString said = QString::fromUtf8(launch.readAllStandardOutput());
    QCOMPARE(said, told.isEmpty() ? QString() : told + ' ' + doc + '\n');
    QCOMPARE(contentsOf(doc), file);
    QCOMPARE(journal().entryList(QDir::Files).size(),
             told.isEmpty() || told == QLatin1String("put back") ? 0 : 2);
    cleanup();
    if (thenDone == QLatin1String("immutable")) { // the next launch tries again
        launch.start(QStringLiteral(FILE_PROBE), {QStringLiteral("settle")});
        QVERIFY(launch.waitForFinished());
        QCOMPARE(contentsOf(doc), QByteArray(100'000, 'o'));
    }
}

int main(int argc, char *argv[])
{
    const TestSandbox sandbox;
    const QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("scribbet-tests"));
    FileIOTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_fileio.moc"
