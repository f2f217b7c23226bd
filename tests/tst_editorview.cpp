#include "TestSandbox.h"

#include "EditorView.h"
#include "ScribbetApp.h"

#include "TextEditor.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>

#include <memory>

using platform::DocumentBinding;
using scribbet::EditorView;
using scribbet::TextDocument;

namespace {

struct BoundView {
    std::shared_ptr<DocumentBinding<TextDocument>::State> state;
    std::unique_ptr<EditorView> view;
    bool isEdited = false;
};

std::unique_ptr<BoundView> makeView(const QByteArray &text)
{
    auto bound = std::make_unique<BoundView>();
    bound->state = std::make_shared<DocumentBinding<TextDocument>::State>();
    bound->state->value = TextDocument(text);
    bound->state->editedChanged = [edited = &bound->isEdited](bool value) {
        *edited = value;
    };
    bound->view = std::make_unique<EditorView>(DocumentBinding<TextDocument>(bound->state));
    return bound;
}

QByteArray documentText(const BoundView &bound)
{
    return DocumentBinding<TextDocument>(bound.state).value().text;
}

} // namespace

class EditorViewTest final : public QObject {
    Q_OBJECT

private slots:
    void returnTypesTheLineEndingTheTextUses();
    void longSingleLineIsWholeAndEditable();
    void largeTextArrivesInPiecesWithoutCountingAsAnEdit();
    void editorFollowsTheDesktopsTextBackground();
    void fullTextAccessibilityOnlyWhileSomeoneListens();
};

void EditorViewTest::returnTypesTheLineEndingTheTextUses()
{
    for (const QByteArray &ending : {QByteArray("\r\n"), QByteArray("\r"), QByteArray("\n")}) {
        const auto bound = makeView("one" + ending + "two");
        platform::TextEditor *editor = bound->view->textEditor();
        editor->SendScintilla(platform::TextEditor::SCI_DOCUMENTEND);
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(documentText(*bound), "one" + ending + "two" + ending);
    }
}

// Scintilla lays out a whole line on every change, so a line of a few megabytes is long enough
// here; the ten-megabyte case is measured by the benchmark.
void EditorViewTest::longSingleLineIsWholeAndEditable()
{
    QByteArray line;
    while (line.size() < qsizetype(3) * 1000 * 1000)
        line += "a single line that never ends, ";
    const auto bound = makeView(line);
    platform::TextEditor *editor = bound->view->textEditor();
    QTRY_VERIFY(!editor->isLoading());
    QVERIFY(!editor->isReadOnly());
    QCOMPARE(editor->lines(), 1);
    editor->SendScintilla(platform::TextEditor::SCI_DOCUMENTEND);
    QTest::keyClick(editor, '!');
    QCOMPARE(documentText(*bound).size(), line.size() + 1);
    QVERIFY(documentText(*bound).startsWith(line));
}

// A large text shows at once and arrives over the next turns of the event loop; whoever asks for
// the text meanwhile gets all of it, and nothing can be typed into half a file.
void EditorViewTest::largeTextArrivesInPiecesWithoutCountingAsAnEdit()
{
    const QByteArray pattern("a line\r\nc\xc3\xa9\xe6\x97\xa5\r\0\xf0\x9f\x98\x80\n", 21);
    QByteArray text;
    while (text.size() < qsizetype(10) * 1024 * 1024)
        text += pattern;
    for (const bool waitForIt : {true, false}) {
        const auto bound = makeView(text);
        platform::TextEditor *editor = bound->view->textEditor();
        QVERIFY(editor->isLoading());
        QVERIFY(editor->isReadOnly());
        if (waitForIt)
            QTRY_VERIFY(!editor->isLoading());
        QVERIFY(documentText(*bound) == text);
        QVERIFY(!editor->isLoading());
        QVERIFY(!editor->isReadOnly());
        QVERIFY(!bound->isEdited);
        QVERIFY(!editor->isUndoAvailable());
        QTest::keyClick(editor, 'x');
        QVERIFY(bound->isEdited);
    }
}

// The text area takes the desktop's text colours, a dark theme's too.
void EditorViewTest::editorFollowsTheDesktopsTextBackground()
{
    const auto bound = makeView("text");
    QPalette dark = bound->view->palette();
    dark.setColor(QPalette::Base, QColor(20, 20, 24));
    bound->view->setPalette(dark);
    const long back = bound->view->textEditor()->SendScintilla(
        platform::TextEditor::SCI_STYLEGETBACK, platform::TextEditor::STYLE_DEFAULT);
    QCOMPARE(back, 20L | (20L << 8) | (24L << 16));
}

// QScintilla's text interface costs a count of the whole text on every repaint, so editors carry
// it only while an assistive technology listens.
void EditorViewTest::fullTextAccessibilityOnlyWhileSomeoneListens()
{
    const auto bound = makeView("text");
    platform::TextEditor *editor = bound->view->textEditor();
    QVERIFY(!QAccessible::isActive());
    QAccessibleInterface *plain = QAccessible::queryAccessibleInterface(editor);
    QVERIFY(plain);
    QVERIFY(!plain->textInterface());
    QCOMPARE(plain->role(), QAccessible::EditableText);

    QAccessible::setActive(true);
    QAccessibleInterface *full = QAccessible::queryAccessibleInterface(editor);
    QVERIFY(full && full->textInterface());
    QCOMPARE(full->textInterface()->text(0, 4), QStringLiteral("text"));
    QAccessible::setActive(false);
}

SCRIBBET_TEST_MAIN(EditorViewTest)
#include "tst_editorview.moc"
