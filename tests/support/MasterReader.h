#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

// Collects whatever arrives on the test's end of a pty, from the event loop.
class MasterReader : public QObject
{
public:
    explicit MasterReader(int fd) : m_fd(fd), m_notifier(fd, QSocketNotifier::Read)
    {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        // A child process must not keep the master alive: closing it is our unplug.
        ::fcntl(fd, F_SETFD, ::fcntl(fd, F_GETFD) | FD_CLOEXEC);
        connect(&m_notifier, &QSocketNotifier::activated, this, [this] { drain(); });
    }
    void drain()
    {
        char buf[65536];
        for (;;) {
            const ssize_t n = ::read(m_fd, buf, sizeof buf);
            if (n <= 0)
                break;
            data.append(buf, int(n));
        }
    }
    QByteArray data;

private:
    int m_fd;
    QSocketNotifier m_notifier;
};
