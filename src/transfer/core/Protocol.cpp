#include "Protocol.h"

#include <QTimer>

Protocol::Protocol(QObject* parent)
    : QObject(parent)
{
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
    if (m_pendingOutput < before)
        onOutputProgress();
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
