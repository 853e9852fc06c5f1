#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QTextStream;
class QTimer;
class Protocol;
class XMODEM;
class YMODEM;
class ZMODEM;

// Sends one file through the session's port: line by line as text, as raw
// blocks, or through one of the protocol engines. It never touches the port:
// every byte to send leaves through writeRequest, and the panel hands the
// received bytes to onRawDataReceived. Nor does it show any window: openFile()
// asks whoever shows the file dialog through fileSelectionRequested, and the
// chosen path comes back through openFilePath().
class FileTransmission : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool active READ isActive NOTIFY activeChanged)
    Q_PROPERTY(bool fileOpen READ isFileOpen NOTIFY fileChanged)
    Q_PROPERTY(int errorCount READ errorCount NOTIFY errorCountChanged)
    Q_PROPERTY(int transferMode READ transferMode WRITE setTransferMode NOTIFY transferModeChanged)
    Q_PROPERTY(QString fileName READ fileName NOTIFY fileChanged)
    Q_PROPERTY(QString statusText READ statusText NOTIFY statusTextChanged)
    Q_PROPERTY(QString transferSpeed READ transferSpeed NOTIFY transferSpeedChanged)
    Q_PROPERTY(qint64 bytesTotal READ bytesTotal NOTIFY progressChanged)
    Q_PROPERTY(qint64 bytesSent READ bytesSent NOTIFY progressChanged)
    Q_PROPERTY(int transmissionProgress READ transmissionProgress NOTIFY progressChanged)
    Q_PROPERTY(int lineTransmissionInterval READ lineTransmissionInterval WRITE setLineTransmissionInterval
                   NOTIFY lineTransmissionIntervalChanged)
    Q_PROPERTY(int blockSize READ blockSize WRITE setBlockSize NOTIFY blockSizeChanged)
    Q_PROPERTY(
        int protocolTimeout READ protocolTimeout WRITE setProtocolTimeout NOTIFY protocolTimeoutChanged)
    Q_PROPERTY(int maxRetries READ maxRetries WRITE setMaxRetries NOTIFY maxRetriesChanged)
    Q_PROPERTY(QStringList transferModes READ transferModes NOTIFY languageChanged)
    Q_PROPERTY(QStringList logEntries READ logEntries NOTIFY logChanged)
    Q_PROPERTY(bool runtimeAccessAllowed READ runtimeAccessAllowed WRITE setRuntimeAccessAllowed NOTIFY
                   runtimeAccessAllowedChanged)

public:
    // How the last transfer ended.
    enum Outcome
    {
        NotStarted = 0,
        Running,
        Succeeded,
        Failed,
        Skipped, // the receiver declined the file
        Stopped, // stopped by the user or the caller
    };
    Q_ENUM(Outcome)

    enum TransferMode
    {
        PlainText = 0,
        RawBinary,
        XModem,
        XModem1K,
        YModem,
        ZModem
    };
    Q_ENUM(TransferMode)

    explicit FileTransmission(QObject* parent = nullptr);
    ~FileTransmission() override;

    bool isActive() const;
    bool isFileOpen() const;
    int errorCount() const { return m_errorCount; }
    int transferMode() const { return m_transferMode; }
    QString fileName() const;
    QString filePath() const { return m_filePath; }
    QString statusText() const { return m_statusText; }
    QString transferSpeed() const { return m_transferSpeed; }
    qint64 bytesTotal() const { return m_bytesTotal; }
    qint64 bytesSent() const { return m_bytesSent; }
    // Percent of the bytes that have left; a protocol transfer shows 100 only
    // once the receiver has confirmed the end.
    int transmissionProgress() const;
    Outcome outcome() const { return m_outcome; }
    int lineTransmissionInterval() const;
    int blockSize() const { return m_blockSize; }
    int protocolTimeout() const { return m_protocolTimeout; }
    int maxRetries() const { return m_maxRetries; }
    QStringList transferModes() const;
    QStringList logEntries() const { return m_logEntries; }
    bool runtimeAccessAllowed() const { return m_runtimeAccessAllowed; }

    // The engines, created with the controller (XMODEM serves both XMODEM modes).
    XMODEM* xmodem() const { return m_xmodem; }
    YMODEM* ymodem() const { return m_ymodem; }
    ZMODEM* zmodem() const { return m_zmodem; }

    // "%1 B/s" up to 1023, "%1 KB/s" with one decimal, "%1 MB/s" with two
    // decimals above 1,048,575.
    static QString formatSpeed(qint64 bytesPerSecond);

    // The file-selection step without the dialog: closes an open file, opens
    // `path` read-only and resets the counts. False when it cannot be opened.
    Q_INVOKABLE bool openFilePath(const QString& path);

signals:
    void fileChanged();
    void logChanged();
    void activeChanged();
    void progressChanged();
    void blockSizeChanged();
    void languageChanged();
    void maxRetriesChanged();
    void statusTextChanged();
    void statusTextChanged2(QString message);
    void errorCountChanged();
    void transferModeChanged();
    void transferSpeedChanged();
    void protocolTimeoutChanged();
    void runtimeAccessAllowedChanged();
    void lineTransmissionIntervalChanged();
    void writeRequest(QByteArray data);
    // openFile() wants a file chosen, starting at `startPath`.
    void fileSelectionRequested(QString startPath);

public slots:
    void openFile();
    void closeFile();
    void clearLog();
    void stopTransmission();
    void beginTransmission();
    void setupExternalConnections();
    void setBlockSize(int bytes);
    void setMaxRetries(int retries);
    void setTransferMode(int mode);
    void setProtocolTimeout(int msec);
    void setLineTransmissionInterval(int ms);
    void setRuntimeAccessAllowed(bool allowed);
    void onRawDataReceived(const QByteArray& data);
    // Bytes of ours the port still holds; forwarded to the engines, and plain
    // or raw ticks are skipped while more than a block is still queued.
    void setPendingOutput(qint64 bytes);

    void sendLine();
    void sendRawBlock();
    void updateTransferSpeed();

    void onProtocolFinished(bool success, const QString& errorMessage);
    void onProtocolProgress(qint64 sent, qint64 total);
    void onProtocolStatus(const QString& message);
    void onProtocolWriteRequested(const QByteArray& data);

private:
    Protocol* currentEngine() const;
    void appendLog(const QString& message);
    void setStatusText(const QString& text);
    void rewindFile();
    void createTextStream();
    bool sendQueueFull() const;
    // Plain or raw sending ends here; the bytes handed out have all left.
    void completePlain(const QString& logText);
    void onPlainStalled();

    QFile m_file;
    QString m_filePath;
    std::unique_ptr<QTextStream> m_stream;
    QTimer* m_sendTimer = nullptr;
    XMODEM* m_xmodem = nullptr;
    YMODEM* m_ymodem = nullptr;
    ZMODEM* m_zmodem = nullptr;

    int m_transferMode = PlainText;
    QString m_statusText;
    QString m_transferSpeed;
    QStringList m_logEntries;
    qint64 m_bytesSent = 0;
    qint64 m_bytesTotal = 0;
    int m_errorCount = 0;
    int m_blockSize = 1024;
    int m_maxRetries = 10;
    int m_protocolTimeout = 10000;
    bool m_runtimeAccessAllowed = false;
    qint64 m_pendingOutput = 0;
    Outcome m_outcome = NotStarted;
    // Plain and raw sending: the port's queue has not moved for this long.
    QTimer* m_plainStallTimer = nullptr;

    QElapsedTimer m_speedClock;
    QTimer* m_speedTimer = nullptr;
    qint64 m_lastSpeedBytes = 0;
};
