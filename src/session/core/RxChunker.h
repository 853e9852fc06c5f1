#pragma once

#include <QByteArray>
#include <QObject>

class QTimer;

// Collects received bytes and cuts them into display chunks: every 20 ms while
// the port is open, and at a pause in the stream (5 ms without bytes), so
// that what came before a pause is a chunk of its own and what follows starts
// a fresh hex line. Chunks leave through chunkReady in arrival order.
class RxChunker : public QObject
{
    Q_OBJECT
public:
    static constexpr qsizetype kReserve = 5 * 1024 * 1024;
    static constexpr int kTickMs = 20;
    static constexpr int kGapMs = 5;

    explicit RxChunker(QObject* parent = nullptr);

    void append(const QByteArray& data);
    // Emits what is buffered now, if anything.
    void flush();
    // The tick runs while the port is open; bytes that arrive while it is
    // stopped go out at once.
    void start();
    void stop();
    bool isTicking() const;
    // Drops what is buffered without emitting it.
    void discard();

Q_SIGNALS:
    void chunkReady(QByteArray chunk, bool startsHexLine);

private:
    QByteArray m_buffer;
    QTimer* m_tick = nullptr;
    QTimer* m_gap = nullptr;
    // The stream paused (gap timer fired) since the last arrival.
    bool m_gapElapsed = false;
    // The next chunk starts a fresh hex line.
    bool m_newHexLine = false;
};
