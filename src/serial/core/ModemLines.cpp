#include "ModemLines.h"

#include "SerialPortManager.h"

#include <QDebug>
#include <QTimer>

ModemLines::ModemLines(SerialPortManager* manager, QObject* parent) : QObject(parent), m_manager(manager)
{
    m_pollTimer = new QTimer(this);
    m_pollTimer->setInterval(kPollMs);
    m_pulseTimer = new QTimer(this);
    m_pulseTimer->setSingleShot(true);
    m_pulseTimer->setTimerType(Qt::PreciseTimer);
    m_breakTimer = new QTimer(this);
    m_breakTimer->setSingleShot(true);
    m_breakTimer->setTimerType(Qt::PreciseTimer);
    connect(m_pollTimer, &QTimer::timeout, this, &ModemLines::poll);
    connect(m_pulseTimer, &QTimer::timeout, this, &ModemLines::endPulse);
    connect(m_breakTimer, &QTimer::timeout, this, &ModemLines::endBreak);
    if (m_manager) {
        connect(m_manager, &SerialPortManager::connected, this, &ModemLines::onConnected);
        connect(m_manager, &SerialPortManager::disconnected, this, &ModemLines::onDisconnected);
        if (m_manager->isOpen())
            onConnected();
    }
}

void ModemLines::setDataTerminalReady(bool on)
{
    if (on == m_dtr)
        return;
    m_dtr = on;
    if (m_manager && m_manager->isOpen() && !isPulsing())
        m_manager->setDataTerminalReady(on);
    Q_EMIT dataTerminalReadyChanged(on);
}

void ModemLines::setRequestToSend(bool on)
{
    if (on == m_rts)
        return;
    m_rts = on;
    if (m_manager && m_manager->isOpen() && !isPulsing())
        m_manager->setRequestToSend(on);
    Q_EMIT requestToSendChanged(on);
}

void ModemLines::setPulseMs(int ms)
{
    m_pulseMs = qBound(kMinPulseMs, ms, kMaxPulseMs);
}

void ModemLines::setBreakMs(int ms)
{
    m_breakMs = qBound(kMinBreakMs, ms, kMaxBreakMs);
}

bool ModemLines::pulse()
{
    if (!m_manager || !m_manager->isOpen() || isPulsing())
        return false;
    qDebug().noquote() << "[ModemLines] reset pulse," << m_pulseMs << "ms";
    m_manager->setDataTerminalReady(false);
    m_manager->setRequestToSend(true);
    m_pulseTimer->start(m_pulseMs);
    Q_EMIT pulseActiveChanged(true);
    return true;
}

bool ModemLines::isPulsing() const
{
    return m_pulseTimer->isActive();
}

bool ModemLines::sendBreak()
{
    if (!m_manager || !m_manager->isOpen() || isBreaking())
        return false;
    if (!m_manager->setBreakEnabled(true))
        return false;
    qDebug().noquote() << "[ModemLines] break," << m_breakMs << "ms";
    m_breakTimer->start(m_breakMs);
    Q_EMIT breakActiveChanged(true);
    return true;
}

bool ModemLines::isBreaking() const
{
    return m_breakTimer->isActive();
}

bool ModemLines::isPolling() const
{
    return m_pollTimer->isActive();
}

void ModemLines::poll()
{
    if (!m_manager || !m_manager->isOpen()) {
        m_pollTimer->stop();
        setPinout(QSerialPort::NoSignal, false);
        return;
    }
    bool ok = false;
    const QSerialPort::PinoutSignals lines = m_manager->pinoutSignals(&ok);
    if (!ok) {
        // The driver has no status lines (a pty): asking again every 100 ms
        // would only fill the debug log.
        m_pollTimer->stop();
        qDebug().noquote() << "[ModemLines] status lines not available on" << m_manager->portName();
    }
    setPinout(lines, ok);
}

void ModemLines::onConnected()
{
    applyLines();
    m_pollTimer->start();
    poll();
}

void ModemLines::onDisconnected()
{
    m_pollTimer->stop();
    // The closed port ended both; the user's states come back at the next open.
    if (m_pulseTimer->isActive()) {
        m_pulseTimer->stop();
        Q_EMIT pulseActiveChanged(false);
    }
    if (m_breakTimer->isActive()) {
        m_breakTimer->stop();
        Q_EMIT breakActiveChanged(false);
    }
    setPinout(QSerialPort::NoSignal, false);
}

void ModemLines::applyLines()
{
    if (!m_manager || !m_manager->isOpen())
        return;
    m_manager->setDataTerminalReady(m_dtr);
    m_manager->setRequestToSend(m_rts);
}

void ModemLines::endPulse()
{
    applyLines();
    Q_EMIT pulseActiveChanged(false);
}

void ModemLines::endBreak()
{
    if (m_manager && m_manager->isOpen())
        m_manager->setBreakEnabled(false);
    Q_EMIT breakActiveChanged(false);
}

void ModemLines::setPinout(QSerialPort::PinoutSignals lines, bool available)
{
    if (available != m_statusAvailable) {
        m_statusAvailable = available;
        Q_EMIT statusAvailableChanged(available);
    }
    if (lines != m_pinout) {
        m_pinout = lines;
        Q_EMIT pinoutChanged(lines);
    }
}
