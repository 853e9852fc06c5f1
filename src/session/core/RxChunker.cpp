#include "RxChunker.h"

#include <QTimer>

RxChunker::RxChunker(QObject* parent) : QObject(parent)
{
    m_buffer.reserve(kReserve);
    m_tick = new QTimer(this);
    m_tick->setTimerType(Qt::PreciseTimer);
    m_tick->setInterval(kTickMs);
    connect(m_tick, &QTimer::timeout, this, &RxChunker::flush);
    m_gap = new QTimer(this);
    m_gap->setTimerType(Qt::PreciseTimer);
    m_gap->setInterval(kGapMs);
    connect(m_gap, &QTimer::timeout, this, [this] {
        m_gapElapsed = true;
        m_gap->stop();
    });
}

void RxChunker::append(const QByteArray& data)
{
    if (data.isEmpty())
        return;
    if (m_gapElapsed) {
        m_gapElapsed = false;
        if (!m_buffer.isEmpty())
            flush();
        m_newHexLine = true;
    }
    m_buffer.append(data);
    m_gap->start();
    // Queued arrivals can still come in after the port closed; nothing would
    // cut them then, so pass them on now.
    if (!m_tick->isActive())
        flush();
}

void RxChunker::flush()
{
    if (m_buffer.isEmpty())
        return;
    const bool newLine = m_newHexLine;
    m_newHexLine = false;
    // A copy of the used part, so the buffer keeps its reserve.
    const QByteArray chunk(m_buffer.constData(), m_buffer.size());
    m_buffer.truncate(0);
    Q_EMIT chunkReady(chunk, newLine);
}

void RxChunker::start()
{
    m_tick->start();
}

void RxChunker::stop()
{
    m_tick->stop();
    m_gap->stop();
}

bool RxChunker::isTicking() const
{
    return m_tick->isActive();
}

void RxChunker::discard()
{
    m_buffer.truncate(0);
}
