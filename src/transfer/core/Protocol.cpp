#include "Protocol.h"

#include <QTimer>

Protocol::Protocol(QObject* parent) : QObject(parent), m_stallTimer(new QTimer(this))
{
    m_stallTimer->setSingleShot(true);
    connect(m_stallTimer, &QTimer::timeout, this, &Protocol::onStallTimeout);
}

Protocol::~Protocol() = default;

void Protocol::setPendingOutput(qint64 bytes)
{
    const qint64 before = m_pendingOutput;
    m_pendingOutput = qMax<qint64>(0, bytes);
    if (m_pendingOutput == 0 && m_deferredTimer) {
        QTimer* timer = m_deferredTimer;
        m_deferredTimer = nullptr;
        timer->start();
    }
    // Movement only notes the time (this runs for every write); the timer
    // looks at it when it expires.
    if (m_pendingOutput <= 0) {
        m_stallTimer->stop();
    } else if (m_pendingOutput < before || !m_stallTimer->isActive()) {
        m_lastMovement.start();
        if (!m_stallTimer->isActive())
            m_stallTimer->start(m_stallTimeout);
    }
    if (m_pendingOutput < before)
        onOutputProgress();
}

int Protocol::stallTimeout() const
{
    return m_stallTimeout;
}

void Protocol::setStallTimeout(int ms)
{
    m_stallTimeout = qMax(1, ms);
}

void Protocol::noteIncoming()
{
    m_lastMovement.start();
}

void Protocol::resetStallWatch()
{
    m_lastMovement.start();
    if (m_pendingOutput > 0)
        m_stallTimer->start(m_stallTimeout);
    else
        m_stallTimer->stop();
}

QString Protocol::stallMessage() const
{
    return tr("Transfer stalled: no progress for %1 s").arg((stallTimeout() + 999) / 1000);
}

void Protocol::onStallTimeout()
{
    if (m_pendingOutput <= 0 || !isActive())
        return;
    const qint64 quiet = m_lastMovement.isValid() ? m_lastMovement.elapsed() : m_stallTimeout;
    if (quiet < m_stallTimeout) {
        m_stallTimer->start(int(m_stallTimeout - quiet));
        return;
    }
    onStalled();
}

void Protocol::armWhenDrained(QTimer* timer)
{
    if (!timer)
        return;
    timer->stop();
    if (m_pendingOutput <= 0) {
        m_deferredTimer = nullptr;
        timer->start();
    } else {
        m_deferredTimer = timer;
    }
}

void Protocol::disarm(QTimer* timer)
{
    if (!timer)
        return;
    timer->stop();
    if (m_deferredTimer == timer)
        m_deferredTimer = nullptr;
}
