#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QVector>

// Accumulates received bytes and keeps a first-in-first-out queue of complete
// frames. handleData runs on the parser's own thread; the queue accessors are
// called from the GUI thread, so every access to buffer and queue holds the
// mutex.
//
// The queue keeps its frames back to back in one byte array with their
// bounds beside it: a fast line queues hundreds of thousands of small frames
// per drain tick, and one allocation per frame would dominate the cost.
class ProtocolParser : public QObject
{
    Q_OBJECT
public:
    // Several frames taken at once: frame i is
    // bytes[bounds[i] .. bounds[i + 1]).
    struct FrameBlock
    {
        QByteArray bytes;
        QVector<qsizetype> bounds;

        int count() const { return bounds.isEmpty() ? 0 : int(bounds.size() - 1); }
        const char* frameBegin(int i) const { return bytes.constData() + bounds[i]; }
        const char* frameEnd(int i) const { return bytes.constData() + bounds[i + 1]; }
        QByteArray frame(int i) const { return bytes.mid(bounds[i], bounds[i + 1] - bounds[i]); }
    };

    explicit ProtocolParser(QObject* parent = nullptr);
    ~ProtocolParser() override;

public slots:
    virtual void handleData(QByteArray data) = 0;

public:
    // Empties the receive buffer and the frame queue.
    virtual void reset();

    // Oldest frame, or an empty byte array when the queue is empty.
    QByteArray takeFrame();
    // Up to maxCount oldest frames, as separate byte arrays.
    QList<QByteArray> takeFrames(int maxCount);
    // Up to maxCount oldest frames in one block (the drain's fast path).
    FrameBlock takeFrameBlock(int maxCount);
    bool hasFrames() const;
    int pendingFrameCount() const;
    // Bytes waiting in the receive buffer for the rest of a frame.
    int bufferedByteCount() const;

signals:
    void frameReady(QByteArray frame);
    void parseError(QString errorMessage);

protected:
    // Queue helpers; the caller holds m_mutex. A parser appends a frame's
    // bytes to queueBytes(), may rewrite them in place, and then calls
    // commitFrame with the frame's end (anything after it is dropped), or
    // resizes queueBytes() back to drop the frame. commitFrame emits
    // frameReady when someone listens.
    void commitFrame(qsizetype end);
    QByteArray& queueBytes() { return m_queueBytes; }
    void clearQueue();

    mutable QMutex m_mutex;
    QByteArray m_buffer;

private:
    int pendingLocked() const;
    void compactQueue();

    QByteArray m_queueBytes;          // frames back to back
    QVector<qsizetype> m_queueBounds; // frame i = [bounds[i], bounds[i + 1])
    qsizetype m_queueHead = 0;        // first frame not yet taken
};
