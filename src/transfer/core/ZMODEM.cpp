#include "ZMODEM.h"

#include "TransferCrc.h"

#include <QDateTime>
#include <QDebug>
#include <QFileInfo>
#include <QTimer>

#include <array>

namespace {

// File bytes per write: several subpackets go to the port in one piece, so
// the data path costs one signal and one port write per ~16 KiB.
constexpr qint64 kChunkBytes = 16 * 1024;
// Keep streaming while less than this is still queued in the port. Enough to
// keep a pty busy, little enough that a ZRPOS is not buried behind stale data.
constexpr qint64 kWindowBytes = 16 * 1024;
// Subpackets per pass before yielding to the event loop (when nobody reports
// the port's queue, this alone bounds a pass).
constexpr int kMaxSubpacketsPerPass = 64;
constexpr int kCancelLength = 10;
// After a restart at offset X the receiver still has to wade through the data
// that was already on its way; while doing so it may ask for X again (lrzsz
// does every ~40 KB of "garbage"). Restarting again would cut into the stream
// it is about to accept, so a repeated request for X is only honoured once
// this much has left the port since the restart.
constexpr qint64 kResyncAllowance = 64 * 1024;

struct EscapeTable
{
    std::array<bool, 256> t{};
    constexpr EscapeTable()
    {
        for (int b : {0x10, 0x11, 0x13, 0x18, 0x90, 0x91, 0x93})
            t[size_t(b)] = true;
    }
};
constexpr EscapeTable kEscape;

// Worst case of one escaped subpacket: every byte doubled, ZDLE + end, CRC doubled.
constexpr qint64 subpacketMaxSize(qint64 length)
{
    return 2 * length + 2 + 8;
}

inline char* escapeInto(char* out, const void* data, qsizetype length)
{
    const auto* p = static_cast<const quint8*>(data);
    for (qsizetype i = 0; i < length; ++i) {
        const quint8 c = p[i];
        if (kEscape.t[c]) {
            *out++ = ZMODEM::ZDLE;
            *out++ = char(c ^ 0x40);
        } else {
            *out++ = char(c);
        }
    }
    return out;
}

inline char* subpacketInto(char* out, const char* data, qsizetype length, char end)
{
    out = escapeInto(out, data, length);
    *out++ = ZMODEM::ZDLE;
    *out++ = end;
    quint32 crc = TransferCrc::crc32(data, length);
    crc = TransferCrc::crc32(&end, 1, crc);
    const quint8 bytes[4] = {quint8(crc), quint8(crc >> 8), quint8(crc >> 16), quint8(crc >> 24)};
    return escapeInto(out, bytes, 4);
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Two hex characters at `pos` as a byte, or -1.
int hexByte(const QByteArray& text, int pos)
{
    const int hi = hexValue(text.at(pos));
    const int lo = hexValue(text.at(pos + 1));
    return (hi < 0 || lo < 0) ? -1 : (hi << 4 | lo);
}

quint32 argumentOf(const quint8* bytes)
{
    return quint32(bytes[0]) | quint32(bytes[1]) << 8 | quint32(bytes[2]) << 16 | quint32(bytes[3]) << 24;
}

} // namespace

ZMODEM::ZMODEM(QObject* parent)
    : Protocol(parent), m_responseTimer(new QTimer(this)), m_passTimer(new QTimer(this))
{
    m_responseTimer->setSingleShot(true);
    m_responseTimer->setInterval(m_timeout);
    setStallTimeout(m_timeout);
    connect(m_responseTimer, &QTimer::timeout, this, &ZMODEM::onResponseTimeout);
    m_passTimer->setSingleShot(true);
    m_passTimer->setInterval(0);
    connect(m_passTimer, &QTimer::timeout, this, &ZMODEM::dataPass);
}

ZMODEM::~ZMODEM() = default;

QString ZMODEM::name() const
{
    return QStringLiteral("ZMODEM");
}

bool ZMODEM::isActive() const
{
    return m_state != Idle && m_state != Done;
}

void ZMODEM::setSubpacketLength(int bytes)
{
    m_subpacketLength = qBound(64, bytes, 8192);
}

void ZMODEM::setRetryLimit(int limit)
{
    m_retryLimit = limit < 2 ? 1 : limit;
}

void ZMODEM::setTimeout(int ms)
{
    m_timeout = ms <= 1000 ? 1000 : ms;
    m_responseTimer->setInterval(m_timeout);
    setStallTimeout(m_timeout);
}

int ZMODEM::packetLength() const
{
    return m_rxBufferSize > 0 ? qMin(m_subpacketLength, m_rxBufferSize) : m_subpacketLength;
}

// ---------------------------------------------------------------------------
// Frames

QByteArray ZMODEM::hexHeader(int type, quint32 argument)
{
    const quint8 raw[5] = {quint8(type), quint8(argument), quint8(argument >> 8), quint8(argument >> 16),
                           quint8(argument >> 24)};
    const quint16 crc = TransferCrc::crc16(raw, 5);
    QByteArray out;
    out.reserve(4 + 14 + 2);
    out.append(ZPAD).append(ZPAD).append(ZDLE).append(ZHEX);
    static const char digits[] = "0123456789abcdef";
    auto put = [&](quint8 b) {
        out.append(digits[b >> 4]);
        out.append(digits[b & 0x0F]);
    };
    for (quint8 b : raw)
        put(b);
    put(quint8(crc >> 8));
    put(quint8(crc));
    out.append('\r').append('\n');
    return out;
}

QByteArray ZMODEM::binaryHeader(int type, quint32 argument)
{
    quint8 raw[9] = {quint8(type), quint8(argument), quint8(argument >> 8), quint8(argument >> 16),
                     quint8(argument >> 24)};
    const quint32 crc = TransferCrc::crc32(raw, 5);
    for (int i = 0; i < 4; ++i)
        raw[5 + i] = quint8(crc >> (8 * i));
    QByteArray out(4 + 2 * 9, Qt::Uninitialized);
    char* p = out.data();
    *p++ = ZPAD;
    *p++ = ZPAD;
    *p++ = ZDLE;
    *p++ = ZBIN32;
    p = escapeInto(p, raw, 9);
    out.truncate(p - out.constData());
    return out;
}

QByteArray ZMODEM::dataSubpacket(const QByteArray& data, char end)
{
    QByteArray out(subpacketMaxSize(data.size()), Qt::Uninitialized);
    char* p = subpacketInto(out.data(), data.constData(), data.size(), end);
    out.truncate(p - out.constData());
    return out;
}

QByteArray ZMODEM::escape(const QByteArray& data)
{
    QByteArray out(2 * data.size(), Qt::Uninitialized);
    char* p = escapeInto(out.data(), data.constData(), data.size());
    out.truncate(p - out.constData());
    return out;
}

QByteArray ZMODEM::cancelSequence()
{
    return QByteArray(kCancelLength / 2, char(ZDLE)) + QByteArray(kCancelLength / 2, '\b');
}

QByteArray ZMODEM::fileInfo(const QString& fileName, qint64 size, qint64 modifiedSecs)
{
    QByteArray info = fileName.toUtf8();
    info.append('\0');
    info.append(QByteArray::number(size));
    info.append(' ');
    info.append(QByteArray::number(qMax<qint64>(0, modifiedSecs), 8));
    info.append(" 0 0 0 0");
    info.append('\0');
    return info;
}

// ---------------------------------------------------------------------------
// Session

void ZMODEM::start(const QString& filePath)
{
    if (isActive())
        cancel();
    m_passTimer->stop();
    disarm(m_responseTimer);
    closeFile();

    m_file.setFileName(filePath);
    if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        emit finished(false, tr("Cannot open file: %1").arg(m_file.errorString()));
        return;
    }
    m_path = filePath;
    m_fileSize = m_file.size();
    m_offset = 0;
    m_requestedOffset = 0;
    m_retryCount = 0;
    m_streamPos = 0;
    m_marks.clear();
    m_progress = 0;
    m_restartOffset = -1;
    m_restartStreamPos = 0;
    m_deferredOffset = -1;
    m_rxBufferSize = 0;
    m_streaming = true;
    m_segmentLeft = 0;
    m_skipped = false;
    resetParser();
    resetStallWatch();

