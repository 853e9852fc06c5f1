#include "SerialPortManager.h"

#include "DeviceLocator.h"

#include <QDebug>
#include <QFileInfo>
#include <QMetaEnum>
#include <QScopedValueRollback>
#include <QSerialPortInfo>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <poll.h>
#endif

namespace {

struct Registrar
{
    Registrar() { qRegisterMetaType<QSerialPort::SerialPortError>("QSerialPort::SerialPortError"); }
};

bool lookupDataBits(const QString& text, QSerialPort::DataBits* out)
{
    if (text == QLatin1String("5"))
        *out = QSerialPort::Data5;
    else if (text == QLatin1String("6"))
        *out = QSerialPort::Data6;
    else if (text == QLatin1String("7"))
        *out = QSerialPort::Data7;
    else if (text == QLatin1String("8"))
        *out = QSerialPort::Data8;
    else
        return false;
    return true;
}

bool lookupParity(const QString& text, QSerialPort::Parity* out)
{
    if (text == QLatin1String("None"))
        *out = QSerialPort::NoParity;
    else if (text == QLatin1String("Odd"))
        *out = QSerialPort::OddParity;
    else if (text == QLatin1String("Even"))
        *out = QSerialPort::EvenParity;
    else if (text == QLatin1String("Space"))
        *out = QSerialPort::SpaceParity;
    else if (text == QLatin1String("Mark"))
        *out = QSerialPort::MarkParity;
    else
        return false;
    return true;
}

bool lookupStopBits(const QString& text, QSerialPort::StopBits* out)
{
    if (text == QLatin1String("1"))
        *out = QSerialPort::OneStop;
    else if (text == QLatin1String("1.5"))
        *out = QSerialPort::OneAndHalfStop;
    else if (text == QLatin1String("2"))
        *out = QSerialPort::TwoStop;
    else
        return false;
    return true;
}

bool lookupFlow(const QString& text, QSerialPort::FlowControl* out)
{
    if (text == QLatin1String("None"))
        *out = QSerialPort::NoFlowControl;
    else if (text == QLatin1String("Hardware"))
        *out = QSerialPort::HardwareControl;
    else if (text == QLatin1String("Software"))
        *out = QSerialPort::SoftwareControl;
    else
        return false;
    return true;
}

} // namespace

SerialPortManager::SerialPortManager(QObject* parent) : QObject(parent)
{
    static Registrar registrar;
    m_port = new QSerialPort(this);
    connect(m_port, &QSerialPort::readyRead, this, &SerialPortManager::onReadyRead, Qt::DirectConnection);
    connect(m_port, &QSerialPort::errorOccurred, this, &SerialPortManager::onError, Qt::DirectConnection);
    connect(m_port, &QSerialPort::bytesWritten, this, &SerialPortManager::bytesWritten, Qt::DirectConnection);
}

SerialPortManager::~SerialPortManager()
{
    if (m_port && m_port->isOpen()) {
        // Closing here must not reach anyone: the receivers may be half destroyed.
        m_port->blockSignals(true);
        m_port->close();
    }
}

bool SerialPortManager::openPort(const QString& portName, const QString& baudRate, const QString& dataBits,
                                 const QString& parity, const QString& stopBits, const QString& flowControl)
{
    if (!m_port)
        return false;
    if (m_port->isOpen())
        m_port->close();
    m_openError = QSerialPort::NoError;
    m_openErrorString.clear();

    m_port->setPortName(portName);
    setBaudRate(baudRate.toInt(nullptr, 10));
    setDataBits(dataBits);
    setParity(parity);
    setStopBits(stopBits);
    setFlowControl(flowControl);

    if (!m_port->open(QIODevice::ReadWrite)) {
        m_openError = m_port->error();
        m_openErrorString = m_port->errorString();
        qWarning().noquote() << "[SerialPortManager] Failed to open serial port:" << portName
                             << "error: " + m_port->errorString();
        return false;
    }

    // The driver queues can only be enlarged through the Windows comm API.
    static bool queueNoteLogged = false;
    if (!queueNoteLogged) {
        queueNoteLogged = true;
        qDebug().noquote() << "[SerialPortManager] Driver queue enlargement is Windows-only, skipped";
    }

    qDebug().noquote() << "[SerialPortManager] Serial port opened:" << portName << "at" << baudRate
                       << "baud param:" << dataBits << parity << stopBits;
    Q_EMIT connected();
    return true;
}

