#include "Finding.h"

#include <QTest>

using namespace platform;

namespace {

// A search for `pattern` with its options spelled as letters: c match case, w whole words,
// r a regular expression.
TextSearch searchFor(const QString &pattern, const QString &options)
{
    return TextSearch(pattern,
                      {options.contains(QLatin1Char('c')), options.contains(QLatin1Char('w')),
                       options.contains(QLatin1Char('r'))});
}

std::string_view view(const QByteArray &text)
{
    return {text.constData(), size_t(text.size())};
}

} // namespace

class FindingTest final : public QObject {
    Q_OBJECT

private slots:
    void findGoesFromTheSelectionAndAround_data();
    void findGoesFromTheSelectionAndAround();
    void everyMatchIsReplaced_data();
    void everyMatchIsReplaced();
    void placesAreReadAsPeopleWriteThem_data();
    void placesAreReadAsPeopleWriteThem();
};

void FindingTest::findGoesFromTheSelectionAndAround_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("options");
    QTest::addColumn<int>("from"); // the selection, from..to, searched forward unless to < from
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("start"); // -1: no match
    QTest::addColumn<int>("end");
    QTest::addColumn<bool>("wrapped");
    const QByteArray ones("one two one");
    QTest::newRow("next after the selection") << ones << "one"
                                              << "" << 0 << 3 << 8 << 11 << false;
    QTest::newRow("around the end") << ones << "one"
                                    << "" << 8 << 11 << 0 << 3 << true;
    QTest::newRow("previous before the selection") << ones << "one"
                                                   << "" << 11 << 8 << 0 << 3 << false;
    QTest::newRow("previous, around the start") << ones << "one"
                                                << "" << 3 << 0 << 8 << 11 << true;
    QTest::newRow("case ignored") << QByteArray("One one") << "one"
                                  << "" << 0 << 0 << 0 << 3 << false;
    QTest::newRow("match case") << QByteArray("One one") << "one"
                                << "c" << 0 << 0 << 4 << 7 << false;
    QTest::newRow("whole words") << QByteArray("cat concat cats cat") << "cat"
                                 << "w" << 1 << 1 << 16 << 19 << false;
    QTest::newRow("regular expression") << QByteArray("a1 b22 c333") << "[0-9]{2,}"
                                        << "r" << 0 << 0 << 4 << 6 << false;
    QTest::newRow("lines end in CR LF") << QByteArray("x\r\ny\r\n") << "^y$"
                                        << "r" << 0 << 0 << 3 << 4 << false;
    QTest::newRow("non-ASCII, case ignored") << QByteArray("ÉTÉ été") << "été"
                                             << "" << 0 << 5 << 6 << 11 << false;
    QTest::newRow("NUL bytes in the text") << QByteArray("a\0b\0a", 5) << "a"
                                           << "c" << 0 << 1 << 4 << 5 << false;
    QTest::newRow("NUL bytes in the pattern")
        << QByteArray("xa\0B", 4) << QString::fromUtf8("A\0b", 3) << "" << 0 << 0 << 1 << 4
        << false;
    QTest::newRow("an empty match at the caret is passed over") << QByteArray("ab") << "x*"
                                                                << "r" << 1 << 1 << 2 << 2 << false;
    QTest::newRow("no match") << QByteArray("abc") << "z"
                              << "" << 0 << 0 << -1 << -1 << false;
}

void FindingTest::findGoesFromTheSelectionAndAround()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, pattern);
    QFETCH(QString, options);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(bool, wrapped);
    const TextSearch search = searchFor(pattern, options);
    const auto direction = to < from ? FindDirection::Backward : FindDirection::Forward;
    const std::optional<Found> found =
        findFrom(search, view(text), {qMin(from, to), qMax(from, to)}, direction);
    QCOMPARE(found.has_value(), start >= 0);
    if (!found)
        return;
    QCOMPARE(found->match, (TextRange{start, end}));
    QCOMPARE(found->wrapped, wrapped);
}

void FindingTest::everyMatchIsReplaced_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("options");
    QTest::addColumn<QByteArray>("replacement");
    QTest::addColumn<QByteArray>("replaced");
    QTest::newRow("plain") << QByteArray("one two one") << "one"
                           << "" << QByteArray("1") << QByteArray("1 two 1");
    QTest::newRow("groups of an expression")
        << QByteArray("a=1, b=2") << "(\\w)=(\\d)"
        << "r" << QByteArray("$2=$1") << QByteArray("1=a, 2=b");
    QTest::newRow("empty matches") << QByteArray("ab") << "x*"
                                   << "r" << QByteArray("-") << QByteArray("-a-b-");
    QTest::newRow("a plain search and its replacement are taken as they are")
        << QByteArray("Price pr.ce") << "pr.ce"
        << "" << QByteArray("$1 \\0") << QByteArray("Price $1 \\0");
    QTest::newRow("non-ASCII") << QByteArray("Été été") << "été"
                               << "" << QByteArray("x") << QByteArray("x x");
    QTest::newRow("no match") << QByteArray("abc") << "z"
                              << "" << QByteArray("y") << QByteArray("abc");
}

void FindingTest::everyMatchIsReplaced()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, pattern);
    QFETCH(QString, options);
    QFETCH(QByteArray, replacement);
    QFETCH(QByteArray, replaced);
    QByteArray result;
    qsizetype copied = 0;
    for (const Replacement &each :
         replaceEveryMatch(searchFor(pattern, options), view(text), replacement)) {
        result += text.mid(copied, each.range.start - copied) + each.utf8;
        copied = each.range.end;
    }
    QCOMPARE(result + text.mid(copied), replaced);
}

void FindingTest::placesAreReadAsPeopleWriteThem_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("line"); // 0: not a place
    QTest::addColumn<int>("column");
    QTest::newRow("a line") << "214" << 214 << 1;
    QTest::newRow("line and column, spaced") << " 214 : 7 " << 214 << 7;
    for (const char *typed : {"", "0", "3:0", "-2", "x", "2:", "1:2:3", "99999999999999999999"})
        QTest::newRow(typed) << typed << 0 << 0;
}

void FindingTest::placesAreReadAsPeopleWriteThem()
{
    QFETCH(QString, typed);
    QFETCH(int, line);
    QFETCH(int, column);
    const std::optional<platform::TextPlace> place = platform::parseTextPlace(typed);
    QCOMPARE(place, line == 0 ? std::nullopt : std::optional(platform::TextPlace{line, column}));
}

QTEST_APPLESS_MAIN(FindingTest)
#include "tst_finding.moc"