    if (m_fileSize >= kSizeLimit) {
        closeFile();
        emit finished(false, tr("File is too large for ZMODEM (%1 bytes, limit 4 GiB).").arg(m_fileSize));
        return;
    }
    qDebug().noquote() << "[ZMODEM] Sending" << filePath << m_fileSize << "bytes, subpacket"
                       << m_subpacketLength;
    emit progressChanged(0, m_fileSize);
    sendZRQINIT();
}

void ZMODEM::cancel()
{
    if (!isActive())
        return;
    emitOutput(cancelSequence());
    m_passTimer->stop();
    disarm(m_responseTimer);
    m_state = Idle;
    closeFile();
    emit statusMessage(tr("Transfer cancelled"));
    emit finished(false, tr("Transfer cancelled by user"));
}

void ZMODEM::sendZRQINIT()
{
    m_state = RqInitSent;
    emitOutput(QByteArray("rz\r") + hexHeader(ZRQINIT, 0));
    emit statusMessage(tr("Sending ZRQINIT, waiting for receiver…"));
    armWhenDrained(m_responseTimer);
}

void ZMODEM::sendZFILE()
{
    m_state = FileSent;
    const QFileInfo info(m_path);
    emitOutput(binaryHeader(ZFILE, 0));
    emitOutput(
        dataSubpacket(fileInfo(info.fileName(), m_fileSize, info.lastModified().toSecsSinceEpoch()), ZCRCW));
    emit statusMessage(
        tr("Sending file info: %1 (%2 bytes)").arg(info.fileName(), QString::number(m_fileSize)));
    armWhenDrained(m_responseTimer);
}

