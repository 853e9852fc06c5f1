#pragma once

#include "Protocol.h"

#include <QByteArray>
#include <QFile>

#include <deque>

class QTimer;

// Sending side of ZMODEM for one file: wakes the receiver, offers the file,
// streams the data from whatever offset the receiver asks for and ends the
// session. Headers we send are hex (CRC-16) or binary (CRC-32); data goes in
// CRC-32 subpackets that stream without acknowledgement. The data loop keeps
// only a small window queued in the port, so a ZRPOS is answered quickly and
// the progress follows the bytes that really left.
//
// The receiver's ZRINIT is honoured: a declared buffer size caps the
// subpacket length and ends every buffer-full with ZCRCW, after which we wait
// for its ZACK; a receiver without full-duplex overlapped I/O (CANFDX and
// CANOVIO) gets every subpacket with ZCRCW. One that declares no buffer and
// has both flags gets the plain stream.
class ZMODEM : public Protocol
{
    Q_OBJECT

public:
    enum : char
    {
        ZPAD = '*',
        ZDLE = 0x18,
        ZBIN = 'A',
        ZHEX = 'B',
        ZBIN32 = 'C',
        ZCRCE = 'h',
        ZCRCG = 'i',
        ZCRCW = 'k',
    };
    enum FrameType
    {
        ZRQINIT = 0,
        ZRINIT = 1,
        ZFILE = 4,
        ZSKIP = 5,
        ZNAK = 6,
        ZABORT = 7,
        ZFIN = 8,
        ZRPOS = 9,
        ZACK = 3,
        ZDATA = 10,
        ZEOF = 11,
        ZFERR = 12,
        ZCAN = 16,
    };
    // Capability bits of ZRINIT's ZF0 byte.
    enum : quint8
    {
        CANFDX = 0x01,
        CANOVIO = 0x02,
    };
    enum State
    {
        Idle = 0,
        RqInitSent = 1,
        FileSent = 2,
        SendingData = 3,
        WaitingForAck = 4,
        EofSent = 5,
        FinSent = 6,
        Done = 7
    };

    explicit ZMODEM(QObject* parent = nullptr);
    ~ZMODEM() override;

    QString name() const override;
    void start(const QString& filePath) override;
    void cancel() override;
    void handleReceivedData(const QByteArray& data) override;
    bool isActive() const override;

    // Kept within 64 to 8192.
    void setSubpacketLength(int bytes);
    int subpacketLength() const { return m_subpacketLength; }
    // Values below 2 become 1.
    void setRetryLimit(int limit);
    int retryLimit() const { return m_retryLimit; }
    // Milliseconds; values of 1000 or less become 1000.
    void setTimeout(int ms);
    int timeout() const { return m_timeout; }

    int state() const { return m_state; }
    // File bytes read and handed out so far (the next data offset).
    qint64 currentOffset() const { return m_offset; }
    qint64 requestedOffset() const { return m_requestedOffset; }
    int retryCount() const { return m_retryCount; }
    // Progress last reported: file bytes whose subpackets have left the port.
    qint64 bytesConfirmedSent() const { return m_progress; }
    // From the receiver's ZRINIT: its buffer size (0 = none declared) and
    // whether it takes an unacknowledged stream.
    int receiverBufferSize() const { return m_rxBufferSize; }
    bool streaming() const { return m_streaming; }
    // The receiver answered our file offer with ZSKIP; the session ended
    // without the file and the transfer counts as failed.
    bool fileSkipped() const { return m_skipped; }

    // Largest file the 32-bit offsets of the protocol can carry, plus one.
    static constexpr qint64 kSizeLimit = Q_INT64_C(4294967296);

    // Frame building, also used by the tests.
    static QByteArray hexHeader(int type, quint32 argument);
    static QByteArray binaryHeader(int type, quint32 argument);
    static QByteArray dataSubpacket(const QByteArray& data, char end);
    static QByteArray escape(const QByteArray& data);
    static QByteArray cancelSequence();
    // File name, size, octal modification time and " 0 0 0 0", NUL-terminated.
    static QByteArray fileInfo(const QString& fileName, qint64 size, qint64 modifiedSecs);

protected:
    void onOutputProgress() override;
    void onStalled() override;

private:
    void sendZRQINIT();
    void sendZFILE();
    void sendFromOffset(qint64 offset);
    void sendZEOF();
    void sendZFIN();
    void dataPass();
    // One subpacket per step for receivers that acknowledge segments.
    void acknowledgedPass();
    // Stops a sending pass at the end of the file (sending ZEOF), on a full
    // port queue or at the per-pass limit; true when it may send more.
    bool passMayGoOn(qint64 window, int subpackets);
    int packetLength() const;
    void onResponseTimeout();

    void parseByte(quint8 byte);
    void handleHexHeader();
    void handleBinaryHeader();
    void handleHeader(int type, quint32 argument);
    void resetParser();

    // Emits `data`, counting it in the stream position the progress marks refer to.
    void emitOutput(const QByteArray& data);
    void updateProgress();
    void setProgress(qint64 bytes);
    void finishWithError(const QString& status, const QString& message, bool sendCancel);
    void closeFile();

    QFile m_file;
    QString m_path;
    QTimer* m_responseTimer = nullptr;
    QTimer* m_passTimer = nullptr;
    int m_state = Idle;
    qint64 m_fileSize = 0;
    qint64 m_offset = 0;
    qint64 m_requestedOffset = 0;
    int m_subpacketLength = 1024;
    int m_timeout = 15000;
    int m_retryLimit = 10;
    int m_retryCount = 0;
    bool m_inPass = false;
    // A ZDATA went out and no subpacket has followed it yet.
    bool m_subpacketOwed = false;
    int m_rxBufferSize = 0;
    bool m_streaming = true;
    // Bytes the receiver's buffer still takes in the current segment.
    qint64 m_segmentLeft = 0;
    bool m_skipped = false;

    // Output accounting: total bytes emitted since start, and for each data
    // write the stream position at its end with the file offset reached.
    struct Mark
    {
        qint64 streamEnd;
        qint64 fileOffset;
    };
    qint64 m_streamPos = 0;
    std::deque<Mark> m_marks;
    qint64 m_progress = 0;
    // Offset and stream position (just after its ZDATA) of the last restart.
    qint64 m_restartOffset = -1;
    qint64 m_restartStreamPos = 0;
    // A repeated request for the restart offset that was held back, or -1.
    qint64 m_deferredOffset = -1;

    // Header parser.
    int m_parserState = 0;
    QByteArray m_headerBuffer;
    int m_expectedLength = 0;
    bool m_escapePending = false;
    int m_canCount = 0;
};
