#include "SendCommand.h"

#include "ByteSizeText.h"
#include "FileTransmission.h"
#include "Protocol.h"
#include "UnixSignalWatcher.h"
#include "XMODEM.h"
#include "YMODEM.h"
#include "ZMODEM.h"

#include <QCommandLineParser>
#include <QEventLoop>
#include <QFileInfo>
#include <QSerialPort>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#ifndef CORVANE_VERSION
#define CORVANE_VERSION "0"
#endif

namespace {

// lrzsz's abort: eight CANs stop any XMODEM, YMODEM or ZMODEM receiver, the
// backspaces wipe them again from a terminal that merely shows them.
const QByteArray kCancelSequence = QByteArray(8, '\x18') + QByteArray(8, '\x08');

bool g_verbose = false;

void filterMessage(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (!g_verbose && type != QtCriticalMsg && type != QtFatalMsg)
        return;
    std::fprintf(stderr, "%s\n", qPrintable(message));
    std::fflush(stderr);
}

// After a stall the queue will not drain; waiting a whole time-out again
// for it would only delay the exit.
constexpr int kStalledDrainMs = 500;

constexpr int kProgressTickMs = 200;
constexpr int kPlainProgressEveryMs = 1000;

bool parseInt(const QString& text, qint64 min, qint64 max, qint64* out)
{
    bool ok = false;
    const qint64 v = text.toLongLong(&ok, 10);
    if (!ok || v < min || v > max)
        return false;
    *out = v;
    return true;
}

} // namespace

int SendCommand::modeFromName(const QString& name)
{
    static const QStringList names = {QStringLiteral("text"),   QStringLiteral("raw"),
                                      QStringLiteral("xmodem"), QStringLiteral("xmodem1k"),
                                      QStringLiteral("ymodem"), QStringLiteral("zmodem")};
    return int(names.indexOf(name.toLower()));
}

QString SendCommand::helpText()
{
    return QStringLiteral(
        "Usage: corvane-send [options] PORT FILE\n"
        "Sends FILE through the serial port PORT (8N1, no flow control).\n"
        "\n"
        "Options:\n"
        "  --protocol P     text, raw, xmodem, xmodem1k, ymodem or zmodem (default zmodem)\n"
        "  --baud N         line speed (default 115200)\n"
        "  --block-size N   raw block size and ZMODEM subpacket length, 64-8192 (default 1024)\n"
        "  --interval MS    pause between text lines or raw blocks (default 0: as fast as\n"
        "                   the port takes them)\n"
        "  --timeout MS     protocol response timeout, at least 1000 (default 10000)\n"
        "  --retries N      protocol retry limit, at least 1 (default 10)\n"
        "  -q, --quiet      no progress and no status lines\n"
        "  --verbose        also the engines' diagnostic lines\n"
        "  -h, --help       this text\n"
        "  -v, --version    the version\n"
        "\n"
        "Exit status: 0 sent, 1 transfer failed, 2 bad usage, 3 cannot open port or file,\n"
        "4 the receiver skipped the file (ZMODEM), 130 interrupted (the transfer is\n"
        "cancelled on the line first).\n");
}

QString SendCommand::versionText()
{
    return QStringLiteral("corvane-send %1\n").arg(QStringLiteral(CORVANE_VERSION));
}