void ZMODEM::sendFromOffset(qint64 offset)
{
    m_state = SendingData;
    m_passTimer->stop();
    if (!m_file.seek(offset)) {
        finishWithError(QString(), tr("Failed to seek to offset %1").arg(offset), true);
        return;
    }
    m_offset = offset;
    // Whatever is still queued for the old position goes out, but the
    // receiver drops it until the new ZDATA; it is no progress.
    m_marks.clear();
    setProgress(offset);
    // Everything is set before the header goes out: the writer may report a
    // drained port from inside the emit, and the data loop then runs at once.
    const QByteArray header = binaryHeader(ZDATA, quint32(offset));
    m_restartOffset = offset;
    m_restartStreamPos = m_streamPos + header.size();
    m_deferredOffset = -1;
    m_subpacketOwed = true;
    m_segmentLeft = m_rxBufferSize;
    emitOutput(header);
    dataPass();
}

void ZMODEM::dataPass()
{
    if (m_state != SendingData || m_inPass)
        return;
    if (m_rxBufferSize > 0 || !m_streaming) {
        acknowledgedPass();
        return;
    }
    m_inPass = true;
    const qint64 window = qMax<qint64>(kWindowBytes, 4 * qint64(m_subpacketLength));
    const int perChunk = int(qMax<qint64>(1, kChunkBytes / m_subpacketLength));
    int subpackets = 0;
    QByteArray readBuffer;

    while (m_state == SendingData) {
        if (!passMayGoOn(window, subpackets))
            break;

        const int count = qMin(perChunk, kMaxSubpacketsPerPass - subpackets);
        const qint64 want = qMin<qint64>(qint64(count) * m_subpacketLength, m_fileSize - m_offset);
        readBuffer.resize(want);
        const qint64 got = m_file.read(readBuffer.data(), want);
        if (got < 0) {
            finishWithError(QString(),
                            tr("File read error at offset %1: %2").arg(m_offset).arg(m_file.errorString()),
                            true);
            break;
        }
        if (got > want) {
            finishWithError(QString(), tr("File read returned more data than requested"), true);
            break;
        }
        if (got < want) {
            // The file shrank under us: what the receiver was promised can't
            // be delivered, so end clearly instead of sending a short file.
            if (got == 0)
                qWarning().noquote() << "[ZMODEM] File read returned empty data at offset" << m_offset;
            finishWithError(
                QString(),
                tr("File ended early at offset %1 (expected %2 bytes)").arg(m_offset + got).arg(m_fileSize),
                true);
            break;
        }

        QByteArray out(subpacketMaxSize(m_subpacketLength) * count, Qt::Uninitialized);
        char* p = out.data();
        const char* data = readBuffer.constData();
        for (qint64 done = 0; done < got;) {
            const qint64 n = qMin<qint64>(m_subpacketLength, got - done);
            const char end = (m_offset + done + n >= m_fileSize) ? ZCRCE : ZCRCG;
            p = subpacketInto(p, data + done, n, end);
            done += n;
            ++subpackets;
        }
        out.truncate(p - out.constData());
        m_offset += got;
        m_subpacketOwed = false;
        m_marks.push_back({m_streamPos + out.size(), m_offset});
        emitOutput(out);
        updateProgress();
    }
    m_inPass = false;
}

