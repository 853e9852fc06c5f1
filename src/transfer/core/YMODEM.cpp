#include "YMODEM.h"

#include <QDebug>
#include <QFileInfo>
#include <QTimer>

YMODEM::YMODEM(QObject* parent) : XMODEM(parent)
{
    setUse1K(true);
}

YMODEM::~YMODEM() = default;

QString YMODEM::name() const
{
    return QStringLiteral("YMODEM");
}

QByteArray YMODEM::headerData(const QString& fileName, qint64 size, qint64 modifiedSecs, uint mode)
{
    QByteArray name = fileName.toUtf8();
    if (name.size() > 104) {
        // Cut on a character boundary so the receiver never gets half a
        // UTF-8 sequence as the end of the name.
        int cut = 104;
        while (cut > 0 && (uchar(name.at(cut)) & 0xC0) == 0x80)
            --cut;
        name.truncate(cut);
    }
    QByteArray field = name;
    field.append('\0');
    field.append(QByteArray::number(size));
    if (modifiedSecs >= 0) {
        // One NUL must still end the fields inside the 128 bytes.
        const QByteArray time = ' ' + QByteArray::number(modifiedSecs, 8);
        const QByteArray modeText = ' ' + QByteArray::number(mode, 8);
        if (field.size() + time.size() < 128) {
            field.append(time);
            if (field.size() + modeText.size() < 128)
                field.append(modeText);
        }
    }
    field.append('\0');
    if (field.size() < 128)
        field.append(128 - field.size(), '\0');
    return field.left(128);
}

uint YMODEM::fileMode(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return 0;
    const QFileDevice::Permissions p = info.permissions();
    uint mode = 0100000; // regular file
    const struct
    {
        QFileDevice::Permission flag;
        uint bit;
    } bits[] = {
        {QFileDevice::ReadOwner, 0400}, {QFileDevice::WriteOwner, 0200}, {QFileDevice::ExeOwner, 0100},
        {QFileDevice::ReadGroup, 040},  {QFileDevice::WriteGroup, 020},  {QFileDevice::ExeGroup, 010},
        {QFileDevice::ReadOther, 04},   {QFileDevice::WriteOther, 02},   {QFileDevice::ExeOther, 01}};
    for (const auto& b : bits) {
        if (p & b.flag)
            mode |= b.bit;
    }
    return mode;
}

void YMODEM::start(const QString& filePath)
{
    if (isActive())
        cancel();

    m_file.setFileName(filePath);
    // Unbuffered: every block is read from the file as it is now, so a file
    // cut short while it is sent is noticed instead of served from a cache.
    if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        qWarning().noquote() << "[YMODEM] cannot open" << filePath << m_file.errorString();
        emit finished(false, tr("Cannot open file: %1").arg(m_file.errorString()));
        return;
    }
    m_filePath = filePath;
    m_fileSize = m_file.size();
    m_bytesSent = 0;
    m_blockOffset = 0;
    m_blockLength = 0;
    m_blockNumber = 0;
    m_retryCount = 0;
    m_canCount = 0;
    m_eotNakSeen = false;
    m_firstBlock = true;
    m_progressOwed = false;
    m_batchState = WaitingForStart;
    m_state = WaitingForReceiver;
    resetStallWatch();
    qDebug().noquote() << "[YMODEM] start" << filePath << m_fileSize << "bytes";

    emit statusMessage(tr("Waiting for receiver…"));
    emit progressChanged(0, m_fileSize);
    armResponseTimer();
}

void YMODEM::handleReceivedData(const QByteArray& data)
{
    noteIncoming();
    for (const char byte : data) {
        if (!isActive() || !handleBatchByte(byte))
            return;
    }
}

bool YMODEM::handleBatchByte(char byte)
{
    if (takeCancelByte(byte)) {
        failReceiverCancelled();
        return false;
    }
    if (byte == CAN)
        return true;

    switch (m_batchState) {
    case WaitingForStart:
        if (byte == CRC_REQUEST) {
            disarm(m_responseTimer);
            sendHeader();
            return false;
        }
        return true;

    case HeaderSent:
        if (byte == ACK) {
            disarm(m_responseTimer);
            m_retryCount = 0;
            m_batchState = HeaderAcked;
            armResponseTimer();
            return true; // the "C" for the first block often follows at once
        }
        // A receiver that got a damaged header asks for it again, with NAK or
        // (still waiting for its first block) with "C".
        if (byte == NAK || (byte == CRC_REQUEST && repeatRequestPlausible())) {
            disarm(m_responseTimer);
            retryLastFrame(false);
            return false;
        }
        return true;

    case HeaderAcked:
        if (byte == CRC_REQUEST) {
            disarm(m_responseTimer);
            m_blockNumber = 1;
            m_firstBlock = true;
            m_batchState = SendingData;
            sendBlock();
            return false;
        }
        return true;

    case DataBlockSent:
        if (byte == ACK) {
            disarm(m_responseTimer);
            m_retryCount = 0;
            m_firstBlock = false;
            ++m_blockNumber;
            m_batchState = SendingData;
            sendBlock(); // the first EOT when the data is used up
            return false;
        }
        if (byte == NAK || (byte == CRC_REQUEST && m_firstBlock && repeatRequestPlausible())) {
            disarm(m_responseTimer);
            retryLastFrame(false);
            return false;
        }
        return true;

    case FirstEotSent:
        if (byte == NAK || byte == ACK) {
            disarm(m_responseTimer);
            sendSecondEot();
            return false;
        }
        return true;

    case SecondEotSent:
        if (byte == ACK) {
            disarm(m_responseTimer);
            m_retryCount = 0;
            m_batchState = WaitingForEndRequest;
            armResponseTimer();
            return true;
        }
        if (byte == CRC_REQUEST) {
            disarm(m_responseTimer);
            m_retryCount = 0;
            sendEndMarker();
            return false;
        }
        if (byte == NAK) {
            disarm(m_responseTimer);
            retryLastFrame(false);
            return false;
        }
        return true;

    case WaitingForEndRequest:
        if (byte == CRC_REQUEST) {
            disarm(m_responseTimer);
            sendEndMarker();
            return false;
        }
        return true;

    case EndMarkerSent:
        if (byte == ACK) {
            disarm(m_responseTimer);
            const qint64 size = m_fileSize;
            emit progressChanged(size, size);
            reset();
            m_batchState = BatchDone;
            qDebug().noquote() << "[YMODEM] transfer complete";
            emit statusMessage(tr("Transfer complete"));
            emit finished(true, QString());
            return false;
        }
        if (byte == NAK || (byte == CRC_REQUEST && repeatRequestPlausible())) {
            disarm(m_responseTimer);
            retryLastFrame(false);
            return false;
        }
        return true;

    default:
        return true;
    }
}

