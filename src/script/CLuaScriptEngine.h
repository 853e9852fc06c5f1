#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QRecursiveMutex>
#include <QString>
#include <QWaitCondition>

#include <atomic>
#include <cstddef>
#include <memory>
#include <thread>

struct lua_State;
struct lua_Debug;
class SerialPortManager;

// One Lua interpreter per session with the cvn_ API. Mode 0 parses every
// received chunk into frames through the script's cvn_frame_parser; mode 1
// runs a whole script on a thread of its own (an automation run) that
// sends, waits for replies and reports pass/fail results.
//
// Locking: the interpreter lock is held for a whole load, run, reload and
// parseFrames call. Nothing that holds it waits without bound for the GUI
// thread, and the GUI thread never waits without bound for it, so a script
// that sends while the GUI reconfigures the engine cannot freeze the program.
class CLuaScriptEngine : public QObject
{
    Q_OBJECT
public:
    static constexpr qsizetype kRxQueueCap = 0x100000;
    static constexpr int kLoadTimeoutMs = 2000;
    static constexpr int kParserTimeoutMs = 2000;
    static constexpr int kHookInstructions = 10000;
    static constexpr int kWaitSliceMs = 20;
    static constexpr int kQuietMs = 50;
    // A send from the frame parser or a load gives up after this long when
    // the port's thread does not take it.
    static constexpr int kSendWaitMs = 1000;
    // The GUI thread's longest wait for the interpreter; past it a reload is
    // retried from the event loop.
    static constexpr int kGuiLockWaitMs = 50;
    static constexpr int kReloadRetryMs = 50;
    // What one interpreter may allocate before Lua reports "not enough memory".
    static constexpr std::size_t kMemoryCap = std::size_t(1) << 30;

    explicit CLuaScriptEngine(QObject* parent = nullptr);
    ~CLuaScriptEngine() override;

    void setSerialPortManager(SerialPortManager* manager);
    SerialPortManager* serialPortManager() const { return m_portManager; }

    bool loadScript(const QString& path);
    bool setScriptFile(const QString& path);
    bool reloadScript();
    void setEnabled(bool enabled);
    void setMode(int mode);
    QList<QByteArray> parseFrames(const QByteArray& chunk);
    bool startAutomation();
    void stopAutomation();
    void shutdown();

    bool isEnabled() const { return m_enabled.load(); }
    int mode() const { return m_mode.load(); }
    // The worker's question: are received chunks the frame parser's?
    bool isFrameParsing() const { return m_enabled.load() && m_mode.load() == 0; }
    bool isAutomationRunning() const { return m_automationRunning.load(); }
    bool isLoading() const { return m_loading.load(); }
    QString scriptPath() const;
    QString lastError() const;
    quint32 passCount() const { return m_passCount.load(); }
    quint32 failCount() const { return m_failCount.load(); }
    qsizetype queuedBytes() const;
    // For tests and embedders that want a tighter allocation cap.
    void setMemoryLimit(std::size_t bytes) { m_memoryLimit.store(bytes); }
    std::size_t memoryLimit() const { return m_memoryLimit.load(); }

    // Names the Lua side calls back into; public so the C entry points can reach them.
    struct Api;
    friend struct Api;

public Q_SLOTS:
    void enqueueRxData(const QByteArray& data);

Q_SIGNALS:
    void scriptOutput(QString msg);
    void scriptError(QString msg);
    void scriptStateChanged(bool enabled, bool loaded);
    void waveDataReady(QByteArray frames);
    void automationStateChanged(bool running);
    void scriptLoadFinished(bool ok);
    // One cvn_report of an automation run; `elapsedMs` counts from the
    // previous report (or the start of the run).
    void testReported(QString name, bool passed, QString detail, qint64 elapsedMs);

private:
    enum Interrupt
    {
        NoInterrupt,
        StopInterrupt,
        LoadTimeoutInterrupt,
        ParserTimeoutInterrupt,
        ShutdownInterrupt,
    };
    struct Allocator
    {
        std::size_t used = 0;
        const std::atomic<std::size_t>* limit = nullptr;
    };

    static void* allocate(void* ud, void* ptr, std::size_t osize, std::size_t nsize);
    static void countHook(lua_State* L, lua_Debug* ar);

    // Lock held. Closes the old interpreter and opens a new one with the API.
    bool createState();
    void closeState();
    // Lock held, fresh state. The frame-parser script check and top-level run.
    bool validateParserScript(const QString& path);
    bool reloadLocked();
    void retryReload();
    void loadThreadMain(QString path);
    void automationThreadMain();

    Interrupt pendingInterrupt();
    static const char* interruptText(Interrupt reason);
    void writeOutput(const QString& text);
    void writeWave(const QByteArray& frame);
    bool sendDataToPort(const QByteArray& data);
    void clearRxQueue();
    // The shared wait of cvn_receive, cvn_receive_until and cvn_expect.
    Interrupt receiveLoop(qint64 timeoutMs, const QByteArray& pattern, bool quiet, QByteArray* out,
                          bool* found);
    Interrupt sleepMs(qint64 ms);
    void report(const QString& name, bool passed, const QString& detail);
    void setLastError(const QString& text);
    static QString errorObjectText(lua_State* L, int index);

    lua_State* m_L = nullptr;
    Allocator m_alloc;
    std::atomic<std::size_t> m_memoryLimit{kMemoryCap};
    mutable QRecursiveMutex m_lock;

    // Path and last error have their own short lock so the GUI can read
    // them while a script runs.
    mutable QMutex m_textMutex;
    QString m_scriptPath;
    QString m_lastError;

    std::atomic<bool> m_enabled{false};
    std::atomic<int> m_mode{0};
    QString m_collectedText;
    QByteArray m_collectedWave;

    QElapsedTimer m_loadTimer;
    QElapsedTimer m_parseTimer;
    QElapsedTimer m_reportTimer;
    SerialPortManager* m_portManager = nullptr;
    std::atomic<bool> m_portOpen{false};

    mutable QMutex m_queueMutex;
    QWaitCondition m_queueCond;
    QList<QByteArray> m_rxQueue;
    qsizetype m_rxTotal = 0;

    std::thread m_automationThread;
    std::thread m_loadThread;
    std::atomic<quint32> m_passCount{0};
    std::atomic<quint32> m_failCount{0};

    std::atomic<bool> m_stopRequested{false};
    std::atomic<bool> m_automationRunning{false};
    std::atomic<bool> m_shuttingDown{false};
    std::atomic<bool> m_loading{false};
    std::atomic<bool> m_loadWatch{false};
    std::atomic<bool> m_parseWatch{false};
    // A parser that fails on every chunk would raise one message per chunk:
    // only the first is reported until the parser is switched on or loaded again.
    std::atomic<bool> m_parserErrorReported{false};
    std::atomic<bool> m_collecting{false};
    std::atomic<bool> m_reloadPending{false};
    // The frame parser ran past its time; set by the check that raised it.
    std::atomic<bool> m_parseTimedOut{false};
};
