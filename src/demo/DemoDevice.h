#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>

class DemoLine;
class QProcess;
class QTimer;

// A small embedded device simulated on a pseudo-terminal: boot banner,
// periodic log lines, a line-based command interpreter, a waveform stream,
// binary bursts and frames, unplug/replug, and file reception through lrzsz.
// Everything runs on the thread of the event loop; nothing blocks it.
class DemoDevice : public QObject
{
    Q_OBJECT

public:
    static constexpr int MinRate = 1;
    static constexpr int MaxRate = 50000;
    static constexpr int DefaultRate = 100;
    static constexpr qint64 MaxBurst = 64LL * 1024 * 1024;
    static constexpr int MaxUnplugSeconds = 60;
    static constexpr int DefaultLogIntervalMs = 1000;
    static constexpr int MaxLineLength = 256;
    // Time the reply before a hang-up gets to reach the client.
    static constexpr int UnplugDelayMs = 200;
    // A receiver still running after this long is stopped.
    static constexpr int ReceiverTimeoutMs = 10 * 60 * 1000;
    // Line input waiting for the receiver above which the line is not read.
    static constexpr qint64 ReceiverBacklog = 1024 * 1024;
    // Input arriving right after a transfer (a sender's trailer) is dropped.
    static constexpr int ReceiverSettleMs = 500;
    // A command line that got no new byte for this long is complete even
    // without a line end, as devices with a receive idle timer do.
    static constexpr int IdleCommitMs = 300;

    explicit DemoDevice(QObject* parent = nullptr);
    ~DemoDevice() override;

    static QString defaultPath();

    void setPath(const QString& path);
    QString path() const { return m_path; }
    // Wave frames per second, clamped to MinRate..MaxRate.
    void setRate(int framesPerSecond);
    int rate() const { return m_rate; }
    void setLogEnabled(bool enabled);
    bool isLogEnabled() const { return m_logEnabled; }
    void setLogInterval(int ms);
    int logInterval() const;
    // Folder where received files land (default: the current directory).
    void setReceiveDir(const QString& dir);
    QString receiveDir() const { return m_receiveDir; }

    // Publishes the line at path() and boots. False with errorString() set
    // when the line cannot be created or published.
    bool start();
    // Stops any receiver, closes the line and removes the link.
    void stop();
    bool isRunning() const { return m_running; }
    QString errorString() const { return m_error; }

    bool isPlugged() const;
    QString slaveName() const;
    // Same as the "wave on|off" command.
    void setWaveOn(bool on);
    bool isWaveOn() const { return m_waveOn; }
    bool isBursting() const { return m_burstRemaining > 0; }
    bool isReceiving() const { return m_receiveState != ReceiveState::Idle; }
    qsizetype queuedBytes() const;
    qint64 droppedFrames() const { return m_droppedFrames; }
    // Bytes that went into the line, and of those the ones left unread when
    // it was unplugged or flushed (what a client can have missed).
    qint64 lineBytesWritten() const;
    qint64 lineBytesUnread() const;
    // Keeps a copy of what each line carried (see DemoLine::setJournalling).
    void setLineJournalling(bool on);
    QByteArray takeClosedLineJournal();

    // Program that receives with `command` ("rz", "rb" or "rx"); empty when
    // lrzsz is not installed.
    static QString receiverProgram(const QString& command);
    // True for a name that stays inside the receive folder and cannot be
    // mistaken for an option.
    static bool isPlainFileName(const QString& name);

    // The banner at power-on; it names the wave frame rate `rate`.
    static QByteArray bootBanner(int rate);
    static QByteArray helpText();
    // The reply to "ansi": lines coloured with the 16-colour, 256-colour and
    // 24-bit forms of the terminal colour codes, and bold.
    static QByteArray ansiTestCard();
    // Payload of the hex frame: sequence, uptime in seconds (big endian),
    // current sine sample times 100 (big endian, signed), status byte.
    static QByteArray hexPayload(quint8 seq, quint16 uptimeSeconds, qint16 sample, quint8 status);
    // AA 55 LEN PAYLOAD SUM8, the sum taken over every byte before it.
    static QByteArray hexFrame(const QByteArray& payload);
    static quint8 sum8(const QByteArray& data);
    // Burst bytes count up from 0 and wrap: byte k of a burst is k mod 256.
    static QByteArray burstChunk(qint64 offset, qsizetype size);
    // The periodic log line number `n` (without line end).
    QByteArray logLine(quint64 n) const;

Q_SIGNALS:
    // Progress for the console (the command-line wrapper prints these).
    void statusMessage(const QString& text);
    void unplugged();
    void replugged();
    void receiverFinished(bool ok);

private:
    enum class ReceiveState
    {
        Idle,
        Draining,
        Running,
        Settling
    };

    void send(const QByteArray& data, bool droppable = false);
    void reply(const QByteArray& text);
    void boot();
    void onData(const QByteArray& data);
    void processInput();
    // The idle timer ran out: what was typed is taken as one command line.
    void commitIdleLine();
    bool isBusy() const;
    void handleLine(const QByteArray& line);
    void handleWave(const QList<QByteArray>& args);
    void handleRate(const QList<QByteArray>& args);
    void handleBurst(const QList<QByteArray>& args);
    void handleHex();
    void handleLog(const QList<QByteArray>& args);
    void handleUnplug(const QList<QByteArray>& args);
    void handleReceive(const QByteArray& command, const QList<QByteArray>& args, bool quiet);
    void fillBurst();
    void onWaveTick();
    void restartWaveClock();
    void onLogTick();
    void onStalled(qint64 discarded);
    void doUnplug();
    void doReplug();
    void onDrainPoll();
    void startReceiver();
    void relayToReceiver(const QByteArray& data);
    void onReceiverFinished(int exitCode, bool crashed);
    void finishReceive();
    QHash<QString, QPair<qint64, qint64>> snapshotReceiveDir() const;

    DemoLine* m_line = nullptr;
    QString m_path;
    QString m_receiveDir;
    QString m_error;
    bool m_running = false;

    QByteArray m_input;
    bool m_skipLongLine = false;
    QTimer* m_idleTimer = nullptr;
    qint64 m_rxBytes = 0;
    qint64 m_txBytes = 0;
    QElapsedTimer m_uptime;

    bool m_waveOn = false;
    int m_rate = DefaultRate;
    QTimer* m_waveTimer = nullptr;
    QElapsedTimer m_waveClock;
    qint64 m_waveClockFrames = 0; // frames due since the clock started
    quint64 m_waveIndex = 0;
    qint64 m_droppedFrames = 0;
    qint64 m_reportedDrops = 0;

    bool m_logEnabled = true;
    QTimer* m_logTimer = nullptr;
    quint64 m_logCount = 0;

    qint64 m_burstRemaining = 0;
    qint64 m_burstOffset = 0;
    quint8 m_hexSeq = 0;

    QTimer* m_replugTimer = nullptr;
    bool m_unplugPending = false;
    int m_unplugSeconds = 0;

    ReceiveState m_receiveState = ReceiveState::Idle;
    QProcess* m_receiver = nullptr;
    QTimer* m_drainTimer = nullptr;
    QElapsedTimer m_drainWait;
    QString m_receiveCommand;
    QString m_receiveProgram;
    QStringList m_receiveArgs;
    QByteArray m_receiverErrors;
    QHash<QString, QPair<qint64, qint64>> m_receiveBefore;
    bool m_receiveOk = false;
    QString m_receiveResult;
    QByteArray m_receiveInput;
};
