#include "XMODEM.h"

#include "TransferCrc.h"

#include <QDebug>
#include <QTimer>

namespace {
QString logTag(const XMODEM* engine)
{
    return engine->name() == QLatin1String("YMODEM") ? QStringLiteral("[YMODEM]")
                                                     : QStringLiteral("[XMODEM]");
}
} // namespace

XMODEM::XMODEM(QObject* parent) : Protocol(parent), m_responseTimer(new QTimer(this))
{
    m_responseTimer->setSingleShot(true);
    m_responseTimer->setInterval(m_timeout);
    setStallTimeout(m_timeout);
    connect(m_responseTimer, &QTimer::timeout, this, [this] { onResponseTimeout(); });
}

XMODEM::~XMODEM() = default;

QString XMODEM::name() const
{
    return m_use1K ? QStringLiteral("XMODEM-1K") : QStringLiteral("XMODEM");
}

void XMODEM::setRetryLimit(int limit)
{
    m_retryLimit = limit < 2 ? 1 : limit;
}

void XMODEM::setTimeout(int ms)
{
    m_timeout = ms <= 1000 ? 1000 : ms;
    m_responseTimer->setInterval(m_timeout);
    setStallTimeout(m_timeout);
}

bool XMODEM::isActive() const
{
    return m_state != Idle && m_state != Finished;
}

QByteArray XMODEM::buildBlock(quint8 number, const QByteArray& data, int size, char padding)
{
    QByteArray block;
    block.reserve(size + 5);
    block.append(size == 1024 ? STX : SOH);
    block.append(char(number));
    block.append(char(0xFF - number));
    block.append(data.left(size));
    if (data.size() < size)
        block.append(size - data.size(), padding);
    const quint16 crc = TransferCrc::crc16(block.constData() + 3, size);
    block.append(char(crc >> 8));
    block.append(char(crc & 0xFF));
    return block;
}

QByteArray XMODEM::buildChecksumBlock(quint8 number, const QByteArray& data)
{
    QByteArray block;
    block.reserve(128 + 4);
    block.append(SOH);
    block.append(char(number));
    block.append(char(0xFF - number));
    block.append(data.left(128));
    if (data.size() < 128)
        block.append(128 - data.size(), SUB);
    quint8 sum = 0;
    for (qsizetype i = 3; i < block.size(); ++i)
        sum = quint8(sum + quint8(block.at(i)));
    block.append(char(sum));
    return block;
}

QByteArray XMODEM::cancelSequence()
{
    return QByteArray(5, CAN);
}

void XMODEM::start(const QString& filePath)
{
    if (isActive())
        cancel();

    m_file.setFileName(filePath);
    // Unbuffered: every block is read from the file as it is now, so a file
    // cut short while it is sent is noticed instead of served from a cache.
    if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        qWarning().noquote() << logTag(this) << "cannot open" << filePath << m_file.errorString();
        emit finished(false, tr("Cannot open file: %1").arg(m_file.errorString()));
        return;
    }
    m_fileSize = m_file.size();
    m_bytesSent = 0;
    m_blockOffset = 0;
    m_blockLength = 0;
    m_blockNumber = 1;
    m_retryCount = 0;
    m_canCount = 0;
    m_eotNakSeen = false;
    m_firstBlock = true;
    m_checksumMode = false;
    m_progressOwed = false;
    m_state = WaitingForReceiver;
    resetStallWatch();
    qDebug().noquote() << "[XMODEM] start" << name() << filePath << m_fileSize << "bytes";

    emit statusMessage(tr("Waiting for receiver…"));
    emit progressChanged(0, m_fileSize);
    armResponseTimer();
}

void XMODEM::cancel()
{
    if (!isActive())
        return;
    emit writeRequested(cancelSequence());
    reset();
    emit statusMessage(tr("Transfer cancelled"));
    emit finished(false, tr("Transfer cancelled by user"));
}

void XMODEM::handleReceivedData(const QByteArray& data)
{
    noteIncoming();
    for (const char byte : data) {
        if (!isActive() || !handleByte(byte))
            return;
    }
}

