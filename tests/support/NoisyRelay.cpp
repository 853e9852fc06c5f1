#include "NoisyRelay.h"

#include <QByteArray>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

void setNonBlocking(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
}

// One direction of the relay: bytes read from `in` wait in `buffer` until `out` takes them.
struct Lane
{
    int in = -1;
    int out = -1;
    QByteArray buffer;
    qsizetype sent = 0;

    bool hasBacklog() const { return sent < buffer.size(); }
    // Writes what `out` takes now; false on a hard error.
    bool flush()
    {
        while (hasBacklog()) {
            const ssize_t n = ::write(out, buffer.constData() + sent, size_t(buffer.size() - sent));
            if (n > 0) {
                sent += n;
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno == EAGAIN)
                return true;
            return false;
        }
        buffer.clear();
        sent = 0;
        return true;
    }
};

} // namespace

NoisyRelay::NoisyRelay()
    : m_corruptThreshold(toThreshold(1.0 / 10000.0)), m_dropThreshold(toThreshold(1.0 / 50000.0))
{
}

NoisyRelay::~NoisyRelay()
{
    close();
}

quint32 NoisyRelay::toThreshold(double rate)
{
    if (rate <= 0.0)
        return 0;
    if (rate >= 1.0)
        return 0xFFFFFFFFu;
    return quint32(rate * 4294967296.0);
}

void NoisyRelay::setNoise(double corruptRate, double dropRate)
{
    m_corruptThreshold.store(toThreshold(corruptRate));
    m_dropThreshold.store(toThreshold(dropRate));
}

bool NoisyRelay::open()
{
    close();
    if (!m_senderSide.open() || !m_receiverSide.open())
        return false;
    if (::pipe(m_wakePipe) != 0)
        return false;
    setNonBlocking(m_senderSide.masterFd());
    setNonBlocking(m_receiverSide.masterFd());
    m_stop.store(false);
    m_thread = std::thread([this] { run(); });
    return true;
}

void NoisyRelay::close()
{
    if (m_thread.joinable()) {
        m_stop.store(true);
        const char c = 0;
        [[maybe_unused]] const ssize_t n = ::write(m_wakePipe[1], &c, 1);
        m_thread.join();
    }
    for (int& fd : m_wakePipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    m_senderSide.closeMaster();
    m_receiverSide.closeMaster();
}

void NoisyRelay::run()
{
    Lane forward;
    forward.in = m_senderSide.masterFd();
    forward.out = m_receiverSide.masterFd();
    Lane back;
    back.in = m_receiverSide.masterFd();
    back.out = m_senderSide.masterFd();
    quint32 rng = m_seed;
    auto next = [&rng] {
        // xorshift32: cheap enough to draw once per relayed byte
        rng ^= rng << 13;
        rng ^= rng >> 17;
        rng ^= rng << 5;
        return rng;
    };

    char buf[16384];
    while (!m_stop.load()) {
        // Stop reading a side while its backlog is unsent, so a slow reader
        // pushes back on the writer as a real line would.
        struct pollfd fds[3] = {};
        fds[0] = {forward.in, short(forward.hasBacklog() ? 0 : POLLIN), 0};
        fds[1] = {back.in, short(back.hasBacklog() ? 0 : POLLIN), 0};
        fds[2] = {m_wakePipe[0], POLLIN, 0};
        // Both directions write to the same two fds they read from.
        if (back.hasBacklog())
            fds[0].events |= POLLOUT;
        if (forward.hasBacklog())
            fds[1].events |= POLLOUT;
        const int r = ::poll(fds, 3, 200);
        if (r < 0 && errno != EINTR)
            break;
        if (fds[2].revents & POLLIN)
            break;

        if (!forward.hasBacklog() && (fds[0].revents & POLLIN)) {
            const ssize_t n = ::read(forward.in, buf, sizeof buf);
            if (n > 0) {
                const quint32 corrupt = m_corruptThreshold.load();
                const quint32 drop = m_dropThreshold.load();
                qint64 clean = m_cleanPrefix.load() - m_forwarded.load();
                m_forwarded += n;
                forward.buffer.reserve(n);
                for (ssize_t i = 0; i < n; ++i) {
                    char c = buf[i];
                    if (clean > 0) {
                        --clean;
                    } else {
                        if (drop && next() < drop) {
                            ++m_dropped;
                            continue;
                        }
                        if (corrupt && next() < corrupt) {
                            // a non-zero mask so the byte really changes
                            c = char(c ^ char((next() % 255) + 1));
                            ++m_corrupted;
                        }
                    }
                    forward.buffer.append(c);
                }
            }
        }
        if (!back.hasBacklog() && (fds[1].revents & POLLIN)) {
            const ssize_t n = ::read(back.in, buf, sizeof buf);
            if (n > 0) {
                m_returned += n;
                back.buffer.append(buf, n);
            }
        }
        if (!forward.flush() || !back.flush())
            break;
    }
}
