#pragma once

#include <QWidget>

#include <memory>

class QAction;
class QGridLayout;
class QLabel;
class QLineEdit;

namespace platform {

class TextEditor;
class TextSearch;
struct LastSearch;
enum class FindDirection;

/// Find and replace for one text editor: a bar that comes up under the text while it is used.
/// Enter and Shift+Enter go to the next and the previous match, wrapping around at either end
/// of the text; Escape puts it away. What it says (wrapped, not found, how many replaced) shows
/// in the bar itself, never in a box that has to be dismissed, on a row of its own that wraps, so
/// that the bar never widens its window. The options sit behind one button; their mnemonics
/// toggle them from the fields without taking the focus away.
///
/// `lastSearch` is what was searched for last, shared by every window's bar, as the desktop's
/// editors share it.
class FindBar final : public QWidget {
    Q_OBJECT

public:
    FindBar(TextEditor *editor, LastSearch &lastSearch, QWidget *parent = nullptr);
    ~FindBar() override;

    /// Fills the field with the selection, or else the last search, and puts the focus there.
    void startFinding(bool withReplace);

    /// Whether there is anything to find again: the field's text or the last search.
    bool hasSearch() const;

    /// Selects the next or the previous match of the field's text, or the last search's.
    /// Returns whether there was one.
    bool findNext();
    bool findPrevious();

    /// Replaces the selection if it is a match, then selects the next match.
    void replace();

    /// Replaces every match in one undoable step and returns how many there were.
    qsizetype replaceAll();

    /// What the bar last said: wrapped, not found, replaced, or what was wrong with the pattern.
    QString status() const;

signals:
    /// Escape was pressed in the bar: its window puts it away and gives the text the focus.
    void finished();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addFindRow(QGridLayout *layout);
    void addReplaceRow(QGridLayout *layout);
    QWidget *optionsButton();
    bool find(FindDirection direction);
    void findAsTyped();
    std::unique_ptr<TextSearch> currentSearch();
    void showStatus(const QString &text, bool isProblem = false);

    TextEditor *m_editor;
    LastSearch &m_lastSearch;
    QLineEdit *m_findField;
    QLineEdit *m_replaceField;
    QAction *m_matchCase;
    QAction *m_wholeWords;
    QAction *m_regularExpression;
    QLabel *m_status;
    QList<QWidget *> m_replaceRow;
    // Until the text changes again, undo in the fields undoes the replacement, not the typing.
    bool m_hasJustReplacedAll = false;
};

} // namespace platform
