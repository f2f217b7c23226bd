#include "Drafts.h"

#include "DesktopNotification.h"
#include "Document.h"
#include "DocumentAlerts.h"
#include "DocumentController.h"
#include "DocumentWindow.h"
#include "DraftKeeper.h"
#include "DraftWriter.h"
#include "FileError.h"
#include "FileIO.h"
#include "TextEditor.h"
#include "TextPieces.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QThreadPool>

#include <algorithm>
#include <memory>
#include <new>

namespace platform {
namespace {

struct FileText {
    FileVersion version;
    QByteArray text;
};

// The file's bytes and its text as the document type reads them; nothing when it cannot be read.
std::optional<FileText> readFileText(const DocumentScene &scene, const QByteArray &path)
{
    try {
        DocumentFile read = readDocumentFile(QFile::decodeName(path));
        const FileVersion version = read.version.bytes();
        const std::optional<QByteArray> text =
            scene.read(std::move(read.file))->fileWrapper().regularFileContents();
        if (text)
            return FileText{version, *text};
    } catch (const FileError &) {
    } catch (const std::bad_alloc &) {
    }
    return std::nullopt;
}

QString titleOf(const DraftHeader &header, const std::optional<QByteArray> &text)
{
    if (!header.isUntitled())
        return QFileInfo(QFile::decodeName(header.filePath)).fileName();
    const QByteArray start = text.value_or(QByteArray()).left(400);
    const auto lineEnd = std::find_if(start.begin(), start.end(), isLineBreak);
    QString line = QString::fromUtf8(start.first(lineEnd - start.begin())).trimmed();
    if (line.isEmpty())
        return QCoreApplication::translate("Document", "Untitled");
    constexpr qsizetype longest = 40;
    if (line.size() > longest)
        line = line.left(longest - 1) + QStringLiteral("…");
    return QStringLiteral("“%1”").arg(line);
}

QWidget *frontWindow()
{
    return QApplication::activeWindow();
}

} // namespace

Drafts::Drafts(DocumentController &controller, std::shared_ptr<const DocumentScene> scene)
    : m_controller(controller)
    , m_writer(std::make_unique<DraftWriter>(fileTextReader(scene)))
    , m_read(std::move(scene))
    , m_fileText(fileTextReader(m_read))
{
    connect(m_writer.get(), &DraftWriter::failed, this, &Drafts::tellCannotBeKept);
}

Drafts::~Drafts() = default;

void Drafts::keep(Document *document)
{
    document->keepDrafts(*m_writer);
}

void Drafts::keepNow(const QList<Document *> &documents)
{
    for (const Document *document : documents) {
        if (DraftKeeper *keeper = document->draftKeeper())
            keeper->keepNow();
    }
    m_writer->waitUntilWritten();
}

// Told once: typing and saving go on as before, only a kill would now lose unsaved changes.
void Drafts::tellCannotBeKept(const QString &reason)
{
    if (std::exchange(m_hasToldCannotBeKept, true))
        return;
    showError(tr("Unsaved changes can’t be kept for recovery: %1 Should %2 end before you save, "
                 "they would be lost. Saving works as before.")
                  .arg(reason, QGuiApplication::applicationDisplayName()),
              m_controller.mostRecentWindow());
}

DraftFileText Drafts::fileTextReader(const std::shared_ptr<const DocumentScene> &scene)
{
    return [scene](const DraftHeader &header) -> std::optional<QByteArray> {
        std::optional<FileText> file = readFileText(*scene, header.filePath);
        if (!file || !header.file || file->version != *header.file)
            return std::nullopt;
        return std::move(file->text);
    };
}

std::optional<Drafts::Found> Drafts::take(const QString &draftPath, const DraftFileText &fileText)
{
    std::optional<ClaimedDraft> claimed = ClaimedDraft::claim(draftPath);
    if (!claimed)
        return std::nullopt;
    try {
        const ReadLimits limits;
        std::optional<DraftContents> contents =
            readDraft(claimed->read(2 * limits.largestFile), fileText, limits.largestFile);
        if (contents)
            return Found{std::move(*claimed), std::move(*contents)};
    } catch (const FileError &) {
    } catch (const std::bad_alloc &) {
    }
    return std::nullopt; // left where it is, for a later run with more memory
}

// An untitled document left empty, or a file's draft that holds what the file holds.
bool Drafts::hasNothingNew(const Found &found, const Reader &read)
{
    const std::optional<QByteArray> &text = found.contents.text;
    if (!text)
        return false;
    if (found.contents.header.isUntitled())
        return text->isEmpty();
    const std::optional<FileText> file = readFileText(*read, found.contents.header.filePath);
    return file && file->text == *text;
}

std::optional<DraftSummary> Drafts::summarize(const LeftDraft &left, const Reader &read,
                                              const DraftFileText &fileText)
{
    std::optional<Found> found = take(left.path, fileText);
    if (!found)
        return std::nullopt;
    if (hasNothingNew(*found, read)) {
        found->draft.remove();
        return std::nullopt;
    }
    const std::optional<QByteArray> &text = found->contents.text;
    return DraftSummary{left.path, titleOf(left.header, text), left.lastWritten,
                        text ? text->size() : 0};
}

void Drafts::lookForLeftDrafts()
{
    const std::optional<QString> folder = draftFolder::location();
    if (!folder)
        return;
    QThreadPool::globalInstance()->start(
        [self = QPointer<Drafts>(this), folder = *folder, read = m_read, fileText = m_fileText] {
            QList<DraftSummary> found;
            for (const LeftDraft &left : platform::leftDrafts(folder)) {
                if (std::optional<DraftSummary> summary = summarize(left, read, fileText))
                    found.append(*summary);
            }
            QMetaObject::invokeMethod(
                qApp,
                [self, found] {
                    if (!self)
                        return;
                    for (const DraftSummary &summary : found)
                        self->m_summaries.insert(summary.draftPath, summary);
                    if (!found.isEmpty())
                        self->notifyDesktop(found);
                },
                Qt::QueuedConnection);
        });
}

QList<DraftSummary> Drafts::leftDraftSummaries()
{
    const std::optional<QString> folder = draftFolder::location();
    if (!folder)
        return {};
    QList<DraftSummary> summaries;
    for (const LeftDraft &left : platform::leftDrafts(*folder)) {
        const auto known = m_summaries.constFind(left.path);
        if (known == m_summaries.constEnd() || known->lastWritten != left.lastWritten) {
            const std::optional<DraftSummary> summary = summarize(left, m_read, m_fileText);
            if (!summary)
                continue;
            m_summaries.insert(left.path, *summary);
        }
        summaries.prepend(m_summaries.value(left.path));
    }
    return summaries;
}

void Drafts::offerDraftFor(Document *document)
{
    const std::optional<QString> folder = draftFolder::location();
    if (!folder || document->isUntitled())
        return;
    const QString canonical = QFileInfo(document->filePath()).canonicalFilePath();
    QList<LeftDraft> left = platform::leftDrafts(*folder);
    std::reverse(left.begin(), left.end()); // the newest first
    for (const LeftDraft &newest : left) {
        const QString path = QFile::decodeName(newest.header.filePath);
        if (path != document->filePath() && QFileInfo(path).canonicalFilePath() != canonical)
            continue;
        std::optional<Found> found = take(newest.path, m_fileText);
        if (!found)
            continue;
        if (hasNothingNew(*found, m_read)) {
            found->draft.remove();
            continue;
        }
        m_summaries.remove(newest.path);
        if (!found->contents.text)
            tellCannotRecover(*found, document->window());
        else
            ask(document, std::move(*found), newest.lastWritten);
        return;
    }
}

void Drafts::ask(Document *document, Found found, const QDateTime &lastWritten)
{
    const DraftHeader &header = found.contents.header;
    const std::optional<DiskVersion> &version = document->diskVersion();
    const bool changedSince =
        header.file != (version ? std::optional(version->bytes()) : std::nullopt);
    auto *box = new QMessageBox(
        QMessageBox::Question, tr("Recover Unsaved Changes"),
        tr("“%1” has unsaved changes from %2.")
            .arg(document->displayName(), QLocale().toString(lastWritten, QLocale::ShortFormat)),
        QMessageBox::NoButton, document->window());
    const QString application = QGuiApplication::applicationDisplayName();
    box->setInformativeText(
        changedSince ? tr("%1 kept them when it ended without saving them. The file has changed "
                          "on disk since: recovering shows them over what the file holds now. "
                          "The file changes only when you save.")
                           .arg(application)
                     : tr("%1 kept them when it ended without saving them. Recovering shows them "
                          "in the window; the file changes only when you save.")
                           .arg(application));
    QPushButton *recover = box->addButton(tr("&Recover"), QMessageBox::AcceptRole);
    QPushButton *discard = box->addButton(tr("&Discard"), QMessageBox::DestructiveRole);
    box->setEscapeButton(box->addButton(tr("&Not Now"), QMessageBox::RejectRole));
    box->setDefaultButton(recover);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    auto scope = std::make_shared<Document::ModalScope>(document);
    auto kept = std::make_shared<Found>(std::move(found));
    connect(box, &QMessageBox::finished, this,
            [this, box, recover, discard, scope, kept, document = QPointer<Document>(document)] {
                if (box->clickedButton() == discard)
                    kept->draft.remove();
                else if (box->clickedButton() == recover && document &&
                         m_controller.documents().contains(document))
                    recoverInto(document, std::move(*kept));
            });
    box->open();
}

void Drafts::recover(const QString &draftPath)
{
    std::optional<Found> found = take(draftPath, m_fileText);
    if (!found)
        return;
    m_summaries.remove(draftPath);
    const DraftHeader &header = found->contents.header;
    if (!found->contents.text) {
        tellCannotRecover(*found, frontWindow());
        return;
    }
    Document *document = nullptr;
    if (!header.isUntitled())
        document = m_controller.openDocumentWithContentsOf(
            QFile::decodeName(header.filePath), DocumentController::MissingFile::MakesANewDocument);
    // Untitled, or a file that can no longer be read: the text is recovered all the same.
    if (!document)
        document = m_controller.emptyUntitledDocument();
    recoverInto(document, std::move(*found));
}

void Drafts::recoverAll()
{
    for (const DraftSummary &summary : leftDraftSummaries())
        recover(summary.draftPath);
}

void Drafts::discardAll(QWidget *over)
{
    QMessageBox box(QMessageBox::Warning, tr("Discard Unsaved Work"),
                    tr("Do you want to discard all the unsaved changes that were kept?"),
                    QMessageBox::NoButton, over);
    box.setInformativeText(tr("They were kept when %1 ended without saving them. Discarding "
                              "them can’t be undone.")
                               .arg(QGuiApplication::applicationDisplayName()));
    QPushButton *discard = box.addButton(tr("&Discard All"), QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(QMessageBox::Cancel);
    cancel->setText(tr("&Cancel"));
    box.setDefaultButton(cancel);
    box.exec();
    if (box.clickedButton() != discard)
        return;
    for (const DraftSummary &summary : leftDraftSummaries()) {
        if (std::optional<ClaimedDraft> claimed = ClaimedDraft::claim(summary.draftPath))
            claimed->remove();
    }
    m_summaries.clear();
}

// The draft goes only once the document's own draft holds the recovered text.
void Drafts::recoverInto(Document *document, Found found)
{
    TextEditor *editor = document->textEditor();
    if (!editor)
        return;
    editor->replaceTextAsEdit(*found.contents.text);
    if (DraftKeeper *keeper = document->draftKeeper())
        keeper->keepNow();
    if (m_writer->waitUntilWritten())
        found.draft.remove();
    if (!found.contents.isWhole)
        showError(tr("Part of the unsaved changes to “%1” was damaged; what came before the "
                     "damage is recovered.")
                      .arg(document->displayName()),
                  document->window());
}

void Drafts::tellCannotRecover(const Found &found, QWidget *over)
{
    showError(tr("The unsaved changes to “%1” can’t be recovered: they were kept as changes to "
                 "the file, which has changed since. They stay in “%2”.")
                  .arg(titleOf(found.contents.header, std::nullopt), found.draft.path()),
              over);
}

void Drafts::notifyDesktop(const QList<DraftSummary> &found)
{
    QStringList titles;
    for (const DraftSummary &summary : found)
        titles.append(summary.title);
    const QString application = QGuiApplication::applicationDisplayName();
    const QString body =
        (found.size() == 1
             ? tr("One document had unsaved changes when %1 last ended: %2.").arg(application)
             : tr("%1 documents had unsaved changes when %2 last ended: %3.")
                   .arg(found.size())
                   .arg(application))
            .arg(titles.join(QStringLiteral(", "))) +
        QLatin1Char(' ') + tr("They are under File › Recover Unsaved Work.");
    const QString recoverAllLabel = tr("Recover All");
    auto *notification = new DesktopNotification(
        tr("Unsaved changes can be recovered"), body,
        {QStringLiteral("default"), recoverAllLabel, QStringLiteral("recover"), recoverAllLabel},
        this);
    connect(notification, &DesktopNotification::actionInvoked, this, &Drafts::recoverAll);
    notification->show();
}

} // namespace platform
