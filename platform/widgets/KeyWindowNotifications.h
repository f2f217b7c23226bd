#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QWidget;

namespace platform {

/// Calls `handler` on the main thread each time one of the application's windows becomes the key
/// (active) window, with that top-level widget, or with null when no window of the application
/// is key any more. The registration lasts as long as the returned object: it is the
/// connection's context.
std::unique_ptr<QObject> addKeyWindowObserver(std::function<void(QWidget *window)> handler);

} // namespace platform
