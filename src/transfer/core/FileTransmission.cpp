#include "FileTransmission.h"

#include "XMODEM.h"
#include "YMODEM.h"
#include "ZMODEM.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>

FileTransmission::FileTransmission(QObject* parent)
    : QObject(parent), m_sendTimer(new QTimer(this)), m_xmodem(new XMODEM(this)), m_ymodem(new YMODEM(this)),
      m_zmodem(new ZMODEM(this)), m_plainStallTimer(new QTimer(this)), m_speedTimer(new QTimer(this))
{
    m_plainStallTimer->setSingleShot(true);
    m_plainStallTimer->setInterval(m_protocolTimeout);
    connect(m_plainStallTimer, &QTimer::timeout, this, &FileTransmission::onPlainStalled);
    m_sendTimer->setTimerType(Qt::PreciseTimer);
    m_sendTimer->setInterval(100);
    m_speedTimer->setInterval(1000);
    connect(m_speedTimer, &QTimer::timeout, this, &FileTransmission::updateTransferSpeed);

    const QList<Protocol*> engines{m_xmodem, m_ymodem, m_zmodem};
    for (Protocol* engine : engines) {
        connect(engine, &Protocol::finished, this, &FileTransmission::onProtocolFinished);
        connect(engine, &Protocol::progressChanged, this, &FileTransmission::onProtocolProgress);
        connect(engine, &Protocol::statusMessage, this, &FileTransmission::onProtocolStatus);
        connect(engine, &Protocol::writeRequested, this, &FileTransmission::onProtocolWriteRequested);
    }
}

FileTransmission::~FileTransmission()
{
    m_sendTimer->stop();
    m_speedTimer->stop();
    m_stream.reset();
}

Protocol* FileTransmission::currentEngine() const
{
    switch (m_transferMode) {
    case XModem:
    case XModem1K:
        return m_xmodem;
    case YModem:
        return m_ymodem;
    case ZModem:
        return m_zmodem;
    default:
        return nullptr;
    }
}

bool FileTransmission::isActive() const
{
    if (m_transferMode == PlainText || m_transferMode == RawBinary)
        return m_sendTimer->isActive();
    const Protocol* engine = currentEngine();
    return engine && engine->isActive();
}

bool FileTransmission::isFileOpen() const
{
    return m_file.isOpen();
}

QString FileTransmission::fileName() const
{
    if (m_file.isOpen())
        return QFileInfo(m_filePath).fileName();
    return tr("No file selected…");
}

int FileTransmission::transmissionProgress() const
{
    if (m_bytesTotal <= 0)
        return 0;
    const int percent = int(qMin<qint64>(100, m_bytesSent * 100 / m_bytesTotal));
    // Every byte may have left while the receiver has not yet said it has them.
    if (m_transferMode >= XModem && isActive())
        return qMin(percent, 99);
    return percent;
}

int FileTransmission::lineTransmissionInterval() const
{
    return m_sendTimer->interval();
}

QStringList FileTransmission::transferModes() const
{
    return {tr("Plain Text"), tr("Raw Binary"), tr("XMODEM-CRC"),
            tr("XMODEM-1K"),  tr("YMODEM"),     tr("ZMODEM")};
}

QString FileTransmission::formatSpeed(qint64 bytesPerSecond)
{
    if (bytesPerSecond <= 1023)
        return tr("%1 B/s").arg(bytesPerSecond);
    if (bytesPerSecond > 1048575)
        return tr("%1 MB/s").arg(double(bytesPerSecond) / 1048576.0, 0, 'f', 2);
    return tr("%1 KB/s").arg(double(bytesPerSecond) / 1024.0, 0, 'f', 1);
}

void FileTransmission::appendLog(const QString& message)
{
    emit statusTextChanged2(message);
}

void FileTransmission::setStatusText(const QString& text)
{
    m_statusText = text;
    emit statusTextChanged();
}

void FileTransmission::createTextStream()
{
    m_stream = std::make_unique<QTextStream>(&m_file);
}

