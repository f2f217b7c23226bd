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

std::unique_ptr<QObject> addKeyWindowObserver(std::function<void(QWidget *window)> handler)
{
    auto context = std::make_unique<QObject>();
    QObject::connect(
        qGuiApp, &QGuiApplication::focusWindowChanged, context.get(),
        [handler = std::move(handler)](QWindow *window) { handler(topLevelWidgetOf(window)); });
    return context;
}

} // namespace platform
