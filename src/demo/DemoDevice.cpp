#include "DemoDevice.h"
#include "DemoLine.h"
#include "WaveGenerator.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <cmath>

namespace {

constexpr qsizetype BurstChunk = 64 * 1024;
constexpr int WaveTickMs = 10;
constexpr int DrainWaitMs = 2000;

// Echoed text shows control bytes as dots, so stray binary input cannot
// drive the client's terminal.
QByteArray printable(const QByteArray& line)
{
    QByteArray out = line;
    for (char& c : out) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u >= 0x7f)
            c = '.';
    }
    return out;
}

bool parseNumber(const QList<QByteArray>& args, qint64 min, qint64 max, qint64* value)
{
    if (args.size() != 1)
        return false;
    bool ok = false;
    const qint64 v = args.first().toLongLong(&ok);
    if (!ok || v < min || v > max)
        return false;
    *value = v;
    return true;
}

} // namespace

DemoDevice::DemoDevice(QObject* parent) : QObject(parent), m_path(defaultPath())
{
    m_receiveDir = QDir::currentPath();
    m_line = new DemoLine(this);
    connect(m_line, &DemoLine::dataReceived, this, &DemoDevice::onData);
    connect(m_line, &DemoLine::readyForMore, this, &DemoDevice::fillBurst);
    connect(m_line, &DemoLine::stalled, this, &DemoDevice::onStalled);

    m_waveTimer = new QTimer(this);
    m_waveTimer->setTimerType(Qt::PreciseTimer);
    connect(m_waveTimer, &QTimer::timeout, this, &DemoDevice::onWaveTick);

    m_logTimer = new QTimer(this);
    m_logTimer->setInterval(DefaultLogIntervalMs);
    connect(m_logTimer, &QTimer::timeout, this, &DemoDevice::onLogTick);

    m_drainTimer = new QTimer(this);
    m_drainTimer->setInterval(10);
    connect(m_drainTimer, &QTimer::timeout, this, &DemoDevice::onDrainPoll);

    m_idleTimer = new QTimer(this);
    m_idleTimer->setSingleShot(true);
    m_idleTimer->setInterval(IdleCommitMs);
    connect(m_idleTimer, &QTimer::timeout, this, &DemoDevice::commitIdleLine);

    m_replugTimer = new QTimer(this);
    m_replugTimer->setSingleShot(true);
    connect(m_replugTimer, &QTimer::timeout, this, &DemoDevice::doReplug);
}

DemoDevice::~DemoDevice()
{
    stop();
}

QString DemoDevice::defaultPath()
{
    return QStringLiteral("/tmp/corvane-demo");
}

void DemoDevice::setPath(const QString& path)
{
    m_path = path;
}

void DemoDevice::setRate(int framesPerSecond)
{
    const int rate = qBound(MinRate, framesPerSecond, MaxRate);
    if (rate == m_rate)
        return;
    m_rate = rate;
    restartWaveClock();
}

void DemoDevice::setLogEnabled(bool enabled)
{
    m_logEnabled = enabled;
}

void DemoDevice::setLogInterval(int ms)
{
    m_logTimer->setInterval(qMax(10, ms));
}

int DemoDevice::logInterval() const
{
    return m_logTimer->interval();
}

void DemoDevice::setReceiveDir(const QString& dir)
{
    m_receiveDir = QDir(dir).absolutePath();
}

bool DemoDevice::isPlugged() const
{
    return m_line->isOpen();
}

QString DemoDevice::slaveName() const
{
    return m_line->slaveName();
}

qsizetype DemoDevice::queuedBytes() const
{
    return m_line->queuedBytes();
}

bool DemoDevice::start()
{
    if (m_running)
        return true;
    m_error.clear();
    if (!m_line->open(m_path)) {
        m_error = m_line->errorString();
        return false;
    }
    if (m_line->replacedStaleLink())
        Q_EMIT statusMessage(tr("replaced an old link at %1").arg(m_path));
    m_running = true;
    m_uptime.start();
    m_logTimer->start();
    restartWaveClock();
    boot();
    return true;
}

