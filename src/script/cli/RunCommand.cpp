#include "RunCommand.h"

#include "AppPaths.h"
#include "CLuaScriptEngine.h"
#include "SerialPortManager.h"
#include "UnixSignalWatcher.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

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

RunCommand::Parsed RunCommand::parse(const QStringList& args, Options* options, QString* error)
{
    QStringList positional;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h"))
            return Parsed::Help;
        if (arg == QLatin1String("--")) {
            positional += args.mid(i + 1);
            break;
        }
        if (!arg.startsWith(QLatin1String("--")) || arg.size() == 2) {
            positional << arg;
            continue;
        }
        QString name = arg;
        QString value;
        const qsizetype eq = arg.indexOf(QLatin1Char('='));
        if (eq > 0) {
            name = arg.left(eq);
            value = arg.mid(eq + 1);
        } else if (name == QLatin1String("--baud") || name == QLatin1String("--timeout") ||
                   name == QLatin1String("--junit")) {
            if (i + 1 >= args.size()) {
                *error = QStringLiteral("option %1 needs a value").arg(name);
                return Parsed::Error;
            }
            value = args.at(++i);
        }
        qint64 n = 0;
        if (name == QLatin1String("--baud")) {
            if (!parseInt(value, 1, 100000000, &n)) {
                *error = QStringLiteral("invalid baud rate: %1").arg(value);
                return Parsed::Error;
            }
            options->baudRate = qint32(n);
        } else if (name == QLatin1String("--timeout")) {
            if (!parseInt(value, 1, 30 * 24 * 3600, &n)) {
                *error = QStringLiteral("invalid timeout (whole seconds, at least 1): %1").arg(value);
                return Parsed::Error;
            }
            options->timeoutSeconds = int(n);
        } else if (name == QLatin1String("--junit")) {
            if (value.isEmpty()) {
                *error = QStringLiteral("--junit needs a file name");
                return Parsed::Error;
            }
            options->junitPath = value;
        } else {
            *error = QStringLiteral("unknown option: %1").arg(arg);
            return Parsed::Error;
        }
    }
    if (positional.size() != 2) {
        *error = positional.size() < 2
                     ? QStringLiteral("PORT and SCRIPT.lua are required")
                     : QStringLiteral("too many arguments: %1").arg(positional.mid(2).join(' '));
        return Parsed::Error;
    }
    options->portName = positional.at(0);
    options->scriptPath = positional.at(1);
    return Parsed::Run;
}

QString RunCommand::helpText()
{
    return QStringLiteral("Usage: corvane-run [--baud N] [--timeout S] [--junit FILE] PORT SCRIPT.lua\n"
                          "\n"
                          "Runs a Corvane Lua script (Script Executor mode) against a serial port,\n"
                          "without a window: the cvn_ API sends, waits for replies and reports results\n"
                          "with cvn_report. The script's output is printed as it comes; the run ends\n"
                          "with \"Automation finished: N passed, M failed\".\n"
                          "\n"
                          "  PORT           serial port name or path (ttyUSB0, /dev/ttyACM0, a pty link)\n"
                          "  SCRIPT.lua     the script to run; a name that is not found here is looked\n"
                          "                 for among the sample scripts that come with corvane-run\n"
                          "  --baud N       baud rate (default 115200), 8 data bits, no parity, 1 stop bit\n"
                          "  --timeout S    stop the run after S seconds (exit code 124)\n"
                          "  --junit FILE   write every cvn_report as a JUnit XML test case (name,\n"
                          "                 failure with its detail, time since the previous report)\n"
                          "  -h, --help     show this text\n"
                          "\n"
                          "Exit codes:\n"
                          "  0    every report passed\n"
                          "  1    a report failed, the script raised an error, or the port went away\n"
                          "  2    bad usage\n"
                          "  3    the port, the script or the JUnit file cannot be opened\n"
                          "  124  --timeout ran out (the run is stopped first)\n"
                          "  130  interrupted by Ctrl-C (the run is stopped first)\n");
}

RunCommand::RunCommand(const Options& options, QObject* parent)
    : QObject(parent), m_options(options), m_report(QFileInfo(options.scriptPath).completeBaseName())
{
}

RunCommand::~RunCommand()
{
    // The engine joins its threads before the port it sends through goes.
    delete m_engine;
    delete m_port;
}

void RunCommand::installSignalHandlers()
{
    if (m_signalWatcher)
        return;
    m_signalWatcher = new UnixSignalWatcher(this);
    connect(m_signalWatcher, &UnixSignalWatcher::interrupted, this, &RunCommand::onSignal);
}

void RunCommand::onSignal()
{
    interrupt();
}

void RunCommand::interrupt()
{
    stopRun(ExitInterrupted, QStringLiteral("interrupted, stopping the run"));
}