void SerialPortManager::closePort()
{
    if (m_port && m_port->isOpen()) {
        m_port->close();
        qDebug().noquote() << "[SerialPortManager] Serial port closed";
    }
    qDebug().noquote() << "[SerialPortManager] Send disconnected signal";
    Q_EMIT disconnected();
}

bool SerialPortManager::isOpen() const
{
    return m_port && m_port->isOpen();
}

bool SerialPortManager::write(const QByteArray& data)
{
    if (!m_port || !m_port->isOpen()) {
        qWarning().noquote() << "[SerialPortManager] Failed to send data because serial port is not opened";
        return false;
    }
    const qint64 written = m_port->write(data);
    if (written == -1) {
        qCritical().noquote() << "[SerialPortManager] Failed to write data:" << m_port->errorString();
        return false;
    }
    if (written < data.size()) {
        qCritical().noquote() << "[SerialPortManager] Not all data was written. Expected:" << data.size()
                              << "Written:" << written;
    }
    Q_EMIT txLengthChanged(qulonglong(data.size()));
    return true;
}

bool SerialPortManager::write(const QString& data)
{
    return write(data.toUtf8());
}

void SerialPortManager::clear()
{
    if (m_port && m_port->isOpen())
        m_port->clear(QSerialPort::AllDirections);
}

QString SerialPortManager::errorString() const
{
    if (!m_port)
        return QStringLiteral("Serial port not initialized");
    return m_port->errorString();
}

QString SerialPortManager::openErrorHint() const
{
    return openErrorHint(m_openError, m_openErrorString);
}

QString SerialPortManager::openErrorHint(QSerialPort::SerialPortError error, const QString& errorString)
{
    // Qt reports a failed lock as a permission error too; only the system's
    // own "permission denied" means the user lacks the right to the node.
    if (error != QSerialPort::PermissionError)
        return QString();
    if (errorString != qt_error_string(EACCES) && errorString != qt_error_string(EPERM))
        return QString();
    return tr("Your user may not use this serial port. Join the \"dialout\" group with "
              "\"sudo usermod -aG dialout $USER\", then log out and in again.");
}

bool SerialPortManager::isHungUp() const
{
    if (!isOpen())
        return false;
#ifdef Q_OS_UNIX
    const int fd = int(m_port->handle());
    if (fd >= 0) {
        struct pollfd p = {fd, POLLIN, 0};
        if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)))
            return true;
    }
#endif
    const QString location = DeviceLocator::systemLocation(m_port->portName());
    return !location.isEmpty() && !QFileInfo::exists(location);
}

QString SerialPortManager::portName() const
{
    return m_port ? m_port->portName() : QString();
}

QString SerialPortManager::systemLocation() const
{
    if (!m_port)
        return QString();
    const QString name = m_port->portName();
    if (name.startsWith(QLatin1Char('/')))
        return name;
    // The enumeration does not list pseudo-terminals; plain names live in /dev.
    const QString listed = QSerialPortInfo(name).systemLocation();
    return listed.isEmpty() ? QStringLiteral("/dev/") + name : listed;
}

qint64 SerialPortManager::bytesToWrite() const
{
    return m_port ? m_port->bytesToWrite() : 0;
}

bool SerialPortManager::setBaudRate(int baudRate)
{
    return m_port && m_port->setBaudRate(baudRate, QSerialPort::AllDirections);
}

bool SerialPortManager::setDataBits(const QString& dataBits)
{
    QSerialPort::DataBits v;
    return m_port && lookupDataBits(dataBits, &v) && m_port->setDataBits(v);
}

bool SerialPortManager::setParity(const QString& parity)
{
    QSerialPort::Parity v;
    return m_port && lookupParity(parity, &v) && m_port->setParity(v);
}

