#include "RepeatSender.h"

#include <QTimer>

RepeatSender::RepeatSender(int intervalMs, QObject* parent)
    : QObject(parent), m_timer(new QTimer(this)), m_interval(intervalMs)
{
    m_timer->setInterval(m_interval);
    connect(m_timer, &QTimer::timeout, this, &RepeatSender::due);
}

bool RepeatSender::isActive() const
{
    return m_timer->isActive();
}

void RepeatSender::setInterval(int ms)
{
    m_interval = ms;
    m_timer->setInterval(ms);
}

void RepeatSender::setEnabled(bool on, bool portOpen)
{
    if (!on) {
        m_timer->stop();
        return;
    }
    if (!portOpen) {
        Q_EMIT refused();
        return;
    }
    m_timer->start(m_interval);
}

void RepeatSender::stop()
{
    m_timer->stop();
}