SendCommand::Parsed SendCommand::parse(const QStringList& args, Options* options, QString* error)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption protocol(QStringLiteral("protocol"), QString(), QStringLiteral("P"));
    const QCommandLineOption baud(QStringLiteral("baud"), QString(), QStringLiteral("N"));
    const QCommandLineOption block(QStringLiteral("block-size"), QString(), QStringLiteral("N"));
    const QCommandLineOption interval(QStringLiteral("interval"), QString(), QStringLiteral("MS"));
    const QCommandLineOption timeout(QStringLiteral("timeout"), QString(), QStringLiteral("MS"));
    const QCommandLineOption retries(QStringLiteral("retries"), QString(), QStringLiteral("N"));
    const QCommandLineOption quiet(QStringList{QStringLiteral("q"), QStringLiteral("quiet")});
    const QCommandLineOption verbose(QStringLiteral("verbose"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOptions({protocol, baud, block, interval, timeout, retries, quiet, verbose, help, version});

    if (!parser.parse(args)) {
        *error = parser.errorText();
        return Parsed::Error;
    }
    if (parser.isSet(help))
        return Parsed::Help;
    if (parser.isSet(version))
        return Parsed::Version;

    Options o;
    if (parser.isSet(protocol)) {
        o.mode = modeFromName(parser.value(protocol));
        if (o.mode < 0) {
            *error = QStringLiteral("unknown protocol '%1'").arg(parser.value(protocol));
            return Parsed::Error;
        }
    }
    qint64 v = 0;
    struct Numeric
    {
        const QCommandLineOption* option;
        qint64 min;
        qint64 max;
    };
    // Out-of-range numbers are refused rather than clamped: a typo in a
    // script should not silently send at another speed.
    const Numeric numerics[] = {{&baud, 50, 0x7fffffff},
                                {&block, 64, 8192},
                                {&interval, 0, 0x7fffffff},
                                {&timeout, 1000, 0x7fffffff},
                                {&retries, 1, 1000}};
    for (const Numeric& n : numerics) {
        if (!parser.isSet(*n.option))
            continue;
        if (!parseInt(parser.value(*n.option), n.min, n.max, &v)) {
            *error = QStringLiteral("--%1 needs a number from %2 to %3")
                         .arg(n.option->names().constFirst())
                         .arg(n.min)
                         .arg(n.max);
            return Parsed::Error;
        }
        if (n.option == &baud)
            o.baudRate = qint32(v);
        else if (n.option == &block)
            o.blockSize = int(v);
        else if (n.option == &interval)
            o.intervalMs = int(v);
        else if (n.option == &timeout)
            o.timeoutMs = int(v);
        else
            o.retries = int(v);
    }
    o.quiet = parser.isSet(quiet);
    o.verbose = parser.isSet(verbose);

    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 2) {
        *error = positional.size() < 2 ? QStringLiteral("PORT and FILE are needed")
                                       : QStringLiteral("too many arguments");
        return Parsed::Error;
    }
    o.portName = positional.at(0);
    o.filePath = positional.at(1);
    *options = o;
    return Parsed::Run;
}

QString SendCommand::speedText(qint64 rate)
{
    if (rate <= 1023)
        return QStringLiteral("%1 B/s").arg(rate);
    if (rate > 1048575)
        return QStringLiteral("%1 MB/s").arg(double(rate) / 1048576.0, 0, 'f', 2);
    return QStringLiteral("%1 KB/s").arg(double(rate) / 1024.0, 0, 'f', 1);
}

QString SendCommand::portOpenError(QSerialPort::SerialPortError error, const QString& errorString)
{
    if (error == QSerialPort::PermissionError) {
        // Another program's lock file, or its exclusive open of the tty.
        if (errorString.contains(QLatin1String("locking the device")) ||
            errorString.contains(QLatin1String("Device or resource busy")))
            return QStringLiteral("port is in use by another program");
        if (errorString.contains(QLatin1String("Permission denied")))
            return QStringLiteral("%1 (join the dialout group: sudo usermod -aG dialout $USER, "
                                  "then log in again)")
                .arg(errorString);
    }
    return errorString;
}

void SendCommand::installMessageFilter(bool verbose)
{
    g_verbose = verbose;
    qInstallMessageHandler(filterMessage);
}

SendCommand::SendCommand(const Options& options, QObject* parent) : QObject(parent), m_options(options)
{
    m_isTty = ::isatty(STDERR_FILENO) == 1;
}

SendCommand::~SendCommand() {}

void SendCommand::installSignalHandlers()
{
    if (m_signalWatcher)
        return;
    m_signalWatcher = new UnixSignalWatcher(this);
    connect(m_signalWatcher, &UnixSignalWatcher::interrupted, this, &SendCommand::onSignal);
}

void SendCommand::onSignal()
{
    interrupt();
}

bool SendCommand::isProtocolMode() const
{
    return m_options.mode >= FileTransmission::XModem;
}

