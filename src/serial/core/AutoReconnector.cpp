#include "AutoReconnector.h"

#include "SerialPortManager.h"

#include <QFileInfo>
#include <QSerialPortInfo>
#include <QTimer>

#include <algorithm>

AutoReconnector::AutoReconnector(SerialPortManager* manager, QObject* parent)
    : QObject(parent), m_manager(manager)
{
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &AutoReconnector::tryReconnect);
}

AutoReconnector::~AutoReconnector()
{
    m_timer->stop();
}

void AutoReconnector::setParameterSource(ParameterSource source)
{
    m_parameterSource = std::move(source);
}

void AutoReconnector::setParameters(const LineParameters& parameters)
{
    m_parameters = parameters;
}

void AutoReconnector::setLimit(int limit)
{
    m_limit = std::max(1, limit);
}

void AutoReconnector::setDelays(int firstMs, int nextMs)
{
    m_firstDelayMs = std::max(0, firstMs);
    m_nextDelayMs = std::max(0, nextMs);
}

void AutoReconnector::rememberOpened(const QString& portOrPath)
{
    m_target = portOrPath;
    m_locator.capture(portOrPath);
}

bool AutoReconnector::isPresent(const QString& portOrPath)
{
    if (portOrPath.isEmpty())
        return false;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports) {
        if (info.portName() == portOrPath || DeviceLocator::sameLocation(info.systemLocation(), portOrPath))
            return true;
    }
    // Ptys and typed paths are never enumerated; their node tells.
    return QFileInfo::exists(DeviceLocator::systemLocation(portOrPath));
}

void AutoReconnector::start()
{
    start(m_firstDelayMs);
}

void AutoReconnector::start(int firstDelayMs)
{
    if (m_reconnecting)
        return;
    m_reconnecting = true;
    m_counter = 0;
    m_timer->start(std::max(0, firstDelayMs));
    Q_EMIT reconnectingChanged(true);
}

void AutoReconnector::stop()
{
    if (!m_reconnecting)
        return;
    m_reconnecting = false;
    m_timer->stop();
    m_counter = 0;
    Q_EMIT reconnectingChanged(false);
}

void AutoReconnector::tryReconnect()
{
    if (!m_reconnecting || !m_manager)
        return;
    ++m_counter;
    Q_EMIT attemptStarted(m_counter);
    if (!m_reconnecting)
        return; // stopped by a receiver

    const QString target = m_target.isEmpty() ? m_manager->portName() : m_target;
    QString opened;
    // The adapter's identity comes first: its old name may now belong to another device.
    const QString resolved = m_locator.hasIdentity() ? m_locator.resolve() : QString();
    if (!resolved.isEmpty() && openAt(resolved))
        opened = resolved;
    if (opened.isEmpty() && !target.isEmpty() &&
        (resolved.isEmpty() || !DeviceLocator::sameLocation(resolved, target)) &&
        !m_locator.conflictsWith(target) && openAt(target))
        opened = target;

    if (!opened.isEmpty()) {
        stop();
        m_target = opened;
        DeviceLocator fresh = m_locator;
        if (fresh.capture(opened))
            m_locator = fresh;
        Q_EMIT reconnected(opened);
        return;
    }

    if (m_counter < m_limit) {
        m_timer->start(m_nextDelayMs);
        return;
    }
    const int attempts = m_counter;
    stop();
    Q_EMIT gaveUp(attempts);
}

bool AutoReconnector::openAt(const QString& location)
{
    const LineParameters p = m_parameterSource ? m_parameterSource() : m_parameters;
    return m_manager->openPort(location, p.baudRate, p.dataBits, p.parity, p.stopBits, p.flowControl);
}
