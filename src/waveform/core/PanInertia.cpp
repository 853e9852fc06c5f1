#include "PanInertia.h"

#include <cmath>

void PanInertia::press(const QPointF& pos)
{
    stop();
    m_samples = {Sample{0, pos}};
}

void PanInertia::move(qint64 ms, const QPointF& pos)
{
    m_samples.append(Sample{ms, pos});
    while (m_samples.size() > 1 && ms - m_samples.constFirst().ms > kWindowMs)
        m_samples.removeFirst();
}

bool PanInertia::release(qint64 ms)
{
    m_vx = m_vy = 0.0;
    if (m_samples.size() < 2 || ms - m_samples.constLast().ms > kMaxRestMs)
        return false;
    const Sample& oldest = m_samples.constFirst();
    const Sample& newest = m_samples.constLast();
    const qint64 dt = newest.ms - oldest.ms;
    if (dt < 1)
        return false;
    const double vx = (newest.pos.x() - oldest.pos.x()) / double(dt);
    const double vy = (newest.pos.y() - oldest.pos.y()) / double(dt);
    if (std::abs(vx) < kMinVelocity && std::abs(vy) < kMinVelocity)
        return false;
    m_vx = kTickMs * vx;
    m_vy = kTickMs * vy;
    return true;
}

bool PanInertia::tick(double& dx)
{
    if (std::abs(m_vx) + std::abs(m_vy) < kStopVelocity) {
        stop();
        dx = 0.0;
        return false;
    }
    dx = m_vx;
    m_vx *= kDecay;
    m_vy *= kDecay;
    return true;
}

void PanInertia::stop()
{
    m_vx = m_vy = 0.0;
}
