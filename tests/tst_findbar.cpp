#include "TestSandbox.h"

#include "FindBar.h"
#include "TextEditor.h"

#include <QCheckBox>
#include <QLineEdit>

#include <memory>

using platform::FindBar;
using platform::TextEditor;

namespace {

struct Searched {
    std::unique_ptr<TextEditor> editor = std::make_unique<TextEditor>();
    std::unique_ptr<FindBar> bar = std::make_unique<FindBar>(editor.get());
};

// A bar over `text`, caret at the start, with `pattern` in its field and its options checked as
// `options` says: c for match case, w for whole words, r for a regular expression.
std::unique_ptr<Searched> searchIn(const QByteArray &text, const QString &pattern,
                                   const QString &options)
{
    auto searched = std::make_unique<Searched>();
    searched->editor->loadText(text);
    searched->bar->startFinding(true);
    searched->bar->findChild<QLineEdit *>(QStringLiteral("find"))->setText(pattern);
    for (const auto &[name, letter] : {std::pair{"matchCase", 'c'}, std::pair{"wholeWords", 'w'},
                                       std::pair{"regularExpression", 'r'}})
        searched->bar->findChild<QCheckBox *>(QLatin1String(name))
            ->setChecked(options.contains(QLatin1Char(letter)));
    return searched;
}

// What the bar says begins with `expected`, or it says nothing when nothing is expected.
bool saysAtFirst(const FindBar &bar, const QString &expected)
{
    return expected.isEmpty() ? bar.status().isEmpty() : bar.status().startsWith(expected);
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
    void findSelectsTheMatchInEitherDirection_data();
    void findSelectsTheMatchInEitherDirection();
    void replaceOneOrAllInOneUndoableStep_data();
    void replaceOneOrAllInOneUndoableStep();
};

void FindBarTest::findSelectsTheMatchInEitherDirection_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("options");
    QTest::addColumn<QString>("presses"); // n: next, p: previous
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<QString>("status");
    const QString wrappedToTop = QStringLiteral("Continued from the top");
    const QString notFound = QStringLiteral("Not found");
    QTest::newRow("next") << QByteArray("one two one") << "one"
                          << ""
                          << "nn" << 8 << 11 << "";
    QTest::newRow("wraps at the end") << QByteArray("one two one") << "one"
                                      << ""
                                      << "nnn" << 0 << 3 << wrappedToTop;
    QTest::newRow("previous wraps at the start") << QByteArray("one two one") << "one"
                                                 << ""
                                                 << "p" << 8 << 11 << "Continued from the bottom";
    QTest::newRow("previous") << QByteArray("one two one") << "one"
                              << ""
                              << "nnp" << 0 << 3 << "";
    QTest::newRow("case ignored") << QByteArray("One one") << "one"
                                  << ""
                                  << "n" << 0 << 3 << "";
    QTest::newRow("match case") << QByteArray("One one") << "one"
                                << "c"
                                << "n" << 4 << 7 << "";
    QTest::newRow("whole words") << QByteArray("cat concat cats cat") << "cat"
                                 << "w"
                                 << "nn" << 16 << 19 << "";
    QTest::newRow("regular expression") << QByteArray("a1 b22 c333") << "[0-9]{2,}"
                                        << "r"
                                        << "nn" << 8 << 11 << "";
    QTest::newRow("lines end in CR LF") << QByteArray("x\r\ny\r\n") << "^y$"
                                        << "r"
                                        << "n" << 3 << 4 << "";
    QTest::newRow("non-ASCII, case ignored") << QByteArray("ÉTÉ été") << "été"
                                             << ""
                                             << "nn" << 6 << 11 << "";
    QTest::newRow("NUL bytes in the text") << QByteArray("a\0b\0a", 5) << "a"
                                           << "c"
                                           << "nn" << 4 << 5 << "";
    QTest::newRow("NUL bytes in the pattern")
        << QByteArray("xa\0B", 4) << QString::fromUtf8("A\0b", 3) << ""
        << "n" << 1 << 4 << "";
    QTest::newRow("empty matches move on") << QByteArray("ab") << "x*"
                                           << "r"
                                           << "nn" << 2 << 2 << "";
    QTest::newRow("no match") << QByteArray("abc") << "z"
                              << ""
                              << "n" << 0 << 0 << notFound;
    QTest::newRow("unusable expression")
        << QByteArray("abc") << "("
        << "r"
        << "n" << 0 << 0
        << "The regular expression can’t be used: missing closing parenthesis (at character 2).";
    QTest::newRow("expression that never finishes")
        << QByteArray(30, 'a') + 'b' << "^(a+)+$"
        << "r"
        << "n" << 0 << 0 << "The search couldn’t finish";
}

