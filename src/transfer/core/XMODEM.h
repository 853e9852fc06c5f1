#pragma once

#include "Protocol.h"

#include <QFile>

class QTimer;

// Sending side of XMODEM with CRC-16, in 128-byte blocks or, with the 1K
// flag, 1024-byte blocks. The receiver speaks first ("C"); every block waits
// for its ACK. A receiver that starts with NAK instead (older bootloaders)
// gets the classic form: 128-byte blocks with the 8-bit arithmetic checksum. YMODEM derives from it and
// reuses the block framing, the response timer, the cancel sequence and the reset.
class XMODEM : public Protocol
{
    Q_OBJECT

public:
    enum : char
    {
        SOH = 0x01,
        STX = 0x02,
        EOT = 0x04,
        ACK = 0x06,
        NAK = 0x15,
        CAN = 0x18,
        SUB = 0x1A,
        CRC_REQUEST = 'C',
    };
    enum State
    {
        Idle = 0,
        WaitingForReceiver = 1,
        Sending = 2,
        BlockSent = 3,
        EotSent = 5,
        Finished = 6
    };

    explicit XMODEM(QObject* parent = nullptr);
    ~XMODEM() override;

    QString name() const override;
    void start(const QString& filePath) override;
    void cancel() override;
    void handleReceivedData(const QByteArray& data) override;
    bool isActive() const override;

    void setUse1K(bool use1K) { m_use1K = use1K; }
    bool use1K() const { return m_use1K; }
    // Values below 2 become 1.
    void setRetryLimit(int limit);
    int retryLimit() const { return m_retryLimit; }
    // Milliseconds; values of 1000 or less become 1000.
    void setTimeout(int ms);
    int timeout() const { return m_timeout; }

    int state() const { return m_state; }
    quint8 blockNumber() const { return m_blockNumber; }
    int retryCount() const { return m_retryCount; }
    // The receiver asked for the 8-bit checksum (its first word was NAK).
    bool checksumMode() const { return m_checksumMode; }

    // One framed block: SOH/STX, number, complement, data padded with SUB to
    // `size`, CRC-16 high byte first.
    static QByteArray buildBlock(quint8 number, const QByteArray& data, int size, char padding = SUB);
    // The classic block: SOH, number, complement, 128 data bytes padded with
    // SUB, and the low byte of their sum.
    static QByteArray buildChecksumBlock(quint8 number, const QByteArray& data);
    static QByteArray cancelSequence();

protected:
    // One received byte; false when the rest of the chunk is to be dropped
    // (the transfer ended, or we just sent something the rest of the chunk
    // can't yet be an answer to).
    bool handleByte(char byte);
    virtual void sendBlock();
    virtual void sendEOT();
    virtual void onResponseTimeout();
    // Back to idle: timer stopped, counters cleared, file closed.
    virtual void reset();
    void onStalled() override;
    void onOutputProgress() override;
    // Reports m_bytesSent now when our output has left, else once it has.
    void reportProgress();

    // Counts consecutive CAN bytes; true once two in a row have arrived. A
    // single CAN is too easily a corrupted byte to end a good transfer on.
    bool takeCancelByte(char byte);
    // Whether a "C" can be the receiver asking for our last frame again.
    // Receivers that repeat "C" while they wait would otherwise have the
    // first frame sent twice, and the second ACK taken for the next block,
    // when their requests were already on the way while it was still
    // leaving a slow line.
    bool repeatRequestPlausible() const { return pendingOutput() <= 0; }
    // Reads the next piece of the file, at most `maxBytes` and never past the
    // size recorded at start. Returns false (after failing the transfer)
    // when the file can't be read.
    bool readChunk(qint64 maxBytes, QByteArray* data);
    // Seeks back to the current block and takes its bytes off the progress.
    bool rewindBlock();
    void failWithCancel(const QString& status, const QString& message);
    void failReceiverCancelled();
    void armResponseTimer();
    QTimer* responseTimer() const { return m_responseTimer; }

    QFile m_file;
    QTimer* m_responseTimer = nullptr;
    int m_state = Idle;
    quint8 m_blockNumber = 1;
    int m_retryCount = 0;
    int m_retryLimit = 10;
    int m_timeout = 10000;
    bool m_use1K = false;
    qint64 m_bytesSent = 0;
    qint64 m_fileSize = 0;
    qint64 m_blockOffset = 0;
    qint64 m_blockLength = 0;
    int m_canCount = 0;
    // The receiver's first NAK of an EOT is the usual confirmation and free.
    bool m_eotNakSeen = false;
    // No block has been acknowledged yet: a receiver still waiting for its
    // first block asks again with "C" instead of NAK.
    bool m_firstBlock = true;
    bool m_checksumMode = false;
    // A block's progress waits until the block has left the port.
    bool m_progressOwed = false;
};