void DemoDevice::stop()
{
    if (!m_running)
        return;
    m_running = false;
    m_waveTimer->stop();
    m_logTimer->stop();
    m_replugTimer->stop();
    m_drainTimer->stop();
    m_idleTimer->stop();
    m_unplugPending = false;
    if (m_receiver) {
        // Nobody waits for its result any more.
        m_receiver->disconnect(this);
        m_receiver->kill();
        m_receiver->waitForFinished(2000);
        delete m_receiver;
        m_receiver = nullptr;
    }
    m_receiveState = ReceiveState::Idle;
    m_burstRemaining = 0;
    m_line->close();
}

void DemoDevice::send(const QByteArray& data, bool droppable)
{
    if (m_line->write(data, droppable))
        m_txBytes += data.size();
}

void DemoDevice::reply(const QByteArray& text)
{
    send(text + "\r\n");
}

QByteArray DemoDevice::bootBanner(int rate)
{
    return QByteArray("\r\n"
                      "Corvane demo device 1.0\r\n"
                      "[I] boot ok, firmware 1.0.0, serial number 20240017\r\n"
                      "[I] wave frames at ") +
           QByteArray::number(rate) +
           QByteArray(" frames/s (wave on starts them)\r\n"
                      "[I] end a command with a line end, as in a terminal: turn on "
                      "\"Send New Line\" (\xe5\x8f\x91\xe9\x80\x81\xe6\x8d\xa2\xe8\xa1\x8c)\r\n"
                      "[I] or pause: a line idle for 300 ms counts as complete\r\n"
                      "[I] line 115200 8N1 connected, type help for the command list\r\n");
}

QByteArray DemoDevice::helpText()
{
    return QByteArray(
        "commands:\r\n"
        "  AT              answer OK\r\n"
        "  help            this list\r\n"
        "  status          wave, rate, log and counters\r\n"
        "  wave on|off     stream frames {sine,square,sawtooth,noise}\r\n"
        "  rate N          wave frames per second, 1..50000\r\n"
        "  burst N         send N bytes of binary data (0,1,2..255,0,..), N up to 67108864\r\n"
        "  hex             send a binary frame AA 55 LEN PAYLOAD SUM8\r\n"
        "  ansi            print a coloured test card (ANSI colour codes)\r\n"
        "  log on|off      periodic log lines\r\n"
        "  unplug S        vanish for S seconds (1..60), then come back\r\n"
        "  rz | rb | rx NAME   receive a file with ZMODEM | YMODEM | XMODEM (lrzsz)\r\n"
        "a command ends at a line end (CR, LF or both), as in a terminal:\r\n"
        "in Corvane turn on \"Send New Line\" (\xe5\x8f\x91\xe9\x80\x81\xe6\x8d\xa2\xe8\xa1\x8c),\r\n"
        "or pause: a line idle for 300 ms counts as complete\r\n");
}

void DemoDevice::boot()
{
    m_input.clear();
    m_skipLongLine = false;
    m_idleTimer->stop();
    send(bootBanner(m_rate));
}

quint8 DemoDevice::sum8(const QByteArray& data)
{
    quint32 sum = 0;
    for (char c : data)
        sum += static_cast<unsigned char>(c);
    return quint8(sum & 0xff);
}

QByteArray DemoDevice::hexPayload(quint8 seq, quint16 uptimeSeconds, qint16 sample, quint8 status)
{
    QByteArray p;
    p.append(char(seq));
    p.append(char(uptimeSeconds >> 8));
    p.append(char(uptimeSeconds & 0xff));
    const quint16 s = quint16(sample);
    p.append(char(s >> 8));
    p.append(char(s & 0xff));
    p.append(char(status));
    return p;
}

