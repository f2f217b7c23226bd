#include "ModalAnswers.h"
#include "TestSandbox.h"

#include "ScribbetApp.h"

#include "Document.h"
#include "DocumentController.h"
#include "DocumentWindow.h"
#include "DraftFolder.h"
#include "DraftKeeper.h"
#include "Drafts.h"
#include "FileIO.h"
#include "FileUris.h"
#include "FindBar.h"
#include "Panels.h"
#include "RecentDocuments.h"
#include "ScintillaControl.h"
#include "TextEditor.h"
#include "UserDefaults.h"

#include <QAccessible>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPrintDialog>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTimer>
#include <QTranslator>

#include <memory>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

using platform::Document;
using platform::DocumentController;
using namespace scribbet::testing;

namespace {

platform::TextEditor *editorOf(const Document *document)
{
    auto *view = qobject_cast<scribbet::EditorView *>(document->window()->centralWidget());
    return view ? view->textEditor() : nullptr;
}

void typeAtEnd(const Document *document, const QString &text)
{
    platform::TextEditor *editor = editorOf(document);
    editor->select({editor->length(), editor->length()});
    for (const QChar character : text) {
        if (character.unicode() < 0x80) {
            QTest::keyClick(editor, char(character.unicode()));
            continue;
        }
        // Letters beyond ASCII arrive as an input method commits them.
        QInputMethodEvent commit;
        commit.setCommitString(character);
        QCoreApplication::sendEvent(editor, &commit);
    }
}

// The item with the standard shortcut `key` in the window's menu at `index` (File 0, Edit 1).
QAction *menuItem(const Document *document, int index, const QKeySequence &key)
{
    for (QAction *action : document->window()->menuBar()->actions().at(index)->menu()->actions()) {
        if (!action->shortcut().isEmpty() && action->shortcut() == key)
            return action;
    }
    return nullptr;
}

QString draftFolder()
{
    return platform::draftFolder::location().value_or(QString());
}

// The texts of the drafts on disk, held by an editor or not.
QByteArrayList draftTexts()
{
    const auto fileText = platform::Drafts::fileTextReader(scribbet::ScribbetApp::body().scene());
    QByteArrayList texts;
    for (const QString &name : QDir(draftFolder()).entryList({"*.draft"}, QDir::Files)) {
        const auto draft =
            platform::readDraft(contentsOf(draftFolder() + '/' + name), fileText, 1 << 20);
        texts.append(draft && draft->text ? *draft->text : "<unreadable>");
    }
    return texts;
}

// A draft that an editor which ended left for the file at `path`, starting from what it held.
void leaveDraft(const QString &path, const QByteArray &onDisk, platform::DraftBase base,
                const QByteArray &edits)
{
    platform::DraftHeader header;
    header.filePath = QFile::encodeName(path);
    header.file = platform::FileVersion{onDisk.size(), platform::contentHash(onDisk)};
    header.base = base;
    writeContents(draftFolder() + "/left.draft",
                  platform::draftRecords::start(header, onDisk) + edits);
}

// Clicks, in each of the next message boxes in turn, the button with the given text.
void clickInMessageBoxes(const QStringList &texts)
{
    if (texts.isEmpty())
        return;
    answerNextModal<QMessageBox>([texts](QMessageBox *box) {
        clickInMessageBoxes(texts.mid(1));
        for (QAbstractButton *button : box->buttons()) {
            if (button->text() == texts.constFirst())
                return button->click();
        }
        box->reject();
    });
}

class EventRecorder final : public QObject {
public:
    EventRecorder(QObject *parent, std::function<void(QObject *, QEvent *)> record)
        : QObject(parent)
        , m_record(std::move(record))
    {}
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        m_record(watched, event);
        return false;
    }

private:
    std::function<void(QObject *, QEvent *)> m_record;
};

} // namespace

class DocumentControllerTest final : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void newDocumentsAreEmptyIndependentAndNumbered();
    void undoToTheSavePointAndSaveWriteExactlyWhatTheEditorHolds();
    void saveAsThroughThePanelMakesTheFileTheDocuments();
    void revertGoesBackToTheFile();
    void recentDocumentsKeepFiveMostRecentExistingWithoutDuplicates();
    void openingAnOpenFileBringsItsWindowForward();
    void missingFileNamedOpensANewDocumentForIt();
    void fileDroppedOnTheTextOpens();
    void readErrorsNameTheFileAndOpenNothing_data();
    void readErrorsNameTheFileAndOpenNothing();
    void closingAsksFirst_data();
    void closingAsksFirst();
    void quitAsksAboutEachDocumentOverItsWindowBroughtForward();
    void saveRefusedForPermissionOffersSaveAs();
    void outsideChangeIsNeverOverwrittenSilently_data();
    void outsideChangeIsNeverOverwrittenSilently();
    void cleanDocumentFollowsItsFileAndEditedOneWaits();
    void launchDocumentGivesWayOnlyWhileUntouched();
    void runningOutOfMemoryWhileOpeningIsAMessage();
    void editMenuIsTheRightClickMenuAndGreysOutOnlyWhileItShows();
    void printPutsTheTextOnThePage();
    void draftFollowsTheDocumentsLife_data();
    void draftFollowsTheDocumentsLife();
    void leftDraftIsOfferedWhenItsFileOpens_data();
    void leftDraftIsOfferedWhenItsFileOpens();
    void leftDraftsAreRecoveredFromTheMenu();
    void stateFolderThatCannotKeepDraftsIsToldOnce_data();
    void stateFolderThatCannotKeepDraftsIsToldOnce();
    void legacyEncodingIsChosenAtOpenAndAskedAboutAtTheFirstSave_data();
    void legacyEncodingIsChosenAtOpenAndAskedAboutAtTheFirstSave();
    void quitWithSeveralEditedDocumentsAsksOnceFirst_data();
    void quitWithSeveralEditedDocumentsAsksOnceFirst();
    void goToLineSaysWhereTheCaretIsAndMovesIt();
    void titleTellsOfAnOutsideChangeUntilItIsSettled();
    void windowsAndTheFindBarFitTheScreen_data();
    void windowsAndTheFindBarFitTheScreen();
    void namesMeanWhatTheKernelMeans();
    void filesHandedOverAtOnceAreBoundedAndToldOnce();

private:
    QString path(const QString &name) const { return m_folder->filePath(name); }
    Document *open(const QString &name, const QByteArray &bytes);

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<DocumentController> m_controller;
};

void DocumentControllerTest::init()
{
    QDir(draftFolder()).removeRecursively();
    m_folder = std::make_unique<QTemporaryDir>();
    scribbet::storeDocumentSettings();
    m_controller = std::make_unique<DocumentController>(scribbet::ScribbetApp::body().scene(),
                                                        platform::UserDefaults::standard());
    m_controller->recentDocuments().clear();
}

