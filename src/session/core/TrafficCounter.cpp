#include "TrafficCounter.h"

void TrafficCounter::addRx(qulonglong n)
{
    m_rx += n;
    Q_EMIT rxCountChanged(m_rx);
}

void TrafficCounter::addTx(qulonglong n)
{
    m_tx += n;
    Q_EMIT txCountChanged(m_tx);
}

void TrafficCounter::reset()
{
    m_rx = 0;
    m_tx = 0;
    Q_EMIT rxCountChanged(0);
    Q_EMIT txCountChanged(0);
}
