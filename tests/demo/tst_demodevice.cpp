#include "DemoDevice.h"
#include "DemoLine.h"
#include "PeerTools.h"
#include "WaveGenerator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSerialPort>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Runs the event loop (the device lives on this thread) for up to `ms`.
void spin(int ms = 5)
{
    QCoreApplication::processEvents(QEventLoop::AllEvents, ms);
}

// The far end of the line, as a terminal program would hold it: the published
// path opened with plain POSIX calls, raw mode, non-blocking.
class Client
{
public:
    ~Client() { close(); }

    bool open(const QString& path)
    {
        close();
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (m_fd < 0)
            return false;
        struct termios tio;
        if (::tcgetattr(m_fd, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(m_fd, TCSANOW, &tio);
        }
        m_buffer.clear();
        m_hungUp = false;
        return true;
    }
    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    int fd() const { return m_fd; }
    bool hungUp() const { return m_hungUp; }
    QByteArray& buffer() { return m_buffer; }

    // Writes everything, serving the event loop while the line is full.
    bool send(const QByteArray& data)
    {
        qsizetype done = 0;
        QElapsedTimer t;
        t.start();
        while (done < data.size() && t.elapsed() < 10000) {
            const ssize_t n = ::write(m_fd, data.constData() + done, size_t(data.size() - done));
            if (n > 0) {
                done += n;
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                return false;
            spin();
        }
        return done == data.size();
    }

    // Serves the event loop and collects what arrives, for about `ms`.
    void pump(int ms = 5)
    {
        spin(1);
        if (m_fd < 0)
            return;
        struct pollfd p = {m_fd, POLLIN, 0};
        if (::poll(&p, 1, ms) <= 0)
            return;
        if (p.revents & POLLIN)
            readAvailable();
        if ((p.revents & (POLLHUP | POLLERR)) && !(p.revents & POLLIN))
            m_hungUp = true;
    }

    void readAvailable()
    {
        char buf[65536];
        for (;;) {
            const ssize_t n = ::read(m_fd, buf, sizeof buf);
            if (n > 0) {
                m_buffer.append(buf, n);
                continue;
            }
            if (n == 0 || (n < 0 && errno == EIO))
                m_hungUp = true;
            break;
        }
    }

    // Everything up to and including `needle`, removed from the buffer; empty
    // when it does not come within `timeoutMs`.
    QByteArray readUntil(const QByteArray& needle, int timeoutMs = 5000)
    {
        QElapsedTimer t;
        t.start();
        for (;;) {
            const qsizetype at = m_buffer.indexOf(needle);
            if (at >= 0) {
                const QByteArray head = m_buffer.left(at + needle.size());
                m_buffer.remove(0, at + needle.size());
                return head;
            }
            if (t.elapsed() > timeoutMs || m_hungUp)
                return QByteArray();
            pump();
        }
    }

    QByteArray readExactly(qsizetype count, int timeoutMs = 10000)
    {
        QElapsedTimer t;
        t.start();
        while (m_buffer.size() < count && t.elapsed() < timeoutMs && !m_hungUp)
            pump();
        const QByteArray head = m_buffer.left(count);
        m_buffer.remove(0, head.size());
        return head;
    }

    // Collects for `ms` whatever comes.
    void collect(int ms)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms)
            pump();
    }

private:
    int m_fd = -1;
    QByteArray m_buffer;
    bool m_hungUp = false;
};

bool linkPresent(const QString& path)
{
    return QFileInfo(path).isSymLink();
}

// Splits wave output into the texts between braces.
QList<QByteArray> framesIn(const QByteArray& data)
{
    QList<QByteArray> frames;
    qsizetype from = 0;
    for (;;) {
        const qsizetype open = data.indexOf('{', from);
        if (open < 0)
            break;
        const qsizetype close = data.indexOf('}', open);
        if (close < 0)
            break;
        frames << data.mid(open + 1, close - open - 1);
        from = close + 1;
    }
    return frames;
}

QString demoExecutable()
{
    return QStringLiteral(CORVANE_DEMO_DEVICE_EXE);
}

} // namespace