void DocumentControllerTest::cleanup()
{
    m_controller.reset();
    qDeleteAll(shownMessageBoxes());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

Document *DocumentControllerTest::open(const QString &name, const QByteArray &bytes)
{
    writeContents(path(name), bytes);
    return m_controller->openDocumentWithContentsOf(path(name));
}

void DocumentControllerTest::newDocumentsAreEmptyIndependentAndNumbered()
{
    Document *first = m_controller->newDocument();
    Document *second = m_controller->newDocument();
    QCOMPARE(first->window()->windowTitle(), QStringLiteral("Untitled[*]"));
    QCOMPARE(second->window()->windowTitle(), QStringLiteral("Untitled 2[*]"));
    typeAtEnd(first, QStringLiteral("only here"));
    QCOMPARE(editorOf(first)->utf8Text(), QByteArray("only here"));
    QCOMPARE(editorOf(second)->utf8Text(), QByteArray());
    QVERIFY(!second->isEdited());
}

// Undoing back to the save point makes the document unedited again, before a save and after it,
// and a save writes exactly what the editor holds, without anything beside it and without holding
// up the window.
void DocumentControllerTest::undoToTheSavePointAndSaveWriteExactlyWhatTheEditorHolds()
{
    Document *document = open(QStringLiteral("crlf.txt"), QByteArray("one\r\ntwo\0\r\n", 11));
    typeAtEnd(document, QStringLiteral("dreiü")); // one word: one undo step
    QVERIFY(document->isEdited() && document->window()->isWindowModified());
    editorOf(document)->undo();
    QVERIFY(!document->isEdited());
    editorOf(document)->redo();
    // While the file is checked and written the window answers, and a request to close waits.
    bool answered = false;
    QMetaObject::invokeMethod(
        document->window(),
        [&] { answered = document->isInModalSession() && !document->window()->close(); },
        Qt::QueuedConnection);
    QVERIFY(m_controller->saveDocument(document));
    QVERIFY(answered && document->window()->isVisible());
    QCOMPARE(contentsOf(path("crlf.txt")), QByteArray("one\r\ntwo\0\r\ndrei\xc3\xbc", 17));
    QVERIFY(!document->isEdited());
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files), QStringList{"crlf.txt"});
    editorOf(document)->undo();
    QVERIFY(document->isEdited());
}

void DocumentControllerTest::saveAsThroughThePanelMakesTheFileTheDocuments()
{
    Document *document = m_controller->newDocument();
    typeAtEnd(document, QStringLiteral("héllo"));
    const QString target = path(QStringLiteral("chosen.txt"));
    answerNextModal<platform::SavePanel>([target](platform::SavePanel *panel) {
        panel->selectFile(target);
        QMetaObject::invokeMethod(panel, "accept");
    });
    QVERIFY(m_controller->saveDocumentAs(document));
    QCOMPARE(contentsOf(target), QByteArray("h\xc3\xa9llo"));
    QCOMPARE(document->filePath(), target);
    QCOMPARE(document->window()->windowTitle(), QStringLiteral("chosen.txt[*]"));
    // A screen reader names the text by the document.
    QCOMPARE(QAccessible::queryAccessibleInterface(editorOf(document))->text(QAccessible::Name),
             QStringLiteral("chosen.txt"));
    QCOMPARE(m_controller->recentDocuments().files(), QStringList{target});

    answerNextModal<platform::SavePanel>([](platform::SavePanel *panel) { panel->reject(); });
    typeAtEnd(document, QStringLiteral("!"));
    QVERIFY(!m_controller->saveDocumentAs(document));
    QVERIFY(document->isEdited());
    QCOMPARE(contentsOf(target), QByteArray("h\xc3\xa9llo"));
}

void DocumentControllerTest::revertGoesBackToTheFile()
{
    Document *document = open(QStringLiteral("revert.txt"), "kept\r\n");
    typeAtEnd(document, QStringLiteral("thrown away"));
    pressInNextMessageBox(Qt::Key_Return); // Enter must not throw changes away
    m_controller->revertDocumentToSaved(document);
    QVERIFY(document->isEdited());
    pressInNextMessageBox(Qt::ALT | Qt::Key_R);
    m_controller->revertDocumentToSaved(document);
    QCOMPARE(editorOf(document)->utf8Text(), QByteArray("kept\r\n"));
    QVERIFY(!document->isEdited());
    typeAtEnd(document, QStringLiteral("x"));
    QVERIFY(document->isEdited());
}

void DocumentControllerTest::recentDocumentsKeepFiveMostRecentExistingWithoutDuplicates()
{
    QStringList opened;
    for (int index = 1; index <= 7; ++index) {
        const QString name = QStringLiteral("file%1.txt").arg(index);
        Document *document = open(name, "x");
        opened.prepend(path(name));
        m_controller->closeDocument(document);
    }
    QCOMPARE(m_controller->recentDocuments().files(), opened.mid(0, 5));
    m_controller->openDocumentWithContentsOf(path("file5.txt"));
    QCOMPARE(m_controller->recentDocuments().files(),
             (QStringList{path("file5.txt"), path("file7.txt"), path("file6.txt"),
                          path("file4.txt"), path("file3.txt")}));
    QVERIFY(QFile::remove(path("file6.txt")));
    QCOMPARE(
        m_controller->recentDocuments().files(),
        (QStringList{path("file5.txt"), path("file7.txt"), path("file4.txt"), path("file3.txt")}));
    m_controller->recentDocuments().clear();
    QVERIFY(m_controller->recentDocuments().files().isEmpty());
}

void DocumentControllerTest::openingAnOpenFileBringsItsWindowForward()
{
    Document *first = open(QStringLiteral("same.txt"), "same");
    m_controller->newDocument();
    QCOMPARE(m_controller->openDocumentWithContentsOf(path("same.txt")), first);
    QVERIFY(QDir(m_folder->path()).mkdir("sub"));
    QCOMPARE(m_controller->openDocumentWithContentsOf(path("sub/../same.txt")), first);
    QCOMPARE(m_controller->documents().size(), 2);
}

