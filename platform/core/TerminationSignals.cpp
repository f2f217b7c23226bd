#include "TerminationSignals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr std::array caught{SIGTERM, SIGHUP, SIGINT};

// The handler's only work: the signal's number down a socket that the event loop watches.
std::array signalSocket{-1, -1};

void forward(int signal)
{
    const int savedError = errno;
    const char number = char(signal);
    // A full socket already holds a signal for the loop to see, so a failed write loses nothing.
    [[maybe_unused]] const ssize_t written = ::write(signalSocket[1], &number, 1);
    errno = savedError;
}

} // namespace

TerminationSignals::TerminationSignals(QObject *parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalSocket.data()) !=
        0)
        qFatal("no socket for the termination signals");
    m_notifier = new QSocketNotifier(signalSocket[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char number = 0;
        while (::read(signalSocket[0], &number, 1) == 1)
            emit received(number);
    });
    struct sigaction action {};
    action.sa_handler = forward;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : caught)
        ::sigaction(signal, &action, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    for (const int signal : caught)
        ::signal(signal, SIG_DFL);
    delete m_notifier;
    for (int &end : signalSocket)
        ::close(std::exchange(end, -1));
}

void TerminationSignals::endBy(int signal)
{
    ::signal(signal, SIG_DFL);
    ::raise(signal);
    ::_exit(128 + signal); // were the signal blocked
}

} // namespace platform
