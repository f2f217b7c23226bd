#include "TestSandbox.h"

#include "EditorView.h"
#include "ScribbetApp.h"

#include "ScintillaControl.h"
#include "TextEditor.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QRandomGenerator>
#include <QTextLayout>

#include <memory>

using platform::ScintillaControl;
using platform::TextEditor;
using scribbet::EditorView;

namespace {

// A document read from `text`, and the editor view that the scene makes for it.
struct BoundView {
    std::unique_ptr<platform::DocumentValue> document;
    std::unique_ptr<EditorView> view;
};

std::unique_ptr<BoundView> makeView(const QByteArray &text)
{
    auto bound = std::make_unique<BoundView>();
    bound->document =
        scribbet::ScribbetApp::body().scene()->read(platform::FileWrapper::regularFile(text));
    bound->view.reset(static_cast<EditorView *>(bound->document->makeEditor()));
    return bound;
}

// The editing component inside the editor, for what only it can tell: rows, pixels, styles.
ScintillaControl &controlOf(TextEditor *editor)
{
    return *editor->findChild<ScintillaControl *>();
}

// Shows the text in an editor of that size, as in a window, once the window is on the screen.
bool showText(TextEditor &editor, QSize size, const QByteArray &text)
{
    editor.resize(size);
    editor.show();
    editor.loadText(text);
    return QTest::qWaitForWindowExposed(&editor);
}

// What a save would write.
QByteArray documentText(const BoundView &bound)
{
    return bound.document->fileWrapper().regularFileContents().value_or("<none>");
}

} // namespace

class EditorViewTest final : public QObject {
    Q_OBJECT

private slots:
    void returnTypesTheLineEndingTheTextUses();
    void largeTextArrivesInPiecesWithoutCountingAsAnEdit_data();
    void largeTextArrivesInPiecesWithoutCountingAsAnEdit();
    void undoTakesBackAWordOrALineEndingAtATime();
    void keysWithCtrlOrAltNeverType_data();
    void keysWithCtrlOrAltNeverType();
    void longLineWrapsBetweenWordsAndTakesEdits();
    void textIsSetWithTheFontsKerning();
    void largeTextWrapsWhereItIsSeen();
    void rowsAtTheEndOfALongLinePaintAsShortLinesDo();
    void editsInALongLineLayItOutAsAFreshLayoutDoes();
};

void EditorViewTest::returnTypesTheLineEndingTheTextUses()
{
    for (const QByteArray &ending : {QByteArray("\r\n"), QByteArray("\r"), QByteArray("\n")}) {
        const auto bound = makeView("one" + ending + "two");
        TextEditor *editor = bound->view->textEditor();
        editor->select({editor->length(), editor->length()});
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(documentText(*bound), "one" + ending + "two" + ending);
    }
}

void EditorViewTest::largeTextArrivesInPiecesWithoutCountingAsAnEdit_data()
{
    QTest::addColumn<QByteArray>("pattern");
    QTest::addColumn<bool>("waitForIt");
    const QByteArray lines("a line\r\nc\xc3\xa9\xe6\x97\xa5\r\0\xf0\x9f\x98\x80\n", 21);
    QTest::newRow("lines, all arrived") << lines << true;
    QTest::newRow("lines, asked for at once") << lines << false;
    // A line is never cut into pieces, so a text of one line arrives whole, at once.
    QTest::newRow("one line") << QByteArray("a single line that never ends, ") << true;
}

// A large text shows at once and arrives on the next turns of the event loop: asked for
// meanwhile, it comes whole; nothing is typed into half a file; loading is no undoable edit.
void EditorViewTest::largeTextArrivesInPiecesWithoutCountingAsAnEdit()
{
    QFETCH(QByteArray, pattern);
    QFETCH(bool, waitForIt);
    QByteArray text;
    while (text.size() < qsizetype(9) * 1024 * 1024) // several pieces
        text += pattern;
    // A copy of its own, which the editor lets go of piece by piece as it takes them.
    const auto bound = makeView(QByteArray(text.constData(), text.size()));
    TextEditor *editor = bound->view->textEditor();
    QCOMPARE(editor->isLoading(), pattern.contains('\n'));
    QCOMPARE(editor->isReadOnly(), editor->isLoading());
    QCoreApplication::processEvents(); // a piece more arrives
    QVERIFY(!editor->isEdited());
    if (waitForIt)
        QTRY_VERIFY(!editor->isLoading());
    QVERIFY(documentText(*bound) == text);
    QVERIFY(!editor->isLoading() && !editor->isReadOnly());
    QVERIFY(!bound->view->textEditor()->isEdited() && !editor->isUndoAvailable());
    QTest::keyClick(editor, 'x');
    QVERIFY(bound->view->textEditor()->isEdited());
}