bool ZMODEM::passMayGoOn(qint64 window, int subpackets)
{
    if (m_offset >= m_fileSize) {
        // A receiver reads a subpacket after every ZDATA; without one it
        // would take our ZEOF for data (an empty file, or a ZRPOS at the end).
        if (m_subpacketOwed)
            emitOutput(dataSubpacket(QByteArray(), ZCRCE));
        m_subpacketOwed = false;
        sendZEOF();
        return false;
    }
    // A full port queue: onOutputProgress() resumes once it drains.
    if (pendingOutput() >= window)
        return false;
    // Long passes yield to the event loop; the pass timer resumes.
    if (subpackets >= kMaxSubpacketsPerPass) {
        m_passTimer->start();
        return false;
    }
    return true;
}

void ZMODEM::acknowledgedPass()
{
    m_inPass = true;
    const qint64 packet = packetLength();
    const qint64 window = qMax<qint64>(kWindowBytes, 4 * packet);
    int subpackets = 0;
    while (m_state == SendingData) {
        if (!passMayGoOn(window, subpackets))
            break;
        qint64 want = qMin<qint64>(packet, m_fileSize - m_offset);
        if (m_rxBufferSize > 0)
            want = qMin(want, m_segmentLeft);
        QByteArray data(want, Qt::Uninitialized);
        const qint64 got = m_file.read(data.data(), want);
        if (got < 0) {
            finishWithError(QString(),
                            tr("File read error at offset %1: %2").arg(m_offset).arg(m_file.errorString()),
                            true);
            break;
        }
        if (got < want) {
            if (got == 0)
                qWarning().noquote() << "[ZMODEM] File read returned empty data at offset" << m_offset;
            finishWithError(
                QString(),
                tr("File ended early at offset %1 (expected %2 bytes)").arg(m_offset + got).arg(m_fileSize),
                true);
            break;
        }
        m_offset += got;
        m_segmentLeft -= got;
        ++subpackets;
        // The receiver's buffer is full, or it can't take a stream at all:
        // this subpacket waits for its ZACK before anything else goes out.
        const bool wait = !m_streaming || (m_rxBufferSize > 0 && m_segmentLeft <= 0);
        const char end = wait ? ZCRCW : (m_offset >= m_fileSize ? ZCRCE : ZCRCG);
        const QByteArray out = dataSubpacket(data, end);
        m_subpacketOwed = false;
        m_marks.push_back({m_streamPos + out.size(), m_offset});
        emitOutput(out);
        updateProgress();
        if (wait) {
            m_state = WaitingForAck;
            armWhenDrained(m_responseTimer);
            break;
        }
    }
    m_inPass = false;
}

void ZMODEM::sendZEOF()
{
    m_state = EofSent;
    emitOutput(binaryHeader(ZEOF, quint32(m_fileSize)));
    emit statusMessage(tr("File data sent, waiting for confirmation…"));
    armWhenDrained(m_responseTimer);
}