// A name given on the command line that no file has yet opens a new document that will be saved
// there: nothing is made on disk before the save, and a missing folder is an error then.
void DocumentControllerTest::missingFileNamedOpensANewDocumentForIt()
{
    const QString file = path("new/notes.txt");
    Document *document = m_controller->openDocumentWithContentsOf(
        file, DocumentController::MissingFile::MakesANewDocument);
    QCOMPARE(document->window()->windowTitle(), QStringLiteral("notes.txt[*]"));
    typeAtEnd(document, QStringLiteral("first"));
    QVERIFY(!m_controller->saveDocument(document) && !QFileInfo::exists(file));
    QVERIFY(QDir().mkpath(path("new")) && m_controller->saveDocument(document));
    QCOMPARE(contentsOf(file), QByteArray("first"));
}

void DocumentControllerTest::fileDroppedOnTheTextOpens()
{
    writeContents(path("dropped.txt"), "dropped");
    Document *document = m_controller->newDocument();
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(path("dropped.txt"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    for (QEvent *event : std::initializer_list<QEvent *>{&enter, &drop}) // as a real drag goes
        QCoreApplication::sendEvent(
            editorOf(document)->findChild<platform::ScintillaControl *>()->viewport(), event);
    QTRY_COMPARE(m_controller->documents().size(), 2);
    QCOMPARE(editorOf(m_controller->documents().constLast())->utf8Text(), QByteArray("dropped"));
    QCOMPARE(editorOf(document)->utf8Text(), QByteArray()); // no path typed into the text
}

void DocumentControllerTest::readErrorsNameTheFileAndOpenNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("directory") << "folder.txt"
                               << "isn’t a regular file";
    QTest::newRow("missing") << "missing.txt"
                             << "no such file";
}

void DocumentControllerTest::readErrorsNameTheFileAndOpenNothing()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QDir(m_folder->path()).mkdir(QStringLiteral("folder.txt"));

    QVERIFY(!m_controller->openDocumentWithContentsOf(path(name)));
    QVERIFY(m_controller->documents().isEmpty());
    // As at launch, the window comes right after the error, and the error stays over it.
    const Document *launch = m_controller->openUntitledDocument();
    QTRY_COMPARE(shownMessageBoxes().size(), 1);
    QCOMPARE(shownMessageBoxes().constFirst()->parentWidget(), launch->window());
    const QString message = shownMessageBoxes().constFirst()->text();
    QVERIFY2(message.contains(QStringLiteral("“%1”").arg(name)) && message.contains(reason),
             qPrintable(message));
}

void DocumentControllerTest::closingAsksFirst_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("byQuitting");
    QTest::addColumn<QByteArray>("onDisk");
    QTest::addColumn<bool>("closed");
    const auto key = [](QKeyCombination combination) {
        return combination.toCombined();
    };
    QTest::newRow("Escape") << key(Qt::Key_Escape) << false << QByteArray("old") << false;
    QTest::newRow("Alt+C, cancel")
        << key(Qt::ALT | Qt::Key_C) << false << QByteArray("old") << false;
    QTest::newRow("Alt+D, don't save")
        << key(Qt::ALT | Qt::Key_D) << false << QByteArray("old") << true;
    QTest::newRow("Enter, save") << key(Qt::Key_Return) << false << QByteArray("old new") << true;
    QTest::newRow("Alt+S, save") << key(Qt::ALT | Qt::Key_S) << false << QByteArray("old new")
                                 << true;
    QTest::newRow("quit, Escape") << key(Qt::Key_Escape) << true << QByteArray("old") << false;
}

// An edited document asks before it closes, alone or at quit; an unedited one never asks.
void DocumentControllerTest::closingAsksFirst()
{
    QFETCH(int, answer);
    QFETCH(bool, byQuitting);
    QFETCH(QByteArray, onDisk);
    QFETCH(bool, closed);
    Document *document = open(QStringLiteral("doc.txt"), "old");
    typeAtEnd(document, QStringLiteral(" new"));
    pressInNextMessageBox(QKeyCombination::fromCombined(answer));
    if (byQuitting)
        m_controller->quit();
    else
        QCOMPARE(document->window()->close(), false); // the controller closes it, or not
    QCOMPARE(m_controller->documents().contains(document), !closed);
    QCOMPARE(contentsOf(path("doc.txt")), onDisk);
    if (!closed) {
        QVERIFY(document->isEdited() && document->window()->isVisible());
        QCOMPARE(editorOf(document)->utf8Text(), QByteArray("old new"));
    }
    QVERIFY(m_controller->closeDocument(open(QStringLiteral("plain.txt"), "p"))); // no question
}

void DocumentControllerTest::quitAsksAboutEachDocumentOverItsWindowBroughtForward()
{
    Document *first = open(QStringLiteral("first.txt"), "1");
    Document *second = open(QStringLiteral("second.txt"), "2");
    typeAtEnd(first, QStringLiteral("x"));
    typeAtEnd(second, QStringLiteral("y"));
    QWidget *lastActivated = nullptr;
    const auto recorder = std::make_unique<QObject>();
    const QList<QWidget *> windows{first->window(), second->window()};
    QList<std::pair<qsizetype, qsizetype>> askedOverAndInFront; // indices into windows
    const std::function<void(QMessageBox *)> answer = [&](QMessageBox *box) {
        (void)QTest::qWaitFor([&] { return lastActivated == box->parentWidget(); }, 1000);
        askedOverAndInFront.append(
            std::pair{windows.indexOf(box->parentWidget()), windows.indexOf(lastActivated)});
        if (askedOverAndInFront.size() < 2)
            answerNextModal<QMessageBox>(answer);
        for (QAbstractButton *button : box->buttons()) {
            if (box->buttonRole(button) == QMessageBox::DestructiveRole)
                button->click();
        }
    };
    answerNextModal<QMessageBox>([&answer](QMessageBox *review) { // first asked about both
        answerNextModal<QMessageBox>(answer);
        review->buttons().constFirst()->click();
    });
    // Each window that becomes active, from the activation events Qt delivers.
    auto *filter = new EventRecorder(recorder.get(), [&](QObject *target, QEvent *event) {
        if (event->type() == QEvent::WindowActivate && target->inherits("platform::DocumentWindow"))
            lastActivated = static_cast<QWidget *>(target);
    });
    qApp->installEventFilter(filter);
    m_controller->quit();
    QCOMPARE(askedOverAndInFront, (QList<std::pair<qsizetype, qsizetype>>{{0, 0}, {1, 1}}));
}

