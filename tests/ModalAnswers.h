#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <functional>

namespace scribbet::testing {

/// Answers the next modal dialog of type Dialog once it is showing, as a person would, from
/// inside the dialog's own event loop. Gives up after about ten seconds.
template <class Dialog> void answerNextModal(std::function<void(Dialog *)> answer)
{
    auto *timer = new QTimer(qApp);
    auto attempts = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, attempts, answer = std::move(answer)] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (!dialog && ++*attempts < 2000)
            return;
        timer->stop();
        timer->deleteLater();
        if (dialog)
            answer(dialog);
    });
    timer->start(5);
}

/// Clicks the first button with `role` in the next modal message box, as a person would.
inline void clickInNextMessageBox(QMessageBox::ButtonRole role)
{
    answerNextModal<QMessageBox>([role](QMessageBox *box) {
        for (QAbstractButton *button : box->buttons()) {
            if (box->buttonRole(button) == role) {
                button->click();
                return;
            }
        }
        box->reject();
    });
}

/// Answers the next message box from the keyboard: Alt and a button's letter, Enter or Escape.
inline void pressInNextMessageBox(QKeyCombination key)
{
    answerNextModal<QMessageBox>([key](QMessageBox *box) {
        // Alt and a letter reach a button only in the active window, which a box that has just
        // shown may not be yet.
        box->activateWindow();
        if (!QTest::qWaitForWindowActive(box))
            qWarning("the message box never became the active window");
        QTest::keyClick(box, key.key(), key.keyboardModifiers());
    });
}

/// Every message box that is showing, such as an error.
inline QList<QMessageBox *> shownMessageBoxes()
{
    QList<QMessageBox *> boxes;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible())
            boxes.append(box);
    }
    return boxes;
}

} // namespace scribbet::testing
