#pragma once

#include "Direct.h"
#include "EscapeFilter.h"
#include "LogStamper.h"
#include "WaveformPane.h"

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
class LogCapture;
class RxChunker;
class SendPanel;
class TrafficCounter;
class FileTransimisionWidget;
class MultiChannelWaveformWidget;
class MultiLineGroupManager;
class WaveformDataGeneratorWidget;
class WaveformManagerWidget;
class DataHandlerWorker;
class FrameAssemblerWidget;
class CLuaScriptWidget;
class InputBox;
class LogWidget;
class QAction;
class QComboBox;
class QFile;
class QKeyEvent;
class QLabel;
class QPushButton;
class QScrollArea;
class QShortcut;
class QSplitter;
class QStackedWidget;
class QThread;
class QTimer;
class QVBoxLayout;
class RxSettingWidget;
class SerialParamWidget;
class SerialPortManager;
class TxSettingWidget;

// The main panel: lays out the port settings, the log, the send input, the
// waveform pane and the tool pages, and wires them to the data path (the
// chunker, the display worker, the stamper, the counters, the send conversion
// and the log capture, all plain classes of their own).
class Session : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kWaveformChannels = WaveformPane::kChannels;

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

    // Where continuous capture writes, and the name "Log Save" writes to.
    static QString logFilePath();
    static QString logSaveFileName(const QString& chosen);
    // Writes the log view's whole text to logSaveFileName(chosen); reports
    // "Log save failed!" when that cannot be done.
    bool saveLogTo(const QString& chosen);
    QFile* logFile() const;

    SerialPortManager* portManager() const { return m_portManager; }
    SerialParamWidget* paramWidget() const { return m_paramWidget; }
    RxSettingWidget* rxSettings() const { return m_rxSetting; }
    TxSettingWidget* txSettings() const { return m_txSetting; }
    InputBox* inputBox() const;
    QComboBox* historyBox() const;
    LogWidget* logWidget() const { return m_logWidget; }
    // Hex bytes per line for the next chunk: the fixed choice, or what the
    // log view's width holds.
    int hexBytesPerLineNow() const;
    CPlainTextEdit* logTextArea() const { return m_logTextArea; }
    qulonglong rxCount() const;
    qulonglong txCount() const;

    CIndicatorButton* settingsToggleButton() const { return m_settingsBtn; }
    QScrollArea* settingsArea() const { return m_settingsArea; }
    CSideBar* sideBar() const { return m_sideBar; }
    QStackedWidget* toolStack() const { return m_toolStack; }
    QWidget* waveformArea() const { return m_waveformPane; }
    QWidget* sendArea() const;
    QLabel* hexTip() const;
    QTimer* repeatTimer() const { return m_repeatTimer; }
    FrameAssemblerWidget* frameAssembler() const { return m_frameAssembler; }
    CLuaScriptWidget* luaScriptWidget() const { return m_luaScriptWidget; }
    MultiLineGroupManager* multiLineManager() const { return m_multiLine; }
    FileTransimisionWidget* fileTransferPanel() const { return m_fileTransfer; }
    WaveformDataGeneratorWidget* dataGenerator() const { return m_generator; }
    WaveformManagerWidget* waveformManager() const { return m_waveformManager; }
    // Null until the waveform is first enabled (or recording starts).
    MultiChannelWaveformWidget* waveformPlot() const { return m_waveformPane->plot(); }
    MultiChannelWaveformWidget* ensureWaveformPlot() { return m_waveformPane->ensurePlot(); }
    QPushButton* recordButton() const { return m_waveformPane->recordButton(); }
    CsvProtocolParser* frameParser() const { return m_waveformPane->parser(); }
    QTimer* drainTimer() const { return m_waveformPane->drainTimer(); }
    qint64 waveformTimestamp() const { return m_waveformPane->timestamp(); }
    CLuaScriptEngine* scriptEngine() const { return m_luaEngine; }

    // "Type into the port": keys pressed in the log go to the device as a
    // terminal would send them (TerminalKeyMapper); Enter sends the Tx line ending.
    bool isTypeIntoPort() const { return m_typeIntoPort; }
    void setTypeIntoPort(bool on);
    QLabel* typeIndicator() const { return m_typeIndicator; }
    QAction* typeIntoPortAction() const { return m_typeAction; }
    // Ctrl+O, Ctrl+Shift+B (break), Ctrl+Shift+R (reset pulse), Ctrl+Shift+K (type mode).
    QList<QShortcut*> shortcuts() const { return m_shortcuts; }
    const LineStamp& lineStamp() const { return m_stamper.lineStamp(); }

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
    // In type-into-port mode the log's keys go to the device.
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
    void onRepeatTimeout();
    void openFontDlg();
    void setRepeatSendTime(int value);
    void enableRepeatSend(bool checked);
    void showTxtBrwContextMenu(QPoint pos);
    void onPortConnected();
    void onPortDisconnected();
    void onWaveformSwitch(bool checked);

private:
    void buildLayout();
    void buildShortcuts();
    // Sends the key to the device in type-into-port mode; true when consumed.
    bool typeKey(QKeyEvent* key);
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
    RxChunker* m_rxChunker = nullptr;
    TrafficCounter* m_counter = nullptr;
    LogCapture* m_logCapture = nullptr;
    LogStamper m_stamper;
    bool m_typeIntoPort = false;
    QLabel* m_typeIndicator = nullptr;
    QAction* m_typeAction = nullptr;
    QList<QShortcut*> m_shortcuts;

    SerialParamWidget* m_paramWidget = nullptr;
    RxSettingWidget* m_rxSetting = nullptr;
    TxSettingWidget* m_txSetting = nullptr;
    LogWidget* m_logWidget = nullptr;
    CPlainTextEdit* m_logTextArea = nullptr;
    SendPanel* m_sendPanel = nullptr;

    QScrollArea* m_settingsArea = nullptr;
    QSplitter* m_hSplitter = nullptr;
    QSplitter* m_vSplitter = nullptr;
    WaveformPane* m_waveformPane = nullptr;
    QWidget* m_logArea = nullptr;
    QStackedWidget* m_toolStack = nullptr;
    FrameAssemblerWidget* m_frameAssembler = nullptr;
    CLuaScriptWidget* m_luaScriptWidget = nullptr;
    MultiLineGroupManager* m_multiLine = nullptr;
    FileTransimisionWidget* m_fileTransfer = nullptr;
    WaveformDataGeneratorWidget* m_generator = nullptr;
    WaveformManagerWidget* m_waveformManager = nullptr;
    CSideBar* m_sideBar = nullptr;
    CIndicatorButton* m_settingsBtn = nullptr;

    QAction* m_fontAction = nullptr;
    QAction* m_clearLogAction = nullptr;

    QTimer* m_repeatTimer = nullptr;
    int m_repeatInterval = 1000;
    // Removes terminal control sequences from received text on its way to the view.
    EscapeFilter m_rxEscapes;

    QThread* m_workerThread = nullptr;
    DataHandlerWorker* m_worker = nullptr;

    CLuaScriptEngine* m_luaEngine = nullptr;
};