// An immutable file refuses even root; a read-only folder and file refuse anyone else.
void DocumentControllerTest::saveRefusedForPermissionOffersSaveAs()
{
    Document *document = open(QStringLiteral("locked/file.txt"), "on disk");
    typeAtEnd(document, QStringLiteral(" edited"));
    for (const QString &locked : {path("locked/file.txt"), path("locked")})
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
    setImmutable(path("locked/file.txt"), true); // root may write anything else
    const bool saved = m_controller->saveDocument(document);
    setImmutable(path("locked/file.txt"), false);
    QFile::setPermissions(path("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!saved && document->isEdited());
    QCOMPARE(contentsOf(path("locked/file.txt")), QByteArray("on disk"));
    QMessageBox *box = shownMessageBoxes().value(0);
    QVERIFY(box && box->text().contains(QStringLiteral("permission")));
    QVERIFY2(box->text().contains(QRegularExpression(QStringLiteral("not permitted|denied"))),
             qPrintable(box->text()));
    const QString elsewhere = path(QStringLiteral("elsewhere.txt"));
    answerNextModal<platform::SavePanel>([elsewhere](platform::SavePanel *panel) {
        panel->selectFile(elsewhere);
        QMetaObject::invokeMethod(panel, "accept");
    });
    for (QAbstractButton *button : box->buttons()) {
        if (box->buttonRole(button) == QMessageBox::ActionRole)
            button->click(); // Save As…
    }
    QTRY_COMPARE(contentsOf(elsewhere), QByteArray("on disk edited"));
    QCOMPARE(document->filePath(), elsewhere);
}

void DocumentControllerTest::outsideChangeIsNeverOverwrittenSilently_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QByteArray>("onDisk");
    QTest::addColumn<bool>("edited");
    const int cancel = QMessageBox::RejectRole;
    const int save = QMessageBox::AcceptRole;
    const int revert = QMessageBox::DestructiveRole;
    QTest::newRow("appended, cancelled") << "append" << cancel << QByteArray("on disk+") << true;
    QTest::newRow("replaced, saved anyway")
        << "replace" << save << QByteArray("on disk mine") << false;
    QTest::newRow("same size, time put back, reverted")
        << "same size" << revert << QByteArray("ON DISK") << false;
    QTest::newRow("deleted, saved again")
        << "delete" << save << QByteArray("on disk mine") << false;
    QTest::newRow("only the mode changed: no question")
        << "mode" << int(QMessageBox::InvalidRole) << QByteArray("on disk mine") << false;
}

void DocumentControllerTest::outsideChangeIsNeverOverwrittenSilently()
{
    QFETCH(QString, change);
    QFETCH(int, answer);
    const bool reverts = answer == QMessageBox::DestructiveRole;
    QFETCH(QByteArray, onDisk);
    QFETCH(bool, edited);
    const QString file = path("shared.txt");
    Document *document = open(QStringLiteral("shared.txt"), "on disk");
    typeAtEnd(document, QStringLiteral(" mine"));
    const QFileInfo before(file);
    if (change == QLatin1String("append")) {
        QFile appended(file);
        QVERIFY(appended.open(QIODevice::Append));
        appended.write("+");
    } else if (change == QLatin1String("replace")) {
        writeContents(path("other.txt"), "on disc");
        QVERIFY(QFile::remove(file) && QFile::rename(path("other.txt"), file));
    } else if (change == QLatin1String("same size")) {
        writeContents(file, "ON DISK");
        QFile(file).setFileTime(before.lastModified(), QFileDevice::FileModificationTime);
    } else if (change == QLatin1String("delete")) {
        QVERIFY(QFile::remove(file));
    } else {
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner));
    }
    if (answer != QMessageBox::InvalidRole)
        clickInNextMessageBox(QMessageBox::ButtonRole(answer));
    QCOMPARE(m_controller->saveDocument(document), !edited && !reverts);
    QCOMPARE(contentsOf(file), onDisk);
    QCOMPARE(document->isEdited(), edited);
    QCOMPARE(editorOf(document)->utf8Text(), reverts ? onDisk : QByteArray("on disk mine"));
}

void DocumentControllerTest::cleanDocumentFollowsItsFileAndEditedOneWaits()
{
    QByteArray lines;
    for (int line = 0; line < 300; ++line)
        lines += "line " + QByteArray::number(line) + '\n';
    Document *clean = open(QStringLiteral("clean.txt"), lines);
    platform::TextEditor *editor = editorOf(clean);
    editor->setFirstVisibleLine(100);
    // Replaced by a rename, as editors and tools save: the watch must follow the new file.
    for (const QByteArray &outside : {QByteArray("new ") + lines, QByteArray("newer ") + lines}) {
        writeContents(path("next.txt"), outside);
        QVERIFY(QFile::remove(path("clean.txt")) &&
                QFile::rename(path("next.txt"), path("clean.txt")));
        QTRY_COMPARE(editor->utf8Text(), outside);
        QVERIFY(!clean->isEdited());
        QCOMPARE(editor->firstVisibleLine(), 100);
    }
    Document *edited = open(QStringLiteral("edited.txt"), "before");
    typeAtEnd(edited, QStringLiteral(" mine"));
    writeContents(path("edited.txt"), "outside");
    writeContents(path("clean.txt"), "settled");
    QTRY_COMPARE(editor->utf8Text(), QByteArray("settled"));
    QCOMPARE(editorOf(edited)->utf8Text(), QByteArray("before mine"));
    QVERIFY(edited->isEdited());
    editor->undo(); // a reload is one step
    QCOMPARE(editor->utf8Text(), QByteArray("newer ") + lines);
}

