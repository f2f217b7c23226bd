#include "DraftWriter.h"

#include "DraftFolder.h"
#include "FileError.h"
#include "FileIO.h"
#include "PosixFile.h"

#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <new>
#include <unordered_map>

#include <fcntl.h>
#include <sys/file.h>

namespace platform {
namespace {

// A draft this small is started afresh with its own text at once; a larger one keeps starting
// from its file until its edits outweigh it.
constexpr qsizetype largestTextToCopyAtOnce = qsizetype(16) << 20;
constexpr qsizetype slack = qsizetype(1) << 20;

struct KeptDraft {
    QString path;
    DraftHeader header;
    FileDescriptor file;
    qint64 end = 0; // where the next record goes
    QByteArray unwritten;
    qsizetype textSize = 0;
    qsizetype journalSize = 0;
    qsizetype bytesMoved = 0;
};

bool syncFolderOf(const QString &path)
{
    const FileDescriptor folder(::open(QFile::encodeName(path.left(path.lastIndexOf('/'))),
                                       O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return folder.isValid() && ::fsync(folder.get()) == 0;
}

FileDescriptor createLocked(const QString &path)
{
    FileDescriptor file(::open(QFile::encodeName(path).constData(),
                               O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!file.isValid() || ::flock(file.get(), LOCK_EX | LOCK_NB) != 0 ||
        ::ftruncate(file.get(), 0) != 0)
        return {};
    return file;
}

bool writeAndSync(const FileDescriptor &file, const QByteArray &bytes, qint64 offset)
{
    return writeAll(file.get(), bytes.constData(), bytes.size(), off_t(offset)) &&
           ::fdatasync(file.get()) == 0;
}

} // namespace

class DraftWorker final : public QObject {
public:
    DraftWorker(DraftFileText fileText, DraftWriter *writer)
        : m_fileText(std::move(fileText))
        , m_writer(writer)
    {}

    void begin(DraftWriter::Id id, const DraftHeader &header, QByteArray edits, qsizetype textSize,
               qsizetype bytesMoved)
    {
        KeptDraft &kept = m_drafts[id];
        kept.header = header;
        kept.unwritten = std::move(edits);
        kept.textSize = textSize;
        kept.bytesMoved = bytesMoved;
        if (writeOut(id, kept))
            startAfreshIfDue(id, kept);
    }

    void append(DraftWriter::Id id, const QByteArray &edits, qsizetype textSize,
                qsizetype bytesMoved)
    {
        const auto found = m_drafts.find(id);
        if (found == m_drafts.end())
            return;
        KeptDraft &kept = found->second;
        kept.unwritten += edits;
        kept.textSize = textSize;
        kept.bytesMoved += bytesMoved;
        if (writeOut(id, kept))
            startAfreshIfDue(id, kept);
    }

    void restart(DraftWriter::Id id, const QByteArray &text)
    {
        const auto found = m_drafts.find(id);
        if (found == m_drafts.end())
            return;
        found->second.unwritten.clear(); // the text has every edit made so far
        found->second.textSize = text.size();
        startAfresh(id, found->second, text);
    }

    void remove(DraftWriter::Id id)
    {
        const auto found = m_drafts.find(id);
        if (found == m_drafts.end())
            return;
        if (found->second.file.isValid())
            QFile::remove(found->second.path);
        m_drafts.erase(found);
    }

    void release(DraftWriter::Id id) { m_drafts.erase(id); }

    bool isEverythingWritten() const
    {
        return std::all_of(m_drafts.begin(), m_drafts.end(), [](const auto &each) {
            return each.second.file.isValid() && each.second.unwritten.isEmpty();
        });
    }

private:
    QString pathFor(DraftWriter::Id id, int *error) const
    {
        const std::optional<QString> folder = draftFolder::location();
        *error = errno;
        return folder ? draftFolder::draftPath(*folder, QString::number(id, 16)) : QString();
    }

    // Puts the edits not yet on disk there, making the draft's file first when it has none.
    // A write that fails is cut back off, so that the file always ends after a whole record.
    bool writeOut(DraftWriter::Id id, KeptDraft &kept)
    {
        bool isNew = false;
        if (!kept.file.isValid()) {
            int error = 0;
            kept.path = pathFor(id, &error);
            if (kept.path.isEmpty() || !(kept.file = createLocked(kept.path)).isValid())
                return report(kept.path, kept.path.isEmpty() ? error : errno);
            kept.end = 0;
            kept.unwritten.prepend(draftRecords::start(kept.header));
            isNew = true;
        }
        if (!writeAndSync(kept.file, kept.unwritten, kept.end)) {
            const int error = errno;
            // Should this fail too, the next write still starts at kept.end, and the reader
            // stops at the first record whose check fails, so a stray tail is never read.
            [[maybe_unused]] const int cut = ::ftruncate(kept.file.get(), off_t(kept.end));
            return report(kept.path, error);
        }
        if (isNew && !syncFolderOf(kept.path))
            return report(kept.path, errno);
        kept.end += kept.unwritten.size();
        kept.journalSize += kept.unwritten.size();
        kept.unwritten.clear();
        return true;
    }

    void startAfreshIfDue(DraftWriter::Id id, KeptDraft &kept)
    {
        const bool needsItsFile = kept.header.base == DraftBase::File;
        if (!(needsItsFile && kept.textSize <= largestTextToCopyAtOnce) &&
            kept.journalSize <= kept.textSize + slack &&
            kept.bytesMoved <= 16 * kept.textSize + 16 * slack)
            return;
        std::optional<DraftContents> contents;
        try {
            QByteArray bytes(qsizetype(kept.end), Qt::Uninitialized);
            if (::pread(kept.file.get(), bytes.data(), size_t(bytes.size()), 0) != kept.end)
                return;
            contents = readDraft(bytes, m_fileText, ReadLimits().largestFile);
        } catch (const FileError &) {
        } catch (const std::bad_alloc &) {
            return; // tried again after the next edits
        }
        if (!contents || !contents->text)
            emit m_writer->lostItsBase(id);
        else
            startAfresh(id, kept, *contents->text);
    }

    // Writes the draft anew beside the old one, from `text` and the edits still to be written,
    // and renames it over the old one once it is on disk.
    void startAfresh(DraftWriter::Id id, KeptDraft &kept, const QByteArray &text)
    {
        if (!kept.file.isValid()) {
            // Not on disk yet: the text goes first once it can be.
            kept.header.base = DraftBase::Empty;
            kept.unwritten.prepend(draftRecords::insertion(0, text));
            return;
        }
        DraftHeader header = kept.header;
        header.base = DraftBase::Text;
        const QString restarted = kept.path + QStringLiteral(".new");
        FileDescriptor file = createLocked(restarted);
        QByteArray bytes = draftRecords::start(header, text) + kept.unwritten;
        if (!file.isValid() || !writeAndSync(file, bytes, 0) ||
            ::rename(QFile::encodeName(restarted).constData(),
                     QFile::encodeName(kept.path).constData()) != 0) {
            const int error = errno;
            QFile::remove(restarted);
            report(restarted, error);
            return;
        }
        syncFolderOf(kept.path);
        kept.file = std::move(file);
        kept.header = header;
        kept.end = bytes.size();
        kept.journalSize = kept.unwritten.size();
        kept.bytesMoved = 0;
        kept.unwritten.clear();
        emit m_writer->becameSelfContained(id);
    }

    bool report(const QString &path, int error)
    {
        emit m_writer->failed(path.isEmpty()
                                  ? systemReason(error)
                                  : QStringLiteral("%1: %2").arg(path, systemReason(error)));
        return false;
    }

    DraftFileText m_fileText;
    DraftWriter *m_writer;
    std::unordered_map<DraftWriter::Id, KeptDraft> m_drafts;
};

DraftWriter::DraftWriter(DraftFileText fileText, QObject *parent)
    : QObject(parent)
    , m_worker(new DraftWorker(std::move(fileText), this))
{
    m_thread.setObjectName(QStringLiteral("drafts"));
    m_worker->moveToThread(&m_thread);
    m_thread.start(QThread::LowPriority);
}

DraftWriter::~DraftWriter()
{
    waitUntilWritten();
    m_thread.quit();
    m_thread.wait();
    delete m_worker; // lets go of every draft it still kept
}

template <class Job> void DraftWriter::post(Job job)
{
    QMetaObject::invokeMethod(m_worker, std::move(job), Qt::QueuedConnection);
}

DraftWriter::Id DraftWriter::begin(const DraftHeader &header, QByteArray edits, qsizetype textSize,
                                   qsizetype bytesMoved)
{
    const Id id = QRandomGenerator::system()->generate64();
    post([worker = m_worker, id, header, edits = std::move(edits), textSize, bytesMoved] {
        worker->begin(id, header, edits, textSize, bytesMoved);
    });
    return id;
}

void DraftWriter::append(Id draft, QByteArray edits, qsizetype textSize, qsizetype bytesMoved)
{
    post([worker = m_worker, draft, edits = std::move(edits), textSize, bytesMoved] {
        worker->append(draft, edits, textSize, bytesMoved);
    });
}

void DraftWriter::restart(Id draft, QByteArray text)
{
    post([worker = m_worker, draft, text = std::move(text)] { worker->restart(draft, text); });
}

void DraftWriter::remove(Id draft)
{
    post([worker = m_worker, draft] { worker->remove(draft); });
}

void DraftWriter::release(Id draft)
{
    post([worker = m_worker, draft] { worker->release(draft); });
}

bool DraftWriter::waitUntilWritten()
{
    bool isWhole = false;
    QMetaObject::invokeMethod(
        m_worker, [this, &isWhole] { isWhole = m_worker->isEverythingWritten(); },
        Qt::BlockingQueuedConnection);
    return isWhole;
}

} // namespace platform