void FileTransmission::openFile()
{
    emit fileSelectionRequested(QFileInfo::exists(m_filePath) ? m_filePath : QDir::homePath());
}

bool FileTransmission::openFilePath(const QString& path)
{
    if (m_file.isOpen())
        closeFile();

    m_filePath = path;
    m_file.setFileName(path);
    // Only regular files: a FIFO would block the open, and a device such as
    // /dev/zero would never reach its end.
    const QFileInfo info(path);
    bool opened = false;
    QString error;
    if (info.exists() && !info.isFile()) {
        error = tr("Not a regular file");
    } else {
        opened = m_file.open(QIODevice::ReadOnly);
        if (!opened)
            error = m_file.errorString();
    }
    if (!opened) {
        qWarning().noquote() << "[FileTransmission] File open error:" << error;
        m_filePath.clear();
        appendLog(tr("Error opening file: %1").arg(error));
        return false;
    }

    m_bytesTotal = m_file.size();
    m_bytesSent = 0;
    if (m_transferMode == PlainText)
        createTextStream();
    emit fileChanged();
    emit progressChanged();
    appendLog(tr("File selected: %1 (%2 bytes)").arg(fileName(), QString::number(m_bytesTotal)));
    return true;
}

void FileTransmission::closeFile()
{
    stopTransmission();
    m_stream.reset();
    m_file.close();
    m_bytesSent = 0;
    m_bytesTotal = 0;
    m_filePath.clear();
    emit fileChanged();
    emit progressChanged();
}

void FileTransmission::clearLog()
{
    m_logEntries.clear();
    emit logChanged();
}

void FileTransmission::stopTransmission()
{
    if (m_outcome == Running && isActive())
        m_outcome = Stopped;
    m_plainStallTimer->stop();
    m_sendTimer->stop();
    m_speedTimer->stop();
    const QList<Protocol*> engines{m_xmodem, m_ymodem, m_zmodem};
    for (Protocol* engine : engines) {
        if (engine->isActive())
            engine->cancel();
    }
    m_transferSpeed.clear();
    emit transferSpeedChanged();
    emit activeChanged();
}

void FileTransmission::rewindFile()
{
    if (m_stream)
        m_stream->seek(0);
    else
        m_file.seek(0);
    m_bytesSent = 0;
    emit progressChanged();
}

void FileTransmission::beginTransmission()
{
    if (!m_file.isOpen())
        return;

    m_errorCount = 0;
    emit errorCountChanged();
    m_outcome = Running;
    m_plainStallTimer->setInterval(m_protocolTimeout);
    m_plainStallTimer->stop();

    appendLog(tr("Starting %1 transfer…").arg(transferModes().value(m_transferMode)));

    disconnect(m_sendTimer, &QTimer::timeout, this, &FileTransmission::sendLine);
    disconnect(m_sendTimer, &QTimer::timeout, this, &FileTransmission::sendRawBlock);
    if (m_transferMode == PlainText)
        connect(m_sendTimer, &QTimer::timeout, this, &FileTransmission::sendLine);
    else if (m_transferMode == RawBinary)
        connect(m_sendTimer, &QTimer::timeout, this, &FileTransmission::sendRawBlock);

    if ((m_transferMode == PlainText || m_transferMode == RawBinary) && transmissionProgress() > 99)
        rewindFile();

    // Count from where this run starts, so a resumed plain transfer doesn't
    // show the bytes of the earlier run as the first second's rate.
    m_lastSpeedBytes = (m_transferMode == PlainText || m_transferMode == RawBinary) ? m_bytesSent : 0;
    m_speedClock.start();
    m_speedTimer->start();

    switch (m_transferMode) {
    case PlainText:
        if (!m_stream)
            createTextStream();
        m_sendTimer->start();
        emit activeChanged();
        break;
    case RawBinary:
        m_sendTimer->start();
        emit activeChanged();
        break;
    case XModem:
    case XModem1K:
        m_xmodem->setUse1K(m_transferMode == XModem1K);
        m_xmodem->setRetryLimit(m_maxRetries);
        m_xmodem->setTimeout(m_protocolTimeout);
        m_xmodem->start(m_filePath);
        emit activeChanged();
        break;
    case YModem:
        m_ymodem->setRetryLimit(m_maxRetries);
        m_ymodem->setTimeout(m_protocolTimeout);
        m_ymodem->start(m_filePath);
        emit activeChanged();
        break;
    case ZModem:
        m_zmodem->setSubpacketLength(m_blockSize);
        m_zmodem->setRetryLimit(m_maxRetries);
        m_zmodem->setTimeout(m_protocolTimeout);
        m_zmodem->start(m_filePath);
        emit activeChanged();
        break;
    default:
        break;
    }
}