void FindBarTest::findSelectsTheMatchInEitherDirection()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, pattern);
    QFETCH(QString, options);
    QFETCH(QString, presses);
    const auto searched = searchIn(text, pattern, options);
    for (const QChar press : presses) {
        if (press == QLatin1Char('n'))
            searched->bar->findNext();
        else
            searched->bar->findPrevious();
    }
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(QString, status);
    TextEditor &editor = *searched->editor;
    QCOMPARE(editor.SendScintilla(TextEditor::SCI_GETSELECTIONSTART), long(start));
    QCOMPARE(editor.SendScintilla(TextEditor::SCI_GETSELECTIONEND), long(end));
    QVERIFY2(saysAtFirst(*searched->bar, status), qPrintable(searched->bar->status()));
}

void FindBarTest::replaceOneOrAllInOneUndoableStep_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("options");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<bool>("all");
    QTest::addColumn<QByteArray>("replaced");
    QTest::addColumn<QString>("status");
    QTest::newRow("one") << QByteArray("one two one") << "one"
                         << ""
                         << "1" << false << QByteArray("1 two one") << "";
    QTest::newRow("all") << QByteArray("one two one") << "one"
                         << ""
                         << "1" << true << QByteArray("1 two 1") << "Replaced 2 matches";
    QTest::newRow("all, groups of an expression")
        << QByteArray("a=1, b=2") << "(\\w)=(\\d)"
        << "r"
        << "$2=$1" << true << QByteArray("1=a, 2=b") << "Replaced 2 matches";
    QTest::newRow("all, empty matches")
        << QByteArray("ab") << "x*"
        << "r"
        << "-" << true << QByteArray("-a-b-") << "Replaced 3 matches";
    QTest::newRow("all, a plain replacement is taken as it is")
        << QByteArray("Price price") << "price"
        << ""
        << "$1 \\0" << true << QByteArray("$1 \\0 $1 \\0") << "Replaced 2 matches";
    QTest::newRow("all, non-ASCII") << QByteArray("Été été") << "été"
                                    << ""
                                    << "x" << true << QByteArray("x x") << "Replaced 2 matches";
    QTest::newRow("all, no match") << QByteArray("abc") << "z"
                                   << ""
                                   << "y" << true << QByteArray("abc") << "Not found";
}

// Replace All is one undo step, back to the unedited text.
void FindBarTest::replaceOneOrAllInOneUndoableStep()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, pattern);
    QFETCH(QString, options);
    QFETCH(QString, replacement);
    QFETCH(bool, all);
    QFETCH(QByteArray, replaced);
    QFETCH(QString, status);
    const auto searched = searchIn(text, pattern, options);
    searched->bar->findChild<QLineEdit *>(QStringLiteral("replace"))->setText(replacement);
    if (all) {
        searched->bar->replaceAll();
    } else {
        searched->bar->findNext();
        searched->bar->replace();
    }
    TextEditor &editor = *searched->editor;
    QCOMPARE(textOf(editor), replaced);
    QVERIFY2(saysAtFirst(*searched->bar, status), qPrintable(searched->bar->status()));
    editor.undo();
    QCOMPARE(textOf(editor), text);
    QVERIFY(!editor.isModified());
}

SCRIBBET_TEST_MAIN(FindBarTest)
#include "tst_findbar.moc"
