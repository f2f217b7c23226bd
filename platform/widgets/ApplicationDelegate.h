#pragma once

#include "DocumentController.h"

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

    /// The document controller that the delegate's policy acts on, handed over by the runner
    /// before launch finishes; null until then.
    DocumentController *documentController() const { return m_documentController; }
    void setDocumentController(DocumentController *controller)
    {
        m_documentController = controller;
    }

private:
    QPointer<DocumentController> m_documentController;
};

/// Creates the one delegate of type `Delegate`, which the application hands to the runner, and
/// keeps it for as long as the adaptor lives.
template <class Delegate> class ApplicationDelegateAdaptor final {
public:
    ApplicationDelegateAdaptor()
        : m_delegate(std::make_unique<Delegate>())
    {}
    ApplicationDelegateAdaptor(const ApplicationDelegateAdaptor &) = delete;
    ApplicationDelegateAdaptor &operator=(const ApplicationDelegateAdaptor &) = delete;

    Delegate &delegate() const { return *m_delegate; }

private:
    std::unique_ptr<Delegate> m_delegate;
};

} // namespace platform
