#include "GoToLine.h"

#include "Finding.h"
#include "TextEditor.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include <climits>

namespace platform {
namespace {

struct GoToLine {
    Q_DECLARE_TR_FUNCTIONS(GoToLine)
};

QString whereTheCaretIs(const TextEditor &editor)
{
    const TextPlace caret = editor.caretPlace();
    const QLocale locale;
    return GoToLine::tr("The caret is at line %1, column %2, of %n lines.", nullptr,
                        int(qMin(editor.lineCount(), qsizetype(INT_MAX))))
        .arg(locale.toString(caret.line), locale.toString(caret.column));
}

} // namespace

void goToLine(TextEditor &editor, QWidget *parent)
{
    QDialog question(parent);
    question.setWindowTitle(GoToLine::tr("Go to Line"));
    auto *layout = new QVBoxLayout(&question);
    layout->addWidget(new QLabel(whereTheCaretIs(editor)));
    auto *prompt = new QLabel(GoToLine::tr("&Line, or line:column:"));
    auto *field = new QLineEdit(QString::number(editor.caretPlace().line));
    field->setObjectName(QStringLiteral("place"));
    field->selectAll();
    prompt->setBuddy(field);
    layout->addWidget(prompt);
    layout->addWidget(field);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &question, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &question, &QDialog::reject);
    // OK only for what names a place, so that a slip is seen before it moves the caret.
    QPushButton *ok = buttons->button(QDialogButtonBox::Ok);
    QObject::connect(field, &QLineEdit::textChanged, ok, [ok](const QString &typed) {
        ok->setEnabled(parseTextPlace(typed).has_value());
    });
    if (question.exec() != QDialog::Accepted)
        return;
    if (const std::optional<TextPlace> place = parseTextPlace(field->text()))
        editor.moveCaretTo(*place);
}

} // namespace platform