QByteArray DemoDevice::hexFrame(const QByteArray& payload)
{
    QByteArray frame("\xAA\x55", 2);
    frame.append(char(quint8(payload.size())));
    frame.append(payload.left(255));
    frame.append(char(sum8(frame)));
    return frame;
}

QByteArray DemoDevice::burstChunk(qint64 offset, qsizetype size)
{
    QByteArray out(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        out[i] = char((offset + i) & 0xff);
    return out;
}

QByteArray DemoDevice::logLine(quint64 n) const
{
    const qint64 up = m_uptime.isValid() ? m_uptime.elapsed() / 1000 : 0;
    const int wobble = int((n * 37) % 100);
    switch (n % 8) {
    case 0:
        return QStringLiteral("[I] uptime %1 s, sensor connected, temperature %2.%3 C")
            .arg(up)
            .arg(21 + wobble / 25)
            .arg(wobble % 10)
            .toLatin1();
    case 1:
        return QStringLiteral("[I] self-test ok, heap free %1 bytes").arg(40960 - wobble * 16).toLatin1();
    case 2:
        return QStringLiteral("[I] adc ch0=%1 ch1=%2 ch2=%3")
            .arg(2048 + wobble)
            .arg(1024 - wobble)
            .arg(512 + wobble * 3)
            .toLatin1();
    case 3:
        return QStringLiteral("[W] supply voltage low: %1 mV").arg(3200 + wobble).toLatin1();
    case 4:
        return QStringLiteral("[I] packet %1 sent, ack ok").arg(n / 8 + 1).toLatin1();
    case 5:
        return QStringLiteral("[E] i2c read error at 0x48, retry %1 of 3").arg(n / 8 % 3 + 1).toLatin1();
    case 6:
        return QStringLiteral("[I] link connected, Rx %1 bytes, Tx %2 bytes")
            .arg(m_rxBytes)
            .arg(m_txBytes)
            .toLatin1();
    default:
        return QStringLiteral("[W] fifo %1% full").arg(50 + wobble / 2).toLatin1();
    }
}

bool DemoDevice::isBusy() const
{
    return m_burstRemaining > 0 || m_receiveState != ReceiveState::Idle || m_unplugPending ||
           !m_line->isOpen();
}

void DemoDevice::onData(const QByteArray& data)
{
    m_rxBytes += data.size();
    if (m_receiveState == ReceiveState::Running) {
        relayToReceiver(data);
        return;
    }
    if (m_receiveState != ReceiveState::Idle)
        return; // a transfer's leftovers, not commands
    m_input.append(data);
    processInput();
    // Whatever is left is a line without its end yet: it is complete when
    // nothing more comes for a while.
    if (m_input.isEmpty())
        m_idleTimer->stop();
    else
        m_idleTimer->start();
}

void DemoDevice::commitIdleLine()
{
    if (m_input.isEmpty() || isBusy() || m_receiveState != ReceiveState::Idle)
        return;
    const QByteArray line = m_input;
    m_input.clear();
    if (m_skipLongLine) {
        // The tail of a line already refused.
        m_skipLongLine = false;
        return;
    }
    if (line.trimmed().isEmpty())
        return;
    handleLine(line);
}

void DemoDevice::processInput()
{
    while (!m_input.isEmpty() && !isBusy()) {
        qsizetype end = -1;
        for (qsizetype i = 0; i < m_input.size(); ++i) {
            if (m_input.at(i) == '\r' || m_input.at(i) == '\n') {
                end = i;
                break;
            }
        }
        if (end < 0) {
            if (m_input.size() > MaxLineLength) {
                m_input.clear();
                if (!m_skipLongLine)
                    reply("ERROR line too long (max 256 characters)");
                m_skipLongLine = true;
            }
            return;
        }
        const QByteArray line = m_input.left(end);
        m_input.remove(0, end + 1);
        if (m_skipLongLine) {
            // The tail of a line already refused.
            m_skipLongLine = false;
            continue;
        }
        if (line.size() > MaxLineLength) {
            reply("ERROR line too long (max 256 characters)");
            continue;
        }
        if (line.trimmed().isEmpty())
            continue; // the second half of CR LF, or a blank line
        handleLine(line);
    }
}

void DemoDevice::handleLine(const QByteArray& line)
{
    const QList<QByteArray> words = line.simplified().split(' ');
    const QByteArray command = words.first().toLower();
    const QList<QByteArray> args = words.mid(1);
    Q_EMIT statusMessage(tr("command: %1").arg(QString::fromLatin1(printable(line))));
    const bool receive = command == "rz" || command == "rb" || command == "rx";
    // A ZMODEM sender starts with "rz\r" and its first header right behind
    // it; an echo or a reply would only be noise in its protocol.
    if (receive && !m_input.trimmed().isEmpty()) {
        handleReceive(command, args, true);
        return;
    }
    send(printable(line) + "\r\n");

    if (command == "at" && args.isEmpty())
        reply("OK");
    else if (command == "help")
        send(helpText());
    else if (command == "status")
        reply(QStringLiteral("OK wave %1, rate %2 frames/s, log %3, uptime %4 s, Rx %5 bytes, Tx %6 bytes, "
                             "%7 frames dropped")
                  .arg(m_waveOn ? QStringLiteral("on") : QStringLiteral("off"))
                  .arg(m_rate)
                  .arg(m_logEnabled ? QStringLiteral("on") : QStringLiteral("off"))
                  .arg(m_uptime.elapsed() / 1000)
                  .arg(m_rxBytes)
                  .arg(m_txBytes)
                  .arg(m_droppedFrames)
                  .toLatin1());
    else if (command == "wave")
        handleWave(args);
    else if (command == "rate")
        handleRate(args);
    else if (command == "burst")
        handleBurst(args);
    else if (command == "hex" && args.isEmpty())
        handleHex();
    else if (command == "ansi" && args.isEmpty())
        send(ansiTestCard());
    else if (command == "log")
        handleLog(args);
    else if (command == "unplug")
        handleUnplug(args);
    else if (receive)
        handleReceive(command, args, false);
    else
        reply("ERROR unknown command '" + printable(line.simplified()).left(40) + "', type help");
}

void DemoDevice::setWaveOn(bool on)
{
    if (on == m_waveOn)
        return;
    m_waveOn = on;
    restartWaveClock();
}

void DemoDevice::handleWave(const QList<QByteArray>& args)
{
    const QByteArray arg = args.size() == 1 ? args.first().toLower() : QByteArray();
    if (arg == "on") {
        setWaveOn(true);
        reply("OK wave on, " + QByteArray::number(m_rate) + " frames/s");
    } else if (arg == "off") {
        setWaveOn(false);
        reply("OK wave off");
    } else {
        reply("ERROR usage: wave on|off");
    }
}

void DemoDevice::handleRate(const QList<QByteArray>& args)
{
    qint64 rate = 0;
    if (!parseNumber(args, MinRate, MaxRate, &rate)) {
        reply("ERROR usage: rate N, N from 1 to 50000");
        return;
    }
    setRate(int(rate));
    reply("OK rate " + QByteArray::number(m_rate) + " frames/s");
}

void DemoDevice::handleBurst(const QList<QByteArray>& args)
{
    qint64 count = 0;
    if (!parseNumber(args, 1, MaxBurst, &count)) {
        reply("ERROR usage: burst N, N from 1 to 67108864");
        return;
    }
    reply("OK burst " + QByteArray::number(count) + " bytes");
    m_burstRemaining = count;
    m_burstOffset = 0;
    // Commands typed meanwhile wait in the line until the burst is out.
    m_line->setReadingPaused(true);
    Q_EMIT statusMessage(tr("burst of %1 bytes").arg(count));
    fillBurst();
}

void DemoDevice::fillBurst()
{
    if (m_burstRemaining <= 0)
        return;
    while (m_burstRemaining > 0 && m_line->queuedBytes() < 2 * DemoLine::LowWater) {
        const qsizetype n = qsizetype(qMin<qint64>(BurstChunk, m_burstRemaining));
        send(burstChunk(m_burstOffset, n));
        m_burstOffset += n;
        m_burstRemaining -= n;
    }
    if (m_burstRemaining == 0) {
        send("\r\nOK burst done\r\n");
        m_line->setReadingPaused(false);
        QTimer::singleShot(0, this, &DemoDevice::processInput);
    }
}

QByteArray DemoDevice::ansiTestCard()
{
    static const char* const names[8] = {"black", "red",     "green", "yellow",
                                         "blue",  "magenta", "cyan",  "white"};
    QByteArray out("\x1b[1mANSI colour test card\x1b[0m\r\n");
    out += "16 colours:  ";
    for (int i = 0; i < 8; ++i)
        out += "\x1b[" + QByteArray::number(30 + i) + "m" + names[i] + "\x1b[0m ";
    out += "\r\nbright:      ";
    for (int i = 0; i < 8; ++i)
        out += "\x1b[" + QByteArray::number(90 + i) + "m" + names[i] + "\x1b[0m ";
    out += "\r\nbackgrounds: ";
    for (int i = 0; i < 8; ++i)
        out += "\x1b[" + QByteArray::number(40 + i) + ";" + (i == 0 || i == 4 ? "97" : "30") + "m " +
               names[i] + " \x1b[0m";
    out += "\r\n256 colours: ";
    for (int i = 16; i < 232; i += 6)
        out += "\x1b[48;5;" + QByteArray::number(i) + "m  ";
    out += "\x1b[0m\r\ngreys:       ";
    for (int i = 232; i < 256; ++i)
        out += "\x1b[48;5;" + QByteArray::number(i) + "m  ";
    out += "\x1b[0m\r\n24-bit:      ";
    for (int i = 0; i < 48; ++i) {
        const int r = 255 - i * 5, g = i * 5, b = 128;
        out += "\x1b[48;2;" + QByteArray::number(r) + ";" + QByteArray::number(g) + ";" +
               QByteArray::number(b) + "m ";
    }
    out += "\x1b[0m\r\n";
    out += "styles:      \x1b[1mbold\x1b[22m normal \x1b[1;31mbold red\x1b[0m "
           "\x1b[38;2;255;140;0m24-bit orange\x1b[0m \x1b[38;5;45m256-colour sky\x1b[0m\r\n";
    out += "log:         \x1b[32m[I]\x1b[0m boot ok  \x1b[33m[W]\x1b[0m battery 3.41 V  "
           "\x1b[1;31m[E]\x1b[0m sensor timeout, plain text: error 42 connected\r\n";
    return out;
}

void DemoDevice::handleHex()
{
    const double sample = WaveGenerator::sine(m_waveIndex) * 100.0;
    const quint16 up = quint16(qMin<qint64>(m_uptime.elapsed() / 1000, 0xffff));
    send(hexFrame(hexPayload(m_hexSeq++, up, qint16(std::lround(sample)), m_waveOn ? 0x01 : 0x00)));
}

void DemoDevice::handleLog(const QList<QByteArray>& args)
{
    const QByteArray arg = args.size() == 1 ? args.first().toLower() : QByteArray();
    if (arg == "on" || arg == "off") {
        m_logEnabled = arg == "on";
        reply("OK log " + arg);
    } else {
        reply("ERROR usage: log on|off");
    }
}

void DemoDevice::handleUnplug(const QList<QByteArray>& args)
{
    qint64 seconds = 0;
    if (!parseNumber(args, 1, MaxUnplugSeconds, &seconds)) {
        reply("ERROR usage: unplug S, S from 1 to 60 seconds");
        return;
    }
    reply("OK unplugging for " + QByteArray::number(seconds) + " s");
    m_unplugSeconds = int(seconds);
    // The device is about to vanish: later commands are not taken any more.
    m_unplugPending = true;
    QTimer::singleShot(UnplugDelayMs, this, &DemoDevice::doUnplug);
}

qint64 DemoDevice::lineBytesWritten() const
{
    return m_line->bytesWritten();
}

qint64 DemoDevice::lineBytesUnread() const
{
    return m_line->bytesUnread();
}

void DemoDevice::setLineJournalling(bool on)
{
    m_line->setJournalling(on);
}

QByteArray DemoDevice::takeClosedLineJournal()
{
    return m_line->takeClosedJournal();
}

void DemoDevice::doUnplug()
{
    if (!m_running || !m_unplugPending)
        return;
    m_unplugPending = false;
    m_burstRemaining = 0;
    m_line->close();
    Q_EMIT statusMessage(tr("unplugged: %1 removed for %2 s").arg(m_path, QString::number(m_unplugSeconds)));
    Q_EMIT unplugged();
    m_replugTimer->start(m_unplugSeconds * 1000);
}

void DemoDevice::doReplug()
{
    if (!m_running)
        return;
    if (!m_line->open(m_path)) {
        // Somebody put something else under that name meanwhile; keep trying.
        Q_EMIT statusMessage(tr("cannot come back at %1: %2").arg(m_path, m_line->errorString()));
        m_replugTimer->start(1000);
        return;
    }
    Q_EMIT statusMessage(tr("plugged in again: %1 -> %2").arg(m_path, m_line->slaveName()));
    restartWaveClock();
    boot();
    Q_EMIT replugged();
}

void DemoDevice::restartWaveClock()
{
    m_waveClock.start();
    m_waveClockFrames = 0;
    if (m_waveOn && m_running)
        m_waveTimer->start(m_rate >= 1000 / WaveTickMs ? WaveTickMs : 1000 / m_rate);
    else
        m_waveTimer->stop();
}

void DemoDevice::onWaveTick()
{
    if (!m_waveOn)
        return;
    if (isBusy()) {
        // Time passes while the line is away or taken, but frames are not owed.
        m_waveClock.start();
        m_waveClockFrames = 0;
        return;
    }
    const qint64 due = qint64(double(m_waveClock.nsecsElapsed()) * double(m_rate) / 1e9) - m_waveClockFrames;
    if (due <= 0)
        return;
    m_waveClockFrames += due;
    // At most 200 ms worth of frames at once: after a stall the stream goes on
    // from now rather than flooding the line with the backlog.
    const qint64 maxBatch = qMax<qint64>(1, m_rate / 5);
    qint64 count = due;
    if (count > maxBatch) {
        m_droppedFrames += count - maxBatch;
        m_waveIndex += quint64(count - maxBatch);
        count = maxBatch;
    }
    const qsizetype room = DemoLine::DropLimit - m_line->queuedBytes();
    QByteArray batch;
    batch.reserve(qsizetype(qMin<qint64>(count * 32, qMax<qsizetype>(room, 0) + 64)));
    qint64 made = 0;
    for (; made < count; ++made) {
        const qsizetype before = batch.size();
        WaveGenerator::appendFrames(batch, m_waveIndex + quint64(made), 1);
        if (batch.size() > room) {
            batch.truncate(before);
            break;
        }
    }
    m_droppedFrames += count - made;
    m_waveIndex += quint64(count);
    if (!batch.isEmpty())
        send(batch, true);
}

void DemoDevice::onLogTick()
{
    if (m_droppedFrames != m_reportedDrops) {
        const qint64 lost = m_droppedFrames - m_reportedDrops;
        m_reportedDrops = m_droppedFrames;
        Q_EMIT statusMessage(tr("%1 wave frames dropped: the client reads too slowly").arg(lost));
        if (m_logEnabled && !isBusy())
            send("[W] " + QByteArray::number(lost) + " wave frames dropped, output queue full\r\n", true);
    }
    if (!m_logEnabled || isBusy())
        return;
    send(logLine(m_logCount++) + "\r\n", true);
}

void DemoDevice::onStalled(qint64 discarded)
{
    Q_EMIT statusMessage(tr("nobody reads the line: %1 bytes of output discarded").arg(discarded));
    if (m_burstRemaining > 0) {
        m_burstRemaining = 0;
        m_line->setReadingPaused(false);
        QTimer::singleShot(0, this, &DemoDevice::processInput);
    }
}

QString DemoDevice::receiverProgram(const QString& command)
{
    return QStandardPaths::findExecutable(command);
}

bool DemoDevice::isPlainFileName(const QString& name)
{
    if (name.isEmpty() || name.size() > 255 || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    if (name.startsWith(QLatin1Char('-')) || name.contains(QLatin1Char('/')))
        return false;
    for (QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    }
    return true;
}

void DemoDevice::handleReceive(const QByteArray& command, const QList<QByteArray>& args, bool quiet)
{
    const QString cmd = QString::fromLatin1(command);
    QString name;
    if (command == "rx") {
        name = args.size() == 1 ? QString::fromLocal8Bit(args.first()) : QString();
        if (!isPlainFileName(name)) {
            reply("ERROR usage: rx NAME, NAME a plain file name");
            return;
        }
    } else if (!args.isEmpty()) {
        reply("ERROR usage: " + command + " (the sender names the file)");
        return;
    }
    const QString program = receiverProgram(cmd);
    if (program.isEmpty()) {
        reply("ERROR cannot receive: lrzsz is not installed (" + command + " not found)");
        return;
    }
    if (!QDir().mkpath(m_receiveDir)) {
        reply("ERROR cannot receive: no folder " + QFile::encodeName(m_receiveDir));
        return;
    }
    // Restricted mode keeps sender-chosen names inside the folder; existing
    // files are kept and the new one renamed.
    QStringList arguments{QStringLiteral("-R"), QStringLiteral("-E")};
    QByteArray protocol = "ZMODEM";
    if (command == "rb") {
        protocol = "YMODEM";
    } else if (command == "rx") {
        protocol = "XMODEM";
        arguments << QStringLiteral("-c") << QStringLiteral("--") << name;
    }
    m_receiveCommand = cmd;
    m_receiveProgram = program;
    m_receiveArgs = arguments;
    if (!quiet)
        reply("OK " + command + ": receiving with " + protocol + ", start sending now (5 x Ctrl-X cancels)");
    // Whatever followed the command already belongs to the transfer.
    m_receiveInput = quiet ? m_input : QByteArray();
    m_input.clear();
    m_receiveState = ReceiveState::Draining;
    m_line->setReadingPaused(true);
    Q_EMIT statusMessage(tr("%1: handing the line to %2").arg(cmd, program));
    // The reply must reach the client before the receiver owns the line.
    m_drainWait.start();
    m_drainTimer->start();
}

void DemoDevice::onDrainPoll()
{
    if (m_receiveState != ReceiveState::Draining) {
        m_drainTimer->stop();
        return;
    }
    if (m_line->queuedBytes() > 0 && m_drainWait.elapsed() < DrainWaitMs)
        return;
    m_drainTimer->stop();
    m_line->discardOutput();
    startReceiver();
}

QHash<QString, QPair<qint64, qint64>> DemoDevice::snapshotReceiveDir() const
{
    QHash<QString, QPair<qint64, qint64>> files;
    const QFileInfoList list = QDir(m_receiveDir).entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo& fi : list)
        files.insert(fi.fileName(), qMakePair(fi.size(), fi.lastModified().toMSecsSinceEpoch()));
    return files;
}

void DemoDevice::startReceiver()
{
    m_receiveBefore = snapshotReceiveDir();
    m_receiverErrors.clear();
    m_receiveState = ReceiveState::Running;
    // The receiver talks through pipes that the device relays to the line,
    // rather than owning the pty itself: lrzsz flushes its terminal when it
    // exits, and on a pty that throws away its own last acknowledgement
    // whenever the client has not read it yet.
    m_receiver = new QProcess(this);
    m_receiver->setWorkingDirectory(m_receiveDir);
    connect(m_receiver, &QProcess::readyReadStandardOutput, this,
            [this]() { send(m_receiver->readAllStandardOutput()); });
    connect(m_receiver, &QProcess::readyReadStandardError, this, [this]() {
        m_receiverErrors.append(m_receiver->readAllStandardError());
        if (m_receiverErrors.size() > 65536)
            m_receiverErrors = m_receiverErrors.right(65536);
    });
    connect(m_receiver, &QProcess::bytesWritten, this, [this]() {
        if (m_receiver->bytesToWrite() < ReceiverBacklog / 2)
            m_line->setReadingPaused(false);
    });
    connect(m_receiver, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
        onReceiverFinished(exitCode, status == QProcess::CrashExit);
    });
    connect(m_receiver, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            onReceiverFinished(-1, true);
    });
    QTimer::singleShot(ReceiverTimeoutMs, m_receiver, &QProcess::kill);
    m_receiver->start(m_receiveProgram, m_receiveArgs);
    // A sender that started the transfer itself may already have said more.
    if (!m_receiveInput.isEmpty())
        m_receiver->write(m_receiveInput);
    m_receiveInput.clear();
    m_line->setReadingPaused(false);
}