// Only the untouched launch document gives way to an opened file, never one typed in, asked for or
// saved; and it outlives its own open panel (a file handed over meanwhile once crashed it).
void DocumentControllerTest::launchDocumentGivesWayOnlyWhileUntouched()
{
    m_controller->openUntitledDocument();
    Document *file = open(QStringLiteral("a.txt"), "a");
    QCOMPARE(m_controller->documents(), QList<Document *>{file});
    m_controller->closeDocument(file);
    typeAtEnd(m_controller->openUntitledDocument(), QStringLiteral("mine"));
    open(QStringLiteral("b.txt"), "b");
    Document *asked = m_controller->newDocument();
    open(QStringLiteral("c.txt"), "c");
    QVERIFY(m_controller->documents().contains(asked));
    QCOMPARE(m_controller->documents().size(), 4);
    init(); // a fresh controller: none of these documents asks anything as it goes

    Document *launch = m_controller->openUntitledDocument();
    QTRY_COMPARE(QApplication::activeWindow(), launch->window());
    writeContents(path("handed.txt"), "handed over");
    answerNextModal<platform::OpenPanel>([this](platform::OpenPanel *panel) {
        QCOMPARE(panel->selectedMimeTypeFilter(), QStringLiteral("application/octet-stream"));
        m_controller->openDocumentWithContentsOf(path("handed.txt"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        panel->reject();
    });
    m_controller->openDocument();
    QCOMPARE(m_controller->documents().size(), 2);
    m_controller->closeDocument(m_controller->documents().constLast());
    QVERIFY(m_controller->saveDocumentTo(launch, path("named.txt")));
    open(QStringLiteral("later.txt"), "later");
    QVERIFY(m_controller->documents().contains(launch));
}

// With the address space limited to a little more than the file, either the read or the editor
// runs out of memory: the user is told, nothing opens, and the other window keeps its text.
void DocumentControllerTest::runningOutOfMemoryWhileOpeningIsAMessage()
{
#ifdef __SANITIZE_ADDRESS__
    QSKIP("AddressSanitizer reserves more address space than any such limit leaves");
#endif
    Document *other = open(QStringLiteral("other.txt"), "kept");
    typeAtEnd(other, QStringLiteral(" edited"));
    constexpr qsizetype fileSize = qsizetype(300) << 20;
    writeContents(path("big.txt"), QByteArray("a line of a large file\n").repeated(fileSize / 23));
    QFile statm(QStringLiteral("/proc/self/statm"));
    QVERIFY(statm.open(QIODevice::ReadOnly));
    const rlim_t used = statm.readAll().split(' ').first().toULongLong() * ::getpagesize();
    rlimit previous{};
    ::getrlimit(RLIMIT_AS, &previous);
    const rlimit limited{used + rlim_t(fileSize) + (rlim_t(100) << 20), previous.rlim_max};
    ::setrlimit(RLIMIT_AS, &limited);
    const Document *big = m_controller->openDocumentWithContentsOf(path("big.txt"));
    ::setrlimit(RLIMIT_AS, &previous);
    QVERIFY(!big);
    QCOMPARE(m_controller->documents(), QList<Document *>{other});
    QCOMPARE(shownMessageBoxes().size(), 1);
    QVERIFY(shownMessageBoxes().constFirst()->text().contains(QStringLiteral("enough memory")));
    QCOMPARE(editorOf(other)->utf8Text(), QByteArray("kept edited"));
}

void DocumentControllerTest::editMenuIsTheRightClickMenuAndGreysOutOnlyWhileItShows()
{
    Document *document = m_controller->newDocument();
    QMenu *edit = document->window()->menuBar()->actions().at(1)->menu();
    const auto enabled = [document](auto key) {
        return menuItem(document, 1, key)->isEnabled();
    };
    // A right click shows the Edit menu itself, so that both give the same keys.
    QWidget *shown = nullptr;
    bool greyedOut = false;
    QTimer::singleShot(0, edit, [&] {
        shown = QApplication::activePopupWidget();
        greyedOut = !enabled(QKeySequence::Undo) && !enabled(QKeySequence::Copy) &&
                    enabled(QKeySequence::Paste);
        edit->close();
    });
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(10, 10), QPoint(10, 10));
    QCoreApplication::sendEvent(
        editorOf(document)->findChild<platform::ScintillaControl *>()->viewport(), &rightClick);
    QVERIFY(shown == edit && greyedOut);
    QVERIFY(enabled(QKeySequence::Undo)); // its shortcut must keep working

    // Opened from the keyboard, with the menu bar holding the focus, it follows the window's text.
    typeAtEnd(document, QStringLiteral("word"));
    editorOf(document)->selectAll();
    QMenuBar *bar = document->window()->menuBar();
    bar->setFocus();
    bar->setActiveAction(bar->actions().at(1));
    QTRY_VERIFY(edit->isVisible());
    QVERIFY(enabled(QKeySequence::Undo) && enabled(QKeySequence::Copy));
    QVERIFY(!enabled(QKeySequence::Redo));
    edit->close();
}

// The pages, printed to a file: the name above, "n of N" below, the text 15 mm from the edge.
void DocumentControllerTest::printPutsTheTextOnThePage()
{
    QByteArray text = "Words on paper\r\n";
    for (int line = 0; line < 150; ++line)
        text += "and more\n";
    Document *document = open(QStringLiteral("print.txt"), text);
    const QString pdf = path("page.pdf");
    answerNextModal<QPrintDialog>([pdf](QPrintDialog *dialog) {
        dialog->findChild<QLineEdit *>(QStringLiteral("filename"))->setText(pdf); // print to file
        dialog->accept();
    });
    menuItem(document, 0, QKeySequence::Print)->trigger();
    QProcess pages;
    pages.start(QStringLiteral("pdftotext"), {"-bbox", pdf, QStringLiteral("-")});
    QVERIFY(pages.waitForFinished());
    const QString printed = QString::fromUtf8(pages.readAllStandardOutput());
    QStringList words;
    const QRegularExpression word(R"x(<word xMin="([0-9.]+)"[^>]*>([^<]*)</word>)x");
    for (const QRegularExpressionMatch &match : word.globalMatch(printed)) {
        words.append(match.captured(2));
        QVERIFY2(match.captured(1).toDouble() >= 15 / 25.4 * 72 - 1, qPrintable(match.captured(0)));
    }
    const QString all = words.join(' ');
    QVERIFY2(all.startsWith("print.txt Words on paper and more") &&
                 all.contains("1 of 3 print.txt and more") && all.endsWith("and more 3 of 3"),
             qPrintable(all));
}

void DocumentControllerTest::draftFollowsTheDocumentsLife_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<QByteArrayList>("drafts");
    QTest::newRow("a pause in typing") << "pause" << QByteArrayList{"on disk typed"};
    QTest::newRow("saved") << "save" << QByteArrayList();
    QTest::newRow("reverted") << "revert" << QByteArrayList();
    QTest::newRow("undone to what was saved") << "undo" << QByteArrayList();
    QTest::newRow("closed with Don't Save") << "don't save" << QByteArrayList();
    QTest::newRow("left when the program ends") << "end" << QByteArrayList{"on disk typed"};
}

void DocumentControllerTest::draftFollowsTheDocumentsLife()
{
    QFETCH(QString, step);
    QFETCH(QByteArrayList, drafts);
    Document *document = open(QStringLiteral("life.txt"), "on disk");
    typeAtEnd(document, QStringLiteral(" typed"));
    if (step == QLatin1String("pause")) { // written without being asked
        QTRY_COMPARE(draftTexts(), drafts);
        return;
    }
    m_controller->keepAllDrafts();
    QCOMPARE(draftTexts(), QByteArrayList{"on disk typed"});
    if (step == QLatin1String("save")) {
        m_controller->saveDocument(document);
    } else if (step == QLatin1String("revert")) {
        pressInNextMessageBox(Qt::ALT | Qt::Key_R);
        m_controller->revertDocumentToSaved(document);
    } else if (step == QLatin1String("undo")) {
        while (document->isEdited())
            editorOf(document)->undo();
    } else if (step == QLatin1String("don't save")) {
        pressInNextMessageBox(Qt::ALT | Qt::Key_D);
        m_controller->closeDocument(document);
    } else {
        m_controller.reset();
        QCOMPARE(platform::leftDrafts(draftFolder()).size(), 1);
        QCOMPARE(draftTexts(), drafts);
        return;
    }
    m_controller->keepAllDrafts();
    QCOMPARE(draftTexts(), drafts);
}