bool XMODEM::takeCancelByte(char byte)
{
    if (byte != CAN) {
        m_canCount = 0;
        return false;
    }
    return ++m_canCount >= 2;
}

bool XMODEM::handleByte(char byte)
{
    if (takeCancelByte(byte)) {
        failReceiverCancelled();
        return false;
    }
    if (byte == CAN)
        return true;

    switch (m_state) {
    case WaitingForReceiver:
        // The first request picks the mode for the whole transfer.
        if (byte == CRC_REQUEST || byte == NAK) {
            disarm(m_responseTimer);
            m_state = Sending;
            m_checksumMode = byte == NAK;
            emit statusMessage(m_checksumMode ? tr("Receiver ready (checksum mode), sending data…")
                                              : tr("Receiver ready (CRC mode), sending data…"));
            sendBlock();
            return false;
        }
        return true;

    case BlockSent:
        if (byte == ACK) {
            disarm(m_responseTimer);
            m_retryCount = 0;
            m_firstBlock = false;
            ++m_blockNumber;
            m_state = Sending;
            sendBlock(); // sends EOT when the data is used up
            return false;
        }
        // A receiver that missed the first block asks again with its start
        // word ("C", or NAK in checksum mode). A checksum receiver's start
        // NAKs may cross our first block on the line; only one that arrives
        // after the block has left can be about it.
        if ((byte == NAK && !(m_checksumMode && m_firstBlock && !repeatRequestPlausible())) ||
            (byte == CRC_REQUEST && m_firstBlock && repeatRequestPlausible())) {
            disarm(m_responseTimer);
            ++m_retryCount;
            if (m_retryCount >= m_retryLimit) {
                failWithCancel(tr("Too many retries, transfer aborted"), tr("Maximum retries exceeded"));
                return false;
            }
            emit statusMessage(tr("NAK received, retrying block %1 (%2/%3)")
                                   .arg(m_blockNumber)
                                   .arg(m_retryCount)
                                   .arg(m_retryLimit));
            if (!rewindBlock())
                return false;
            m_state = Sending;
            sendBlock();
            return false;
        }
        return true;

    case EotSent:
        if (byte == ACK) {
            disarm(m_responseTimer);
            reset();
            qDebug().noquote() << "[XMODEM] transfer complete";
            emit statusMessage(tr("Transfer complete"));
            emit finished(true, QString());
            return false;
        }
        if (byte == NAK) {
            disarm(m_responseTimer);
            // Many receivers NAK the first EOT to be sure; further NAKs count,
            // so a receiver that never accepts the EOT can't keep us forever.
            if (m_eotNakSeen) {
                ++m_retryCount;
                if (m_retryCount >= m_retryLimit) {
                    failWithCancel(tr("Too many retries, transfer aborted"), tr("Maximum retries exceeded"));
                    return false;
                }
            }
            m_eotNakSeen = true;
            sendEOT();
            return false;
        }
        return true;

    default:
        return true;
    }
}

bool XMODEM::readChunk(qint64 maxBytes, QByteArray* data)
{
    data->clear();
    // Never past the size taken at start: a file that grows while it is sent
    // goes out as it was announced, and a growing log can't keep us forever.
    const qint64 left = m_fileSize - m_file.pos();
    if (left <= 0 || maxBytes <= 0)
        return true;
    const qint64 want = qMin(maxBytes, left);
    QByteArray buffer(int(want), Qt::Uninitialized);
    const qint64 got = m_file.read(buffer.data(), want);
    if (got < 0) {
        qWarning().noquote() << logTag(this) << "read error:" << m_file.errorString();
        failWithCancel(QString(), tr("File read error: %1").arg(m_file.errorString()));
        return false;
    }
    if (got < want) {
        // The file shrank under us: send what there is, then EOT.
        qWarning().noquote() << logTag(this) << "file shorter than at start:" << (m_file.pos()) << "of"
                             << m_fileSize;
        m_fileSize = m_file.pos();
    }
    buffer.truncate(int(got));
    *data = buffer;
    return true;
}

