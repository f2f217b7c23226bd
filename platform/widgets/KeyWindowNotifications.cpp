#include "KeyWindowNotifications.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

namespace platform {
namespace {

QWidget *topLevelWidgetOf(const QWindow *window)
{
    if (!window)
        return nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->windowHandle() == window)
            return widget;
    }
    return nullptr;
}

} // namespace

std::shared_ptr<ObserverToken> addKeyWindowObserver(std::function<void(QWidget *window)> handler)
{
    auto *application = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    return std::make_shared<ObserverToken>(QObject::connect(
        application, &QGuiApplication::focusWindowChanged, application,
        [handler = std::move(handler)](QWindow *window) { handler(topLevelWidgetOf(window)); }));
}

} // namespace platform