int SendCommand::exec()
{
    m_transmission = new FileTransmission(this);
    m_transmission->setTransferMode(m_options.mode);
    if (QFileInfo(m_options.filePath).isDir() || !m_transmission->openFilePath(m_options.filePath)) {
        std::fprintf(stderr, "corvane-send: cannot open %s\n", qPrintable(m_options.filePath));
        return ExitCannotOpen;
    }

    m_port = new QSerialPort(this);
    m_port->setPortName(m_options.portName);
    m_port->setBaudRate(m_options.baudRate);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port->open(QIODevice::ReadWrite)) {
        std::fprintf(stderr, "corvane-send: cannot open port %s: %s\n", qPrintable(m_options.portName),
                     qPrintable(portOpenError(m_port->error(), m_port->errorString())));
        return ExitCannotOpen;
    }

    m_transmission->setBlockSize(m_options.blockSize);
    m_transmission->setMaxRetries(m_options.retries);
    m_transmission->setProtocolTimeout(m_options.timeoutMs);
    m_transmission->setLineTransmissionInterval(m_options.intervalMs);

    connect(m_transmission, &FileTransmission::writeRequest, this, &SendCommand::onWriteRequest);
    connect(m_transmission, &FileTransmission::statusTextChanged2, this, &SendCommand::onStatus);
    connect(m_transmission, &FileTransmission::activeChanged, this, &SendCommand::onActiveChanged);
    const QList<Protocol*> engines = {m_transmission->xmodem(), m_transmission->ymodem(),
                                      m_transmission->zmodem()};
    for (Protocol* engine : engines) {
        if (engine)
            connect(engine, &Protocol::finished, this, &SendCommand::onEngineFinished);
    }
    connect(m_port, &QSerialPort::readyRead, this, &SendCommand::onReadyRead);
    connect(m_port, &QSerialPort::bytesWritten, this, &SendCommand::reportPending);
    connect(m_port, &QSerialPort::errorOccurred, this, &SendCommand::onPortError);

    m_progressTimer = new QTimer(this);
    m_progressTimer->setInterval(m_isTty ? kProgressTickMs : kPlainProgressEveryMs);
    connect(m_progressTimer, &QTimer::timeout, this, [this] { printProgress(false); });

    QEventLoop loop;
    m_loop = &loop;
    QTimer::singleShot(0, this, [this] {
        if (m_done)
            return;
        m_clock.start();
        m_running = true;
        if (!m_options.quiet)
            m_progressTimer->start();
        m_transmission->beginTransmission();
    });
    const int code = m_done ? m_exitCode : loop.exec();
    m_loop = nullptr;
    m_transmission->disconnect(this);
    m_port->close();
    return code;
}

void SendCommand::onWriteRequest(const QByteArray& data)
{
    if (m_interrupted)
        m_cancelBytes += data.count('\x18');
    if (!m_port->isOpen())
        return;
    // Whole chunks straight into the port's buffer; the controller keeps the
    // queue short from the pending count reported back.
    const qint64 written = m_port->write(data);
    if (written != data.size()) {
        if (!m_done) {
            printLine(QStringLiteral("corvane-send: write failed: %1").arg(m_port->errorString()));
            m_exitCode = ExitTransferFailed;
            if (!m_interrupted)
                finish(ExitTransferFailed);
        }
        return;
    }
    reportPending();
}

void SendCommand::reportPending()
{
    if (m_port && m_transmission)
        m_transmission->setPendingOutput(m_port->bytesToWrite());
}

void SendCommand::onReadyRead()
{
    const QByteArray data = m_port->readAll();
    if (!data.isEmpty() && !m_done)
        m_transmission->onRawDataReceived(data);
}

void SendCommand::onPortError()
{
    const QSerialPort::SerialPortError error = m_port->error();
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError || m_done)
        return;
    printLine(QStringLiteral("corvane-send: port error: %1").arg(m_port->errorString()));
    if (error == QSerialPort::ResourceError || error == QSerialPort::WriteError ||
        error == QSerialPort::ReadError || error == QSerialPort::PermissionError) {
        m_interrupted = false;
        m_transmission->disconnect(this);
        m_transmission->stopTransmission();
        m_port->close();
        finish(ExitTransferFailed);
    }
}

void SendCommand::onActiveChanged()
{
    if (!m_running || m_done || m_interrupted || isProtocolMode() || m_transmission->isActive())
        return;
    // Plain and raw sending stop at the end of the file once it has left the
    // port, or early on a read error, a stall or a write failure.
    finish(m_transmission->outcome() == FileTransmission::Succeeded ? ExitSuccess : ExitTransferFailed);
}