void FileTransmission::setupExternalConnections() {}

bool FileTransmission::sendQueueFull() const
{
    return m_pendingOutput > m_blockSize;
}

void FileTransmission::completePlain(const QString& logText)
{
    // Done only once the port has passed everything on; a line that never
    // drains is caught by the stall timer instead.
    if (m_pendingOutput > 0)
        return;
    m_outcome = Succeeded;
    stopTransmission();
    setStatusText(tr("Transmission complete"));
    appendLog(logText);
}

void FileTransmission::onPlainStalled()
{
    if (m_transferMode >= XModem || !isActive() || m_pendingOutput <= 0)
        return;
    const QString message =
        tr("Transfer stalled: no progress for %1 s").arg((m_protocolTimeout + 999) / 1000);
    qWarning().noquote() << "[FileTransmission]" << message;
    m_outcome = Failed;
    stopTransmission();
    setStatusText(tr("Transfer failed: %1").arg(message));
    appendLog(tr("Transfer failed: %1").arg(message));
}

void FileTransmission::sendLine()
{
    if (!isActive())
        return;
    // The port still holds more than a block of ours: let it drain first.
    if (sendQueueFull())
        return;
    if (!m_stream || m_stream->atEnd()) {
        completePlain(tr("Plain text transmission complete"));
        return;
    }
    const QString line = m_stream->readLine();
    emit writeRequest((line + QLatin1Char('\n')).toUtf8());
    m_bytesSent = m_stream->pos();
    emit progressChanged();
}

void FileTransmission::sendRawBlock()
{
    if (!isActive())
        return;
    if (sendQueueFull())
        return;
    if (m_file.atEnd()) {
        completePlain(tr("Raw binary transmission complete (%1 bytes)").arg(m_bytesSent));
        return;
    }
    const QByteArray data = m_file.read(m_blockSize);
    if (data.isEmpty()) {
        if (m_file.error() != QFileDevice::NoError) {
            // Without this a read error would tick forever without sending.
            const QString error = m_file.errorString();
            qWarning().noquote() << "[FileTransmission] read error:" << error;
            m_outcome = Failed;
            stopTransmission();
            setStatusText(tr("Transfer failed: %1").arg(error));
            appendLog(tr("Transfer failed: %1").arg(error));
        }
        return;
    }
    emit writeRequest(data);
    m_bytesSent += data.size();
    emit progressChanged();
}

void FileTransmission::updateTransferSpeed()
{
    if (!isActive())
        return;
    const qint64 elapsed = m_speedClock.elapsed();
    if (elapsed < 1)
        return;
    // A NAK rewind takes bytes back; the rate never goes below zero.
    const qint64 rate = qMax<qint64>(0, (m_bytesSent - m_lastSpeedBytes) * 1000 / elapsed);
    m_lastSpeedBytes = m_bytesSent;
    m_speedClock.restart();
    m_transferSpeed = formatSpeed(rate);
    emit transferSpeedChanged();
}

void FileTransmission::setPendingOutput(qint64 bytes)
{
    const qint64 before = m_pendingOutput;
    m_pendingOutput = qMax<qint64>(0, bytes);
    // Plain and raw sending watch the queue themselves; the engines do their own.
    if (m_pendingOutput <= 0 || m_transferMode >= XModem || !isActive())
        m_plainStallTimer->stop();
    else if (m_pendingOutput < before || !m_plainStallTimer->isActive())
        m_plainStallTimer->start();
    m_xmodem->setPendingOutput(m_pendingOutput);
    m_ymodem->setPendingOutput(m_pendingOutput);
    m_zmodem->setPendingOutput(m_pendingOutput);
}

