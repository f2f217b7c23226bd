#include "TestSandbox.h"

#include "DraftFolder.h"
#include "DraftFormat.h"
#include "DraftWriter.h"

#include <QDir>
#include <QSignalSpy>

#include <sys/file.h>
#include <sys/mount.h>
#include <unistd.h>

using namespace platform;
using namespace scribbet::testing;

namespace {

constexpr qsizetype largestText = 64;

// The text the document's file reads as, for drafts that start from it.
const QByteArray fileText = "file text";
const FileVersion fileVersion{9, 12345};

std::optional<QByteArray> unchangedFile(const DraftHeader &header)
{
    return header.file == fileVersion ? std::optional(fileText) : std::nullopt;
}

DraftHeader headerWith(DraftBase base)
{
    DraftHeader header;
    header.base = base;
    if (base == DraftBase::File) {
        header.filePath = "/home/someone/notes.txt";
        header.file = fileVersion;
    }
    header.createdAt = 1'800'000'000'000;
    return header;
}

QString folder()
{
    return draftFolder::location().value_or(QString());
}

QStringList draftFiles()
{
    return QDir(folder()).entryList(QDir::Files);
}

QByteArray draftText(const QString &name)
{
    const std::optional<DraftContents> draft =
        readDraft(contentsOf(folder() + '/' + name), unchangedFile, qsizetype(1) << 30);
    return draft && draft->text ? *draft->text : QByteArray("<no text>");
}

} // namespace

class DraftsTest final : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void readsBackWhatIsWholeAndNothingElse_data();
    void readsBackWhatIsWholeAndNothingElse();
    void writerKeepsAppendsRestartsAndRemoves();
    void aDraftNobodyHoldsIsLeftAndALeftRestartGoes();
    void aFullFolderIsReportedAndNothingIsLost();
};

void DraftsTest::init()
{
    QDir(folder()).removeRecursively();
}

void DraftsTest::cleanup()
{
    ::umount2(QFile::encodeName(folder()).constData(), MNT_DETACH);
}

void DraftsTest::readsBackWhatIsWholeAndNothingElse_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("text"); // "<none>": no draft; "<gone>": its base is gone
    QTest::addColumn<bool>("isWhole");
    const QByteArray empty = draftRecords::start(headerWith(DraftBase::Empty));
    const QByteArray typed = draftRecords::insertion(0, "helo") + draftRecords::insertion(3, "l") +
                             draftRecords::removal(1, 3) + draftRecords::insertion(1, "ipp");
    QTest::newRow("edits from nothing") << empty + typed << QByteArray("hippo") << true;
    QTest::newRow("edits over a kept text")
        << draftRecords::start(headerWith(DraftBase::Text), "pot") +
               draftRecords::insertion(0, "hip")
        << QByteArray("hippot") << true;
    QTest::newRow("edits over the unchanged file")
        << draftRecords::start(headerWith(DraftBase::File)) + draftRecords::removal(0, 5)
        << QByteArray("text") << true;
    DraftHeader changed = headerWith(DraftBase::File);
    changed.file->hash = 1;
    QTest::newRow("edits over a file that changed")
        << draftRecords::start(changed) + typed << QByteArray("<gone>") << true;
    // What a kill while writing leaves: the last record cut short.
    QTest::newRow("cut short") << (empty + typed).chopped(3) << QByteArray("ho") << false;
    QByteArray flipped = empty + typed;
    flipped[empty.size() + 35] = char(flipped[empty.size() + 35] ^ 1); // in the second edit
    QTest::newRow("a damaged record") << flipped << QByteArray("helo") << false;
    QTest::newRow("an edit beyond the text")
        << empty + draftRecords::insertion(0, "ab") + draftRecords::insertion(3, "c")
        << QByteArray("ab") << false;
    QTest::newRow("a removal beyond the text")
        << empty + draftRecords::insertion(0, "ab") + draftRecords::removal(1, 2)
        << QByteArray("ab") << false;
    QTest::newRow("a text beyond the limit")
        << empty + draftRecords::insertion(0, QByteArray(60, 'a')) +
               draftRecords::insertion(0, QByteArray(5, 'b'))
        << QByteArray(60, 'a') << false;
    QTest::newRow("a kept text beyond the limit")
        << draftRecords::start(headerWith(DraftBase::Text), QByteArray(65, 'a'))
        << QByteArray("<none>") << false;
    QTest::newRow("no draft") << QByteArray("Scribbet draft 1\nhello") << QByteArray("<none>")
                              << false;
    QByteArray header = empty;
    header[20] = char(header[20] ^ 1);
    QTest::newRow("a damaged header") << header + typed << QByteArray("<none>") << false;
}

// A draft reads back as the text its whole records make; a damaged record ends it there.
void DraftsTest::readsBackWhatIsWholeAndNothingElse()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, text);
    QFETCH(bool, isWhole);
    const std::optional<DraftContents> draft = readDraft(bytes, unchangedFile, largestText);
    QCOMPARE(draft.has_value(), text != "<none>");
    if (!draft)
        return;
    QCOMPARE(draft->text.value_or("<gone>"), text);
    QCOMPARE(draft->isWhole, isWhole);
    QCOMPARE(draft->header.filePath, readDraftHeader(bytes)->filePath);
}