void ZMODEM::sendZFIN()
{
    m_state = FinSent;
    emitOutput(hexHeader(ZFIN, 0));
    emit statusMessage(tr("Sending ZFIN…"));
    armWhenDrained(m_responseTimer);
}

void ZMODEM::onOutputProgress()
{
    updateProgress();
    if (m_state == SendingData && !m_inPass)
        dataPass();
}

void ZMODEM::onResponseTimeout()
{
    if (!isActive())
        return;
    ++m_retryCount;
    if (m_retryCount < m_retryLimit) {
        emit statusMessage(tr("Timeout, retrying (%1/%2)…").arg(m_retryCount).arg(m_retryLimit));
        switch (m_state) {
        case RqInitSent:
            sendZRQINIT();
            break;
        case FileSent:
            sendZFILE();
            break;
        case EofSent:
            // A repeated ZRPOS we held back was real after all: the receiver
            // still waits for that offset and takes every ZEOF as misplaced.
            if (m_deferredOffset >= 0)
                sendFromOffset(m_deferredOffset);
            else
                sendZEOF();
            break;
        case FinSent:
            sendZFIN();
            break;
        case WaitingForAck:
            // The ZACK got lost, or our subpacket did: go on from where we
            // are; a receiver that misses data asks with ZRPOS.
            sendFromOffset(m_offset);
            break;
        default:
            armWhenDrained(m_responseTimer);
            break;
        }
        return;
    }
    qDebug().noquote() << "[ZMODEM] No response after" << m_retryCount << "time-outs in state" << m_state;
    finishWithError(tr("Transfer timed out"), tr("Timeout: no response from receiver"), true);
}

// ---------------------------------------------------------------------------
// Received data

void ZMODEM::resetParser()
{
    m_parserState = 0;
    m_headerBuffer.clear();
    m_expectedLength = 0;
    m_escapePending = false;
    m_canCount = 0;
}

void ZMODEM::handleReceivedData(const QByteArray& data)
{
    noteIncoming();
    for (char c : data) {
        if (!isActive())
            break;
        parseByte(quint8(c));
    }
}

void ZMODEM::parseByte(quint8 byte)
{
    // Five CANs in a row never occur inside frames (an escaped ZDLE is ZDLE 'X'):
    // it is the receiver's abort sequence.
    if (byte == quint8(ZDLE)) {
        if (++m_canCount >= 5) {
            resetParser();
            qDebug().noquote() << "[ZMODEM] Receiver sent the cancel sequence";
            handleHeader(ZCAN, 0);
            return;
        }
    } else {
        m_canCount = 0;
    }

    switch (m_parserState) {
    case 0:
        if (byte == quint8(ZPAD))
            m_parserState = 1;
        break;
    case 1:
    case 2:
        if (byte == quint8(ZDLE))
            m_parserState = 3;
        else if (byte == quint8(ZPAD))
            m_parserState = 2; // any run of pads may lead a header
        else
            m_parserState = 0;
        break;
    case 3:
        m_headerBuffer.clear();
        m_escapePending = false;
        if (byte == quint8(ZHEX)) {
            m_parserState = 4;
        } else if (byte == quint8(ZBIN32)) {
            m_parserState = 5;
            m_expectedLength = 9;
        } else if (byte == quint8(ZBIN)) {
            m_parserState = 6;
            m_expectedLength = 7;
        } else {
            m_parserState = byte == quint8(ZPAD) ? 1 : 0;
        }
        break;
    case 4:
        if (byte == '\r' || byte == '\n') {
            handleHexHeader();
        } else if (byte == quint8(ZPAD)) {
            // A new header begins: the one collected so far was cut short.
            m_headerBuffer.clear();
            m_parserState = 1;
        } else if (m_headerBuffer.size() < 32) {
            m_headerBuffer.append(char(byte));
        } else {
            m_headerBuffer.clear();
            m_parserState = 0;
        }
        break;
    case 5:
    case 6:
        if (m_headerBuffer.size() >= 128) {
            m_headerBuffer.clear();
            m_escapePending = false;
            m_parserState = 0;
            break;
        }
        if (m_escapePending) {
            m_escapePending = false;
            if (byte == 'l')
                m_headerBuffer.append(char(0x7F));
            else if (byte == 'm')
                m_headerBuffer.append(char(0xFF));
            else
                m_headerBuffer.append(char(byte ^ 0x40));
        } else if (byte == quint8(ZDLE)) {
            m_escapePending = true;
            break;
        } else {
            m_headerBuffer.append(char(byte));
        }
        if (m_headerBuffer.size() >= m_expectedLength)
            handleBinaryHeader();
        break;
    default:
        resetParser();
        break;
    }
}

