#pragma once

#include "Direct.h"
#include "EscapeFilter.h"
#include "LinePrefixer.h"

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QString>
#include <QWidget>

class CIndicatorButton;
class CLuaScriptEngine;
class CPlainTextEdit;
class CSideBar;
class CsvProtocolParser;
class FileTransimisionWidget;
class MultiChannelWaveformWidget;
class MultiLineGroupManager;
class WaveformManagerWidget;
class DataHandlerWorker;
class FrameAssemblerWidget;
class InputBox;
class LogWidget;
class QAction;
class QComboBox;
class QFile;
class QLabel;
class QPushButton;
class QScrollArea;
class QSplitter;
class QStackedWidget;
class QThread;
class QTimer;
class QVBoxLayout;
class RxSettingWidget;
class SerialParamWidget;
class SerialPortManager;
class TxSettingWidget;

// The main panel and the hub of the data path: it owns the port, buffers what
// arrives, cuts it into display chunks on a fixed tick, has them formatted on
// a worker thread, stamps the lines and feeds the log; and it sends what the
// user types, echoing it into the log.
class Session : public QWidget
{
    Q_OBJECT
public:
    static constexpr qsizetype kRxBufferReserve = 5 * 1024 * 1024;
    static constexpr int kRxTickMs = 20;
    static constexpr int kGapMs = 5;
    static constexpr int kHexTipMs = 2000;
    static constexpr int kDrainMs = 100;
    static constexpr int kWaveformChannels = 16;

    explicit Session(QWidget* parent = nullptr);
    ~Session() override;

    // Called by the main window when it closes.
    void shutdown();
    // Emits connectStatusChanged ("Disconnect" while the port is closed).
    void publishStatus();
    // The port's device went away and is being reopened.
    bool isReconnecting() const;
    // Command line: select the port (name or path) and the baud text if given,
    // then open. False when the port is unknown or did not open.
    bool openPortAtStart(const QString& portOrPath, const QString& baud);
    // Writes the send history file from the drop-down, in its order.
    bool saveHistory();

    // Where continuous capture writes: LogSavePath + "/" + LogFileName.
    static QString logFilePath();
    // The name "Log Save" writes to: ".dat" is appended unless the last
    // dot-separated piece of `chosen` already contains "dat".
    static QString logSaveFileName(const QString& chosen);
    // Writes the log view's whole text to logSaveFileName(chosen); reports
    // "Log save failed!" when that cannot be done.
    bool saveLogTo(const QString& chosen);
    QFile* logFile() const { return m_logFile; }

    SerialPortManager* portManager() const { return m_portManager; }
    SerialParamWidget* paramWidget() const { return m_paramWidget; }
    RxSettingWidget* rxSettings() const { return m_rxSetting; }
    TxSettingWidget* txSettings() const { return m_txSetting; }
    InputBox* inputBox() const { return m_inputBox; }
    QComboBox* historyBox() const { return m_historyBox; }
    LogWidget* logWidget() const { return m_logWidget; }
    // Hex bytes per line for the next chunk: the fixed choice, or what the
    // log view's width holds.
    int hexBytesPerLineNow() const;
    CPlainTextEdit* logTextArea() const { return m_logTextArea; }
    qulonglong rxCount() const { return m_rxCount; }
    qulonglong txCount() const { return m_txCount; }