void DraftsTest::writerKeepsAppendsRestartsAndRemoves()
{
    DraftWriter writer(unchangedFile);
    QSignalSpy selfContained(&writer, &DraftWriter::becameSelfContained);
    const DraftWriter::Id fromFile = writer.begin(
        headerWith(DraftBase::File), draftRecords::insertion(9, "!"), fileText.size() + 1, 0);
    const DraftWriter::Id untitled =
        writer.begin(headerWith(DraftBase::Empty), draftRecords::insertion(0, "ab"), 2, 0);
    QVERIFY(writer.waitUntilWritten());
    QCOMPARE(draftFiles().size(), 2);
    // A draft of a small file keeps its own text at once, so that the file may change.
    QTRY_COMPARE(selfContained.size(), 1);
    QCOMPARE(selfContained.first().first().toULongLong(), fromFile);
    for (const QString &name : draftFiles()) {
        QCOMPARE(readDraftHeader(contentsOf(folder() + '/' + name))->base,
                 name.startsWith(QString::number(fromFile, 16)) ? DraftBase::Text
                                                                : DraftBase::Empty);
    }
    // Edits that outweigh the text start the draft afresh from its text, edits kept.
    for (int round = 0; round < 40; ++round)
        writer.append(untitled,
                      draftRecords::insertion(2, QByteArray(50'000, 'x')) +
                          draftRecords::removal(2, 50'000),
                      2, 0);
    writer.append(untitled, draftRecords::insertion(2, "c"), 3, 0);
    writer.restart(fromFile, "restarted");
    QVERIFY(writer.waitUntilWritten());
    const QString untitledName = QString::number(untitled, 16) + ".draft";
    QCOMPARE(draftText(untitledName), QByteArray("abc"));
    QCOMPARE(readDraftHeader(contentsOf(folder() + '/' + untitledName))->base, DraftBase::Text);
    QVERIFY(QFileInfo(folder() + '/' + untitledName).size() < 2'000'000); // of 4 MB of edits
    QCOMPARE(draftText(QString::number(fromFile, 16) + ".draft"), QByteArray("restarted"));
    writer.remove(untitled);
    writer.release(fromFile);
    QVERIFY(writer.waitUntilWritten());
    QCOMPARE(draftFiles(), QStringList{QString::number(fromFile, 16) + ".draft"});
    QCOMPARE(leftDrafts(folder()).size(), 1); // let go of: left for a later run
}

// A draft that an editor holds is never offered; one it was starting afresh when it ended goes,
// since the draft it would have replaced is whole. A file there that is no draft stays.
void DraftsTest::aDraftNobodyHoldsIsLeftAndALeftRestartGoes()
{
    const QByteArray draft = draftRecords::start(headerWith(DraftBase::File));
    for (const char *name : {"held.draft", "left.draft", "left.draft.new", "notes.txt"})
        writeContents(folder() + '/' + name, draft);
    const int held = ::open(QFile::encodeName(folder() + "/held.draft").constData(), O_RDONLY);
    QCOMPARE(::flock(held, LOCK_EX), 0);
    const QList<LeftDraft> left = leftDrafts(folder());
    ::close(held);
    QCOMPARE(left.size(), 1);
    QCOMPARE(left.first().path, folder() + "/left.draft");
    QCOMPARE(left.first().header.filePath, headerWith(DraftBase::File).filePath);
    QCOMPARE(draftFiles(), (QStringList{"held.draft", "left.draft", "notes.txt"}));
    std::optional<ClaimedDraft> claimed = ClaimedDraft::claim(left.first().path);
    QVERIFY(claimed && !ClaimedDraft::claim(left.first().path));
    QCOMPARE(claimed->read(1000), draft);
    claimed->remove();
    QCOMPARE(leftDrafts(folder()).size(), 1);
}

// The disk fills: the writer says why, keeps the edits, and writes them all once there is room.
void DraftsTest::aFullFolderIsReportedAndNothingIsLost()
{
    if (::geteuid() != 0)
        QSKIP("a small file system is mounted as root, as CI runs");
    QVERIFY(QDir().mkpath(folder()));
    QCOMPARE(::mount("tmpfs", QFile::encodeName(folder()).constData(), "tmpfs", 0, "size=64k"), 0);
    writeContents(folder() + "/someone else's", "kept");
    DraftWriter writer(unchangedFile);
    QSignalSpy failed(&writer, &DraftWriter::failed);
    const DraftWriter::Id id =
        writer.begin(headerWith(DraftBase::Empty), draftRecords::insertion(0, "a"), 1, 0);
    writer.append(id, draftRecords::insertion(1, QByteArray(100'000, 'b')), 100'001, 0);
    QVERIFY(!writer.waitUntilWritten());
    QTRY_VERIFY(!failed.isEmpty());
    QVERIFY2(failed.first().first().toString().contains("No space left"),
             qPrintable(failed.first().first().toString()));
    QCOMPARE(contentsOf(folder() + "/someone else's"), QByteArray("kept"));
    QCOMPARE(
        ::mount(nullptr, QFile::encodeName(folder()).constData(), nullptr, MS_REMOUNT, "size=1m"),
        0);
    writer.append(id, draftRecords::removal(1, 99'999), 2, 0);
    QVERIFY(writer.waitUntilWritten());
    QCOMPARE(draftText(QString::number(id, 16) + ".draft"), QByteArray("ab"));
}

SCRIBBET_TEST_MAIN(DraftsTest)
#include "tst_drafts.moc"