void ZMODEM::handleHexHeader()
{
    const QByteArray text = m_headerBuffer;
    m_headerBuffer.clear();
    m_parserState = 0;
    if (text.size() <= 13) {
        qDebug().noquote() << "[ZMODEM] Dropping truncated hex header" << text;
        return;
    }
    quint8 raw[5];
    for (int i = 0; i < 5; ++i) {
        const int b = hexByte(text, 2 * i);
        if (b < 0) {
            qDebug().noquote() << "[ZMODEM] Dropping hex header with invalid digits" << text;
            return;
        }
        raw[i] = quint8(b);
    }
    const int crcHi = hexByte(text, 10);
    const int crcLo = hexByte(text, 12);
    if (crcHi >= 0 && crcLo >= 0 && quint16(crcHi << 8 | crcLo) != TransferCrc::crc16(raw, 5)) {
        emit statusMessage(tr("Hex header CRC mismatch, dropping frame"));
        return;
    }
    handleHeader(raw[0], argumentOf(raw + 1));
}

void ZMODEM::handleBinaryHeader()
{
    const QByteArray bytes = m_headerBuffer;
    const bool crc32 = m_expectedLength == 9;
    m_headerBuffer.clear();
    m_escapePending = false;
    m_parserState = 0;
    const auto* raw = reinterpret_cast<const quint8*>(bytes.constData());
    // A corrupted ZRPOS would make us resume at a wrong offset and silently
    // corrupt the received file, so binary headers are checked too.
    const bool good = crc32 ? argumentOf(raw + 5) == TransferCrc::crc32(raw, 5)
                            : quint16(raw[5] << 8 | raw[6]) == TransferCrc::crc16(raw, 5);
    if (!good) {
        emit statusMessage(tr("Binary header CRC mismatch, dropping frame"));
        return;
    }
    handleHeader(raw[0], argumentOf(raw + 1));
}