// A paste is one step too, and so is what was typed before a pause.
void EditorViewTest::undoTakesBackAWordOrALineEndingAtATime()
{
    const auto bound = makeView({});
    TextEditor *editor = bound->view->textEditor();
    scribbet::testing::ManualClock clock;
    editor->setClock(clock);
    QTest::keyClicks(editor, QStringLiteral("one two\rthree"));
    clock.advance(std::chrono::seconds(2));
    QTest::keyClicks(editor, QStringLiteral("four"));
    QGuiApplication::clipboard()->setText(QStringLiteral(" five six"));
    editor->paste();
    for (const char *left :
         {"one two\nthreefour", "one two\nthree", "one two\n", "one two", "one ", "one", ""}) {
        bound->view->textEditor()->undo();
        QCOMPARE(documentText(*bound), left);
    }
}

void EditorViewTest::keysWithCtrlOrAltNeverType_data()
{
    QTest::addColumn<char>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<long>("zoom");
    QTest::newRow("Ctrl+= zooms in") << '=' << Qt::KeyboardModifiers(Qt::ControlModifier) << 4L;
    QTest::newRow("Ctrl++ zooms in") << '+' << (Qt::ControlModifier | Qt::ShiftModifier) << 4L;
    QTest::newRow("Ctrl+- zooms out") << '-' << Qt::KeyboardModifiers(Qt::ControlModifier) << 2L;
    QTest::newRow("Ctrl+0 back to normal")
        << '0' << Qt::KeyboardModifiers(Qt::ControlModifier) << 0L;
    for (const char key : {'1', '.', ',', ';', '\''})
        QTest::newRow(qPrintable(QStringLiteral("Ctrl+") + QLatin1Char(key)))
            << key << Qt::KeyboardModifiers(Qt::ControlModifier) << 3L;
    QTest::newRow("Alt+x") << 'x' << Qt::KeyboardModifiers(Qt::AltModifier) << 3L;
}

