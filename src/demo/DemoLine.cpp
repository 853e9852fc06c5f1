#include "DemoLine.h"

#include <QDebug>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

// One write round never hands out more than this, so a fast reader cannot
// keep the event loop in the write loop.
constexpr qsizetype WriteBudget = 1024 * 1024;

QString errnoText(const QString& what)
{
    return QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
}

void setCloseOnExec(int fd)
{
    ::fcntl(fd, F_SETFD, ::fcntl(fd, F_GETFD) | FD_CLOEXEC);
}

} // namespace

DemoLine::DemoLine(QObject* parent) : QObject(parent)
{
    m_stallTimer = new QTimer(this);
    m_stallTimer->setInterval(500);
    connect(m_stallTimer, &QTimer::timeout, this, &DemoLine::onStallCheck);
}

DemoLine::~DemoLine()
{
    close();
}

bool DemoLine::open(const QString& linkPath)
{
    close();
    m_error.clear();
    m_replacedStale = false;
    int master = -1;
    int slave = -1;
    char name[256] = {0};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        m_error = errnoText(QStringLiteral("openpty"));
        return false;
    }
    struct termios tio;
    if (::tcgetattr(slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::cfsetspeed(&tio, B115200);
        ::tcsetattr(slave, TCSANOW, &tio);
    }
    setCloseOnExec(master);
    setCloseOnExec(slave);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);

    if (!linkPath.isEmpty() && !publishLink(linkPath, QByteArray(name))) {
        ::close(master);
        ::close(slave);
        return false;
    }
    m_master = master;
    m_slaveKeep = slave;
    m_slaveName = QString::fromLocal8Bit(name);
    m_linkPath = linkPath;
    m_out.clear();
    m_outPos = 0;
    m_readPaused = false;

    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &DemoLine::onReadable);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &DemoLine::onWritable);
    m_stallTimer->start();
    updateNotifiers();
    return true;
}

bool DemoLine::publishLink(const QString& linkPath, const QByteArray& target)
{
    const QByteArray path = QFile::encodeName(linkPath);
    struct stat st;
    if (::lstat(path.constData(), &st) == 0) {
        // Only an old link is ours to replace; a real file or directory under
        // that name belongs to someone else.
        if (!S_ISLNK(st.st_mode)) {
            m_error = QStringLiteral("%1 exists and is not a symbolic link; not replacing it").arg(linkPath);
            return false;
        }
        m_replacedStale = true;
    }
    // Link under a temporary name, then rename over the old one, so a client
    // never finds the path missing or half made.
    const QByteArray temp = path + ".new." + QByteArray::number(qint64(::getpid()));
    ::unlink(temp.constData());
    if (::symlink(target.constData(), temp.constData()) != 0) {
        m_error = errnoText(QStringLiteral("cannot create link %1").arg(QFile::decodeName(temp)));
        return false;
    }
    if (::rename(temp.constData(), path.constData()) != 0) {
        m_error = errnoText(QStringLiteral("cannot publish %1").arg(linkPath));
        ::unlink(temp.constData());
        return false;
    }
    return true;
}

void DemoLine::removeLink()
{
    if (m_linkPath.isEmpty() || m_slaveName.isEmpty())
        return;
    const QByteArray path = QFile::encodeName(m_linkPath);
    char target[512];
    const ssize_t n = ::readlink(path.constData(), target, sizeof target - 1);
    if (n < 0)
        return;
    target[n] = 0;
    // Someone may have published another line under the same name since.
    if (QFile::decodeName(target) == m_slaveName)
        ::unlink(path.constData());
}

void DemoLine::close()
{
    delete m_readNotifier;
    m_readNotifier = nullptr;
    delete m_writeNotifier;
    m_writeNotifier = nullptr;
    m_stallTimer->stop();
    removeLink();
    countUnread();
    if (m_master >= 0)
        m_closedJournal = std::exchange(m_journal, QByteArray());
    // The master goes first: its close hangs up the slave for every client.
    if (m_master >= 0) {
        ::close(m_master);
        m_master = -1;
    }
    if (m_slaveKeep >= 0) {
        ::close(m_slaveKeep);
        m_slaveKeep = -1;
    }
    m_out.clear();
    m_outPos = 0;
    m_slaveName.clear();
}

bool DemoLine::write(const QByteArray& data, bool droppable)
{
    if (m_master < 0)
        return false;
    if (droppable && queuedBytes() >= DropLimit)
        return false;
    if (m_outPos > 0 && m_outPos >= m_out.size() / 2) {
        m_out.remove(0, m_outPos);
        m_outPos = 0;
    }
    if (queuedBytes() == 0)
        m_lastProgress.start();
    m_out.append(data);
    updateNotifiers();
    return true;
}

void DemoLine::countUnread()
{
    int unread = 0;
    if (m_slaveKeep >= 0 && ::ioctl(m_slaveKeep, FIONREAD, &unread) == 0 && unread > 0)
        m_bytesUnread += unread;
}

void DemoLine::discardOutput()
{
    m_out.clear();
    m_outPos = 0;
    updateNotifiers();
}

void DemoLine::setReadingPaused(bool paused)
{
    m_readPaused = paused;
    updateNotifiers();
}

void DemoLine::updateNotifiers()
{
    if (m_readNotifier)
        m_readNotifier->setEnabled(!m_readPaused && queuedBytes() < ReadPauseLimit);
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(queuedBytes() > 0);
}

void DemoLine::onReadable()
{
    char buf[16384];
    QByteArray data;
    for (;;) {
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n > 0) {
            data.append(buf, n);
            if (data.size() >= 65536)
                break;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN) {
            // Cannot happen while the slave is held open; stop rather than spin.
            qWarning().noquote() << "[DemoLine]" << errnoText(QStringLiteral("read"));
            if (m_readNotifier)
                m_readNotifier->setEnabled(false);
        }
        break;
    }
    if (!data.isEmpty())
        Q_EMIT dataReceived(data);
}

void DemoLine::onWritable()
{
    qsizetype budget = WriteBudget;
    while (queuedBytes() > 0 && budget > 0 && m_master >= 0) {
        const size_t len = size_t(qMin(queuedBytes(), budget));
        const ssize_t n = ::write(m_master, m_out.constData() + m_outPos, len);
        if (n > 0) {
            if (m_journalling)
                m_journal.append(m_out.constData() + m_outPos, n);
            m_outPos += n;
            m_bytesWritten += n;
            budget -= n;
            m_lastProgress.start();
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN) {
            qWarning().noquote() << "[DemoLine]" << errnoText(QStringLiteral("write"));
            m_out.clear();
            m_outPos = 0;
        }
        break;
    }
    if (queuedBytes() == 0) {
        m_out.clear();
        m_outPos = 0;
    }
    updateNotifiers();
    if (queuedBytes() < LowWater)
        Q_EMIT readyForMore();
    if (queuedBytes() == 0)
        Q_EMIT drained();
}

void DemoLine::onStallCheck()
{
    if (queuedBytes() == 0 || m_lastProgress.elapsed() < StallMs)
        return;
    const qint64 lost = queuedBytes();
    m_out.clear();
    m_outPos = 0;
    // Also forget what waits unread in the line, so the next client starts
    // with fresh data instead of minutes-old output.
    if (m_slaveKeep >= 0) {
        countUnread();
        ::tcflush(m_slaveKeep, TCIFLUSH);
    }
    updateNotifiers();
    Q_EMIT stalled(lost);
}
