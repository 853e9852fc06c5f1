#pragma once

#include "XMODEM.h"

// Sending side of YMODEM for a batch of one file: a header block with the
// name and size, 1024-byte data blocks, a double EOT and the empty header
// that ends the batch.
class YMODEM : public XMODEM
{
    Q_OBJECT

public:
    enum BatchState
    {
        BatchIdle = 0,
        WaitingForStart = 1,
        HeaderSent = 2,
        HeaderAcked = 3,
        SendingData = 4,
        DataBlockSent = 5,
        FirstEotSent = 6,
        SecondEotSent = 7,
        WaitingForEndRequest = 8,
        EndMarkerSent = 9,
        BatchDone = 10,
    };

    explicit YMODEM(QObject* parent = nullptr);
    ~YMODEM() override;

    QString name() const override;
    void start(const QString& filePath) override;
    void handleReceivedData(const QByteArray& data) override;

    int batchState() const { return m_batchState; }

    // The 128-byte data field of the header: name (UTF-8, at most 104
    // bytes), NUL, size in decimal, then, when `modifiedSecs` is given, a
    // space, the modification time in octal seconds since 1970, a space and
    // the mode in octal (0 when unknown); NUL, zero fill. Optional fields
    // that would not fit are left out, so the size always reads first.
    static QByteArray headerData(const QString& fileName, qint64 size, qint64 modifiedSecs = -1,
                                 uint mode = 0);
    // The Unix mode of a regular file with the permissions of `path`, as
    // receivers apply it (0 when the file can't be looked at).
    static uint fileMode(const QString& path);

protected:
    void sendBlock() override;
    void sendEOT() override;
    void onResponseTimeout() override;
    void reset() override;

private:
    bool handleBatchByte(char byte);
    void sendHeader();
    void sendEndMarker();
    void sendFirstEot();
    void sendSecondEot();
    // NAK or time-out while waiting for an answer: sends the last frame again
    // within the retry limit. False when the transfer ended.
    bool retryLastFrame(bool fromTimeout);

    int m_batchState = BatchIdle;
    QString m_filePath;
};