void RunCommand::writeOut(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void RunCommand::writeErr(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

void RunCommand::stopRun(int exitCode, const QString& why)
{
    if (!m_engine || !m_engine->isAutomationRunning() || m_forcedExit >= 0)
        return;
    m_forcedExit = exitCode;
    m_runError = why;
    writeErr(QStringLiteral("corvane-run: %1\n").arg(why));
    m_engine->stopAutomation();
    // A script that keeps catching the stop cannot hold the process forever.
    QTimer::singleShot(kStopGraceMs, this, [this] {
        writeErr(QStringLiteral("corvane-run: the script did not stop within %1 s, leaving\n")
                     .arg(kStopGraceMs / 1000));
        std::fflush(stdout);
        ::_exit(m_forcedExit);
    });
}

QString RunCommand::resolveScript(const QString& path)
{
    if (QFileInfo::exists(path) || QFileInfo(path).isAbsolute())
        return path;
    // "demo_selftest.lua" names one of the scripts installed with the program.
    const QString shipped = AppPaths::dataPath(QStringLiteral("scripts/") + path);
    return QFileInfo::exists(shipped) ? shipped : path;
}

int RunCommand::exec()
{
    m_options.scriptPath = resolveScript(m_options.scriptPath);
    const QFileInfo script(m_options.scriptPath);
    QFile probe(m_options.scriptPath);
    if (!script.exists() || script.isDir() || !probe.open(QIODevice::ReadOnly)) {
        writeErr(QStringLiteral("corvane-run: cannot open script %1: %2\n")
                     .arg(m_options.scriptPath, !script.exists() ? QStringLiteral("no such file")
                                                : script.isDir() ? QStringLiteral("is a folder")
                                                                 : probe.errorString()));
        return ExitCannotOpen;
    }
    probe.close();
    if (!m_options.junitPath.isEmpty()) {
        // Found out now, not after a long run.
        QFile junit(m_options.junitPath);
        const bool existed = junit.exists();
        if (!junit.open(QIODevice::Append)) {
            writeErr(QStringLiteral("corvane-run: cannot write %1: %2\n")
                         .arg(m_options.junitPath, junit.errorString()));
            return ExitCannotOpen;
        }
        junit.close();
        if (!existed)
            junit.remove();
    }

    m_port = new SerialPortManager;
    if (!m_port->openPort(m_options.portName, QString::number(m_options.baudRate), QStringLiteral("8"),
                          QStringLiteral("None"), QStringLiteral("1"), QStringLiteral("None"))) {
        writeErr(QStringLiteral("corvane-run: cannot open port %1: %2\n")
                     .arg(m_options.portName, m_port->errorString()));
        return ExitCannotOpen;
    }

    m_engine = new CLuaScriptEngine;
    m_engine->setSerialPortManager(m_port);
    m_engine->setMode(1);
    connect(m_port, &SerialPortManager::dataReceived, m_engine, &CLuaScriptEngine::enqueueRxData,
            Qt::DirectConnection);
    connect(m_port, &SerialPortManager::errorOccurred, this,
            [this](QSerialPort::SerialPortError error, const QString& text) {
                if (error != QSerialPort::ResourceError && error != QSerialPort::DeviceNotFoundError &&
                    error != QSerialPort::ReadError)
                    return;
                if (m_portLost)
                    return;
                m_portLost = true;
                writeErr(QStringLiteral("corvane-run: the serial port went away: %1\n").arg(text));
                if (m_port->isOpen())
                    m_port->closePort();
                if (m_engine->isAutomationRunning()) {
                    m_runError = QStringLiteral("the serial port went away: %1").arg(text);
                    m_engine->stopAutomation();
                }
            });
    connect(m_engine, &CLuaScriptEngine::scriptOutput, this, &RunCommand::writeOut);
    connect(m_engine, &CLuaScriptEngine::scriptError, this, [this](const QString& message) {
        m_scriptError = true;
        m_runError = message;
        writeErr(QStringLiteral("Lua Error: %1\n").arg(message));
    });
    connect(m_engine, &CLuaScriptEngine::testReported, this,
            [this](const QString& name, bool passed, const QString& detail, qint64 elapsedMs) {
                m_report.addCase(name, passed, detail, elapsedMs);
            });
    QEventLoop loop;
    m_loop = &loop;
    connect(m_engine, &CLuaScriptEngine::automationStateChanged, &loop, [&loop](bool running) {
        if (!running)
            loop.quit();
    });
    if (!m_engine->setScriptFile(m_options.scriptPath) || !m_engine->startAutomation()) {
        writeErr(QStringLiteral("corvane-run: cannot start the script: %1\n").arg(m_engine->lastError()));
        return ExitCannotOpen;
    }
    if (m_options.timeoutSeconds > 0) {
        QTimer::singleShot(qint64(m_options.timeoutSeconds) * 1000, this, [this] {
            stopRun(ExitTimedOut,
                    QStringLiteral("timeout after %1 s, stopping the run").arg(m_options.timeoutSeconds));
        });
    }
    m_clock.start();
    loop.exec();
    m_loop = nullptr;
    // Output the run queued before it ended is printed before we leave.
    QCoreApplication::sendPostedEvents(this);

    int code = ExitPassed;
    if (m_forcedExit >= 0)
        code = m_forcedExit;
    else if (m_scriptError || m_portLost || m_engine->failCount() > 0)
        code = ExitFailed;

    if (!m_options.junitPath.isEmpty()) {
        if (code != ExitPassed && !m_runError.isEmpty())
            m_report.setRunError(m_runError);
        m_report.setTotalMs(m_clock.elapsed());
        QString error;
        if (!m_report.writeTo(m_options.junitPath, &error)) {
            writeErr(QStringLiteral("corvane-run: cannot write %1: %2\n").arg(m_options.junitPath, error));
            if (code == ExitPassed)
                code = ExitCannotOpen;
        }
    }
    return code;
}
