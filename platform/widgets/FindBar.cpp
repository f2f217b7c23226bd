#include "FindBar.h"

#include "Finding.h"
#include "TextEditor.h"

#include <QAction>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QToolButton>

#include <new>
#include <vector>

namespace platform {
namespace {

// A selection that fits on one line is what the user means to find; a longer one is not.
QString selectionToFind(const TextEditor &editor)
{
    QString selected = editor.selectedText();
    if (selected.isEmpty() || selected.size() > 1000 || selected.contains(QLatin1Char('\n')) ||
        selected.contains(QLatin1Char('\r')))
        return {};
    return selected;
}

QPushButton *addButton(QGridLayout *layout, const QString &text, int row, int column)
{
    auto *button = new QPushButton(text);
    button->setAutoDefault(false);
    layout->addWidget(button, row, column);
    return button;
}

} // namespace

FindBar::FindBar(TextEditor *editor, LastSearch &lastSearch, QWidget *parent)
    : QWidget(parent)
    , m_editor(editor)
    , m_lastSearch(lastSearch)
    , m_findField(new QLineEdit)
    , m_replaceField(new QLineEdit)
    , m_matchCase(new QAction(tr("Match &case"), this))
    , m_wholeWords(new QAction(tr("&Whole words"), this))
    , m_regularExpression(new QAction(tr("Re&gular expression"), this))
    , m_status(new QLabel)
{
    m_findField->setObjectName(QStringLiteral("find"));
    m_replaceField->setObjectName(QStringLiteral("replace"));
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    addFindRow(layout);
    addReplaceRow(layout);
    // Tab goes from what to find to what replaces it, then on to the buttons.
    setTabOrder(m_findField, m_replaceField);
    m_findField->installEventFilter(this);
    m_replaceField->installEventFilter(this);
    connect(m_findField, &QLineEdit::textEdited, this, &FindBar::findAsTyped);
    const auto forgetReplacement = [this] {
        m_hasJustReplacedAll = false;
    };
    connect(m_editor, &TextEditor::edited, this, forgetReplacement);
    connect(m_findField, &QLineEdit::textEdited, this, forgetReplacement);
    connect(m_replaceField, &QLineEdit::textEdited, this, forgetReplacement);
    setFocusProxy(m_findField);
}

void FindBar::addFindRow(QGridLayout *layout)
{
    auto *findLabel = new QLabel(tr("F&ind:"));
    findLabel->setBuddy(m_findField);
    layout->addWidget(findLabel, 0, 0);
    layout->addWidget(m_findField, 0, 1);
    connect(addButton(layout, tr("Pre&vious"), 0, 2), &QPushButton::clicked, this,
            &FindBar::findPrevious);
    connect(addButton(layout, tr("&Next"), 0, 3), &QPushButton::clicked, this, &FindBar::findNext);
    layout->addWidget(optionsButton(), 0, 4);
    auto *close = new QToolButton;
    close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    close->setToolTip(tr("Close"));
    close->setAccessibleName(tr("Close"));
    close->setAutoRaise(true);
    layout->addWidget(close, 0, 5);
    connect(close, &QToolButton::clicked, this, &FindBar::finished);
    // The fields take the room there is; what the bar says wraps on a row of its own, under them.
    layout->setColumnStretch(1, 1);
    m_findField->setMinimumWidth(fontMetrics().averageCharWidth() * 12);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_status->hide();
    layout->addWidget(m_status, 2, 1, 1, 5);
}

// Match case, whole words and regular expressions behind one button, as checkable actions whose
// mnemonics also work while the menu is closed, leaving the focus where it is.
QWidget *FindBar::optionsButton()
{
    auto *button = new QToolButton;
    button->setObjectName(QStringLiteral("options"));
    button->setText(tr("Options"));
    button->setPopupMode(QToolButton::InstantPopup);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto *menu = new QMenu(button);
    m_matchCase->setObjectName(QStringLiteral("matchCase"));
    m_wholeWords->setObjectName(QStringLiteral("wholeWords"));
    m_regularExpression->setObjectName(QStringLiteral("regularExpression"));
    m_regularExpression->setToolTip(tr("Perl-compatible regular expressions; in a replacement, "
                                       "$1 or ${name} stands for what a group matched"));
    menu->setToolTipsVisible(true);
    for (QAction *option : {m_matchCase, m_wholeWords, m_regularExpression}) {
        option->setCheckable(true);
        menu->addAction(option);
        auto *mnemonic = new QShortcut(QKeySequence::mnemonic(option->text()), this);
        mnemonic->setContext(Qt::WidgetWithChildrenShortcut);
        connect(mnemonic, &QShortcut::activated, option, &QAction::toggle);
    }
    button->setMenu(menu);
    return button;
}

void FindBar::addReplaceRow(QGridLayout *layout)
{
    auto *replaceLabel = new QLabel(tr("Replace wit&h:"));
    replaceLabel->setBuddy(m_replaceField);
    layout->addWidget(replaceLabel, 1, 0);
    layout->addWidget(m_replaceField, 1, 1);
    QPushButton *replaceOne = addButton(layout, tr("&Replace"), 1, 2);
    QPushButton *replaceEvery = addButton(layout, tr("Replace &All"), 1, 3);
    connect(replaceOne, &QPushButton::clicked, this, &FindBar::replace);
    connect(replaceEvery, &QPushButton::clicked, this, &FindBar::replaceAll);
    m_replaceRow = {replaceLabel, m_replaceField, replaceOne, replaceEvery};
}

FindBar::~FindBar() = default;

void FindBar::startFinding(bool withReplace)
{
    const QString selected = selectionToFind(*m_editor);
    const LastSearch &last = m_lastSearch;
    m_findField->setText(selected.isEmpty() ? last.pattern : selected);
    m_matchCase->setChecked(last.options.matchCase);
    m_wholeWords->setChecked(last.options.wholeWords);
    m_regularExpression->setChecked(last.options.regularExpression && selected.isEmpty());
    for (QWidget *widget : std::as_const(m_replaceRow))
        widget->setVisible(withReplace);
    showStatus({});
    m_findField->selectAll();
    m_findField->setFocus();
}

bool FindBar::hasSearch() const
{
    return !m_findField->text().isEmpty() || !m_lastSearch.pattern.isEmpty();
}

bool FindBar::findNext()
{
    return find(FindDirection::Forward);
}

bool FindBar::findPrevious()
{
    return find(FindDirection::Backward);
}

QString FindBar::status() const
{
    return m_status->text();
}

// Enter finds the next match and Shift+Enter the previous one, in the replace field too, where
// Enter replaces; Escape puts the bar away from anywhere in it.
bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_Escape) {
        emit finished();
        return true;
    }
    if (key->matches(QKeySequence::Undo) && m_hasJustReplacedAll) {
        m_editor->undo();
        return true;
    }
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return QWidget::eventFilter(watched, event);
    if (key->modifiers() & Qt::ShiftModifier)
        findPrevious();
    else if (watched == m_replaceField)
        replace();
    else
        findNext();
    return true;
}

