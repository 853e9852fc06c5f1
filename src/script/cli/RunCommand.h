#pragma once

#include "JUnitReport.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>

class CLuaScriptEngine;
class QEventLoop;
class UnixSignalWatcher;
class QTextStream;
class SerialPortManager;

// corvane-run: one automation run of a Lua script against a serial port,
// without a window. The script's output goes to stdout as it comes, errors to
// stderr; the exit code says how the run went.
class RunCommand : public QObject
{
    Q_OBJECT
public:
    enum ExitCode
    {
        ExitPassed = 0,
        ExitFailed = 1,
        ExitBadUsage = 2,
        ExitCannotOpen = 3,
        ExitTimedOut = 124,    // as timeout(1) reports it
        ExitInterrupted = 130, // 128 + SIGINT, as shells report it
    };
    // How long a stopped run may take to end before the process leaves anyway.
    static constexpr int kStopGraceMs = 5000;

    struct Options
    {
        qint32 baudRate = 115200;
        int timeoutSeconds = 0; // 0: no limit
        QString junitPath;
        QString portName;
        QString scriptPath;
    };

    enum class Parsed
    {
        Run,
        Help,
        Error
    };

    // Reads the command line (args[0] is the program). On Error, `error`
    // tells what was wrong.
    static Parsed parse(const QStringList& args, Options* options, QString* error);
    static QString helpText();
    // A script that is not found as given is looked for among the scripts
    // that come with the program.
    static QString resolveScript(const QString& path);

    explicit RunCommand(const Options& options, QObject* parent = nullptr);
    ~RunCommand() override;

    // Opens script and port, runs the script to its end and returns the exit code.
    int exec();
    // Stops the run; exec() then returns ExitInterrupted.
    void interrupt();
    // Routes SIGINT and SIGTERM to interrupt() through a self-pipe; a second
    // signal ends the process the default way.
    void installSignalHandlers();

private:
    void stopRun(int exitCode, const QString& why);
    void onSignal();
    void writeOut(const QString& text);
    void writeErr(const QString& text);

    Options m_options;
    SerialPortManager* m_port = nullptr;
    CLuaScriptEngine* m_engine = nullptr;
    QEventLoop* m_loop = nullptr;
    UnixSignalWatcher* m_signalWatcher = nullptr;
    JUnitReport m_report;
    QElapsedTimer m_clock;
    bool m_scriptError = false;
    bool m_portLost = false;
    QString m_runError;
    // Set when the run was stopped from outside (time-out or signal).
    int m_forcedExit = -1;
};
