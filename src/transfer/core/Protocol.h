#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QTimer;

// Base of the file-transfer engines. An engine never touches the port: it
// emits the bytes to send and is handed the bytes received.
//
// Output pacing: whoever writes the engine's bytes reports how many of them
// the port still holds (after each write and on each bytes-written
// notification). Engines use it to keep only a few blocks queued and to start
// their response timers only once their own output has left, so a slow line
// never looks like a silent receiver. Without reports (pending stays 0) the
// engine behaves as if every write left at once.
//
// Stall watch: while our output is queued, the line must move. When for a
// whole stall time-out not one byte has drained and none has arrived (the
// receiver stopped reading, or flow control holds the line for good), the
// engine is told through onStalled() and ends the transfer.
class Protocol : public QObject
{
    Q_OBJECT

public:
    explicit Protocol(QObject* parent = nullptr);
    ~Protocol() override;

    virtual QString name() const = 0;
    virtual void start(const QString& filePath) = 0;
    virtual void cancel() = 0;
    virtual void handleReceivedData(const QByteArray& data) = 0;
    virtual bool isActive() const = 0;

    // Bytes written by us and not yet taken by the driver.
    void setPendingOutput(qint64 bytes);
    qint64 pendingOutput() const { return m_pendingOutput; }

    // Milliseconds without any movement before a transfer counts as stalled.
    int stallTimeout() const;

signals:
    void finished(bool success, QString errorMessage);
    void progressChanged(qint64 bytesSent, qint64 bytesTotal);
    void statusMessage(QString message);
    void writeRequested(QByteArray data);

protected:
    // Starts `timer` now when our output has drained, otherwise as soon as it
    // has. Only one timer waits at a time; arming another replaces it.
    void armWhenDrained(QTimer* timer);
    // Stops `timer` and forgets a pending arm of it.
    void disarm(QTimer* timer);
    // Called whenever the pending count drops (after the deferred timer, if
    // any, has been started). Engines that stream resume here.
    virtual void onOutputProgress() {}

    void setStallTimeout(int ms);
    // Received bytes count as movement; engines call this for every chunk.
    void noteIncoming();
    // Forgets the movement of an earlier transfer (at start).
    void resetStallWatch();
    // "Transfer stalled: no progress for %1 s" for the current stall time-out.
    QString stallMessage() const;
    // The line did not move for the stall time-out while our output was
    // queued. The engine sends its cancel sequence and fails.
    virtual void onStalled() = 0;

private:
    void onStallTimeout();

    qint64 m_pendingOutput = 0;
    QTimer* m_deferredTimer = nullptr;
    QTimer* m_stallTimer = nullptr;
    int m_stallTimeout = 10000;
    // When the line last moved: a byte drained or arrived.
    QElapsedTimer m_lastMovement;
};
