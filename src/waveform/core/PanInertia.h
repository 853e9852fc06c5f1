#pragma once

#include <QPointF>
#include <QVector>
#include <QtGlobal>

// The fling of a pan drag: the pointer positions of the last 100 ms give a
// velocity at release, which then carries the view on, 16 ms per tick,
// losing 10 % per tick. Times are milliseconds since the press.
class PanInertia
{
public:
    static constexpr int kTickMs = 16;
    static constexpr qint64 kWindowMs = 100;
    static constexpr qint64 kMaxRestMs = 99;     // a longer rest before release: no fling
    static constexpr double kMinVelocity = 0.3;  // px/ms to start a fling
    static constexpr double kStopVelocity = 0.1; // px/tick, |vx| + |vy|
    static constexpr double kDecay = 0.9;

    struct Sample
    {
        qint64 ms;
        QPointF pos;
    };

    // A press: any fling stops, the samples restart at (0, pos).
    void press(const QPointF& pos);
    // Records a move and drops samples older than the window (keeping one).
    void move(qint64 ms, const QPointF& pos);
    // Computes the fling at release time `ms`; true when it starts.
    bool release(qint64 ms);
    // One timer tick: true and the horizontal distance in pixels to move the
    // view by (then decays); false once the fling has died out (velocity 0).
    bool tick(double& dx);
    void stop();

    bool isActive() const { return m_vx != 0.0 || m_vy != 0.0; }
    double velocityX() const { return m_vx; } // px per tick
    double velocityY() const { return m_vy; }
    const QVector<Sample>& samples() const { return m_samples; }

private:
    QVector<Sample> m_samples;
    double m_vx = 0.0;
    double m_vy = 0.0;
};
