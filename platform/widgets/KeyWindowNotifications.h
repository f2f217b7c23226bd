#pragma once

#include <QMetaObject>

#include <functional>
#include <memory>

class QWidget;

namespace platform {

/// What registering an observer returns. Holding it keeps nothing alive and dropping it removes
/// nothing: a registration lasts as long as the application.
class ObserverToken final {
public:
    explicit ObserverToken(QMetaObject::Connection connection)
        : m_connection(std::move(connection))
    {}

private:
    QMetaObject::Connection m_connection;
};

/// Calls `handler` on the main thread each time one of the application's windows becomes the key
/// (active) window, with that top-level widget, or with null when no window of the application
/// is key any more.
std::shared_ptr<ObserverToken> addKeyWindowObserver(std::function<void(QWidget *window)> handler);

} // namespace platform
