#include "DocumentAlerts.h"

#include "Document.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>

namespace platform {

SaveChoice askToSaveChanges(const Document &document, QWidget *parent)
{
    QMessageBox box(
        QMessageBox::Warning, QMessageBox::tr("Save Changes"),
        QMessageBox::tr("Do you want to save the changes you made to the document “%1”?")
            .arg(document.displayName()),
        QMessageBox::NoButton, parent);
    box.setInformativeText(QMessageBox::tr("Your changes will be lost if you don’t save them."));
    QPushButton *save = box.addButton(QMessageBox::Save);
    QPushButton *dontSave =
        box.addButton(QMessageBox::tr("Don’t Save"), QMessageBox::DestructiveRole);
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(save);
    box.exec();
    if (box.clickedButton() == save)
        return SaveChoice::Save;
    if (box.clickedButton() == dontSave)
        return SaveChoice::DontSave;
    return SaveChoice::Cancel;
}

bool confirmRevert(const Document &document, QWidget *parent)
{
    QMessageBox box(QMessageBox::Question, QMessageBox::tr("Revert to Saved"),
                    QMessageBox::tr("Do you want to revert “%1” to the last saved version?")
                        .arg(document.displayName()),
                    QMessageBox::NoButton, parent);
    box.setInformativeText(QMessageBox::tr("Your current changes will be lost."));
    QPushButton *revert = box.addButton(QMessageBox::tr("Revert"), QMessageBox::DestructiveRole);
    box.addButton(QMessageBox::Cancel);
    box.exec();
    return box.clickedButton() == revert;
}

void showError(const QString &message, QWidget *parent)
{
    auto *box = new QMessageBox(QMessageBox::Critical, QGuiApplication::applicationDisplayName(),
                                message, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace platform
