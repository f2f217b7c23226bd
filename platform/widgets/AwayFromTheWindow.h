#pragma once

#include <QEventLoop>
#include <QMetaObject>
#include <QThreadPool>

#include <exception>
#include <future>
#include <optional>

namespace platform {

/// Runs `work` on a thread of the pool and returns what it returns, or throws what it throws.
/// Meanwhile the window's thread goes on painting and answering the window system; keys, clicks,
/// the session bus, file notices and termination signals wait until the work is done, as they
/// did while it ran on the window's thread. For work that grows with a file, such as writing it
/// or reading it whole, which would otherwise freeze every window for as long as it takes. The
/// caller keeps what `work` reads from changing meanwhile: a document in a modal scope.
template <typename Work> auto awayFromTheWindow(Work work) -> decltype(work())
{
    using Result = decltype(work());
    std::promise<Result> promise;
    std::future<Result> done = promise.get_future();
    QEventLoop loop;
    QThreadPool::globalInstance()->start([&] {
        std::optional<Result> result;
        std::exception_ptr error;
        try {
            result.emplace(work());
        } catch (...) {
            error = std::current_exception();
        }
        // The loop is told before the promise is kept: until then the caller waits and the loop
        // lives.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        if (error)
            promise.set_exception(error);
        else
            promise.set_value(std::move(*result));
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
    // Also when the application quit every loop meanwhile: a write is never left half done.
    return done.get();
}

} // namespace platform
