#pragma once

#include <QObject>

class QSocketNotifier;

namespace platform {

/// SIGTERM, SIGHUP and SIGINT, which a logout, a shutdown, a closed terminal and Ctrl+C send,
/// delivered as a Qt signal by the event loop of the thread that made the object, since a
/// signal handler may do next to nothing itself.
class TerminationSignals final : public QObject {
    Q_OBJECT

public:
    /// Catches the three signals for as long as the object lives; one object at a time.
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals &) = delete;
    TerminationSignals &operator=(const TerminationSignals &) = delete;

    /// Ends the process by `signal`, as it would have ended had the signal not been caught, so
    /// that whoever sent it sees it obeyed.
    [[noreturn]] static void endBy(int signal);

signals:
    void received(int signal);

private:
    QSocketNotifier *m_notifier;
};

} // namespace platform