void SendCommand::onEngineFinished(bool success, const QString& message)
{
    if (m_done || m_interrupted)
        return;
    const bool skipped =
        !success && m_options.mode == FileTransmission::ZModem && m_transmission->zmodem()->fileSkipped();
    if (!success && !skipped && !message.isEmpty() && m_options.quiet)
        std::fprintf(stderr, "corvane-send: %s\n", qPrintable(message));
    // Let the controller take the same signal first (counts, status text).
    QTimer::singleShot(0, this, [this, success, skipped] {
        finish(success ? ExitSuccess : (skipped ? ExitSkipped : ExitTransferFailed));
    });
}

void SendCommand::onStatus(const QString& message)
{
    if (!m_options.quiet)
        printLine(message);
}

void SendCommand::interrupt()
{
    if (m_done || m_interrupted)
        return;
    m_interrupted = true;
    printLine(QStringLiteral("corvane-send: interrupted, cancelling"));
    if (!m_running || !m_port || !m_port->isOpen()) {
        finish(ExitInterrupted);
        return;
    }
    const bool protocol = isProtocolMode();
    m_cancelBytes = 0;
    m_transmission->stopTransmission();
    // The engine normally says its own cancel; make sure the receiver hears one.
    if (protocol && m_cancelBytes < 2 && m_port->isOpen())
        m_port->write(kCancelSequence);
    finish(ExitInterrupted);
}

void SendCommand::drainOutput()
{
    if (!m_port || !m_port->isOpen())
        return;
    // Give up only when the port stops taking bytes for a whole timeout.
    const bool stalled = m_transmission && m_transmission->statusText().contains(QLatin1String("stalled"));
    const int wait = stalled ? kStalledDrainMs : m_options.timeoutMs;
    while (m_port->bytesToWrite() > 0) {
        if (!m_port->waitForBytesWritten(wait))
            break;
    }
    if (m_port->bytesToWrite() == 0 && m_port->handle() >= 0)
        ::tcdrain(m_port->handle());
}

void SendCommand::finish(int code)
{
    if (m_done)
        return;
    m_done = true;
    m_exitCode = code;
    if (m_progressTimer)
        m_progressTimer->stop();
    drainOutput();
    if (!m_options.quiet && m_running)
        printProgress(true);
    if (!m_options.quiet || code != ExitSuccess) {
        const qint64 ms = m_clock.isValid() ? m_clock.elapsed() : 0;
        QString text;
        if (code == ExitSuccess) {
            text = QStringLiteral("corvane-send: sent %1 bytes in %2 s")
                       .arg(m_transmission->bytesTotal())
                       .arg(double(ms) / 1000.0, 0, 'f', 2);
        } else if (code == ExitInterrupted) {
            text = QStringLiteral("corvane-send: transfer cancelled");
        } else if (code == ExitSkipped) {
            text = QStringLiteral("corvane-send: the receiver skipped the file (nothing was sent)");
        } else {
            const QString status = m_transmission->statusText();
            text = QStringLiteral("corvane-send: transfer failed") +
                   (status.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(status));
        }
        printLine(text);
    }
    if (m_loop)
        m_loop->exit(code);
}

void SendCommand::printLine(const QString& text)
{
    if (m_isTty && m_progressShown) {
        std::fputs("\r\033[K", stderr);
        m_progressShown = false;
    }
    std::fprintf(stderr, "%s\n", qPrintable(text));
    std::fflush(stderr);
}

void SendCommand::printProgress(bool final)
{
    if (!m_transmission)
        return;
    const qint64 sent = m_transmission->bytesSent();
    const qint64 total = m_transmission->bytesTotal();
    if (!final && !m_isTty && sent == m_lastPrinted)
        return;
    m_lastPrinted = sent;
    const qint64 ms = qMax<qint64>(1, m_clock.isValid() ? m_clock.elapsed() : 1);
    const int percent = total > 0 ? int(qMin<qint64>(100, sent * 100 / total)) : 0;
    const QString line = QStringLiteral("%1%  %2 %3")
                             .arg(percent, 3)
                             .arg(ByteSizeText::progress(sent, total))
                             .arg(speedText(sent * 1000 / ms));
    if (m_isTty) {
        std::fprintf(stderr, "\r\033[K%s", qPrintable(line));
        m_progressShown = true;
        if (final) {
            std::fputs("\n", stderr);
            m_progressShown = false;
        }
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(line));
    }
    std::fflush(stderr);
}