void XMODEM::sendBlock()
{
    const int size = (m_use1K && !m_checksumMode) ? 1024 : 128;
    m_blockOffset = m_file.pos();
    QByteArray data;
    if (!readChunk(size, &data))
        return;
    if (data.isEmpty()) {
        sendEOT();
        return;
    }
    if (data.size() > size) {
        reset();
        emit finished(false, tr("File read returned more data than requested"));
        return;
    }
    m_blockLength = data.size();
    m_bytesSent = qMin(m_bytesSent + m_blockLength, m_fileSize);
    emit writeRequested(m_checksumMode ? buildChecksumBlock(m_blockNumber, data)
                                       : buildBlock(m_blockNumber, data, size));
    reportProgress();
    emit statusMessage(tr("Sending block %1 (%2 bytes)").arg(m_blockNumber).arg(m_bytesSent));
    m_state = BlockSent;
    armResponseTimer();
}

void XMODEM::sendEOT()
{
    m_state = EotSent;
    emit writeRequested(QByteArray(1, EOT));
    emit statusMessage(tr("Sending EOT…"));
    armResponseTimer();
}

void XMODEM::reportProgress()
{
    if (pendingOutput() > 0) {
        m_progressOwed = true;
        return;
    }
    m_progressOwed = false;
    emit progressChanged(m_bytesSent, m_fileSize);
}

void XMODEM::onOutputProgress()
{
    if (m_progressOwed && pendingOutput() <= 0 && isActive()) {
        m_progressOwed = false;
        emit progressChanged(m_bytesSent, m_fileSize);
    }
}

void XMODEM::onStalled()
{
    failWithCancel(stallMessage(), stallMessage());
}

bool XMODEM::rewindBlock()
{
    m_bytesSent = qMax<qint64>(0, m_bytesSent - m_blockLength);
    m_progressOwed = false;
    emit progressChanged(m_bytesSent, m_fileSize);
    if (!m_file.seek(m_blockOffset)) {
        qWarning().noquote() << logTag(this) << "seek failed:" << m_file.errorString();
        // The receiver would otherwise wait for a block that never comes.
        failWithCancel(QString(), tr("Failed to seek in file"));
        return false;
    }
    return true;
}

void XMODEM::onResponseTimeout()
{
    if (!isActive())
        return;
    ++m_retryCount;
    if (m_retryCount >= m_retryLimit) {
        failWithCancel(tr("Transfer timed out"), tr("Timeout: no response from receiver"));
        return;
    }
    emit statusMessage(tr("Timeout, retrying (%1/%2)…").arg(m_retryCount).arg(m_retryLimit));
    switch (m_state) {
    case EotSent:
        sendEOT();
        break;
    case BlockSent:
        if (!rewindBlock())
            return;
        m_state = Sending;
        sendBlock();
        break;
    default:
        armResponseTimer();
        break;
    }
}

void XMODEM::failWithCancel(const QString& status, const QString& message)
{
    qWarning().noquote() << logTag(this) << "aborting:" << message;
    emit writeRequested(cancelSequence());
    reset();
    if (!status.isEmpty())
        emit statusMessage(status);
    emit finished(false, message);
}

void XMODEM::failReceiverCancelled()
{
    qWarning().noquote() << logTag(this) << "receiver cancelled";
    disarm(m_responseTimer);
    reset();
    emit statusMessage(tr("Transfer cancelled by receiver"));
    emit finished(false, tr("Receiver cancelled the transfer"));
}

void XMODEM::armResponseTimer()
{
    armWhenDrained(m_responseTimer);
}

void XMODEM::reset()
{
    disarm(m_responseTimer);
    m_blockNumber = 1;
    m_state = Idle;
    m_retryCount = 0;
    m_canCount = 0;
    m_bytesSent = 0;
    m_fileSize = 0;
    m_blockOffset = 0;
    m_blockLength = 0;
    m_eotNakSeen = false;
    m_firstBlock = true;
    m_checksumMode = false;
    m_progressOwed = false;
    m_file.close();
}
