#include "DocumentAlerts.h"

#include "Document.h"
#include "FileError.h"
#include "OpenQueue.h"
#include "SaveJournal.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

namespace platform {
namespace {

struct DocumentAlerts {
    Q_DECLARE_TR_FUNCTIONS(DocumentAlerts)
};

// Every button of a question answers to Alt and its underlined letter; Cancel also to Escape.
QPushButton *addCancelButton(QMessageBox &box)
{
    QPushButton *cancel = box.addButton(QMessageBox::Cancel);
    cancel->setText(DocumentAlerts::tr("&Cancel"));
    return cancel;
}

} // namespace

SaveChoice askToSaveChanges(const Document &document, QWidget *parent)
{
    QMessageBox box(
        QMessageBox::Warning, DocumentAlerts::tr("Save Changes"),
        DocumentAlerts::tr("Do you want to save the changes you made to the document “%1”?")
            .arg(document.displayName()),
        QMessageBox::NoButton, parent);
    box.setInformativeText(DocumentAlerts::tr("Your changes will be lost if you don’t save them."));
    QPushButton *save = box.addButton(QMessageBox::Save);
    save->setText(DocumentAlerts::tr("&Save"));
    QPushButton *dontSave =
        box.addButton(DocumentAlerts::tr("&Don’t Save"), QMessageBox::DestructiveRole);
    addCancelButton(box);
    box.setDefaultButton(save);
    box.exec();
    if (box.clickedButton() == save)
        return SaveChoice::Save;
    if (box.clickedButton() == dontSave)
        return SaveChoice::DontSave;
    return SaveChoice::Cancel;
}

QuitChoice askToReviewChangesBeforeQuitting(int count, QWidget *parent)
{
    QMessageBox box(QMessageBox::Warning, QGuiApplication::applicationDisplayName(),
                    DocumentAlerts::tr("You have %n documents with unsaved changes. Do you want to "
                                       "review these changes before quitting?",
                                       nullptr, count),
                    QMessageBox::NoButton, parent);
    box.setInformativeText(
        DocumentAlerts::tr("If you don’t review your documents, all your changes will be lost."));
    QPushButton *review =
        box.addButton(DocumentAlerts::tr("&Review Changes…"), QMessageBox::AcceptRole);
    QPushButton *discard =
        box.addButton(DocumentAlerts::tr("&Discard Changes"), QMessageBox::DestructiveRole);
    addCancelButton(box);
    box.setDefaultButton(review);
    box.exec();
    if (box.clickedButton() == review)
        return QuitChoice::ReviewEach;
    return box.clickedButton() == discard ? QuitChoice::DiscardAll : QuitChoice::Cancel;
}

bool confirmRevert(const Document &document, QWidget *parent)
{
    QMessageBox box(QMessageBox::Question, DocumentAlerts::tr("Revert to Saved"),
                    DocumentAlerts::tr("Do you want to revert “%1” to the last saved version?")
                        .arg(document.displayName()),
                    QMessageBox::NoButton, parent);
    box.setInformativeText(DocumentAlerts::tr("Your current changes will be lost."));
    QPushButton *revert =
        box.addButton(DocumentAlerts::tr("&Revert"), QMessageBox::DestructiveRole);
    // Enter must not throw changes away.
    box.setDefaultButton(addCancelButton(box));
    box.exec();
    return box.clickedButton() == revert;
}

OutsideChangeChoice askAboutOutsideChange(const Document &document, bool deleted, QWidget *parent)
{
    const QString name = document.displayName();
    QMessageBox box(
        QMessageBox::Warning, QGuiApplication::applicationDisplayName(),
        deleted ? QCoreApplication::translate(
                      "DocumentAlerts",
                      "The file “%1” has been deleted or moved by another application.")
                      .arg(name)
                : QCoreApplication::translate(
                      "DocumentAlerts", "The file “%1” has been changed by another application.")
                      .arg(name),
        QMessageBox::NoButton, parent);
    box.setInformativeText(
        deleted ? QCoreApplication::translate("DocumentAlerts",
                                              "Saving will create it again with your text.")
                : QCoreApplication::translate("DocumentAlerts",
                                              "Saving will replace what the other application "
                                              "wrote. Reverting will replace your text with it."));
    QPushButton *save =
        box.addButton(deleted ? DocumentAlerts::tr("&Save") : DocumentAlerts::tr("&Save Anyway"),
                      QMessageBox::AcceptRole);
    QPushButton *other =
        box.addButton(deleted ? DocumentAlerts::tr("Save &As…") : DocumentAlerts::tr("&Revert"),
                      deleted ? QMessageBox::ActionRole : QMessageBox::DestructiveRole);
    box.setDefaultButton(addCancelButton(box));
    box.exec();
    if (box.clickedButton() == save)
        return OutsideChangeChoice::SaveAnyway;
    if (box.clickedButton() == other)
        return deleted ? OutsideChangeChoice::SaveAs : OutsideChangeChoice::Revert;
    return OutsideChangeChoice::Cancel;
}

namespace {

QString nameOf(const QString &path)
{
    return QFileInfo(path).fileName();
}

void showNotice(QMessageBox::Icon icon, const QString &message, QWidget *parent)
{
    auto *box = new QMessageBox(icon, QGuiApplication::applicationDisplayName(), message,
                                QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void askAboutChangeSince(InterruptedSave &save, QWidget *parent)
{
    QMessageBox box(QMessageBox::Warning, DocumentAlerts::tr("Interrupted Save"),
                    DocumentAlerts::tr("A save of “%1” was interrupted, and the file has changed "
                                       "since.")
                        .arg(nameOf(save.file)),
                    QMessageBox::NoButton, parent);
    box.setInformativeText(
        DocumentAlerts::tr("A whole copy of “%1” from before that save is in “%2”. Put it back "
                           "over the file, or keep the file as it is now and remove the copy.")
            .arg(QDir::toNativeSeparators(save.file), QDir::toNativeSeparators(save.copy)));
    QPushButton *putBack =
        box.addButton(DocumentAlerts::tr("Put &Back"), QMessageBox::DestructiveRole);
    QPushButton *keep =
        box.addButton(DocumentAlerts::tr("&Keep the File"), QMessageBox::AcceptRole);
    box.setDefaultButton(addCancelButton(box));
    box.exec();
    if (box.clickedButton() == keep) {
        save.note.forget();
        return;
    }
    if (box.clickedButton() != putBack)
        return;
    try {
        putBackFromCopy(save);
    } catch (const FileError &error) {
        save.finding = InterruptedSave::Finding::CouldNotPutBack;
        save.reason = error.systemReason();
    }
}

} // namespace

void settleWithUser(std::vector<InterruptedSave> saves, QWidget *parent)
{
    const QString application = QGuiApplication::applicationDisplayName();
    for (InterruptedSave &save : saves) {
        if (save.finding == InterruptedSave::Finding::ChangedSince)
            askAboutChangeSince(save, parent);
        if (save.finding == InterruptedSave::Finding::PutBack)
            showNotice(QMessageBox::Information,
                       DocumentAlerts::tr("A save of “%1” was interrupted when %2 ended. The "
                                          "file is back as it was before that save.")
                           .arg(nameOf(save.file), application),
                       parent);
        if (save.finding == InterruptedSave::Finding::CouldNotPutBack)
            showNotice(
                QMessageBox::Critical,
                DocumentAlerts::tr("“%1” is damaged: a save of it was interrupted, and it "
                                   "couldn’t be put back as it was. %2 A whole copy of it "
                                   "from before that save is in “%3”.")
                    .arg(nameOf(save.file), save.reason, QDir::toNativeSeparators(save.copy)),
                parent);
    }
}

void showError(const QString &message, QWidget *parent, std::function<void()> saveAs)
{
    auto *box = new QMessageBox(QMessageBox::Critical, QGuiApplication::applicationDisplayName(),
                                message, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (saveAs) {
        QPushButton *button =
            box->addButton(DocumentAlerts::tr("Save &As…"), QMessageBox::ActionRole);
        // Queued, so that the box has closed before the save panel comes up.
        QObject::connect(button, &QPushButton::clicked, QCoreApplication::instance(),
                         std::move(saveAs), Qt::QueuedConnection);
    }
    box->open();
}

void showOpenProblems(const QStringList &problems, qsizetype notOpened, QWidget *parent)
{
    const QLocale locale;
    QStringList lines = problems;
    if (notOpened > 0)
        lines.append(DocumentAlerts::tr("%1 more files weren’t opened: at most %2 are opened at "
                                        "once.")
                         .arg(locale.toString(notOpened), locale.toString(OpenQueue::mostWaiting)));
    if (lines.size() == 1) {
        showError(lines.constFirst(), parent);
        return;
    }
    // The first few are read at a glance; all of them are a click away, in a list that scrolls.
    constexpr int shownAtOnce = 3;
    const qsizetype count = problems.size() + notOpened;
    auto *box = new QMessageBox(
        QMessageBox::Critical, QGuiApplication::applicationDisplayName(),
        DocumentAlerts::tr("%1 files couldn’t be opened.").arg(locale.toString(count)),
        QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setInformativeText(lines.mid(0, shownAtOnce).join(QStringLiteral("\n\n")) +
                            (lines.size() > shownAtOnce ? QStringLiteral("\n\n…") : QString()));
    if (lines.size() > shownAtOnce)
        box->setDetailedText(lines.join(QStringLiteral("\n\n")));
    box->open();
}

} // namespace platform