bool SerialPortManager::setStopBits(const QString& stopBits)
{
    QSerialPort::StopBits v;
    return m_port && lookupStopBits(stopBits, &v) && m_port->setStopBits(v);
}

bool SerialPortManager::setFlowControl(const QString& flowControl)
{
    QSerialPort::FlowControl v;
    return m_port && lookupFlow(flowControl, &v) && m_port->setFlowControl(v);
}

bool SerialPortManager::setReadBufferSize(qint64 size)
{
    if (!m_port)
        return false;
    m_port->setReadBufferSize(size);
    return true;
}

bool SerialPortManager::setDataTerminalReady(bool on)
{
    if (!isOpen())
        return false;
    const QScopedValueRollback<bool> guard(m_lineOp, true);
    const bool ok = m_port->setDataTerminalReady(on);
    if (!ok)
        qDebug().noquote() << "[SerialPortManager] DTR not set:" << m_port->errorString();
    m_port->clearError();
    return ok;
}

bool SerialPortManager::setRequestToSend(bool on)
{
    // With hardware flow control the driver owns RTS.
    if (!isOpen() || m_port->flowControl() == QSerialPort::HardwareControl)
        return false;
    const QScopedValueRollback<bool> guard(m_lineOp, true);
    const bool ok = m_port->setRequestToSend(on);
    if (!ok)
        qDebug().noquote() << "[SerialPortManager] RTS not set:" << m_port->errorString();
    m_port->clearError();
    return ok;
}

bool SerialPortManager::setBreakEnabled(bool on)
{
    if (!isOpen())
        return false;
    const QScopedValueRollback<bool> guard(m_lineOp, true);
    const bool ok = m_port->setBreakEnabled(on);
    if (!ok)
        qDebug().noquote() << "[SerialPortManager] break not" << (on ? "set:" : "cleared:")
                           << m_port->errorString();
    m_port->clearError();
    return ok;
}

QSerialPort::PinoutSignals SerialPortManager::pinoutSignals(bool* ok)
{
    if (ok)
        *ok = false;
    if (!isOpen())
        return QSerialPort::NoSignal;
    const QScopedValueRollback<bool> guard(m_lineOp, true);
    m_port->clearError();
    const QSerialPort::PinoutSignals lines = m_port->pinoutSignals();
    const bool read = m_port->error() == QSerialPort::NoError;
    m_port->clearError();
    if (ok)
        *ok = read;
    return read ? lines : QSerialPort::NoSignal;
}

QStringList SerialPortManager::availablePorts()
{
    QStringList out;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports)
        out << portEntry(info.portName(), info.description());
    return out;
}

QString SerialPortManager::portEntry(const QString& name, const QString& description)
{
    if (description.trimmed().isEmpty())
        return name;
    return name + QLatin1Char('(') + description + QLatin1Char(')');
}

QStringList SerialPortManager::dataBitsList()
{
    return {QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8")};
}

QStringList SerialPortManager::parityList()
{
    return {QStringLiteral("None"), QStringLiteral("Odd"), QStringLiteral("Even"), QStringLiteral("Space"),
            QStringLiteral("Mark")};
}

QStringList SerialPortManager::stopBitsList()
{
    return {QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2")};
}

QStringList SerialPortManager::flowControlList()
{
    return {QStringLiteral("None"), QStringLiteral("Hardware"), QStringLiteral("Software")};
}

void SerialPortManager::onReadyRead()
{
    const QByteArray data = m_port->readAll();
    if (data.isEmpty())
        return;
    Q_EMIT dataReceived(data);
    Q_EMIT rxLengthChanged(qulonglong(data.size()));
}

void SerialPortManager::onError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError)
        return;
    if (m_lineOp)
        return; // reported by the line operation's result
    const QString text = m_port->errorString();
    const char* name = QMetaEnum::fromType<QSerialPort::SerialPortError>().valueToKey(error);
    qWarning().noquote() << "[SerialPortManager] Serial port error:"
                         << QStringLiteral("[%1]").arg(QString::fromLatin1(name ? name : "?")) << text;
    Q_EMIT errorOccurred(error, text);
}
