#pragma once

#include "PtyPair.h"

#include <QString>
#include <QtGlobal>

#include <atomic>
#include <thread>

// A line between two programs built from two pseudo-terminals: the sender
// opens senderPath(), the receiver receiverPath(), and a thread of our own
// copies the bytes between the two masters. On the way from the sender to the
// receiver it corrupts and drops bytes at the configured rates, so the error
// recovery of a transfer protocol can be tried against a real peer. The way
// back stays clean.
class NoisyRelay
{
public:
    NoisyRelay();
    ~NoisyRelay();
    NoisyRelay(const NoisyRelay&) = delete;
    NoisyRelay& operator=(const NoisyRelay&) = delete;

    // Creates both pty pairs and starts copying. False when a pty can't be had.
    bool open();
    // Stops the thread and closes both masters.
    void close();
    bool isOpen() const { return m_thread.joinable(); }

    QString senderPath() const { return m_senderSide.slavePath(); }
    QString receiverPath() const { return m_receiverSide.slavePath(); }

    // Per-byte probabilities for the sender-to-receiver direction (0..1).
    // Defaults: one byte in 10,000 corrupted, one in 50,000 dropped.
    void setNoise(double corruptRate, double dropRate);
    // Seed of the noise generator, for a reproducible run (before open()).
    void setSeed(quint32 seed) { m_seed = seed ? seed : 1; }
    // The first `bytes` from the sender pass untouched (e.g. the handshake).
    void setCleanPrefix(qint64 bytes) { m_cleanPrefix.store(bytes); }

    qint64 corruptedBytes() const { return m_corrupted.load(); }
    qint64 droppedBytes() const { return m_dropped.load(); }
    // Bytes taken from the sender / from the receiver.
    qint64 forwardedBytes() const { return m_forwarded.load(); }
    qint64 returnedBytes() const { return m_returned.load(); }

private:
    void run();
    static quint32 toThreshold(double rate);

    PtyPair m_senderSide;
    PtyPair m_receiverSide;
    std::thread m_thread;
    int m_wakePipe[2] = {-1, -1};
    quint32 m_seed = 0x2545F491u;
    std::atomic<quint32> m_corruptThreshold;
    std::atomic<quint32> m_dropThreshold;
    std::atomic<qint64> m_cleanPrefix{0};
    std::atomic<qint64> m_corrupted{0};
    std::atomic<qint64> m_dropped{0};
    std::atomic<qint64> m_forwarded{0};
    std::atomic<qint64> m_returned{0};
    std::atomic<bool> m_stop{false};
};
