#include "OpenQueue.h"

#include "FileError.h"
#include "FileUris.h"

#include <QCoreApplication>
#include <QFile>

namespace platform {

OpenQueue::OpenQueue(Open open, Report report, QObject *parent)
    : QObject(parent)
    , m_open(std::move(open))
    , m_report(std::move(report))
{
    m_turn.setSingleShot(true);
    connect(&m_turn, &QTimer::timeout, this, &OpenQueue::openNext);
}

void OpenQueue::add(const QStringList &uris)
{
    const qsizetype lookedAt = qMin<qsizetype>(uris.size(), mostLookedAt);
    m_notOpened += uris.size() - lookedAt;
    for (qsizetype i = 0; i < lookedAt; ++i) {
        const QString &uri = uris[i];
        const std::optional<QByteArray> name = localFileName(uri);
        if (!name) {
            gather({QCoreApplication::translate(
                        "OpenQueue", "“%1” isn’t a local file: only those can be opened.")
                        .arg(uri.left(300))});
            continue;
        }
        // A name is used only when it says exactly which file it is: one whose bytes are not
        // UTF-8 could otherwise be taken for another file whose name has U+FFFD in their place.
        const QString path = QFile::decodeName(*name);
        if (QFile::encodeName(path) != *name)
            gather({FileError(FileError::ReadInvalidFileName).message(path)});
        else if (m_waiting.size() < mostWaiting)
            m_waiting.push_back(path);
        else
            ++m_notOpened;
    }
    m_turn.start(0);
}

void OpenQueue::openNext()
{
    // Opening may ask the user something; the next file waits until that is answered.
    if (m_opening)
        return;
    if (!m_waiting.empty()) {
        const QString path = m_waiting.front();
        m_waiting.pop_front();
        m_opening = true;
        gather(m_open(path));
        m_opening = false;
    }
    if (!m_waiting.empty()) {
        m_turn.start(0);
        return;
    }
    if (!m_problems.isEmpty() || m_notOpened > 0)
        m_report(std::exchange(m_problems, {}), std::exchange(m_notOpened, 0));
    emit emptied();
}

void OpenQueue::gather(const QStringList &problems)
{
    for (const QString &problem : problems) {
        if (m_problems.size() < mostListed)
            m_problems.append(problem);
        else
            ++m_notOpened;
    }
}

} // namespace platform