void DocumentControllerTest::leftDraftIsOfferedWhenItsFileOpens_data()
{
    using platform::DraftBase;
    using platform::draftRecords::insertion;
    QTest::addColumn<QByteArray>("onDisk");
    QTest::addColumn<int>("base");
    QTest::addColumn<QByteArray>("edits");
    QTest::addColumn<int>("answer"); // 0: no question
    QTest::addColumn<QByteArray>("shown");
    QTest::addColumn<QString>("told"); // what the question or a message says
    QTest::addColumn<bool>("isLeft");
    const int recover = Qt::Key_Return;
    const QByteArray recovered = "on disk left";
    const QByteArray left = insertion(7, " left");
    QTest::newRow("over the file it was made to, recovered")
        << QByteArray("on disk") << int(DraftBase::File) << left << recover << recovered
        << "Recovering shows them" << false;
    QTest::newRow("over a file that changed since, recovered")
        << QByteArray("changed") << int(DraftBase::Text) << left << recover << recovered
        << "has changed on disk" << false;
    QTest::newRow("discarded") << QByteArray("on disk") << int(DraftBase::File) << left
                               << (Qt::ALT | Qt::Key_D).toCombined() << QByteArray("on disk") << ""
                               << false;
    QTest::newRow("not now") << QByteArray("on disk") << int(DraftBase::File) << left
                             << int(Qt::Key_Escape) << QByteArray("on disk") << "" << true;
    QTest::newRow("damaged, what is whole recovered")
        << QByteArray("on disk") << int(DraftBase::File) << left + insertion(0, "x").chopped(1)
        << recover << recovered << "was damaged" << false;
    QTest::newRow("the same as the file: never offered")
        << QByteArray("on disk") << int(DraftBase::Text) << QByteArray() << 0
        << QByteArray("on disk") << "" << false;
    QTest::newRow("made to a file that changed since, which it needs")
        << QByteArray("changed") << int(DraftBase::File) << left << 0 << QByteArray("changed")
        << "can’t be recovered" << true;
}

// Opening a file that an ended editor left unsaved changes of asks, once, what to do with them.
void DocumentControllerTest::leftDraftIsOfferedWhenItsFileOpens()
{
    QFETCH(QByteArray, onDisk);
    QFETCH(int, base);
    QFETCH(QByteArray, edits);
    QFETCH(int, answer);
    QFETCH(QByteArray, shown);
    QFETCH(QString, told);
    QFETCH(bool, isLeft);
    leaveDraft(path("left.txt"), "on disk", platform::DraftBase(base), edits);
    QString said;
    if (answer != 0)
        answerNextModal<QMessageBox>([&said, answer](QMessageBox *box) {
            said = box->text() + ' ' + box->informativeText() + ' ';
            box->activateWindow();
            if (QTest::qWaitForWindowActive(box))
                QTest::keyClick(box, QKeyCombination::fromCombined(answer).key(),
                                QKeyCombination::fromCombined(answer).keyboardModifiers());
        });
    Document *document = open(QStringLiteral("left.txt"), onDisk);
    QTRY_VERIFY(answer == 0 || said.endsWith(' '));
    QTRY_VERIFY(answer == 0 || shownMessageBoxes().size() == (told.contains("damaged") ? 1 : 0));
    QCOMPARE(editorOf(document)->utf8Text(), shown);
    QCOMPARE(document->isEdited(), shown != onDisk);
    QCOMPARE(contentsOf(path("left.txt")), onDisk);
    QTRY_COMPARE(platform::leftDrafts(draftFolder()).size(), isLeft ? 1 : 0);
    const QList<QMessageBox *> boxes = shownMessageBoxes();
    for (QMessageBox *box : boxes)
        said += ' ' + box->text();
    QVERIFY2(said.contains(told) && (answer == 0 || said.contains("“left.txt”")), qPrintable(said));
    QVERIFY2(!told.isEmpty() || boxes.isEmpty(),
             qPrintable(said)); // nothing to tell, nothing asked
}

void DocumentControllerTest::leftDraftsAreRecoveredFromTheMenu()
{
    leaveDraft(path("named.txt"), "named", platform::DraftBase::File,
               platform::draftRecords::insertion(5, " and more"));
    QFile::rename(draftFolder() + "/left.draft", draftFolder() + "/named.draft");
    platform::DraftHeader untitled;
    writeContents(draftFolder() + "/untitled.draft",
                  platform::draftRecords::start(untitled) +
                      platform::draftRecords::insertion(0, "Dear Bob,\nhello"));
    writeContents(path("named.txt"), "named");
    Document *launch = m_controller->openUntitledDocument();
    QMenu *file = launch->window()->menuBar()->actions().at(0)->menu();
    QMenu *drafts = file->actions().at(3)->menu();
    emit drafts->aboutToShow();
    QStringList entries;
    for (QAction *action : drafts->actions())
        entries.append(action->text());
    QVERIFY2(entries.filter(QRegularExpression("^named.txt — .*, 14 bytes$")).size() == 1 &&
                 entries.filter(QRegularExpression("^“Dear Bob,” — .*, 15 bytes$")).size() == 1,
             qPrintable(entries.join('|')));
    drafts->actions().at(3)->trigger(); // Recover All
    QByteArrayList texts;
    for (const Document *document : m_controller->documents())
        texts.append(editorOf(document)->utf8Text());
    std::sort(texts.begin(), texts.end());
    QCOMPARE(texts, (QByteArrayList{"Dear Bob,\nhello", "named and more"}));
    const QList<Document *> documents = m_controller->documents();
    QVERIFY(std::all_of(documents.begin(), documents.end(),
                        [](const Document *document) { return document->isEdited(); }));
    QVERIFY(platform::leftDrafts(draftFolder()).isEmpty());
    QCOMPARE(contentsOf(path("named.txt")), QByteArray("named"));
}

void DocumentControllerTest::stateFolderThatCannotKeepDraftsIsToldOnce_data()
{
    QTest::addColumn<QString>("mount");
    QTest::addColumn<QString>("reason");
    QTest::newRow("full") << "size=16k"
                          << "No space left";
    QTest::newRow("read-only") << "ro"
                               << "Read-only file system";
}

