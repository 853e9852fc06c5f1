#include "CsvProtocolParser.h"

#include <QMutexLocker>

#include <cstring>

namespace {

inline bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Removes every white-space character from [begin, end) in place and returns
// the new end (folding runs, trimming and then deleting the remaining
// spaces comes to the same thing).
char* stripBlanks(char* begin, char* end)
{
    char* p = begin;
    while (p != end && !isBlank(*p))
        ++p;
    char* w = p;
    for (; p != end; ++p) {
        if (!isBlank(*p))
            *w++ = *p;
    }
    return w;
}

const char* findLast(const char* begin, const char* end, char c)
{
    while (end != begin) {
        --end;
        if (*end == c)
            return end;
    }
    return nullptr;
}

} // namespace

CsvProtocolParser::CsvProtocolParser(QObject* parent)
    : ProtocolParser(parent), m_startDelimiter("{"), m_endDelimiter("}")
{
}

void CsvProtocolParser::handleData(QByteArray data)
{
    if (data.isEmpty())
        return;

    QMutexLocker locker(&m_mutex);
    // A pending frame was already searched for its end up to the old size;
    // the new bytes are all that can close it.
    qsizetype closeSearchFrom = 0;
    if (m_buffer.isEmpty()) {
        m_buffer = data;
    } else {
        closeSearchFrom = m_buffer.size();
        m_buffer.append(data);
    }

    const char start = m_startDelimiter.at(0);
    const char stop = m_endDelimiter.at(0);
    const char* base = m_buffer.constData();
    const qsizetype size = m_buffer.size();
    qsizetype pos = 0;
    qsizetype keepFrom = size; // nothing before a pending "{" can be part of a frame

    while (pos < size) {
        const char* open = static_cast<const char*>(std::memchr(base + pos, start, size_t(size - pos)));
        if (!open)
            break;
        const qsizetype openAt = open - base;
        qsizetype searchAt = openAt + 1;
        if (searchAt < closeSearchFrom)
            searchAt = closeSearchFrom;
        closeSearchFrom = 0;
        const char* close =
            static_cast<const char*>(std::memchr(base + searchAt, stop, size_t(size - searchAt)));
        if (!close) {
            keepFrom = openAt;
            break;
        }
        pos = (close - base) + 1;
        // Straight into the queue storage, cleaned where it lies.
        QByteArray& queue = queueBytes();
        const qsizetype frameStart = queue.size();
        queue.append(open + 1, close - open - 1);
        char* const first = queue.data() + frameStart;
        char* const last = stripBlanks(first, queue.data() + queue.size());
        // A frame of nothing but white space carries no number either.
        if (last == first) {
            queue.resize(frameStart);
            emit parseError(tr("Empty CSV frame"));
            continue;
        }
        commitFrame(frameStart + (last - first));
    }

    if (keepFrom < size && size - keepFrom > kMaxFrameLength) {
        // An open frame this long is noise; resynchronise at the last "{" if
        // what follows it is still short enough to become a frame.
        const char* lastOpen = findLast(base + keepFrom + 1, base + size, start);
        if (lastOpen && size - (lastOpen - base) <= kMaxFrameLength)
            keepFrom = lastOpen - base;
        else
            keepFrom = size;
        emit parseError(tr("CSV frame too long, discarded"));
    }

    if (keepFrom >= size)
        m_buffer.clear();
    else if (keepFrom > 0)
        m_buffer = m_buffer.mid(keepFrom);
}
