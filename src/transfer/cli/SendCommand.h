#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QStringList>

class FileTransmission;
class QEventLoop;
class UnixSignalWatcher;
class QTimer;

// corvane-send: sends one file through a serial port with the program's own
// transfer controller, without a window. Progress and status go to stderr;
// the exit code says how it went.
class SendCommand : public QObject
{
    Q_OBJECT
public:
    enum ExitCode
    {
        ExitSuccess = 0,
        ExitTransferFailed = 1,
        ExitBadUsage = 2,
        ExitCannotOpen = 3,
        ExitSkipped = 4,       // the receiver declined the file (ZMODEM ZSKIP)
        ExitInterrupted = 130, // 128 + SIGINT, as shells report it
    };

    struct Options
    {
        int mode = 5; // FileTransmission::ZModem
        qint32 baudRate = 115200;
        int blockSize = 1024;
        int intervalMs = 0;
        int timeoutMs = 10000;
        int retries = 10;
        bool quiet = false;
        bool verbose = false;
        QString portName;
        QString filePath;
    };

    enum class Parsed
    {
        Run,
        Help,
        Version,
        Error
    };

    // Reads the command line (args[0] is the program). On Error, `error`
    // tells what was wrong.
    static Parsed parse(const QStringList& args, Options* options, QString* error);
    static QString helpText();
    static QString versionText();
    // Protocol name on the command line -> transfer mode, -1 when unknown.
    static int modeFromName(const QString& name);
    static QString speedText(qint64 bytesPerSecond);
    // What to tell the user when the port does not open: a port held by
    // another program says so, and a refused permission names the usual cure.
    static QString portOpenError(QSerialPort::SerialPortError error, const QString& errorString);
    // Diagnostic lines of the engines (qDebug, qInfo, qWarning) reach stderr
    // only when `verbose`; critical messages always do.
    static void installMessageFilter(bool verbose);

    explicit SendCommand(const Options& options, QObject* parent = nullptr);
    ~SendCommand() override;

    // Opens file and port, runs the transfer to its end and returns the exit code.
    int exec();
    // Stops a running transfer, sends the cancel sequence and ends exec()
    // with ExitInterrupted.
    void interrupt();
    // Routes SIGINT and SIGTERM to interrupt() through a self-pipe; a second
    // signal ends the process the default way.
    void installSignalHandlers();

private:
    void onWriteRequest(const QByteArray& data);
    void onReadyRead();
    void onPortError();
    void onActiveChanged();
    void onEngineFinished(bool success, const QString& message);
    void onStatus(const QString& message);
    void onSignal();
    void reportPending();
    void printProgress(bool final);
    void printLine(const QString& text);
    void finish(int code);
    void drainOutput();
    bool isProtocolMode() const;

    Options m_options;
    FileTransmission* m_transmission = nullptr;
    QSerialPort* m_port = nullptr;
    QEventLoop* m_loop = nullptr;
    QTimer* m_progressTimer = nullptr;
    UnixSignalWatcher* m_signalWatcher = nullptr;
    QElapsedTimer m_clock;
    bool m_running = false;
    bool m_done = false;
    bool m_interrupted = false;
    bool m_isTty = false;
    bool m_progressShown = false;
    int m_exitCode = ExitSuccess;
    qint64 m_cancelBytes = 0;
    qint64 m_lastPrinted = -1;
};
