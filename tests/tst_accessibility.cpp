#include "TestSandbox.h"

#include "ScintillaControl.h"
#include "TextEditor.h"

#include <QAccessible>

using platform::TextEditor;

class AccessibilityTest final : public QObject {
    Q_OBJECT

private slots:
    void offsetsCountCharactersAtBothEndsOfALargeText();
};

// Offsets count code points, as AT-SPI does: é is one, and so is 😀, though it takes two UTF-16
// units; the answers are the same at the end of several megabytes as at the start.
void AccessibilityTest::offsetsCountCharactersAtBothEndsOfALargeText()
{
    const QByteArray head = "\xc3\xa9\xf0\x9f\x98\x80" + QByteArray("a\n");
    const QByteArray tail = "x\xf0\x9f\x98\x80\xc3\xa9\r\nend";
    QByteArray text = head;
    while (text.size() < qsizetype(6) * 1024 * 1024)
        text += "a line of plain text\n";
    text += tail;
    TextEditor editor;
    editor.loadText(text);
    QTRY_VERIFY(!editor.isLoading());
    QAccessible::setActive(true); // as when a screen reader starts, after the text is there
    auto *control = editor.findChild<platform::ScintillaControl *>();
    auto *accessible = QAccessible::queryAccessibleInterface(control)->textInterface();
    QVERIFY(accessible);
    const int count = int(QString::fromUtf8(text).toUcs4().size());
    QCOMPARE(accessible->characterCount(), count);
    QCOMPARE(accessible->text(0, 3), QString::fromUtf8(head.left(7)));
    QCOMPARE(accessible->text(1, 2), QString::fromUtf8("\xf0\x9f\x98\x80"));
    QCOMPARE(accessible->text(count - 8, count), QString::fromUtf8(tail));

    editor.select({editor.length(), editor.length()});
    QCOMPARE(accessible->cursorPosition(), count);
    accessible->setCursorPosition(count - 6); // after the 😀
    QCOMPARE(editor.selection().end, text.size() - 7);
    accessible->setSelection(0, count - 7, count - 5);
    QCOMPARE(editor.selectedText(), QString::fromUtf8("\xf0\x9f\x98\x80\xc3\xa9"));
    int start = 0, end = 0;
    accessible->selection(0, &start, &end);
    QCOMPARE(QList<int>({accessible->selectionCount(), start, end}),
             QList<int>({1, count - 7, count - 5}));
    QCOMPARE(accessible->textAtOffset(count - 1, QAccessible::LineBoundary, &start, &end), "end");
    QCOMPARE(accessible->textBeforeOffset(count - 1, QAccessible::LineBoundary, &start, &end),
             QString::fromUtf8(tail.left(9)));
    QCOMPARE(QList<int>({start, end}), QList<int>({count - 8, count - 3}));
    QCOMPARE(accessible->textAtOffset(4, QAccessible::WordBoundary, &start, &end), "a");
    QAccessible::setActive(false);
}

SCRIBBET_TEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
