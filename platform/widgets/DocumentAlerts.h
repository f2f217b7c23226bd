#pragma once

#include <QStringList>

#include <functional>
#include <vector>

class QWidget;

namespace platform {

class Document;
struct InterruptedSave;

enum class SaveChoice { Save, DontSave, Cancel };
enum class OutsideChangeChoice { SaveAnyway, Revert, SaveAs, Cancel };
enum class QuitChoice { ReviewEach, DiscardAll, Cancel };

/// Asks whether to save the changes to `document` before they would be lost.
SaveChoice askToSaveChanges(const Document &document, QWidget *parent);

/// Asks, before quitting with `count` edited documents, whether to go through them one at a time,
/// throw all their changes away, or stay. Review is the default.
QuitChoice askToReviewChangesBeforeQuitting(int count, QWidget *parent);

/// Asks whether to throw away the changes to `document` and go back to its file.
bool confirmRevert(const Document &document, QWidget *parent);

/// Asks what to do now that another program has changed the document's file, or deleted it,
/// since the document last read or wrote it. Cancel is the default.
OutsideChangeChoice askAboutOutsideChange(const Document &document, bool deleted, QWidget *parent);

/// Tells what interrupted saves left, and asks about each file that changed since, whose copy
/// then goes back or goes; "later" leaves it for the next launch or open.
void settleWithUser(std::vector<InterruptedSave> saves, QWidget *parent);

/// Shows an error without waiting for it to be dismissed. With `saveAs`, it offers to save
/// elsewhere, and calls `saveAs` when the user takes that.
void showError(const QString &message, QWidget *parent, std::function<void()> saveAs = {});

/// Tells in one message, without waiting for it to be dismissed, what went wrong opening files
/// handed over at once: each problem, the list scrolling when long, and how many more files
/// were not opened.
void showOpenProblems(const QStringList &problems, qsizetype notOpened, QWidget *parent);

} // namespace platform
