#include "TextEditor.h"

#include "DocumentAlerts.h"
#include "EditorAccessible.h"
#include "FileError.h"
#include "ScintillaControl.h"
#include "TextLoading.h"
#include "TextPrinter.h"

#include <QCoreApplication>
#include <QPrintDialog>
#include <QVBoxLayout>

namespace platform {

using Sci = QsciScintillaBase;

TextEditor::TextEditor(QWidget *parent)
    : QWidget(parent)
    , m_control(new ScintillaControl(this))
    , m_loading(std::make_unique<TextLoading>(*m_control))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_control);
    setFocusProxy(m_control);
    EditorAccessible::attachTo(*m_control);
    m_control->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_control, &ScintillaControl::customContextMenuRequested, this, [this](QPoint at) {
        emit contextMenuRequested(m_control->viewport()->mapToGlobal(at));
    });
    connect(m_control, &ScintillaControl::SCN_URIDROPPED, this, &TextEditor::fileDropped);
    connect(m_control, &ScintillaControl::edited, this, &TextEditor::edited);
    connect(m_control, &ScintillaControl::modificationChanged, this, &TextEditor::editedChanged);
    connect(m_loading.get(), &TextLoading::ranOutOfMemory, this, [this] {
        showError(tr("There isn’t enough memory to hold the whole text. What is shown is "
                     "incomplete and can’t be saved."),
                  window());
    });
    loadText({});
}

TextEditor::TextEditor(TextBinding text, QWidget *parent)
    : TextEditor(parent)
{
    loadText(text.takeInto(this));
}

TextEditor::~TextEditor() = default;

void TextEditor::loadText(QByteArray utf8)
{
    m_loading->load(std::move(utf8));
}

bool TextEditor::isLoading() const
{
    return m_loading->isLoading();
}

void TextEditor::replaceText(const QByteArray &utf8)
{
    // Undo keeps a copy of both texts; past this the reload is not worth holding twice.
    constexpr qsizetype largestUndoableReplacement = qsizetype(16) * 1024 * 1024;
    const int firstLine = firstVisibleLine();
    const long caret = m_control->SendScintilla(Sci::SCI_GETCURRENTPOS);
    if (isLoading() || utf8.size() + length() > largestUndoableReplacement) {
        loadText(utf8);
    } else {
        m_control->wrapLines(utf8.size());
        m_control->matchNewLinesTo(utf8);
        m_control->SendScintilla(Sci::SCI_BEGINUNDOACTION);
        m_control->SendScintilla(Sci::SCI_CLEARALL);
        const bool inserted = m_control->insertHeld(0, utf8.constData(), utf8.size());
        m_control->SendScintilla(Sci::SCI_ENDUNDOACTION);
        m_control->SendScintilla(Sci::SCI_SETSAVEPOINT);
        if (!inserted)
            m_loading->giveUp();
    }
    m_control->SendScintilla(Sci::SCI_GOTOPOS, qMin(caret, long(length())));
    setFirstVisibleLine(firstLine);
}

void TextEditor::replaceTextAsEdit(const QByteArray &utf8)
{
    m_loading->finish();
    m_control->replaceTextAsEdit(utf8);
}

void TextEditor::replaceRanges(const std::vector<Replacement> &replacements)
{
    m_control->replaceRanges(replacements);
}

QByteArray TextEditor::utf8Text()
{
    const QByteArray lent = lentUtf8Text();
    return {lent.constData(), lent.size()};
}

QByteArray TextEditor::lentUtf8Text()
{
    if (m_loading->isIncomplete())
        throw FileError(FileError::WriteUnknown,
                        tr("The text is incomplete: there wasn’t enough memory to hold it all."));
    const std::string_view text = textView();
    return QByteArray::fromRawData(text.data(), qsizetype(text.size()));
}

std::string_view TextEditor::textView()
{
    if (isLoading())
        m_loading->finish();
    return m_control->textView();
}

qsizetype TextEditor::length() const
{
    return m_control->length();
}

bool TextEditor::isReadOnly() const
{
    return m_control->isReadOnly();
}

TextRange TextEditor::selection() const
{
    return {qsizetype(m_control->SendScintilla(Sci::SCI_GETSELECTIONSTART)),
            qsizetype(m_control->SendScintilla(Sci::SCI_GETSELECTIONEND))};
}

