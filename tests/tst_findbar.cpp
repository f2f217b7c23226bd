#include "TestSandbox.h"

#include "FindBar.h"
#include "Finding.h"
#include "TextEditor.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>

#include <memory>

using platform::FindBar;
using platform::TextEditor;

namespace {

struct Searched {
    platform::LastSearch last;
    std::unique_ptr<TextEditor> editor = std::make_unique<TextEditor>();
    std::unique_ptr<FindBar> bar = std::make_unique<FindBar>(editor.get(), last);
};

// A bar over `text`, caret at the start, with `pattern` in its field; "r" in `options` checks
// Regular expression.
std::unique_ptr<Searched> searchIn(const QByteArray &text, const QString &pattern,
                                   const QString &options = {})
{
    auto searched = std::make_unique<Searched>();
    searched->editor->loadText(text);
    searched->bar->startFinding(true);
    searched->bar->findChild<QLineEdit *>(QStringLiteral("find"))->setText(pattern);
    searched->bar->findChild<QAction *>(QStringLiteral("regularExpression"))
        ->setChecked(options.contains(QLatin1Char('r')));
    return searched;
}

QByteArray textOf(TextEditor &editor)
{
    const std::string_view text = editor.textView();
    return {text.data(), qsizetype(text.size())};
}

} // namespace

class FindBarTest final : public QObject {
    Q_OBJECT

private slots:
    void barSaysWhatHappened_data();
    void barSaysWhatHappened();
    void replaceOneOrAllInOneUndoableStep_data();
    void replaceOneOrAllInOneUndoableStep();
    void lastSearchIsSharedByTheBars();
    void optionMnemonicsLeaveTheFocusInTheField();
};

void FindBarTest::barSaysWhatHappened_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("options");
    QTest::addColumn<QString>("presses"); // n: next, p: previous
    QTest::addColumn<int>("selected");    // where the selection starts after them
    QTest::addColumn<QString>("status");
    QTest::newRow("found") << QByteArray("one two one") << "one"
                           << ""
                           << "nn" << 8 << "";
    QTest::newRow("wraps at the end") << QByteArray("one two one") << "one"
                                      << ""
                                      << "nnn" << 0 << "Continued from the top";
    QTest::newRow("previous wraps at the start") << QByteArray("one two one") << "one"
                                                 << ""
                                                 << "p" << 8 << "Continued from the bottom";
    QTest::newRow("no match") << QByteArray("abc") << "z"
                              << ""
                              << "n" << 0 << "Not found";
    QTest::newRow("unusable expression")
        << QByteArray("abc") << "("
        << "r"
        << "n" << 0
        << "The regular expression can’t be used: missing closing parenthesis (at character 2).";
    QTest::newRow("expression that never finishes") << QByteArray(30, 'a') + 'b' << "^(a+)+$"
                                                    << "r"
                                                    << "n" << 0 << "The search couldn’t finish";
}

void FindBarTest::barSaysWhatHappened()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, pattern);
    QFETCH(QString, options);
    QFETCH(QString, presses);
    QFETCH(int, selected);
    QFETCH(QString, status);
    const auto searched = searchIn(text, pattern, options);
    for (const QChar press : presses) {
        if (press == QLatin1Char('n'))
            searched->bar->findNext();
        else
            searched->bar->findPrevious();
    }
    QCOMPARE(searched->editor->selection().start, qsizetype(selected));
    QVERIFY2(status.isEmpty() ? searched->bar->status().isEmpty()
                              : searched->bar->status().startsWith(status),
             qPrintable(searched->bar->status()));
}

void FindBarTest::replaceOneOrAllInOneUndoableStep_data()
{
    QTest::addColumn<bool>("all");
    QTest::addColumn<QByteArray>("replaced");
    QTest::addColumn<QString>("status");
    QTest::newRow("one") << false << QByteArray("1 two one") << "";
    QTest::newRow("all") << true << QByteArray("1 two 1") << "Replaced 2 matches";
}

// Replace All is one undo step, back to the unedited text.
void FindBarTest::replaceOneOrAllInOneUndoableStep()
{
    QFETCH(bool, all);
    QFETCH(QByteArray, replaced);
    QFETCH(QString, status);
    const auto searched = searchIn("one two one", "one");
    searched->bar->findChild<QLineEdit *>(QStringLiteral("replace"))->setText("1");
    if (all) {
        searched->bar->replaceAll();
    } else {
        searched->bar->findNext();
        searched->bar->replace();
    }
    TextEditor &editor = *searched->editor;
    QCOMPARE(textOf(editor), replaced);
    QCOMPARE(searched->bar->status(), status);
    if (all) // right after it, undo in the field undoes the replacement
        QTest::keyClick(searched->bar->findChild<QLineEdit *>("find"), Qt::Key_Z,
                        Qt::ControlModifier);
    else
        editor.undo();
    QCOMPARE(textOf(editor), QByteArray("one two one"));
    QVERIFY(!editor.isEdited());
}

// What one window's bar searched for, another's finds again with nothing typed, as F3 does.
void FindBarTest::lastSearchIsSharedByTheBars()
{
    const auto first = searchIn("two one", "one");
    first->bar->findNext();
    TextEditor other;
    other.loadText("one one");
    FindBar second(&other, first->last);
    QVERIFY(second.hasSearch());
    QVERIFY(second.findNext());
    QCOMPARE(other.selection(), (platform::TextRange{0, 3}));
}

void FindBarTest::optionMnemonicsLeaveTheFocusInTheField()
{
    const auto searched = searchIn("a", "a");
    FindBar &bar = *searched->bar;
    bar.show();
    bar.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&bar));
    auto *field = bar.findChild<QLineEdit *>("find");
    field->setFocus();
    for (const char *name : {"matchCase", "wholeWords", "regularExpression"}) {
        auto *option = bar.findChild<QAction *>(name);
        const bool wasChecked = option->isChecked();
        QTest::keyClick(field, QKeySequence::mnemonic(option->text())[0].key(), Qt::AltModifier);
        QVERIFY2(option->isChecked() != wasChecked, name);
        QCOMPARE(QApplication::focusWidget(), field);
    }
}

SCRIBBET_TEST_MAIN(FindBarTest)
#include "tst_findbar.moc"
