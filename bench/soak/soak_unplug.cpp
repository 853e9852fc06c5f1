// Unplug soak: the demo device streams log lines (every 10 ms) and brace
// frames (50000 a second) into the real SerialPortManager and Session while
// it is told "unplug 1" through the session again and again; the session's
// auto-reconnect must bring the port back every time.
//
//   xvfb-run -a build/bin/soak_unplug [CYCLES]     (default 100)
//
// Reports reconnects, bytes received against bytes the device put into the
// line (less what was still unread in the line when it went away), resident
// memory, CPU while unplugged and the longest GUI stall. The device runs on
// its own thread, as a separate board would; its thread's CPU is not counted.

#include "AppConfig.h"
#include "DemoDevice.h"
#include "SerialPortManager.h"
#include "Session.h"

#include "ProcessStats.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

namespace {

// A pseudo-terminal holds 4 KB in its read queue and about 10 KB more on the
// way there (13,873 bytes seen at most); a longer tail at an unplug means the
// session had stopped reading before the cable went.
constexpr qint64 MaxLineHold = 32 * 1024;

using bench::cpuSeconds;
using bench::residentMb;

double threadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// Bytes waiting unread in the line whose slave is `slave`.
qint64 unreadIn(const QString& slave)
{
    const int fd = ::open(slave.toLocal8Bit().constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return 0;
    int n = 0;
    if (::ioctl(fd, FIONREAD, &n) != 0)
        n = 0;
    ::close(fd);
    return n;
}

// Runs the event loop until `done` holds or `ms` pass; checks every 10 ms, so
// waiting costs no CPU of its own.
bool waitFor(const std::function<bool()>& done, int ms)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer poll;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || clock.elapsed() >= ms)
            loop.quit();
    });
    poll.start(10);
    loop.exec();
    return done();
}