    CIndicatorButton* settingsToggleButton() const { return m_settingsBtn; }
    QScrollArea* settingsArea() const { return m_settingsArea; }
    CSideBar* sideBar() const { return m_sideBar; }
    QStackedWidget* toolStack() const { return m_toolStack; }
    QWidget* waveformArea() const { return m_waveformArea; }
    QWidget* sendArea() const { return m_sendArea; }
    QLabel* hexTip() const { return m_hexTip; }
    QTimer* repeatTimer() const { return m_repeatTimer; }
    FrameAssemblerWidget* frameAssembler() const { return m_frameAssembler; }
    MultiLineGroupManager* multiLineManager() const { return m_multiLine; }
    FileTransimisionWidget* fileTransferPanel() const { return m_fileTransfer; }
    WaveformManagerWidget* waveformManager() const { return m_waveformManager; }
    // Null until the waveform is first enabled (or recording starts).
    MultiChannelWaveformWidget* waveformPlot() const { return m_waveformPlot; }
    MultiChannelWaveformWidget* ensureWaveformPlot();
    QPushButton* recordButton() const { return m_recordBtn; }
    CsvProtocolParser* frameParser() const { return m_parser; }
    QTimer* drainTimer() const { return m_drainTimer; }
    qint64 waveformTimestamp() const { return m_waveformTimestamp; }
    CLuaScriptEngine* scriptEngine() const { return m_luaEngine; }

Q_SIGNALS:
    void dataReceived(QByteArray data, bool isHexMode, bool isAutoWrap, bool addHexNewLine,
                      int hexBytesPerLine);
    void stringReceived(QString text);
    void connectStatusChanged(QString msg);
    void rxCountChanged(qulonglong rx);
    void txCountChanged(qulonglong tx);
    void messageRequested(QString text);

public Q_SLOTS:
    void setSaveLogToFile(bool checked);
    void updateLogFilePath();
    // The log view's save button: asks for a file and saves the log there.
    void onLogSave();
    // Frame assembler entry point: the bytes go out as they are, whatever the
    // Tx hex setting, and are echoed as upper-case hex.
    void onFrameWriteRequest(QByteArray data);
    // Multi-line entry point: a closed port stops every loop and says so.
    void onMultiLineWriteRequest(QString data);

protected:
    void changeEvent(QEvent* event) override;
    // The record shortcut (R) is taken application-wide, but never from a
    // widget that is being typed into.
    bool eventFilter(QObject* watched, QEvent* event) override;

private Q_SLOTS:
    void showConnectStatus(QString msg);
    void recordTxToHistoryBox(QString text);
    void loadHistory();
    void showLog(QString str, Direct direct);
    void showRxData(QString str);
    void readData(QByteArray data);
    void dataHandler();
    void writeData();
    void writeData(QString data);
    QString writeData(QString data, bool isHexMode, QString wrapLineStr);
    void onDeviceDisconnected();
    void onActionClearTriggered();
    void onRxTimeout();
    void onRepeatTimeout();
    void openFontDlg();
    void setRepeatSendTime(int value);
    void enableRepeatSend(bool checked);
    void showTxtBrwContextMenu(QPoint pos);
    void showInputContextMenu(QPoint pos);
    void onPortConnected();
    void onPortDisconnected();
    void onGapTimeout();
    void onEditorFocused();
    void onRecordToggled(bool checked);
    void onDrainTimeout();
    void onWaveformSwitch(bool checked);
    // Queues a received chunk for the frame parser while recording.
    void feedFrameParser(QByteArray data);

private:
    void buildLayout();
    void retranslate();
    // Echoes sent text into the log as "Show Send", "Auto Wrap" and "Show Log" say.
    void echoSent(QString shown);
    // A line of the program's own in the log view, after what was received so far.
    void showNotice(const QString& line);
    // A send found the port closed: a modal box, or a log line while reconnecting.
    void reportPortClosed();
    // Opens the capture file for appending; on failure unchecks the box and says so.
    bool openLogFile();
    // True when `text` converts to bytes as typed; otherwise tells the user
    // which groups are not hex.
    bool checkHexInput(const QString& text);
    // Appends to the capture file; on failure switches capture off and says so.
    bool writeLogFile(const QString& text);

    SerialPortManager* m_portManager = nullptr;
    QByteArray m_rxBuffer;

    SerialParamWidget* m_paramWidget = nullptr;
    RxSettingWidget* m_rxSetting = nullptr;
    TxSettingWidget* m_txSetting = nullptr;
    LogWidget* m_logWidget = nullptr;
    CPlainTextEdit* m_logTextArea = nullptr;
    InputBox* m_inputBox = nullptr;
    QComboBox* m_historyBox = nullptr;

    QScrollArea* m_settingsArea = nullptr;
    QSplitter* m_hSplitter = nullptr;
    QSplitter* m_vSplitter = nullptr;
    QWidget* m_waveformArea = nullptr;
    QLabel* m_waveformTitle = nullptr;
    QVBoxLayout* m_waveLayout = nullptr;
    QWidget* m_logArea = nullptr;
    QWidget* m_sendArea = nullptr;
    QStackedWidget* m_toolStack = nullptr;
    QList<QLabel*> m_toolPages; // null where a real panel sits
    FrameAssemblerWidget* m_frameAssembler = nullptr;
    MultiLineGroupManager* m_multiLine = nullptr;
    FileTransimisionWidget* m_fileTransfer = nullptr;
    WaveformManagerWidget* m_waveformManager = nullptr;
    MultiChannelWaveformWidget* m_waveformPlot = nullptr;
    QPushButton* m_recordBtn = nullptr;
    CSideBar* m_sideBar = nullptr;
    CIndicatorButton* m_settingsBtn = nullptr;
    QLabel* m_hexTip = nullptr;
    QTimer* m_hexTipTimer = nullptr;

    qulonglong m_rxCount = 0;
    qulonglong m_txCount = 0;

    QAction* m_fontAction = nullptr;
    QAction* m_clearLogAction = nullptr;
    QAction* m_copyAction = nullptr;
    QAction* m_pasteAction = nullptr;
    QAction* m_clearAction = nullptr;

    QTimer* m_repeatTimer = nullptr;
    int m_repeatInterval = 1000;
    QTimer* m_rxTimer = nullptr;
    QTimer* m_gapTimer = nullptr;
    // The stream paused (gap timer fired) since the last arrival.
    bool m_gapElapsed = false;
    // The next chunk starts a fresh hex line.
    bool m_newHexLine = false;
    // Holds the at-line-start flag of the timestamp rule.
    LinePrefixer m_prefixer;
    // Removes terminal control sequences from received text on its way to the view.
    EscapeFilter m_rxEscapes;

    QFile* m_logFile = nullptr;

    QThread* m_workerThread = nullptr;
    DataHandlerWorker* m_worker = nullptr;

    QTimer* m_drainTimer = nullptr;
    QThread* m_parserThread = nullptr;
    CsvProtocolParser* m_parser = nullptr;
    qint64 m_waveformTimestamp = 0;

    CLuaScriptEngine* m_luaEngine = nullptr;
};