void TextEditor::select(TextRange range)
{
    m_control->SendScintilla(Sci::SCI_SETSEL, static_cast<unsigned long>(range.start),
                             long(range.end));
    m_control->SendScintilla(Sci::SCI_SCROLLRANGE, static_cast<unsigned long>(range.start),
                             long(range.end));
}

TextPlace TextEditor::caretPlace() const
{
    const long caret = m_control->SendScintilla(Sci::SCI_GETCURRENTPOS);
    const long line =
        m_control->SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(caret));
    const long lineStart =
        m_control->SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const long column = m_control->SendScintilla(Sci::SCI_COUNTCHARACTERS,
                                                 static_cast<unsigned long>(lineStart), caret);
    return {qsizetype(line) + 1, qsizetype(column) + 1};
}

qsizetype TextEditor::lineCount() const
{
    return qsizetype(m_control->SendScintilla(Sci::SCI_GETLINECOUNT));
}

void TextEditor::moveCaretTo(TextPlace place)
{
    textView();
    const auto line = static_cast<unsigned long>(qBound(qsizetype(1), place.line, lineCount()) - 1);
    const long start = m_control->SendScintilla(Sci::SCI_POSITIONFROMLINE, line);
    const long end = m_control->SendScintilla(Sci::SCI_GETLINEENDPOSITION, line);
    // Counted in characters, never into the middle of one; past the line's end is its end.
    const long columns = long(qMin(place.column - 1, qsizetype(end - start)));
    long position = m_control->SendScintilla(Sci::SCI_POSITIONRELATIVE,
                                             static_cast<unsigned long>(start), columns);
    if (position == 0 && columns > 0)
        position = end;
    m_control->SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(qMin(position, end)));
    m_control->SendScintilla(Sci::SCI_SCROLLCARET);
}

QString TextEditor::selectedText() const
{
    return m_control->selectedText();
}

bool TextEditor::hasSelectedText() const
{
    return m_control->hasSelectedText();
}

void TextEditor::selectAll()
{
    m_control->selectAll();
}

bool TextEditor::isEdited() const
{
    return m_control->isModified();
}

void TextEditor::markSaved()
{
    m_control->SendScintilla(Sci::SCI_SETSAVEPOINT);
}

void TextEditor::undo()
{
    m_control->undo();
}

void TextEditor::redo()
{
    m_control->redo();
}

bool TextEditor::isUndoAvailable() const
{
    return m_control->isUndoAvailable();
}

bool TextEditor::isRedoAvailable() const
{
    return m_control->isRedoAvailable();
}

void TextEditor::cut()
{
    m_control->cut();
}

void TextEditor::copy()
{
    m_control->copy();
}

void TextEditor::paste()
{
    m_control->paste();
}

void TextEditor::removeSelectedText()
{
    m_control->removeSelectedText();
}

void TextEditor::zoomIn()
{
    m_control->zoomIn();
}

void TextEditor::zoomOut()
{
    m_control->zoomOut();
}

void TextEditor::resetZoom()
{
    m_control->zoomTo(0);
}

int TextEditor::zoom() const
{
    return int(m_control->SendScintilla(Sci::SCI_GETZOOM));
}

int TextEditor::firstVisibleLine() const
{
    return m_control->firstVisibleLine();
}

void TextEditor::setFirstVisibleLine(int line)
{
    m_control->setFirstVisibleLine(line);
}

void TextEditor::setClock(const Clock &clock)
{
    m_control->setClock(clock);
}

void TextEditor::setName(const QString &name)
{
    setAccessibleName(name);
    m_control->setAccessibleName(name);
}

// In the editor's font, black on white, each line wrapped to the page.
void TextEditor::print(const QString &documentName)
{
    TextPrinter printer(documentName);
    QPrintDialog dialog(&printer, window());
    if (dialog.exec() == QDialog::Accepted)
        printer.printText(m_control);
}

// Keys sent to the editor itself, rather than to the control that has the focus, reach the
// text all the same. A key the control leaves comes back up to the editor: it goes on up.
void TextEditor::forward(QEvent *event)
{
    if (m_isForwarding) {
        event->ignore();
        return;
    }
    m_isForwarding = true;
    QCoreApplication::sendEvent(m_control, event);
    m_isForwarding = false;
}

void TextEditor::keyPressEvent(QKeyEvent *event)
{
    forward(event);
}

void TextEditor::keyReleaseEvent(QKeyEvent *event)
{
    forward(event);
}

void TextEditor::inputMethodEvent(QInputMethodEvent *event)
{
    forward(event);
}

} // namespace platform