// Typing and saving go on; the user hears once that a kill would now lose the changes.
void DocumentControllerTest::stateFolderThatCannotKeepDraftsIsToldOnce()
{
    QFETCH(QString, mount);
    QFETCH(QString, reason);
    QVERIFY(QDir().mkpath(draftFolder()));
    QCOMPARE(::mount("tmpfs", QFile::encodeName(draftFolder()).constData(), "tmpfs",
                     mount == "ro" ? MS_RDONLY : 0, qPrintable(mount)),
             0);
    Document *document = open(QStringLiteral("kept.txt"), "kept");
    for (int round = 0; round < 3; ++round) {
        editorOf(document)->replaceTextAsEdit(QByteArray(20'000, char('a' + round)));
        m_controller->keepAllDrafts();
        QTest::qWait(0);
    }
    ::umount2(QFile::encodeName(draftFolder()).constData(), MNT_DETACH);
    QTRY_COMPARE(shownMessageBoxes().size(), 1);
    QVERIFY2(shownMessageBoxes().constFirst()->text().contains(reason),
             qPrintable(shownMessageBoxes().constFirst()->text()));
    QVERIFY(m_controller->saveDocument(document));
    QCOMPARE(contentsOf(path("kept.txt")), QByteArray(20'000, 'c'));
}

void DocumentControllerTest::legacyEncodingIsChosenAtOpenAndAskedAboutAtTheFirstSave_data()
{
    QTest::addColumn<bool>("opened");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("answers"); // at the save
    QTest::addColumn<QByteArray>("onDisk");
    const QByteArray latin1("Caf\xe9 cr\xe8me \x96 gr\xf6\xdf"
                            "er\r\n");
    QTest::newRow("kept") << true << "é!" << QStringList{"&Keep windows-1252"} << latin1 + "\xe9!";
    QTest::newRow("converted") << true << "é!" << QStringList{"Convert to &UTF-8"}
                               << QByteArray("Café crème – größer\r\né!");
    QTest::newRow("a character it has no place for: nothing written")
        << true << "→" << QStringList{"&Keep windows-1252", "&Cancel"} << latin1;
    QTest::newRow("never edited: never written") << true << "" << QStringList() << latin1;
    QTest::newRow("not opened") << false << "" << QStringList() << latin1;
}

void DocumentControllerTest::legacyEncodingIsChosenAtOpenAndAskedAboutAtTheFirstSave()
{
    QFETCH(bool, opened);
    QFETCH(QString, typed);
    QFETCH(QStringList, answers);
    QFETCH(QByteArray, onDisk);
    writeContents(path("latin1.txt"), "Caf\xe9 cr\xe8me \x96 gr\xf6\xdf"
                                      "er\r\n");
    QString offered;
    answerNextModal<QDialog>([&offered, opened](QDialog *question) {
        offered = question->findChild<QComboBox *>("encoding")->currentText();
        opened ? question->accept() : question->reject();
    });
    Document *document = m_controller->openDocumentWithContentsOf(path("latin1.txt"));
    QCOMPARE(offered, QStringLiteral("windows-1252"));
    QCOMPARE(document != nullptr, opened);
    QVERIFY(shownMessageBoxes().isEmpty());
    if (!document)
        return;
    QCOMPARE(editorOf(document)->utf8Text(), QByteArray("Café crème – größer\r\n"));
    QVERIFY(document->window()->windowTitle().contains("(windows-1252)"));
    typeAtEnd(document, typed);
    clickInMessageBoxes(answers);
    m_controller->saveDocument(document);
    QCOMPARE(contentsOf(path("latin1.txt")), onDisk);
    QCOMPARE(document->window()->windowTitle().contains("(windows-1252)"),
             !answers.startsWith("Convert to &UTF-8"));
}

void DocumentControllerTest::quitWithSeveralEditedDocumentsAsksOnceFirst_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("documentsLeft");
    QTest::addColumn<int>("draftsLeft");
    QTest::newRow("cancel") << "&Cancel" << 3 << 2;
    QTest::newRow("discard all") << "&Discard Changes" << 0 << 0;
}

void DocumentControllerTest::quitWithSeveralEditedDocumentsAsksOnceFirst()
{
    QFETCH(QString, answer);
    QFETCH(int, documentsLeft);
    QFETCH(int, draftsLeft);
    for (const char *name : {"one.txt", "two.txt"})
        typeAtEnd(open(name, "text"), QStringLiteral(" more"));
    open("clean.txt", "text");
    for (Document *document : m_controller->documents())
        document->draftKeeper()->keepNow();
    QTRY_COMPARE(draftTexts().size(), 2);
    QString asked;
    answerNextModal<QMessageBox>([&asked, answer](QMessageBox *box) {
        asked = box->text();
        for (QAbstractButton *button : box->buttons()) {
            if (button->text() == answer)
                button->click();
        }
    });
    m_controller->quit();
    QVERIFY2(asked.startsWith("You have 2 documents with unsaved changes."), qPrintable(asked));
    QCOMPARE(m_controller->documents().size(), documentsLeft);
    QTRY_COMPARE(draftTexts().size(), draftsLeft);
    QCOMPARE(contentsOf(path("one.txt")), QByteArray("text"));
}

void DocumentControllerTest::goToLineSaysWhereTheCaretIsAndMovesIt()
{
    Document *document = open("lines.txt", "one\ntwo\r\nthree été\nfour");
    platform::TextEditor *editor = editorOf(document);
    editor->select({5, 5});
    QString said;
    answerNextModal<QDialog>([&said](QDialog *question) {
        for (const QLabel *label : question->findChildren<QLabel *>())
            said += label->text() + ' ';
        auto *field = question->findChild<QLineEdit *>("place");
        const auto ok = question->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
        field->setText("x");
        said += ok->isEnabled() ? "accepted x " : "";
        field->setText(" 3 : 8 ");
        ok->click();
    });
    // The key is the menu's: the text does not claim it, as it would to cut the line.
    QKeyEvent controlL(QEvent::ShortcutOverride, Qt::Key_L, Qt::ControlModifier);
    controlL.ignore();
    QCoreApplication::sendEvent(editor->findChild<platform::ScintillaControl *>(), &controlL);
    QVERIFY(!controlL.isAccepted());
    menuItem(document, 1, QKeySequence(QStringLiteral("Ctrl+L")))->trigger();
    QVERIFY2(said.startsWith("The caret is at line 2, column 2, of 4 lines."), qPrintable(said));
    QVERIFY(!said.contains("accepted"));
    QCOMPARE(editor->caretPlace(), (platform::TextPlace{3, 8}));
    QCOMPARE(editor->selection().start, qsizetype(9 + 8)); // é is two bytes
    editor->moveCaretTo({99, 99});                         // as near as the text allows
    QCOMPARE(editor->caretPlace(), (platform::TextPlace{4, 5}));
}

void DocumentControllerTest::titleTellsOfAnOutsideChangeUntilItIsSettled()
{
    Document *document = open("watched.txt", "on disk");
    typeAtEnd(document, QStringLiteral(" typed"));
    const auto title = [document] {
        return document->window()->windowTitle();
    };
    writeContents(path("watched.txt"), "changed by another program");
    QTRY_COMPARE(title(), QStringLiteral("watched.txt (changed on disk)[*]"));
    QVERIFY(QFile::remove(path("watched.txt")));
    QTRY_COMPARE(title(), QStringLiteral("watched.txt (deleted or moved)[*]"));
    clickInNextMessageBox(QMessageBox::AcceptRole); // save anyway
    QVERIFY(m_controller->saveDocument(document));
    QCOMPARE(title(), QStringLiteral("watched.txt[*]"));
}

void DocumentControllerTest::windowsAndTheFindBarFitTheScreen_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << "en";
    QTest::newRow("German") << "de";
}

// At 640 pixels, every message of the bar can be read whole, and the window stays as wide.
void DocumentControllerTest::windowsAndTheFindBarFitTheScreen()
{
    QFETCH(QString, language);
    QTranslator german;
    if (language == "de") {
        QVERIFY(german.load("scribbet_de", QCoreApplication::applicationDirPath() +
                                               "/../share/scribbet/translations"));
        QCoreApplication::installTranslator(&german);
    }
    Document *document = open("find.txt", "one two one");
    platform::DocumentWindow *window = document->window();
    QCOMPARE(window->width(), 640);
    window->showFindBar(true);
    auto *field = window->findChild<QLineEdit *>("find");
    const auto *status = window->findChild<QLabel *>("status");
    for (const char *pattern : {"zzz", "one", "(", "(a+)+$"}) {
        field->setText(pattern);
        window->findChild<QAction *>("regularExpression")->setChecked(QByteArray(pattern) > "(");
        window->findBar()->findNext();
        window->findBar()->findNext();
        QTRY_COMPARE(window->width(), 640);
        QVERIFY2(status->text().isEmpty() ||
                     status->height() >= status->heightForWidth(status->width()),
                 qPrintable(status->text()));
        QVERIFY(status->geometry().right() < window->findBar()->width());
    }
    QCoreApplication::removeTranslator(&german);
    // Never larger than the screen, whatever the size asked for.
    Document *large = m_controller->newDocument();
    const QSize available = large->window()->screen()->availableGeometry().size();
    large->window()->setContentSize(available * 2);
    QVERIFY(large->window()->frameGeometry().height() <= available.height());
}

// "sa/../doc.txt", where sa is a link into another folder, is the kernel's real/doc.txt: the
// file cat would show, not the doc.txt beside sa.
void DocumentControllerTest::namesMeanWhatTheKernelMeans()
{
    QVERIFY(QDir().mkpath(path("real/inner")));
    QVERIFY(QFile::link(path("real/inner"), path("sa")));
    writeContents(path("real/doc.txt"), "the kernel's");
    writeContents(path("doc.txt"), "the text's");
    Document *document = m_controller->openDocumentWithContentsOf(path("sa/../doc.txt"));
    QCOMPARE(editorOf(document)->utf8Text(), QByteArray("the kernel's"));
    QCOMPARE(document->filePath(), QFileInfo(path("real/doc.txt")).canonicalFilePath());
    typeAtEnd(document, " saved");
    QVERIFY(m_controller->saveDocument(document));
    QCOMPARE(contentsOf(path("real/doc.txt")), QByteArray("the kernel's saved"));
    QCOMPARE(contentsOf(path("doc.txt")), QByteArray("the text's"));

    // A name whose bytes are not UTF-8, chosen in the save panel, is refused, never changed.
    const QByteArray latin = QFile::encodeName(path("caf")) + "\xe9.txt";
    QVERIFY(::close(::open(latin.constData(), O_CREAT | O_WRONLY, 0644)) == 0);
    answerNextModal<platform::SavePanel>([&latin](platform::SavePanel *panel) {
        panel->selectFile(QFile::decodeName(latin));
        QMetaObject::invokeMethod(panel, "accept");
    });
    QVERIFY(!m_controller->saveDocumentAs(document));
    QTRY_VERIFY(!shownMessageBoxes().isEmpty());
    QVERIFY(shownMessageBoxes().constFirst()->informativeText().contains("UTF-8") ||
            shownMessageBoxes().constFirst()->text().contains("UTF-8"));
    QCOMPARE(::access(latin.constData(), F_OK), 0);
    QVERIFY(!QFileInfo::exists(QFile::decodeName(latin))); // no file under U+FFFD's bytes
    ::unlink(latin.constData()); // which the temporary folder could not remove by its name
}

// However many files are handed over at once, a bounded number opens, one per turn of the event
// loop, and everything that went wrong is told once, in one message.
void DocumentControllerTest::filesHandedOverAtOnceAreBoundedAndToldOnce()
{
    writeContents(path("there.txt"), "there");
    QStringList uris{QStringLiteral("http://example.org/page.txt"),
                     QStringLiteral("file:relative.txt"),
                     platform::fileUri(QFile::encodeName(m_folder->path())), // fails to read
                     platform::fileUri(QFile::encodeName(path("there.txt"))),
                     platform::fileUri(QFile::encodeName(path("caf")) + "\xe9.txt")};
    for (int i = 0; i < 150; ++i)
        uris.append(platform::fileUri(QFile::encodeName(path(QStringLiteral("new%1").arg(i)))));
    QSignalSpy opened(m_controller.get(), &DocumentController::namedFilesOpened);
    m_controller->openFilesNamed(uris);
    QVERIFY(m_controller->documents().isEmpty()); // the caller, the bus among them, answered first
    QVERIFY(opened.wait(60000));
    QCOMPARE(m_controller->documents().size(), platform::OpenQueue::mostWaiting - 1);
    QCOMPARE(editorOf(m_controller->documents().constFirst())->utf8Text(), QByteArray("there"));
    const QList<QMessageBox *> boxes = shownMessageBoxes();
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes[0]->text().contains("56"), qPrintable(boxes[0]->text())); // 4 listed, 52 more
    for (const char *listed :
         {"http://example.org/page.txt", "file:relative.txt", "UTF-8", "regular file", "52"})
        QVERIFY2(boxes[0]->detailedText().contains(listed), listed);
}

SCRIBBET_TEST_MAIN(DocumentControllerTest)
#include "tst_documentcontroller.moc"