void ZMODEM::handleHeader(int type, quint32 argument)
{
    if (!isActive())
        return;
    switch (type) {
    case ZRINIT:
        // A ZRINIT in another state is a repeat from the receiver; our own
        // response timer keeps running for it.
        if (m_state == RqInitSent) {
            disarm(m_responseTimer);
            // ZP0/ZP1: the receiver's buffer size; ZF0: its capabilities.
            m_rxBufferSize = int(argument & 0xFFFF);
            const quint8 flags = quint8(argument >> 24);
            m_streaming = (flags & CANFDX) && (flags & CANOVIO);
            qDebug().noquote() << "[ZMODEM] Receiver buffer" << m_rxBufferSize << "flags"
                               << QString::number(flags, 16);
            emit statusMessage(tr("Receiver ready, sending file info…"));
            sendZFILE();
        } else if (m_state == EofSent) {
            disarm(m_responseTimer);
            m_marks.clear();
            m_progress = m_fileSize;
            emit progressChanged(m_fileSize, m_fileSize);
            sendZFIN();
        }
        break;
    case ZRPOS: {
        const qint64 offset = qBound<qint64>(0, qint64(argument), m_fileSize);
        if (m_state == SendingData && offset == m_restartOffset &&
            m_streamPos - pendingOutput() - m_restartStreamPos < kResyncAllowance) {
            qDebug().noquote() << "[ZMODEM] Repeated ZRPOS" << offset
                               << "before the restart reached the receiver";
            m_deferredOffset = offset;
            break;
        }
        disarm(m_responseTimer);
        m_requestedOffset = offset;
        qDebug().noquote() << "[ZMODEM] ZRPOS" << argument << "in state" << m_state;
        emit statusMessage(tr("Receiver requests data from offset %1").arg(m_requestedOffset));
        sendFromOffset(m_requestedOffset);
        break;
    }
    case ZSKIP:
        disarm(m_responseTimer);
        m_skipped = true;
        emit statusMessage(tr("Receiver skipped the file"));
        sendZFIN();
        break;
    case ZACK:
        // The answer to a ZCRCW: the receiver has stored the segment.
        if (m_state != WaitingForAck)
            break;
        disarm(m_responseTimer);
        if (m_offset >= m_fileSize)
            sendZEOF();
        else
            sendFromOffset(m_offset);
        break;
    case ZNAK:
        disarm(m_responseTimer);
        ++m_retryCount;
        if (m_retryCount < m_retryLimit) {
            emit statusMessage(tr("NAK received, retrying (%1/%2)…").arg(m_retryCount).arg(m_retryLimit));
            switch (m_state) {
            case RqInitSent:
                sendZRQINIT();
                break;
            case FileSent:
                sendZFILE();
                break;
            case EofSent:
                sendFromOffset(m_requestedOffset);
                break;
            case FinSent:
                sendZFIN();
                break;
            default:
                break;
            }
        } else {
            finishWithError(tr("Too many errors, transfer aborted"), tr("Maximum retries exceeded"), true);
        }
        break;
    case ZABORT:
    case ZCAN:
        finishWithError(tr("Transfer cancelled by receiver"), tr("Receiver cancelled the transfer"), false);
        break;
    case ZFIN:
        // Only the answer to our ZFIN ends the session well; earlier the file
        // has not been confirmed and success would be a lie.
        if (m_state != FinSent) {
            qDebug().noquote() << "[ZMODEM] Ignoring ZFIN in state" << m_state;
            break;
        }
        disarm(m_responseTimer);
        emitOutput(QByteArrayLiteral("OO"));
        m_state = Done;
        closeFile();
        if (m_skipped) {
            // The session ended cleanly, but without the file.
            emit finished(false, tr("Receiver skipped the file"));
            break;
        }
        emit statusMessage(tr("Transfer complete"));
        emit finished(true, QString());
        break;
    case ZFERR:
        finishWithError(tr("Receiver reported a file error"), tr("Receiver reported a file error"), false);
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------
// Helpers

void ZMODEM::emitOutput(const QByteArray& data)
{
    m_streamPos += data.size();
    emit writeRequested(data);
}

void ZMODEM::updateProgress()
{
    const qint64 left = m_streamPos - pendingOutput();
    qint64 reached = -1;
    while (!m_marks.empty() && m_marks.front().streamEnd <= left) {
        reached = m_marks.front().fileOffset;
        m_marks.pop_front();
    }
    if (reached >= 0)
        setProgress(reached);
}

void ZMODEM::setProgress(qint64 bytes)
{
    if (bytes == m_progress)
        return;
    m_progress = bytes;
    emit progressChanged(bytes, m_fileSize);
}

void ZMODEM::onStalled()
{
    finishWithError(stallMessage(), stallMessage(), true);
}

void ZMODEM::finishWithError(const QString& status, const QString& message, bool sendCancel)
{
    m_passTimer->stop();
    disarm(m_responseTimer);
    if (sendCancel)
        emitOutput(cancelSequence());
    m_state = Idle;
    closeFile();
    m_marks.clear();
    qDebug().noquote() << "[ZMODEM] Transfer failed:" << message;
    if (!status.isEmpty())
        emit statusMessage(status);
    emit finished(false, message);
}

void ZMODEM::closeFile()
{
    if (m_file.isOpen())
        m_file.close();
}