// Starting zoomed in by three steps: a key with Ctrl or Alt types nothing, and only the zoom keys
// change the zoom.
void EditorViewTest::keysWithCtrlOrAltNeverType()
{
    QFETCH(char, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(long, zoom);
    const auto bound = makeView("text");
    TextEditor *editor = bound->view->textEditor();
    controlOf(editor).zoomTo(3);
    QTest::keyClick(editor, key, modifiers);
    QCOMPARE(documentText(*bound), QByteArray("text"));
    QCOMPARE(editor->zoom(), zoom);
}

// A long line is laid out and wrapped by shortcuts of its own, which must agree with the text.
void EditorViewTest::longLineWrapsBetweenWordsAndTakesEdits()
{
    QByteArray line = "\t"; // only at the start: a tab after an edit would take up its width
    for (int word = 0; line.size() < 20000; ++word)
        line +=
            word % 50 == 0 ? "caf\xc3\xa9 " : QByteArray(1 + word % 9, char('a' + word % 26)) + ' ';
    TextEditor textEditor;
    QVERIFY(showText(textEditor, {400, 300}, line));
    ScintillaControl &editor = controlOf(&textEditor);
    const auto y = [&](qsizetype position) {
        return editor.SendScintilla(ScintillaControl::SCI_POINTYFROMPOSITION, 0UL, long(position));
    };
    int rows = 1;
    for (qsizetype position = 1; position < line.size(); ++position)
        if (y(position) > y(position - 1)) {
            ++rows;
            QVERIFY2(line[position - 1] == ' ',
                     qPrintable(QStringLiteral("a row begins inside a word at %1").arg(position)));
        }
    QVERIFY(rows > 20);
    QCOMPARE(editor.SendScintilla(ScintillaControl::SCI_WRAPCOUNT, 0UL), long(rows));

    // Unwrapped, the end of the line moves by exactly what is typed into its middle.
    editor.SendScintilla(ScintillaControl::SCI_SETWRAPMODE, ScintillaControl::SC_WRAP_NONE);
    editor.viewport()->repaint(); // the rows go at the next paint
    const auto endX = [&] {       // from the start of the line, wherever the view has scrolled
        const auto x = [&](long position) {
            return editor.SendScintilla(ScintillaControl::SCI_POINTXFROMPOSITION, 0UL, position);
        };
        return x(editor.SendScintilla(ScintillaControl::SCI_GETLENGTH)) - x(0);
    };
    const long before = endX();
    editor.SendScintilla(ScintillaControl::SCI_GOTOPOS,
                         static_cast<unsigned long>(line.size() / 2));
    QTest::keyClicks(&textEditor, QStringLiteral("WW"));
    const long width = editor.SendScintilla(ScintillaControl::SCI_TEXTWIDTH,
                                            ScintillaControl::STYLE_DEFAULT, "WW");
    QVERIFY2(qAbs(endX() - before - width) <= 1, // positions are whole pixels, widths not
             qPrintable(QStringLiteral("moved %1 for %2").arg(endX() - before).arg(width)));
}

// Each character stands where Qt's own layout of the line puts it, kerning and all ("AV" and
// "To" closer than their letters' widths), however the editing component measures runs of ASCII.
void EditorViewTest::textIsSetWithTheFontsKerning()
{
    const QString text = QStringLiteral("AVATAR Toyota WAVE Typewriter, LT P. r, y. Wa Yo");
    TextEditor textEditor;
    QVERIFY(showText(textEditor, {1200, 200}, text.toUtf8()));
    ScintillaControl &control = controlOf(&textEditor);
    QTextLayout layout(text, QFontDatabase::systemFont(QFontDatabase::GeneralFont),
                       control.viewport());
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    const auto x = [&](qsizetype position) {
        return control.SendScintilla(ScintillaControl::SCI_POINTXFROMPOSITION, 0UL, long(position));
    };
    for (qsizetype position = 1; position <= text.size(); ++position)
        QVERIFY2(qAbs(x(position) - x(0) - line.cursorToX(int(position))) <= 1,
                 qPrintable(QStringLiteral("at %1: %2 rather than %3")
                                .arg(position)
                                .arg(x(position) - x(0))
                                .arg(line.cursorToX(int(position)))));
}

// A large text is wrapped where it is shown, never whole in idle time, and the end is reached
// exactly all the same.
void EditorViewTest::largeTextWrapsWhereItIsSeen()
{
#ifndef SCRIBBET_PATCHED_QSCINTILLA
    QSKIP("Debian's own editing component wraps every text whole, in idle time");
#endif
    QByteArray text;
    for (int line = 0; text.size() < qsizetype(2) * 1024 * 1024; ++line)
        text += QByteArray::number(line) + QByteArray(" words that wrap").repeated(12) + '\n';
    const auto bound = makeView(text);
    TextEditor *editor = bound->view->textEditor();
    editor->resize(400, 300);
    editor->show();
    QTRY_VERIFY(!editor->isLoading());
    QTest::qWait(100); // time enough for idle work, were there any
    ScintillaControl &control = controlOf(editor);
    const long lines = control.SendScintilla(ScintillaControl::SCI_GETLINECOUNT);
    QCOMPARE(control.SendScintilla(ScintillaControl::SCI_WRAPCOUNT,
                                   static_cast<unsigned long>(lines / 2)),
             1L);
    QTest::keyClick(editor, Qt::Key_End, Qt::ControlModifier);
    QVERIFY(control.SendScintilla(ScintillaControl::SCI_WRAPCOUNT,
                                  static_cast<unsigned long>(lines - 2)) > 1);
    // The lines wrapped on the screen take their rows, each after the rows of the one before;
    // the lines above them, not yet wrapped, a row each.
    const auto firstRow = [&](long line) {
        return control.SendScintilla(ScintillaControl::SCI_VISIBLEFROMDOCLINE, line);
    };
    QCOMPARE(firstRow(lines / 2), lines / 2);
    for (long line = lines - 4; line + 1 < lines; ++line)
        QCOMPARE(firstRow(line + 1) - firstRow(line),
                 control.SendScintilla(ScintillaControl::SCI_WRAPCOUNT, line));
    const long caretY =
        control.SendScintilla(ScintillaControl::SCI_POINTYFROMPOSITION, 0UL,
                              control.SendScintilla(ScintillaControl::SCI_GETCURRENTPOS));
    QVERIFY(caretY >= 0 && caretY < control.viewport()->height());
}

// Ten million characters into a line its rows lie tens of millions of pixels from its start: they
// are wrapped and painted as the same words would be as short lines, with nothing of the next
// row's first word at their end.
void EditorViewTest::rowsAtTheEndOfALongLinePaintAsShortLinesDo()
{
#ifndef SCRIBBET_PATCHED_QSCINTILLA
    QSKIP("Debian's own editing component takes minutes to lay out a line this long");
#endif
    QByteArray line;
    for (int word = 0; line.size() < 10'000'000; ++word)
        line += QByteArray(2 + word * 7 % 9, char('a' + word % 26)) + ' ';
    // The rightmost dark column of each row of a grab of the editor.
    const auto rowEnds = [](ScintillaControl &control, int rows) {
        const QImage image = control.viewport()->grab().toImage();
        const int height = int(control.SendScintilla(ScintillaControl::SCI_TEXTHEIGHT, 0UL));
        QList<int> ends(rows, -1);
        for (int y = 0; y < rows * height; ++y)
            for (int x = image.width() - 1; x > ends[y / height]; --x)
                if (qGray(image.pixel(x, y)) < 128)
                    ends[y / height] = x;
        return ends;
    };
    TextEditor longLine;
    QVERIFY(showText(longLine, {400, 300}, line));
    QTRY_VERIFY(!longLine.isLoading());
    QTest::keyClick(&longLine, Qt::Key_End, Qt::ControlModifier);
    ScintillaControl &control = controlOf(&longLine);
    const int height = int(control.SendScintilla(ScintillaControl::SCI_TEXTHEIGHT, 0UL));
    const int rows = control.viewport()->height() / height - 1; // whole rows, the last one ragged
    // Read from the rows as painted: a jump lands on rows estimated, wrapped as they are painted.
    const QList<int> painted = rowEnds(control, rows);
    QByteArray shortLines;
    const auto rowStart = [&](long row) {
        return control.SendScintilla(ScintillaControl::SCI_POSITIONFROMPOINT, 0UL, row * height);
    };
    for (int row = 0; row < rows; ++row)
        shortLines += line.mid(rowStart(row), rowStart(row + 1) - rowStart(row)) + '\n';
    TextEditor sameWords;
    QVERIFY(showText(sameWords, {400, 300}, shortLines));
    QCOMPARE(painted, rowEnds(controlOf(&sameWords), rows));
}

// After edits anywhere in a long line, its rows and every character's place, the caret's among
// them, are those of the same text laid out afresh, however much of the old layout was kept.
void EditorViewTest::editsInALongLineLayItOutAsAFreshLayoutDoes()
{
    QByteArray line;
    for (int word = 0; line.size() < 60000; ++word)
        line += (word == 2000 ? QByteArray("AVTo").repeated(600) // a long run of kerned pairs
                              : QByteArray(1 + word % 11, char('a' + word % 26))) +
                (word % 7 || line.size() < 40000 || line.size() > 50000 ? " " : "\t"); // tabs
    // only in one stretch: past it, what follows an edit moves by the edit's width.
    TextEditor edited;
    QVERIFY(showText(edited, {400, 300}, line));
    ScintillaControl &control = controlOf(&edited);
    const auto places = [](ScintillaControl &editor) {
        using Control = ScintillaControl;
        const long top = editor.SendScintilla(Control::SCI_POINTYFROMPOSITION, 0UL, 0L);
        QList<QPoint> points; // from the line's start: the view may have scrolled
        for (long at = 0; at <= editor.SendScintilla(Control::SCI_GETLENGTH); ++at)
            points.append(
                {int(editor.SendScintilla(Control::SCI_POINTXFROMPOSITION, 0UL, at)),
                 int(editor.SendScintilla(Control::SCI_POINTYFROMPOSITION, 0UL, at) - top)});
        return points;
    };
    const long kerned = line.indexOf("AVTo"); // each edit selects, then types over what it selected
    QList<std::tuple<long, long, QString>> edits = {
        {30000, 30000, "Wo typed in"}, {kerned, kerned, "Wa"},
        {59000, 59000, "AV\tTo "},     {500, 500, "x"},
        {45000, 45000, "\b\b\b"},      {10595, 11460, "\b"},
        {55000, 55000, "Wo"},          {-1, -1, " typed at the end"}};
    QRandomGenerator random(5); // and more anywhere, to meet every way the end of a line is kept
    for (int more = 0; more < 30; ++more) {
        const int at = random.bounded(60000), kind = more % 5;
        edits.append({at, kind == 4 ? at + random.bounded(5000) : at,
                      QStringList{"W", "\t", "AVTo ", "o", "\b"}[kind]});
    }
    for (const auto &[from, to, keys] : edits) {
        control.SendScintilla(ScintillaControl::SCI_SETSEL, from, to);
        QTest::keyClicks(&edited, keys);
        edited.repaint();
        TextEditor fresh;
        QVERIFY(showText(fresh, edited.size(), control.text().toUtf8()));
        const QList<QPoint> afterEdit = places(control);
        // Once its scroll bar has come: a text taller than the view is wrapped narrower.
        QTRY_VERIFY2(places(controlOf(&fresh)) == afterEdit, qPrintable(keys));
        const long top = control.SendScintilla(ScintillaControl::SCI_POINTYFROMPOSITION, 0UL, 0L);
        for (int at = 0; at < afterEdit.size() - 1; at += 97) // each place on its own row
            QCOMPARE(control.SendScintilla(ScintillaControl::SCI_POSITIONFROMPOINT,
                                           afterEdit[at].x(), afterEdit[at].y() + top),
                     long(at));
    }
}

SCRIBBET_TEST_MAIN(EditorViewTest)
#include "tst_editorview.moc"