template <typename T> T onDevice(DemoDevice* device, const std::function<T()>& f)
{
    T result{};
    QMetaObject::invokeMethod(
        device, [&] { result = f(); }, Qt::BlockingQueuedConnection);
    return result;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
        fprintf(stderr, "soak_unplug needs a display: xvfb-run -a build/bin/soak_unplug\n");
        return 2;
    }
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    const int cycles = argc > 1 ? qMax(1, atoi(argv[1])) : 100;

    AppConfig::loadConfiguration();
    AppConfig::HexRxMode = false;
    AppConfig::ShowTime = true;
    AppConfig::LogHighlight = true;
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});

    QThread deviceThread;
    auto* device = new DemoDevice;
    device->setPath(home.filePath(QStringLiteral("soak-demo")));
    device->setRate(DemoDevice::MaxRate);
    device->setLogInterval(10);
    device->setLogEnabled(true);
    device->setLineJournalling(true);
    device->moveToThread(&deviceThread);
    QObject::connect(&deviceThread, &QThread::finished, device, &QObject::deleteLater);
    deviceThread.start();
    if (!onDevice<bool>(device, [&] {
            const bool ok = device->start();
            device->setWaveOn(true);
            return ok;
        })) {
        fprintf(stderr, "the demo device did not start\n");
        return 1;
    }

    Session session;
    session.resize(1200, 740);
    session.show();
    SerialPortManager* port = session.portManager();
    int reconnects = 0;
    // What the device wrote while nobody had the port open and still waits in
    // the line when the session opens it.
    qint64 backlogAtOpen = 0;
    // Bytes the port manager handed on: the session's Rx counter must match.
    qint64 portBytes = 0;
    // What this connection brought, checked against what the device's line
    // carried: it must be an exact prefix; only the tail may go with the cable.
    QByteArray connectionBytes;
    qint64 midStreamFaults = 0;
    qint64 tailLost = 0;
    qint64 worstTail = 0;
    int linesChecked = 0;
    const auto checkLine = [&] {
        const QByteArray carried =
            onDevice<QByteArray>(device, [&] { return device->takeClosedLineJournal(); });
        ++linesChecked;
        if (!carried.startsWith(connectionBytes)) {
            qsizetype at = 0;
            while (at < connectionBytes.size() && at < carried.size() && connectionBytes[at] == carried[at])
                ++at;
            fprintf(stderr,
                    "line %d: received bytes differ from the line's at offset %lld (%lld received, %lld "
                    "carried)\n",
                    linesChecked, static_cast<long long>(at), static_cast<long long>(connectionBytes.size()),
                    static_cast<long long>(carried.size()));
            ++midStreamFaults;
        } else {
            tailLost += carried.size() - connectionBytes.size();
            worstTail = qMax<qint64>(worstTail, carried.size() - connectionBytes.size());
        }
        connectionBytes.clear();
    };
    QObject::connect(port, &SerialPortManager::dataReceived, &session, [&](const QByteArray& data) {
        portBytes += data.size();
        connectionBytes += data;
    });
    QObject::connect(port, &SerialPortManager::connected, &session, [&] {
        ++reconnects;
        backlogAtOpen += unreadIn(onDevice<QString>(device, [&] { return device->slaveName(); }));
    });

    QElapsedTimer beat;
    qint64 lastBeat = 0;
    qint64 worstStall = 0;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 now = beat.nsecsElapsed();
        worstStall = qMax(worstStall, now - lastBeat);
        lastBeat = now;
    });
    double peakRss = 0;
    QTimer rssProbe;
    QObject::connect(&rssProbe, &QTimer::timeout, [&] { peakRss = qMax(peakRss, residentMb()); });

    if (!session.openPortAtStart(device->path(), QStringLiteral("115200"))) {
        fprintf(stderr, "cannot open %s\n", qPrintable(device->path()));
        return 1;
    }
    reconnects = 0; // the first open is not a reconnect
    backlogAtOpen = 0;
    QElapsedTimer total;
    total.start();
    beat.start();
    heartbeat.start(20);
    rssProbe.start(200);
    // Warm up until the log view holds its full backlog, then take the base.
    waitFor([] { return false; }, 3000);
    const double rssBoot = residentMb();
    double rssStart = rssBoot;

    double unpluggedCpu = 0;
    double unpluggedWall = 0;
    int completed = 0;
    for (int i = 0; i < cycles; ++i) {
        // Stream at full speed for a while, then pull the cable.
        waitFor([] { return false; }, 1000);
        const int before = reconnects;
        port->write(QByteArray("unplug 1\r\n"));
        if (!waitFor([&] { return !port->isOpen(); }, 10000)) {
            fprintf(stderr, "cycle %d: the port did not close\n", i + 1);
            break;
        }
        checkLine();
        // The device's thread idles on its own timers meanwhile: its CPU is
        // taken off. The wait is woken by the reconnect, not by polling.
        const double cpu0 = cpuSeconds();
        const double device0 = onDevice<double>(device, &threadCpuSeconds);
        QElapsedTimer gone;
        gone.start();
        {
            QEventLoop loop;
            QTimer::singleShot(20000, &loop, &QEventLoop::quit);
            QObject::connect(port, &SerialPortManager::connected, &loop, &QEventLoop::quit,
                             Qt::QueuedConnection);
            loop.exec();
        }
        const double device1 = onDevice<double>(device, &threadCpuSeconds);
        unpluggedCpu += (cpuSeconds() - cpu0) - (device1 - device0);
        unpluggedWall += double(gone.elapsed()) / 1000.0;
        if (!(reconnects > before && port->isOpen())) {
            fprintf(stderr, "cycle %d: no reconnect\n", i + 1);
            break;
        }
        ++completed;
        // The first ten cycles warm up (font and glyph caches, the log view
        // reaching its cap, the allocator's arenas); growth counts from there.
        if (i + 1 == qMin(10, cycles))
            rssStart = residentMb();
        if ((i + 1) % 10 == 0)
            fprintf(stderr, "cycle %3d: resident %.1f MB\n", i + 1, residentMb());
    }
    waitFor([] { return false; }, 2000);
    const double rssEnd = residentMb();

    // One long absence: the CPU of the waiting itself, without the work each
    // close and reopen bring (flushing the view, notices, the reopen).
    double idleCpu = -1;
    bool longReconnect = false;
    if (completed == cycles) {
        const int before = reconnects;
        port->write(QByteArray("unplug 10\r\n"));
        if (waitFor([&] { return !port->isOpen(); }, 10000)) {
            checkLine();
            waitFor([] { return false; }, 1000);
            const double cpu0 = cpuSeconds();
            const double device0 = onDevice<double>(device, &threadCpuSeconds);
            QElapsedTimer quiet;
            quiet.start();
            waitFor([] { return false; }, 7000);
            const double device1 = onDevice<double>(device, &threadCpuSeconds);
            idleCpu =
                100.0 * ((cpuSeconds() - cpu0) - (device1 - device0)) / (double(quiet.elapsed()) / 1000.0);
            longReconnect = waitFor([&] { return reconnects > before && port->isOpen(); }, 20000);
            waitFor([] { return false; }, 1000);
        }
    }

    // The device goes away for good; what it left in the line is counted, and
    // the session gets the time to take in everything it read.
    onDevice<bool>(device, [&] {
        device->stop();
        return true;
    });
    qulonglong lastRx = ~0ULL;
    waitFor(
        [&] {
            const bool still = session.rxCount() == lastRx && !port->isOpen();
            lastRx = session.rxCount();
            return still;
        },
        10000);
    waitFor([] { return false; }, 500);
    checkLine();
    const qint64 written = onDevice<qint64>(device, [&] { return device->lineBytesWritten(); });
    const qint64 unread = onDevice<qint64>(device, [&] { return device->lineBytesUnread(); });
    const qint64 received = qint64(session.rxCount());
    heartbeat.stop();
    rssProbe.stop();

    const qint64 expected = written - unread;
    std::printf("unplug soak (%d cycles of 1 s streaming + \"unplug 1\", log every 10 ms, %d frames/s)\n",
                cycles, DemoDevice::MaxRate);
    std::printf("  reconnects            %d of %d (the last after a 10 s absence)\n", reconnects, cycles + 1);
    std::printf("  bytes into the line   %12lld\n", static_cast<long long>(written));
    std::printf("  left unread at unplug %12lld\n", static_cast<long long>(unread));
    std::printf("  bytes received        %12lld (%lld missing)\n", static_cast<long long>(received),
                static_cast<long long>(expected - received));
    std::printf("  of those written while the port was closed, unread at the reopen %lld\n",
                static_cast<long long>(backlogAtOpen));
    std::printf("  handed on by the port %12lld\n", static_cast<long long>(portBytes));
    std::printf(
        "  lines checked byte for byte %d: %lld with a fault inside the stream; %lld bytes were still in\n"
        "    the line at an unplug (at most %lld at one), lost with the cable\n",
        linesChecked, static_cast<long long>(midStreamFaults), static_cast<long long>(tailLost),
        static_cast<long long>(worstTail));
    std::printf(
        "  resident memory       %8.1f MB after 3 s, %.1f MB after 10 cycles, %.1f MB end, %.1f MB peak "
        "(growth %.1f MB)\n",
        rssBoot, rssStart, rssEnd, peakRss, rssEnd - rssStart);
    std::printf(
        "  CPU while unplugged   %8.2f %% of a core, the device's thread not counted (%.1f s unplugged)\n",
        unpluggedWall > 0 ? 100.0 * unpluggedCpu / unpluggedWall : 0.0, unpluggedWall);
    std::printf(
        "  CPU while unplugged   %8.2f %% of a core in the steady state (seconds 1 to 8 of a 10 s absence)\n",
        idleCpu);
    std::printf("  longest GUI stall     %8.1f ms\n", double(worstStall) / 1e6);
    std::printf("  wall time             %8.1f s\n", double(total.elapsed()) / 1000.0);
    session.shutdown();
    deviceThread.quit();
    deviceThread.wait();
    const bool ok = completed == cycles && longReconnect && reconnects == cycles + 1 &&
                    midStreamFaults == 0 && linesChecked == cycles + 2 && idleCpu >= 0 && idleCpu < 2.0 &&
                    worstTail <= MaxLineHold && received == portBytes && rssEnd - rssStart < 5.0;
    return ok ? 0 : 2;
}
