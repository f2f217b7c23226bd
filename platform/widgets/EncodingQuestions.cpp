#include "EncodingQuestions.h"

#include "Document.h"
#include "TextEncodings.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace platform {
namespace {

struct EncodingQuestions {
    Q_DECLARE_TR_FUNCTIONS(EncodingQuestions)
};

QComboBox *encodingList(const QString &guess)
{
    auto *list = new QComboBox;
    list->setObjectName(QStringLiteral("encoding"));
    QStringList encodings = textEncodings::available();
    encodings.removeAll(guess);
    encodings.prepend(guess);
    list->addItems(encodings);
    return list;
}

// Asks whether a save keeps the file's encoding or makes it UTF-8 from now on.
std::optional<bool> askToKeepEncoding(const Document &document, QWidget *parent)
{
    QMessageBox box(QMessageBox::Question, QGuiApplication::applicationDisplayName(),
                    EncodingQuestions::tr("Do you want to keep the encoding of “%1”, %2, or "
                                          "convert it to UTF-8?")
                        .arg(document.displayName(), document.encoding()),
                    QMessageBox::NoButton, parent);
    box.setInformativeText(
        EncodingQuestions::tr(
            "Programs that read it as %1 will need it kept; UTF-8 holds every character.")
            .arg(document.encoding()));
    QPushButton *keep = box.addButton(EncodingQuestions::tr("&Keep %1").arg(document.encoding()),
                                      QMessageBox::AcceptRole);
    QPushButton *convert =
        box.addButton(EncodingQuestions::tr("Convert to &UTF-8"), QMessageBox::AcceptRole);
    box.addButton(QMessageBox::Cancel)->setText(EncodingQuestions::tr("&Cancel"));
    box.setDefaultButton(keep);
    box.exec();
    if (box.clickedButton() == keep)
        return true;
    if (box.clickedButton() == convert)
        return false;
    return std::nullopt;
}

} // namespace

std::optional<QString> askForEncoding(const QString &why, const QString &guess, QWidget *parent)
{
    QDialog question(parent);
    question.setWindowTitle(EncodingQuestions::tr("Open in Another Encoding"));
    auto *layout = new QVBoxLayout(&question);
    auto *message = new QLabel(why);
    message->setWordWrap(true);
    layout->addWidget(message);
    auto *prompt = new QLabel(EncodingQuestions::tr("You can open it in an encoding you choose. "
                                                    "&Encoding:"));
    prompt->setWordWrap(true);
    QComboBox *list = encodingList(guess);
    prompt->setBuddy(list);
    layout->addWidget(prompt);
    layout->addWidget(list);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Open)->setText(EncodingQuestions::tr("&Open"));
    buttons->button(QDialogButtonBox::Cancel)->setText(EncodingQuestions::tr("&Cancel"));
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &question, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &question, &QDialog::reject);
    list->setFocus();
    if (question.exec() != QDialog::Accepted)
        return std::nullopt;
    return list->currentText();
}

std::optional<QByteArray> bytesInItsEncoding(Document &document, QByteArray utf8, QWidget *parent)
{
    if (document.encoding().isEmpty())
        return utf8;
    if (!document.isEncodingSettled()) {
        const std::optional<bool> keep = askToKeepEncoding(document, parent);
        if (!keep)
            return std::nullopt;
        document.settleEncoding();
        if (!*keep) {
            document.setEncoding({});
            return utf8;
        }
    }
    const textEncodings::Encoded encoded =
        textEncodings::encode(QString::fromUtf8(utf8), document.encoding());
    if (encoded.unrepresentable.isEmpty())
        return encoded.bytes;
    // Never a stand-in for a character: the user removes them, or the file becomes UTF-8.
    QMessageBox box(
        QMessageBox::Warning, QGuiApplication::applicationDisplayName(),
        EncodingQuestions::tr("“%1” can’t be saved in %2, which has no place for "
                              "these characters: %3")
            .arg(document.displayName(), document.encoding(), encoded.unrepresentable.left(40)),
        QMessageBox::NoButton, parent);
    box.setInformativeText(EncodingQuestions::tr("Nothing was written."));
    QPushButton *convert =
        box.addButton(EncodingQuestions::tr("Save as &UTF-8"), QMessageBox::AcceptRole);
    box.setDefaultButton(box.addButton(QMessageBox::Cancel));
    box.defaultButton()->setText(EncodingQuestions::tr("&Cancel"));
    box.exec();
    if (box.clickedButton() != convert)
        return std::nullopt;
    document.setEncoding({});
    return utf8;
}

} // namespace platform
