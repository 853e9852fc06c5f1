#pragma once

#include <QObject>

class QTimer;

// "Repeat Send": asks for the input to be sent again at a fixed interval. It
// only starts with the port open; the owner sends on due() and stops it when
// the port goes.
class RepeatSender : public QObject
{
    Q_OBJECT
public:
    explicit RepeatSender(int intervalMs, QObject* parent = nullptr);

    QTimer* timer() const { return m_timer; }
    int interval() const { return m_interval; }
    bool isActive() const;

public Q_SLOTS:
    // A running timer goes on at the new interval.
    void setInterval(int ms);
    // Switched on with the port closed it stays off and says so with refused().
    void setEnabled(bool on, bool portOpen);
    void stop();

Q_SIGNALS:
    // Time to send the input again.
    void due();
    void refused();

private:
    QTimer* m_timer = nullptr;
    int m_interval = 1000;
};