void FileTransmission::onRawDataReceived(const QByteArray& data)
{
    if (m_transferMode < XModem || !isActive())
        return;
    if (Protocol* engine = currentEngine())
        engine->handleReceivedData(data);
}

void FileTransmission::onProtocolFinished(bool success, const QString& errorMessage)
{
    m_speedTimer->stop();
    // A cancel from stopTransmission() arrives here too and stays a stop.
    if (m_outcome != Stopped) {
        if (success)
            m_outcome = Succeeded;
        else if (m_transferMode == ZModem && m_zmodem->fileSkipped())
            m_outcome = Skipped;
        else
            m_outcome = Failed;
    }
    if (success) {
        setStatusText(tr("Transfer complete"));
        appendLog(tr("Transfer completed successfully (%1 bytes)").arg(m_bytesSent));
    } else {
        setStatusText(tr("Transfer failed: %1").arg(errorMessage));
        appendLog(tr("Transfer failed: %1").arg(errorMessage));
    }
    // The percentage held below 100 while the end was unconfirmed.
    emit progressChanged();
    emit activeChanged();
}

void FileTransmission::onProtocolProgress(qint64 sent, qint64 total)
{
    m_bytesSent = sent;
    m_bytesTotal = total;
    emit progressChanged();
}

void FileTransmission::onProtocolStatus(const QString& message)
{
    setStatusText(message);
    appendLog(message);
    if (message.contains(QLatin1String("NAK")) ||
        message.contains(QLatin1String("retry"), Qt::CaseInsensitive) ||
        message.contains(QLatin1String("Timeout"))) {
        ++m_errorCount;
        emit errorCountChanged();
    }
}

void FileTransmission::onProtocolWriteRequested(const QByteArray& data)
{
    emit writeRequest(data);
}

void FileTransmission::setBlockSize(int bytes)
{
    const int value = bytes > 8192 ? 8192 : (bytes <= 64 ? 64 : bytes);
    if (value == m_blockSize)
        return;
    m_blockSize = value;
    emit blockSizeChanged();
}

void FileTransmission::setLineTransmissionInterval(int ms)
{
    const int value = ms < 0 ? 0 : ms;
    if (value == m_sendTimer->interval())
        return;
    m_sendTimer->setInterval(value);
    emit lineTransmissionIntervalChanged();
}

void FileTransmission::setMaxRetries(int retries)
{
    const int value = retries < 2 ? 1 : retries;
    if (value == m_maxRetries)
        return;
    m_maxRetries = value;
    emit maxRetriesChanged();
}

void FileTransmission::setProtocolTimeout(int msec)
{
    const int value = msec <= 1000 ? 1000 : msec;
    if (value == m_protocolTimeout)
        return;
    m_protocolTimeout = value;
    if (!isActive())
        m_plainStallTimer->setInterval(value);
    emit protocolTimeoutChanged();
}

void FileTransmission::setRuntimeAccessAllowed(bool allowed)
{
    if (allowed == m_runtimeAccessAllowed)
        return;
    m_runtimeAccessAllowed = allowed;
    emit runtimeAccessAllowedChanged();
}

void FileTransmission::setTransferMode(int mode)
{
    const int value = qBound(0, mode, 5);
    if (value == m_transferMode)
        return;

    const bool wasActive = isActive();
    if (m_transferMode == PlainText || m_transferMode == RawBinary) {
        m_sendTimer->stop();
    } else if (Protocol* engine = currentEngine()) {
        if (engine->isActive())
            engine->cancel();
    }
    m_speedTimer->stop();

    m_transferMode = value;
    if (m_file.isOpen()) {
        m_stream.reset();
        m_file.seek(0);
        m_bytesSent = 0;
        if (m_transferMode == PlainText)
            createTextStream();
    }
    if (wasActive)
        emit activeChanged();
    emit progressChanged();
    emit transferModeChanged();
}
