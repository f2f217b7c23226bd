#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>

namespace platform {

/// Files named from outside (the command line, a later launch, the session bus, a drop), opened
/// one per turn of the event loop, so that windows and the bus keep answering however many come.
/// At most `mostWaiting` wait at a time and only the first `mostLookedAt` of one request are
/// looked at; the rest are counted. What went wrong is gathered and reported once, when the queue
/// has emptied.
class OpenQueue final : public QObject {
    Q_OBJECT

public:
    static constexpr int mostWaiting = 100;
    static constexpr int mostLookedAt = 1000;
    static constexpr int mostListed = 1000;

    /// Opens the file at an absolute path, and returns the messages for what went wrong.
    using Open = std::function<QStringList(const QString &path)>;
    /// Shows what went wrong in one request, or in several that came while it was busy:
    /// `problems`, and how many files were named but not opened.
    using Report = std::function<void(const QStringList &problems, qsizetype notOpened)>;

    OpenQueue(Open open, Report report, QObject *parent = nullptr);

    /// Queues the local files that `uris` name; another URI is refused, in the report.
    void add(const QStringList &uris);

    bool isEmpty() const { return m_waiting.empty(); }

signals:
    /// Every file queued was opened or refused, and the report is out.
    void emptied();

private:
    void openNext();
    void gather(const QStringList &problems);

    Open m_open;
    Report m_report;
    std::deque<QString> m_waiting;
    QStringList m_problems;
    qsizetype m_notOpened = 0;
    QTimer m_turn;
    bool m_opening = false;
};

} // namespace platform