// The field's text, or the last search when the field is empty, as when F3 comes first.
std::unique_ptr<TextSearch> FindBar::currentSearch()
{
    LastSearch &last = m_lastSearch;
    if (m_findField->text().isEmpty()) {
        m_findField->setText(last.pattern);
    } else {
        last.pattern = m_findField->text();
        last.options = {m_matchCase->isChecked(), m_wholeWords->isChecked(),
                        m_regularExpression->isChecked()};
    }
    if (m_findField->text().isEmpty())
        return nullptr;
    auto search = std::make_unique<TextSearch>(m_findField->text(), last.options);
    if (!search->patternError().isEmpty()) {
        showStatus(search->patternError(), true);
        return nullptr;
    }
    return search;
}

bool FindBar::find(FindDirection direction)
{
    const auto search = currentSearch();
    if (!search)
        return false;
    std::optional<Found> found;
    try {
        found = findFrom(*search, m_editor->textView(), m_editor->selection(), direction);
    } catch (const SearchError &error) {
        showStatus(QString::fromStdString(error.what()), true);
        return false;
    }
    if (!found) {
        showStatus(tr("Not found"), true);
        return false;
    }
    m_editor->select(found->match);
    if (!found->wrapped)
        showStatus({});
    else if (direction == FindDirection::Forward)
        showStatus(tr("Continued from the top"));
    else
        showStatus(tr("Continued from the bottom"));
    return true;
}

// Typing into the field moves the selection to the first match from where the search began,
// so that the match grows as the word does. Regular expressions wait for Enter, since they are
// seldom whole while typed.
void FindBar::findAsTyped()
{
    if (m_regularExpression->isChecked() || m_findField->text().isEmpty()) {
        showStatus({});
        return;
    }
    const qsizetype start = m_editor->selection().start;
    m_editor->select({start, start});
    if (!findNext())
        m_editor->select({start, start});
}

void FindBar::replace()
{
    const auto search = currentSearch();
    if (!search)
        return;
    const std::string_view text = m_editor->textView();
    const TextRange selected = m_editor->selection();
    try {
        if (!m_editor->isReadOnly() && search->isMatch(text, selected)) {
            const QByteArray replacement =
                search->replacementFor(text, selected, m_replaceField->text().toUtf8());
            m_editor->replaceRanges({{selected, replacement}});
            const qsizetype after = selected.start + replacement.size();
            m_editor->select({after, after});
        }
    } catch (const SearchError &error) {
        showStatus(QString::fromStdString(error.what()), true);
        return;
    }
    findNext();
}

qsizetype FindBar::replaceAll()
{
    const auto search = currentSearch();
    if (!search || m_editor->isReadOnly())
        return 0;
    std::vector<Replacement> replacements;
    try {
        replacements =
            replaceEveryMatch(*search, m_editor->textView(), m_replaceField->text().toUtf8());
    } catch (const SearchError &error) {
        showStatus(QString::fromStdString(error.what()), true);
        return 0;
    } catch (const std::bad_alloc &) {
        // Millions of matches, as of an expression that matches everywhere: the text stays.
        showStatus(tr("There isn’t enough memory to replace every match; nothing was replaced."),
                   true);
        return 0;
    }
    if (replacements.empty()) {
        showStatus(tr("Not found"), true);
        return 0;
    }
    m_editor->replaceRanges(replacements);
    m_hasJustReplacedAll = true;
    const auto count = qsizetype(replacements.size());
    showStatus(count == 1 ? tr("Replaced 1 match")
                          : tr("Replaced %1 matches").arg(QLocale().toString(count)));
    return count;
}

// A problem shows in the field's colour as well as in words. A screen reader hears the words as
// the field's description, since the focus stays in the field.
void FindBar::showStatus(const QString &text, bool isProblem)
{
    m_status->setText(text);
    m_status->setVisible(!text.isEmpty());
    m_findField->setAccessibleDescription(text);
    QPalette colours = palette();
    if (isProblem) {
        colours.setColor(QPalette::Base, QColor(0xf8, 0xd7, 0xda));
        colours.setColor(QPalette::Text, Qt::black);
    }
    m_findField->setPalette(colours);
}

} // namespace platform
