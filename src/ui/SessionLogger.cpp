#include "SessionLogger.h"

#include "core/Transfer.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace {
// How long gathered lines may wait in memory before they are written.
constexpr int kFlushMs = 1000;
} // namespace

SessionLogger::SessionLogger(std::function<SessionHeader()> header, const QString &folder, QObject *parent)
    : QObject(parent), m_header(std::move(header)), m_folder(folder)
{
    m_flush.setSingleShot(true);
    m_flush.setInterval(kFlushMs);
    connect(&m_flush, &QTimer::timeout, this, [this] {
        if (m_log)
            m_log->flush();
    });
}

SessionLogger::~SessionLogger()
{
    // The program is ending: the last log is on disk before it does.
    m_log.reset();
    SessionLog::waitForWrites();
}

bool SessionLogger::openFolder() const
{
    QDir().mkpath(m_folder);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(m_folder));
}

void SessionLogger::transferBegun(const Transfer &transfer, bool started)
{
    transferEnded();
    m_waitingKind = transfer.kind();
    if (started)
        begin();
}

void SessionLogger::transferEnded()
{
    m_flush.stop();
    m_log.reset();
    m_waitingKind.clear();
}

void SessionLogger::begin()
{
    m_log = std::make_unique<SessionLog>(m_folder, m_waitingKind, m_header());
    m_waitingKind.clear();
}

void SessionLogger::bytesWritten(const QByteArray &bytes)
{
    if (!m_log && !m_waitingKind.isEmpty())
        begin();
    if (!m_log)
        return;
    m_log->written(bytes);
    gathered();
}

void SessionLogger::bytesArrived(const QByteArray &bytes)
{
    if (!m_log && !m_waitingKind.isEmpty())
        begin();
    if (!m_log)
        return;
    m_log->arrived(bytes);
    gathered();
}

void SessionLogger::gathered()
{
    if (!m_flush.isActive())
        m_flush.start();
}