bool YMODEM::retryLastFrame(bool fromTimeout)
{
    ++m_retryCount;
    if (m_retryCount >= m_retryLimit) {
        if (fromTimeout)
            failWithCancel(tr("Transfer timed out"), tr("Timeout: no response from receiver"));
        else
            failWithCancel(tr("Too many retries, transfer aborted"), tr("Maximum retries exceeded"));
        return false;
    }
    if (fromTimeout)
        emit statusMessage(tr("Timeout, retrying (%1/%2)…").arg(m_retryCount).arg(m_retryLimit));

    switch (m_batchState) {
    case HeaderSent:
        if (!fromTimeout)
            emit statusMessage(tr("NAK received, retrying block %1").arg(0));
        sendHeader();
        break;
    case SendingData:
    case DataBlockSent:
        if (!fromTimeout)
            emit statusMessage(tr("NAK received, retrying block %1").arg(m_blockNumber));
        if (!rewindBlock())
            return false;
        m_batchState = SendingData;
        sendBlock();
        break;
    case FirstEotSent:
        sendFirstEot();
        break;
    case SecondEotSent:
        sendSecondEot();
        break;
    case EndMarkerSent:
        if (!fromTimeout)
            emit statusMessage(tr("NAK received, retrying block %1").arg(0));
        sendEndMarker();
        break;
    default:
        // Waiting for the receiver to ask ("C"): keep waiting.
        armResponseTimer();
        break;
    }
    return true;
}

void YMODEM::onResponseTimeout()
{
    if (!isActive())
        return;
    retryLastFrame(true);
}

void YMODEM::sendHeader()
{
    const QFileInfo info(m_filePath);
    const QString name = info.fileName();
    // Without the time, receivers such as rb date the file from garbage.
    const qint64 mtime = qMax<qint64>(0, info.lastModified().toSecsSinceEpoch());
    emit writeRequested(buildBlock(0, headerData(name, m_fileSize, mtime, fileMode(m_filePath)), 128, '\0'));
    emit statusMessage(tr("Sending file header: %1 (%2 bytes)").arg(name, QString::number(m_fileSize)));
    m_batchState = HeaderSent;
    armResponseTimer();
}

void YMODEM::sendBlock()
{
    m_blockOffset = m_file.pos();
    QByteArray data;
    if (!readChunk(1024, &data))
        return;
    if (data.isEmpty()) {
        sendFirstEot();
        return;
    }
    m_blockLength = data.size();
    m_bytesSent = qMin(m_bytesSent + m_blockLength, m_fileSize);
    emit writeRequested(buildBlock(m_blockNumber, data, 1024));
    reportProgress();
    emit statusMessage(
        tr("Sending block %1 (%2/%3 bytes)").arg(m_blockNumber).arg(m_bytesSent).arg(m_fileSize));
    m_batchState = DataBlockSent;
    armResponseTimer();
}

void YMODEM::sendEOT()
{
    sendFirstEot();
}

void YMODEM::sendFirstEot()
{
    m_batchState = FirstEotSent;
    emit writeRequested(QByteArray(1, EOT));
    emit statusMessage(tr("Sending first EOT…"));
    armResponseTimer();
}

void YMODEM::sendSecondEot()
{
    m_batchState = SecondEotSent;
    emit writeRequested(QByteArray(1, EOT));
    emit statusMessage(tr("Sending second EOT…"));
    armResponseTimer();
}

void YMODEM::sendEndMarker()
{
    emit statusMessage(tr("Sending end-of-batch marker…"));
    emit writeRequested(buildBlock(0, QByteArray(128, '\0'), 128, '\0'));
    m_batchState = EndMarkerSent;
    armResponseTimer();
}

void YMODEM::reset()
{
    XMODEM::reset();
    m_batchState = BatchIdle;
}