class TestDemoDevice : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_count = 0;

    QString newPath() { return m_dir.filePath(QStringLiteral("line%1").arg(++m_count)); }

    // A started device with quiet logs and a connected client that has seen
    // the boot banner.
    bool startQuiet(DemoDevice& device, Client& client)
    {
        device.setPath(newPath());
        device.setLogEnabled(false);
        if (!device.start() || !client.open(device.path()))
            return false;
        return !client.readUntil("type help for the command list\r\n").isEmpty();
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void waveGeneratorShapes()
    {
        QCOMPARE(WaveGenerator::sine(0), 0.0);
        QVERIFY(qAbs(WaveGenerator::sine(25) - 10.0) < 1e-9);
        QVERIFY(qAbs(WaveGenerator::sine(75) + 10.0) < 1e-9);
        QVERIFY(qAbs(WaveGenerator::sine(125) - 10.0) < 1e-9); // periodic
        // Square with an overshoot spike right after each edge.
        QCOMPARE(WaveGenerator::square(0), 8.0);
        QCOMPARE(WaveGenerator::square(1), 5.0);
        QCOMPARE(WaveGenerator::square(49), 5.0);
        QCOMPARE(WaveGenerator::square(50), -8.0);
        QCOMPARE(WaveGenerator::square(51), -5.0);
        QCOMPARE(WaveGenerator::square(100), 8.0);
        QCOMPARE(WaveGenerator::sawtooth(0), -10.0);
        QCOMPARE(WaveGenerator::sawtooth(49), 10.0);
        QCOMPARE(WaveGenerator::sawtooth(50), -10.0);
        QVERIFY(WaveGenerator::sawtooth(20) < WaveGenerator::sawtooth(21));
        double lo = 0, hi = 0;
        for (quint64 i = 0; i < 1000; ++i) {
            const double n = WaveGenerator::noise(i);
            QVERIFY(n >= -2.0 && n <= 2.0);
            lo = qMin(lo, n);
            hi = qMax(hi, n);
            QCOMPARE(WaveGenerator::noise(i), n); // the same index, the same value
        }
        QVERIFY(lo < -1.5 && hi > 1.5);
    }

    void waveNumberText()
    {
        const auto text = [](double v) {
            QByteArray out;
            WaveGenerator::appendNumber(out, v);
            return out;
        };
        QCOMPARE(text(1.5), QByteArray("1.5"));
        QCOMPARE(text(-3.0), QByteArray("-3"));
        QCOMPARE(text(20.0), QByteArray("20"));
        QCOMPARE(text(2.12349), QByteArray("2.123"));
        QCOMPARE(text(-0.05), QByteArray("-0.05"));
        QCOMPARE(text(-0.0004), QByteArray("0"));
        QCOMPARE(text(9.9996), QByteArray("10"));
        QCOMPARE(WaveGenerator::frame(25).left(8), QByteArray("{10,5,0."));
        QVERIFY(WaveGenerator::frame(25).endsWith("}\r\n"));
    }

    void hexFrameLayout()
    {
        const QByteArray payload = DemoDevice::hexPayload(7, 0x0102, -2, 1);
        QCOMPARE(payload.toHex(), QByteArray("070102fffe01"));
        // aa+55+06+07+01+02+ff+fe+01 = 0x30d: the checksum byte is 0x0d.
        QCOMPARE(DemoDevice::hexFrame(payload).toHex(), QByteArray("aa5506070102fffe010d"));
        QCOMPARE(DemoDevice::sum8(QByteArray("\xff\x02", 2)), quint8(1));
    }

    void bootBannerAndAt()
    {
        DemoDevice device;
        device.setPath(newPath());
        device.setLogEnabled(false);
        QVERIFY2(device.start(), qPrintable(device.errorString()));
        QVERIFY(linkPresent(device.path()));
        QCOMPARE(QFileInfo(device.path()).symLinkTarget(), device.slaveName());

        Client client;
        QVERIFY(client.open(device.path()));
        const QByteArray banner = client.readUntil("type help for the command list\r\n");
        QVERIFY2(banner.contains("Corvane demo device"), banner.constData());
        QVERIFY(banner.contains("[I] boot ok"));

        QVERIFY(client.send("AT\r\n"));
        QCOMPARE(client.readUntil("OK\r\n"), QByteArray("AT\r\nOK\r\n"));
        // Any line end works, blank lines are skipped, case does not matter.
        QVERIFY(client.send("at\n\r\n\nAT\r"));
        QCOMPARE(client.readUntil("OK\r\n"), QByteArray("at\r\nOK\r\n"));
        QCOMPARE(client.readUntil("OK\r\n"), QByteArray("AT\r\nOK\r\n"));
        // A command may come in pieces.
        QVERIFY(client.send("A"));
        client.collect(50);
        QVERIFY(client.send("T\r"));
        QCOMPARE(client.readUntil("OK\r\n"), QByteArray("AT\r\nOK\r\n"));
    }

    void echoHelpAndErrors()
    {
        DemoDevice device;
        Client client;
        QVERIFY(startQuiet(device, client));

        QVERIFY(client.send("help\r\n"));
        const QByteArray help = client.readUntil("counts as complete\r\n");
        QVERIFY2(help.startsWith("help\r\ncommands:\r\n"), help.constData());
        for (const char* word :
             {"AT", "wave on|off", "rate N", "burst N", "hex", "log on|off", "unplug S", "rz", "rb",
              "rx NAME", "\"Send New Line\" (\xe5\x8f\x91\xe9\x80\x81\xe6\x8d\xa2\xe8\xa1\x8c)"})
            QVERIFY2(help.contains(word), word);

        QVERIFY(client.send("frobnicate now\r\n"));
        QCOMPARE(client.readUntil("help\r\n"),
                 QByteArray("frobnicate now\r\nERROR unknown command 'frobnicate now', type help\r\n"));

        // Control bytes are not echoed as such.
        QVERIFY(client.send(QByteArray("x\x1b[2Jy\r\n")));
        QVERIFY(client.readUntil("ERROR").startsWith("x.[2Jy\r\n"));
        client.readUntil("\r\n");

        // An overlong line is refused once, then the device listens again.
        QVERIFY(client.send(QByteArray(1000, 'a') + "\r\nAT\r\n"));
        const QByteArray reply = client.readUntil("AT\r\nOK\r\n");
        QVERIFY2(reply.contains("ERROR line too long"), reply.left(200).constData());
        QCOMPARE(reply.count("ERROR"), 1);
        QVERIFY(!reply.contains("aaaa"));
    }

    void idleLineIsACommand()
    {
        DemoDevice device;
        Client client;
        QVERIFY(startQuiet(device, client));

        // No line end at all: answered once the line has been quiet long enough.
        QElapsedTimer t;
        t.start();
        QVERIFY(client.send("AT"));
        QCOMPARE(client.readUntil("OK\r\n", 5000), QByteArray("AT\r\nOK\r\n"));
        // Coarse timers may fire a little early; a loaded machine may be late.
        QVERIFY2(t.elapsed() >= DemoDevice::IdleCommitMs * 9 / 10, qPrintable(QString::number(t.elapsed())));

        // Two writes 100 ms apart are still one command.
        QVERIFY(client.send("sta"));
        client.collect(100);
        QVERIFY(client.send("tus"));
        const QByteArray status = client.readUntil("dropped\r\n", 5000);
        QVERIFY2(status.startsWith("status\r\nOK wave off, rate 100 frames/s"), status.constData());
    }

    void bannerNamesRateAndLineEnd()
    {
        DemoDevice device;
        device.setPath(newPath());
        device.setLogEnabled(false);
        device.setRate(250);
        QVERIFY(device.start());
        Client client;
        QVERIFY(client.open(device.path()));
        const QByteArray banner = client.readUntil("type help for the command list\r\n");
        QVERIFY2(banner.contains("[I] wave frames at 250 frames/s"), banner.constData());
        QVERIFY(banner.contains("\"Send New Line\" (\xe5\x8f\x91\xe9\x80\x81\xe6\x8d\xa2\xe8\xa1\x8c)"));
    }

    void periodicLogLines()
    {
        DemoDevice device;
        device.setPath(newPath());
        device.setLogInterval(20);
        QVERIFY(device.start());
        Client client;
        QVERIFY(client.open(device.path()));
        QVERIFY(!client.readUntil("[E] ").isEmpty());
        const QByteArray text = client.readUntil("[E] ");
        QVERIFY(!text.isEmpty());
        // A whole cycle of messages came by: the highlighter's words are there.
        for (const char* word : {"[I] ", "[W] ", "connected", " ok", "error"})
            QVERIFY2(text.contains(word), word);
        QVERIFY(QRegularExpression(QStringLiteral("\\b[0-9]{2,}\\b"))
                    .match(QString::fromLatin1(text))
                    .hasMatch());

        QVERIFY(client.send("log off\r\n"));
        QVERIFY(!client.readUntil("OK log off\r\n").isEmpty());
        client.collect(200);
        QVERIFY2(!client.buffer().contains("[I] "), client.buffer().constData());
        QVERIFY(client.send("log on\r\n"));
        QVERIFY(!client.readUntil("OK log on\r\n").isEmpty());
        QVERIFY(!client.readUntil("[I] ").isEmpty());
    }

    void waveFramesFollowTheGenerator()
    {
        DemoDevice device;
        Client client;
        QVERIFY(startQuiet(device, client));
        QVERIFY(client.send("rate 500\r\n"));
        QCOMPARE(client.readUntil("frames/s\r\n"), QByteArray("rate 500\r\nOK rate 500 frames/s\r\n"));
        QVERIFY(client.send("wave on\r\n"));
        QCOMPARE(client.readUntil("frames/s\r\n"), QByteArray("wave on\r\nOK wave on, 500 frames/s\r\n"));
        client.readUntil("}\r\n");
        while (framesIn(client.buffer()).size() < 100 && client.buffer().size() < 100000)
            client.pump();
        const qsizetype end = client.buffer().lastIndexOf("}\r\n");
        const QByteArray stream = client.buffer().left(end + 3);
        const QList<QByteArray> frames = framesIn(stream);
        QVERIFY(frames.size() >= 100);
        // Every frame is one line, four numbers in range, and matches the
        // generator at an ever growing index.
        QCOMPARE(stream.count('\n'), frames.size());
        quint64 index = 0;
        for (const QByteArray& frame : frames) {
            const QList<QByteArray> fields = frame.split(',');
            QCOMPARE(fields.size(), 4);
            bool ok = false;
            QVERIFY(qAbs(fields[0].toDouble(&ok)) <= 10.0 && ok);
            QVERIFY(qAbs(fields[1].toDouble(&ok)) <= 8.0 && ok);
            QVERIFY(qAbs(fields[2].toDouble(&ok)) <= 10.0 && ok);
            QVERIFY(qAbs(fields[3].toDouble(&ok)) <= 2.0 && ok);
            const QByteArray text = "{" + frame + "}\r\n";
            quint64 k = index;
            while (WaveGenerator::frame(k) != text && k < index + 100000)
                ++k;
            QVERIFY2(WaveGenerator::frame(k) == text, text.constData());
            index = k + 1;
        }

        QVERIFY(client.send("wave off\r\n"));
        QVERIFY(!client.readUntil("wave off\r\nOK wave off\r\n").isEmpty());
        client.collect(200);
        QVERIFY2(!client.buffer().contains('{'), client.buffer().left(100).constData());
        QVERIFY(!device.isWaveOn());
    }

    void rateCommand()
    {
        DemoDevice device;
        Client client;
        QVERIFY(startQuiet(device, client));
        for (const char* bad : {"rate 0", "rate 50001", "rate fast", "rate", "rate 10 20", "rate -5"}) {
            QVERIFY(client.send(QByteArray(bad) + "\r\n"));
            const QByteArray reply = client.readUntil("50000\r\n");
            QVERIFY2(reply.contains("ERROR usage: rate N"), bad);
            QCOMPARE(device.rate(), int(DemoDevice::DefaultRate));
        }
        QVERIFY(client.send("RATE 20000\r\n"));
        QVERIFY(!client.readUntil("OK rate 20000 frames/s\r\n").isEmpty());
        QCOMPARE(device.rate(), 20000);
        QVERIFY(client.send("status\r\n"));
        const QByteArray status = client.readUntil("dropped\r\n");
        QVERIFY2(status.contains("OK wave off, rate 20000 frames/s, log off"), status.constData());
    }

    void highRateComesInBatches()
    {
        DemoDevice device;
        Client client;
        QVERIFY(startQuiet(device, client));
        QVERIFY(client.send("rate 20000\r\nwave on\r\n"));
        QVERIFY(!client.readUntil("OK wave on, 20000 frames/s\r\n").isEmpty());
        client.collect(1000);
        const QByteArray stream = client.buffer();
        QVERIFY(client.send("wave off\r\n"));
        QVERIFY(!client.readUntil("OK wave off\r\n").isEmpty());
        // One frame per timer tick would give about a hundred in that second;
        // batching gives thousands. The bound is far below the nominal 20,000.
        const QList<QByteArray> frames = framesIn(stream);
        QVERIFY2(frames.size() >= 2000, qPrintable(QString::number(frames.size())));
        for (const QByteArray& frame : frames)
            QCOMPARE(frame.count(','), 3);
    }

    void slowClientDoesNotStallTheDevice()
    {
        DemoDevice device;
        Client client;
        QVERIFY(startQuiet(device, client));
        QVERIFY(client.send("rate 50000\r\nwave on\r\n"));
        QVERIFY(!client.readUntil("OK wave on, 50000 frames/s\r\n").isEmpty());

        // The client stops reading; the event loop must keep running and the
        // device's queue must stay bounded while frames are dropped.
        int ticks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&ticks]() { ++ticks; });
        ticker.start(10);
        qsizetype maxQueued = 0;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 1500) {
            spin(10);
            maxQueued = qMax(maxQueued, device.queuedBytes());
        }
        QVERIFY(ticks > 20);
        QVERIFY(maxQueued > 0);
        QVERIFY2(maxQueued <= DemoLine::DropLimit + 64 * 1024, qPrintable(QString::number(maxQueued)));
        QVERIFY(device.droppedFrames() > 0);

        // A command reply is never dropped: it waits behind the backlog.
        QVERIFY(client.send("AT\r\n"));
        QVERIFY(!client.readUntil("AT\r\nOK\r\n", 10000).isEmpty());
        QVERIFY(client.send("wave off\r\n"));
        QVERIFY(!client.readUntil("OK wave off\r\n", 10000).isEmpty());
    }

    void unreadOutputIsDiscardedAfterAStall()
    {
        // Nobody has the line open: what the device says piles up until the
        // line gives up, and a client that comes later gets fresh data only.
        DemoLine line;
        const QString path = newPath();
        QVERIFY(line.open(path));
        QSignalSpy stalled(&line, &DemoLine::stalled);
        QVERIFY(line.write(QByteArray(512 * 1024, 'x')));
        QVERIFY(!line.write("dropped", true)); // above the limit for droppable data
        QVERIFY(stalled.wait(DemoLine::StallMs + 3000));
        QVERIFY(stalled.first().first().toLongLong() > 0);
        QCOMPARE(line.queuedBytes(), qsizetype(0));

        Client client;
        QVERIFY(client.open(path));
        QVERIFY(line.write("fresh\r\n"));
        QCOMPARE(client.readUntil("fresh\r\n"), QByteArray("fresh\r\n"));
    }

    void burstSendsExactlyN()
    {
        DemoDevice device;
        Client client;
        QVERIFY(startQuiet(device, client));
        for (qint64 n : {qint64(1), qint64(1000), qint64(2 * 1024 * 1024 + 17)}) {
            QVERIFY(client.send("burst " + QByteArray::number(n) + "\r\n"));
            const QByteArray head = "OK burst " + QByteArray::number(n) + " bytes\r\n";
            QVERIFY(client.readUntil(head).endsWith(head));
            const QByteArray data = client.readExactly(n);
            QCOMPARE(data.size(), qsizetype(n));
            QVERIFY(data == DemoDevice::burstChunk(0, n));
            QCOMPARE(client.readExactly(17), QByteArray("\r\nOK burst done\r\n"));
            QVERIFY(!device.isBursting());
        }
        // Commands typed during a burst are answered after it.
        QVERIFY(client.send("burst 300000\r\nAT\r\n"));
        QVERIFY(!client.readUntil("OK burst 300000 bytes\r\n").isEmpty());
        QVERIFY(client.readExactly(300000) == DemoDevice::burstChunk(0, 300000));
        QCOMPARE(client.readUntil("OK\r\n"), QByteArray("\r\nOK burst done\r\nAT\r\nOK\r\n"));

        for (const char* bad : {"burst 0", "burst 67108865", "burst lots", "burst"}) {
            QVERIFY(client.send(QByteArray(bad) + "\r\n"));
            QVERIFY2(client.readUntil("67108864\r\n").contains("ERROR usage: burst N"), bad);
        }
    }

    void hexFrameWithChecksum()
    {
        DemoDevice device;
        Client client;
        QVERIFY(startQuiet(device, client));
        for (int seq = 0; seq < 3; ++seq) {
            QVERIFY(client.send("hex\r\n"));
            QVERIFY(!client.readUntil("hex\r\n").isEmpty());
            const QByteArray head = client.readExactly(3);
            QCOMPARE(head.left(2), QByteArray("\xAA\x55", 2));
            const int len = quint8(head.at(2));
            QVERIFY(len >= 1);
            const QByteArray rest = client.readExactly(len + 1);
            QCOMPARE(rest.size(), len + 1);
            const QByteArray frame = head + rest;
            int sum = 0;
            for (int i = 0; i < frame.size() - 1; ++i)
                sum += quint8(frame.at(i));
            QCOMPARE(quint8(frame.back()), quint8(sum & 0xff));
            QCOMPARE(int(quint8(rest.at(0))), seq); // sequence counter
        }
    }

    void unplugAndComeBack()
    {
        DemoDevice device;
        Client client;
        QVERIFY(startQuiet(device, client));
        for (const char* bad : {"unplug 0", "unplug 61", "unplug", "unplug x"}) {
            QVERIFY(client.send(QByteArray(bad) + "\r\n"));
            QVERIFY2(client.readUntil("seconds\r\n").contains("ERROR usage: unplug S"), bad);
        }
        const QString path = device.path();
        QSignalSpy unplugged(&device, &DemoDevice::unplugged);
        QSignalSpy replugged(&device, &DemoDevice::replugged);
        QElapsedTimer t;

        QVERIFY(client.send("unplug 1\r\n"));
        QCOMPARE(client.readUntil("s\r\n"), QByteArray("unplug 1\r\nOK unplugging for 1 s\r\n"));
        // The client sees the line hang up and the path vanish.
        QElapsedTimer wait;
        wait.start();
        while (!client.hungUp() && wait.elapsed() < 3000)
            client.pump();
        QVERIFY(client.hungUp());
        t.start();
        QVERIFY(!linkPresent(path));
        QVERIFY(!device.isPlugged());
        QCOMPARE(unplugged.size(), 1);
        QVERIFY(::write(client.fd(), "AT\r\n", 4) < 0);
        client.close();

        // ...and the line comes back at the same path with a new boot.
        QTRY_VERIFY_WITH_TIMEOUT(linkPresent(path), 5000);
        QVERIFY(t.elapsed() >= 800);
        QCOMPARE(replugged.size(), 1);
        QVERIFY(device.isPlugged());
        QCOMPARE(QFileInfo(path).symLinkTarget(), device.slaveName());
        QVERIFY(client.open(path));
        QVERIFY(client.readUntil("type help for the command list\r\n").contains("Corvane demo device"));
        QVERIFY(client.send("AT\r\n"));
        QCOMPARE(client.readUntil("OK\r\n"), QByteArray("AT\r\nOK\r\n"));
    }

    void commandsAfterUnplugAreNotTaken()
    {
        DemoDevice device;
        Client client;
        QVERIFY(startQuiet(device, client));
        QVERIFY(client.send("unplug 1\r\nAT\r\n"));
        QVERIFY(!client.readUntil("OK unplugging for 1 s\r\n").isEmpty());
        QElapsedTimer wait;
        wait.start();
        while (!client.hungUp() && wait.elapsed() < 3000)
            client.pump();
        QVERIFY(client.hungUp());
        QVERIFY(!client.buffer().contains("OK\r\n"));
        QTRY_VERIFY_WITH_TIMEOUT(device.isPlugged(), 5000);
    }

    void serialPortClient()
    {
        DemoDevice device;
        device.setPath(newPath());
        device.setLogEnabled(false);
        QVERIFY(device.start());
        QSerialPort port;
        port.setPortName(device.path());
        port.setBaudRate(115200);
        QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
        QByteArray got;
        QObject::connect(&port, &QSerialPort::readyRead, [&]() { got += port.readAll(); });
        port.write("wave on\r\n");
        QTRY_VERIFY_WITH_TIMEOUT(framesIn(got).size() >= 5, 5000);
        port.write("wave off\r\nAT\r\n");
        QTRY_VERIFY_WITH_TIMEOUT(got.contains("AT\r\nOK\r\n"), 5000);
        QVERIFY(got.contains("Corvane demo device"));
    }

    void staleLinkIsReplaced()
    {
        const QString path = newPath();
        QVERIFY(QFile::link(m_dir.filePath(QStringLiteral("no-such-pts")), path));
        DemoDevice device;
        device.setPath(path);
        device.setLogEnabled(false);
        QSignalSpy messages(&device, &DemoDevice::statusMessage);
        QVERIFY2(device.start(), qPrintable(device.errorString()));
        QCOMPARE(QFileInfo(path).symLinkTarget(), device.slaveName());
        QVERIFY(!messages.isEmpty() &&
                messages.first().first().toString().contains(QLatin1String("replaced")));
        Client client;
        QVERIFY(client.open(path));
        QVERIFY(!client.readUntil("Corvane demo device").isEmpty());

        device.stop();
        QVERIFY(!linkPresent(path));
        QVERIFY(!QFileInfo::exists(m_dir.filePath(
            QFileInfo(path).fileName() + QStringLiteral(".new.%1").arg(QCoreApplication::applicationPid()))));
    }

    void otherFilesAreNotReplaced()
    {
        const QString path = newPath();
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("precious");
        }
        DemoDevice device;
        device.setPath(path);
        QVERIFY(!device.start());
        QVERIFY(device.errorString().contains(QLatin1String("not a symbolic link")));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("precious"));

        const QString dirPath = newPath();
        QVERIFY(QDir().mkdir(dirPath));
        device.setPath(dirPath);
        QVERIFY(!device.start());
        QVERIFY(QFileInfo(dirPath).isDir());
    }

    void stopLeavesSomeoneElsesLink()
    {
        DemoDevice device;
        device.setPath(newPath());
        QVERIFY(device.start());
        // Another program took the name meanwhile: its link is not ours to remove.
        QVERIFY(QFile::remove(device.path()));
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), device.path()));
        device.stop();
        QVERIFY(linkPresent(device.path()));
        QCOMPARE(QFileInfo(device.path()).symLinkTarget(), QStringLiteral("/dev/null"));
    }

    void receiveCommandChecksItsArguments()
    {
        DemoDevice device;
        Client client;
        QVERIFY(startQuiet(device, client));
        for (const char* bad : {"rx", "rx ../escape", "rx /tmp/abs", "rx -y", "rx ..", "rx a b"}) {
            QVERIFY(client.send(QByteArray(bad) + "\r\n"));
            QVERIFY2(client.readUntil("file name\r\n").contains("ERROR usage: rx NAME"), bad);
        }
        QVERIFY(client.send("rz now\r\n"));
        QVERIFY(client.readUntil("file)\r\n").contains("ERROR usage: rz"));
        QVERIFY(!device.isReceiving());
        QVERIFY(client.send("AT\r\n"));
        QVERIFY(!client.readUntil("AT\r\nOK\r\n").isEmpty());
    }

    void receiveWithoutLrzsz()
    {
        const QByteArray oldPath = qgetenv("PATH");
        QTemporaryDir empty;
        qputenv("PATH", QFile::encodeName(empty.path()));
        DemoDevice device;
        Client client;
        const bool started = startQuiet(device, client);
        bool sent = started && client.send("rz\r\n");
        const QByteArray reply = sent ? client.readUntil("found)\r\n") : QByteArray();
        qputenv("PATH", oldPath);
        QVERIFY(started && sent);
        QCOMPARE(reply, QByteArray("rz\r\nERROR cannot receive: lrzsz is not installed (rz not found)\r\n"));
        QVERIFY(!device.isReceiving());
        QVERIFY(client.send("AT\r\n"));
        QVERIFY(!client.readUntil("AT\r\nOK\r\n").isEmpty());
    }

    void receiveFile_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QString>("sender");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("savedAs");
        QTest::addColumn<int>("savedSize");
        // sz announces itself with "rz\r": nothing is typed first.
        QTest::newRow("zmodem, sender starts it") << QByteArray() << "sz" << 5000 << "zfile.bin" << 5000;
        QTest::newRow("zmodem, typed") << QByteArray("rz") << "sz" << 70000 << "zfile.bin" << 70000;
        QTest::newRow("ymodem") << QByteArray("rb") << "sb" << 3000 << "yfile.bin" << 3000;
        // XMODEM pads the last 128-byte block with SUB.
        QTest::newRow("xmodem") << QByteArray("rx got.bin") << "sx" << 300 << "got.bin" << 384;
    }

    void receiveFile()
    {
        QFETCH(QByteArray, command);
        QFETCH(QString, sender);
        QFETCH(int, size);
        QFETCH(QString, savedAs);
        QFETCH(int, savedSize);
        REQUIRE_PEERS(QStringLiteral("rz"), sender);

        QTemporaryDir sendDir;
        QTemporaryDir receiveDir;
        const QString name = savedAs == QLatin1String("got.bin") ? QStringLiteral("xfile.bin") : savedAs;
        QByteArray content;
        for (int i = 0; i < size; ++i)
            content.append(char((i * 131 + i / 7) & 0xff));
        {
            QFile f(sendDir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }

        DemoDevice device;
        device.setReceiveDir(receiveDir.path());
        Client client;
        QVERIFY(startQuiet(device, client));
        QSignalSpy finished(&device, &DemoDevice::receiverFinished);
        if (!command.isEmpty()) {
            QVERIFY(client.send(command + "\r\n"));
            QVERIFY(client.readUntil("cancels)\r\n").contains("OK " + command.left(2) + ": receiving with"));
        }

        // The sender runs on pipes that the test relays to the line, the way a
        // terminal program hands its port to a transfer.
        QProcess tx;
        tx.setWorkingDirectory(sendDir.path());
        tx.start(sender, {QStringLiteral("-q"), name});
        QVERIFY(tx.waitForStarted(5000));
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 30000) {
            client.pump(2);
            if (!client.buffer().isEmpty()) {
                tx.write(client.buffer());
                client.buffer().clear();
            }
            const QByteArray out = tx.readAllStandardOutput();
            if (!out.isEmpty())
                QVERIFY(client.send(out));
            if (tx.state() == QProcess::NotRunning && tx.bytesAvailable() == 0)
                break;
        }
        QCOMPARE(tx.exitStatus(), QProcess::NormalExit);
        QVERIFY2(tx.exitCode() == 0, tx.readAllStandardError().constData());

        const QByteArray result = client.readUntil(" bytes)\r\n", 20000);
        QVERIFY2(result.contains("OK " + (command.isEmpty() ? QByteArray("rz") : command.left(2)) +
                                 " done: received " + savedAs.toLatin1() + " (" +
                                 QByteArray::number(savedSize) + " bytes)"),
                 result.right(200).constData());
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().toBool(), true);
        QFile got(receiveDir.filePath(savedAs));
        QVERIFY(got.open(QIODevice::ReadOnly));
        const QByteArray data = got.readAll();
        QCOMPARE(data.size(), savedSize);
        QVERIFY(data.left(size) == content);
        QCOMPARE(data.mid(size), QByteArray(savedSize - size, '\x1a'));

        // The device has its line back.
        QVERIFY(client.send("AT\r\n"));
        QVERIFY(!client.readUntil("AT\r\nOK\r\n").isEmpty());
        QVERIFY(!device.isReceiving());
    }

    void receiveCancelledBySender()
    {
        REQUIRE_PEERS(QStringLiteral("rx"));
        QTemporaryDir receiveDir;
        DemoDevice device;
        device.setReceiveDir(receiveDir.path());
        Client client;
        QVERIFY(startQuiet(device, client));
        QSignalSpy finished(&device, &DemoDevice::receiverFinished);
        QVERIFY(client.send("rx never.bin\r\n"));
        QVERIFY(!client.readUntil("cancels)\r\n").isEmpty());
        // The receiver asks for CRC blocks.
        QVERIFY(!client.readUntil("C", 10000).isEmpty());
        QVERIFY(client.send(QByteArray(8, '\x18')));
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished.first().first().toBool(), false);
        QVERIFY(client.readUntil("\r\n").contains("ERROR rx failed"));
        QVERIFY(client.send("AT\r\n"));
        QVERIFY(!client.readUntil("AT\r\nOK\r\n").isEmpty());
    }

    void executableHelp()
    {
        QProcess p;
        p.start(demoExecutable(), {QStringLiteral("--help")});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 0);
        const QByteArray out = p.readAllStandardOutput();
        for (const char* word : {"--path", "--rate", "--no-log", "--rx-dir", "/tmp/corvane-demo", "unplug S"})
            QVERIFY2(out.contains(word), word);

        p.start(demoExecutable(),
                {QStringLiteral("--rate"), QStringLiteral("0"), QStringLiteral("--path"), newPath()});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(p.readAllStandardError().contains("--rate"));
    }

    void executableExitsCleanlyOnSignal_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGTERM") << int(SIGTERM);
    }

    void executableExitsCleanlyOnSignal()
    {
        QFETCH(int, signalNumber);
        const QString path = newPath();
        // A leftover from a killed run is replaced.
        QVERIFY(QFile::link(m_dir.filePath(QStringLiteral("gone")), path));
        QProcess p;
        p.start(demoExecutable(), {QStringLiteral("--path"), path, QStringLiteral("--no-log")});
        QVERIFY(p.waitForStarted(10000));
        QByteArray out;
        QElapsedTimer t;
        t.start();
        while (!out.contains("ready at") && t.elapsed() < 10000) {
            p.waitForReadyRead(100);
            out += p.readAllStandardOutput();
        }
        QVERIFY2(out.contains("ready at " + QFile::encodeName(path)), out.constData());
        QVERIFY(out.contains("replaced"));
        QVERIFY(QFileInfo(path).symLinkTarget().startsWith(QLatin1String("/dev/pts/")));

        Client client;
        QVERIFY(client.open(path));
        QVERIFY(!client.readUntil("Corvane demo device").isEmpty());
        QVERIFY(client.send("AT\r\n"));
        QVERIFY(!client.readUntil("AT\r\nOK\r\n").isEmpty());

        QCOMPARE(::kill(pid_t(p.processId()), signalNumber), 0);
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(!linkPresent(path));
        QElapsedTimer wait;
        wait.start();
        while (!client.hungUp() && wait.elapsed() < 3000)
            client.pump();
        QVERIFY(client.hungUp());
    }
};

QTEST_GUILESS_MAIN(TestDemoDevice)
#include "tst_demodevice.moc"
