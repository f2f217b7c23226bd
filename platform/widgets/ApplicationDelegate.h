#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

namespace platform {

/// The application's delegate: the runner tells it when launch has finished and asks it the
/// application's policy questions, all on the main thread. It is a QObject so that deferred
/// work and observers can hold it weakly, with QPointer.
class ApplicationDelegate : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    /// Launch has finished: the files named at launch are open and the event loop is about to run.
    virtual void applicationDidFinishLaunching() {}

    /// Whether window state may be restored securely. Nothing is restored on Linux; the answer
    /// matters where the platform restores windows.
    virtual bool applicationSupportsSecureRestorableState() { return false; }

    /// Whether to open an untitled document at launch when no file was named.
    virtual bool applicationShouldOpenUntitledFile() { return true; }

    /// The user launched the application again while it was running. YES lets the platform bring
    /// the most recent document window forward; NO means it does nothing more.
    virtual bool applicationShouldHandleReopen(bool hasVisibleWindows)
    {
        Q_UNUSED(hasVisibleWindows);
        return true;
    }

    /// The delegate the runner calls, or null when there is none.
    static ApplicationDelegate *installed();
    static void install(ApplicationDelegate *delegate);
};

/// Creates the one delegate of type `Delegate` and installs it as the application's delegate
/// for as long as the adaptor lives.
template <class Delegate> class ApplicationDelegateAdaptor final {
public:
    ApplicationDelegateAdaptor()
        : m_delegate(std::make_unique<Delegate>())
    {
        ApplicationDelegate::install(m_delegate.get());
    }
    ~ApplicationDelegateAdaptor()
    {
        if (ApplicationDelegate::installed() == m_delegate.get())
            ApplicationDelegate::install(nullptr);
    }
    ApplicationDelegateAdaptor(const ApplicationDelegateAdaptor &) = delete;
    ApplicationDelegateAdaptor &operator=(const ApplicationDelegateAdaptor &) = delete;

    Delegate &delegate() const { return *m_delegate; }

private:
    std::unique_ptr<Delegate> m_delegate;
};

} // namespace platform
