#include "FindBar.h"

#include "Finding.h"
#include "TextEditor.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
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
    , m_matchCase(new QCheckBox(tr("Match &case")))
    , m_wholeWords(new QCheckBox(tr("&Whole words")))
    , m_regularExpression(new QCheckBox(tr("Re&gular expression")))
    , m_status(new QLabel)
{
    m_findField->setObjectName(QStringLiteral("find"));
    m_replaceField->setObjectName(QStringLiteral("replace"));
    m_matchCase->setObjectName(QStringLiteral("matchCase"));
    m_wholeWords->setObjectName(QStringLiteral("wholeWords"));
    m_regularExpression->setObjectName(QStringLiteral("regularExpression"));
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    addFindRow(layout);
    addReplaceRow(layout);
    m_findField->installEventFilter(this);
    m_replaceField->installEventFilter(this);
    connect(m_findField, &QLineEdit::textEdited, this, &FindBar::findAsTyped);
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
    layout->addWidget(m_matchCase, 0, 4);
    layout->addWidget(m_wholeWords, 0, 5);
    m_regularExpression->setToolTip(tr("Perl-compatible regular expressions; in a replacement, "
                                       "$1 or ${name} stands for what a group matched"));
    layout->addWidget(m_regularExpression, 0, 6);
    layout->addWidget(m_status, 0, 7);
    // The fields take the room; what the bar says gets what is left.
    layout->setColumnStretch(1, 2);
    layout->setColumnStretch(7, 1);
    m_findField->setMinimumWidth(fontMetrics().averageCharWidth() * 12);
    // A long message is cut rather than widening the window; its tooltip holds it whole.
    m_status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto *close = new QToolButton;
    close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    close->setToolTip(tr("Close"));
    close->setAutoRaise(true);
    layout->addWidget(close, 0, 8);
    connect(close, &QToolButton::clicked, this, &FindBar::finished);
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
    const auto count = qsizetype(replacements.size());
    showStatus(count == 1 ? tr("Replaced 1 match")
                          : tr("Replaced %1 matches").arg(QLocale().toString(count)));
    return count;
}

// A problem shows in the field's colour as well as in words.
void FindBar::showStatus(const QString &text, bool isProblem)
{
    m_status->setText(text);
    m_status->setToolTip(text);
    QPalette colours = palette();
    if (isProblem) {
        colours.setColor(QPalette::Base, QColor(0xf8, 0xd7, 0xda));
        colours.setColor(QPalette::Text, Qt::black);
    }
    m_findField->setPalette(colours);
}

} // namespace platform
