#include "ProtocolParser.h"

#include <QMetaMethod>
#include <QMutexLocker>

#include <algorithm>

namespace {
// Fully drained storage above this size is given back instead of reused.
constexpr qsizetype kKeepCapacity = 4 * 1024 * 1024;
// Taken frames are squeezed out once they are this many and at least half.
constexpr qsizetype kCompactAfter = 4096;
} // namespace

ProtocolParser::ProtocolParser(QObject* parent) : QObject(parent) {}

ProtocolParser::~ProtocolParser() = default;

void ProtocolParser::reset()
{
    QMutexLocker locker(&m_mutex);
    m_buffer.clear();
    clearQueue();
}

void ProtocolParser::clearQueue()
{
    if (m_queueBytes.capacity() > kKeepCapacity) {
        m_queueBytes = QByteArray();
        m_queueBounds = QVector<qsizetype>();
    } else {
        m_queueBytes.resize(0);
        m_queueBounds.resize(0);
    }
    m_queueHead = 0;
}

void ProtocolParser::commitFrame(qsizetype end)
{
    if (m_queueBounds.isEmpty())
        m_queueBounds.append(0);
    const qsizetype begin = m_queueBounds.constLast();
    m_queueBytes.resize(end);
    m_queueBounds.append(end);
    static const QMetaMethod readySignal = QMetaMethod::fromSignal(&ProtocolParser::frameReady);
    // Building a byte array per frame only pays when someone listens.
    if (isSignalConnected(readySignal))
        emit frameReady(QByteArray(m_queueBytes.constData() + begin, end - begin));
}

int ProtocolParser::pendingLocked() const
{
    return m_queueBounds.isEmpty() ? 0 : int(m_queueBounds.size() - 1 - m_queueHead);
}

void ProtocolParser::compactQueue()
{
    if (pendingLocked() == 0) {
        clearQueue();
        return;
    }
    if (m_queueHead < kCompactAfter || m_queueHead * 2 < m_queueBounds.size())
        return;
    const qsizetype base = m_queueBounds[m_queueHead];
    m_queueBytes.remove(0, base);
    m_queueBounds.remove(0, m_queueHead);
    for (qsizetype& b : m_queueBounds)
        b -= base;
    m_queueHead = 0;
}

QByteArray ProtocolParser::takeFrame()
{
    QMutexLocker locker(&m_mutex);
    if (pendingLocked() == 0)
        return QByteArray();
    const qsizetype begin = m_queueBounds[m_queueHead];
    const qsizetype end = m_queueBounds[m_queueHead + 1];
    QByteArray frame(m_queueBytes.constData() + begin, end - begin);
    ++m_queueHead;
    compactQueue();
    return frame;
}

QList<QByteArray> ProtocolParser::takeFrames(int maxCount)
{
    const FrameBlock block = takeFrameBlock(maxCount);
    QList<QByteArray> frames;
    frames.reserve(block.count());
    for (int i = 0; i < block.count(); ++i)
        frames.append(QByteArray(block.frameBegin(i), block.frameEnd(i) - block.frameBegin(i)));
    return frames;
}

ProtocolParser::FrameBlock ProtocolParser::takeFrameBlock(int maxCount)
{
    QMutexLocker locker(&m_mutex);
    FrameBlock block;
    const int pending = pendingLocked();
    const int n = std::min(maxCount, pending);
    if (n <= 0)
        return block;
    if (n == pending && m_queueHead == 0) {
        // Everything: hand the storage over as it is.
        block.bytes.swap(m_queueBytes);
        block.bounds.swap(m_queueBounds);
        clearQueue();
        return block;
    }
    const qsizetype base = m_queueBounds[m_queueHead];
    const qsizetype end = m_queueBounds[m_queueHead + n];
    block.bytes = QByteArray(m_queueBytes.constData() + base, end - base);
    block.bounds.reserve(n + 1);
    for (qsizetype i = m_queueHead; i <= m_queueHead + n; ++i)
        block.bounds.append(m_queueBounds[i] - base);
    m_queueHead += n;
    compactQueue();
    return block;
}

bool ProtocolParser::hasFrames() const
{
    QMutexLocker locker(&m_mutex);
    return pendingLocked() > 0;
}

int ProtocolParser::pendingFrameCount() const
{
    QMutexLocker locker(&m_mutex);
    return pendingLocked();
}

int ProtocolParser::bufferedByteCount() const
{
    QMutexLocker locker(&m_mutex);
    return int(m_buffer.size());
}