void DemoDevice::relayToReceiver(const QByteArray& data)
{
    m_receiver->write(data);
    // A receiver that cannot keep up slows the line down instead of piling up.
    if (m_receiver->bytesToWrite() > ReceiverBacklog)
        m_line->setReadingPaused(true);
}

void DemoDevice::onReceiverFinished(int exitCode, bool crashed)
{
    if (m_receiveState != ReceiveState::Running || !m_receiver)
        return;
    send(m_receiver->readAllStandardOutput());
    m_receiverErrors.append(m_receiver->readAllStandardError());
    m_receiver->disconnect(this);
    m_receiver->deleteLater();
    m_receiver = nullptr;

    QStringList received;
    const auto after = snapshotReceiveDir();
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (!m_receiveBefore.contains(it.key()) || m_receiveBefore.value(it.key()) != it.value())
            received << QStringLiteral("%1 (%2 bytes)").arg(it.key(), QString::number(it.value().first));
    }
    received.sort();
    m_receiveOk = !crashed && exitCode == 0 && !received.isEmpty();
    QString lastError;
    const QList<QByteArray> errorLines = m_receiverErrors.split('\n');
    for (auto it = errorLines.crbegin(); it != errorLines.crend(); ++it) {
        const QByteArray text = it->split('\r').last().trimmed();
        if (!text.isEmpty()) {
            lastError = QString::fromLocal8Bit(text);
            break;
        }
    }
    if (m_receiveOk) {
        m_receiveResult =
            QStringLiteral("OK %1 done: received %2").arg(m_receiveCommand, received.join(", "));
    } else {
        m_receiveResult = QStringLiteral("ERROR %1 failed (%2)")
                              .arg(m_receiveCommand, crashed ? QStringLiteral("receiver stopped")
                                                             : QStringLiteral("exit code %1").arg(exitCode));
        if (!lastError.isEmpty())
            m_receiveResult += QStringLiteral(": ") + lastError;
    }
    Q_EMIT statusMessage(m_receiveResult);

    // Let the sender's trailer arrive and throw it away before listening for
    // commands again.
    m_receiveState = ReceiveState::Settling;
    m_line->setReadingPaused(false);
    QTimer::singleShot(ReceiverSettleMs, this, &DemoDevice::finishReceive);
}

void DemoDevice::finishReceive()
{
    if (m_receiveState != ReceiveState::Settling)
        return;
    m_receiveState = ReceiveState::Idle;
    m_input.clear();
    m_skipLongLine = false;
    reply(printable(m_receiveResult.toLocal8Bit()));
    restartWaveClock();
    Q_EMIT receiverFinished(m_receiveOk);
}
