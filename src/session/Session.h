#pragma once

#include "Direct.h"
#include "EscapeFilter.h"
#include "LogActions.h"
#include "LogCapture.h"
#include "LogStamper.h"
#include "PortTyping.h"
#include "RepeatSender.h"
#include "RxChunker.h"
#include "SendPanel.h"
#include "SendPath.h"
#include "SessionLayout.h"
#include "TrafficCounter.h"
#include "WaveformPane.h"

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QString>
#include <QWidget>

#include <memory>

class CIndicatorButton;
class CLuaScriptEngine;
class CPlainTextEdit;
class CSideBar;
class CsvProtocolParser;
class DisplayWorkerHost;
class LogActions;
class LogCapture;
class RepeatSender;
class RxChunker;
class SendPanel;
class TrafficCounter;
class FileTransimisionWidget;
class MultiChannelWaveformWidget;
class MultiLineGroupManager;
class WaveformDataGeneratorWidget;
class WaveformManagerWidget;
class FrameAssemblerWidget;
class CLuaScriptWidget;
class InputBox;
class LogWidget;
class QAction;
class QComboBox;
class QFile;
class QLabel;
class QPushButton;
class QScrollArea;
class QShortcut;
class QStackedWidget;
class QTimer;
class RxSettingWidget;
class SerialParamWidget;
class SerialPortManager;
class TxSettingWidget;

// The main panel: owns the port settings, the log, the send input, the
// waveform pane and the tool pages (arranged by SessionLayout), and wires them
// to the data path (the chunker, the display worker, the stamper, the
// counters, the send conversion, repeat sending and the log capture, all
// classes of their own).
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
    bool saveHistory() { return m_sendPanel->saveHistory(); }

    // Where continuous capture writes, and the name "Log Save" writes to.
    static QString logFilePath() { return LogCapture::capturePath(); }
    static QString logSaveFileName(const QString& chosen) { return LogCapture::saveFileName(chosen); }
    // Writes the log view's whole text to logSaveFileName(chosen); reports
    // "Log save failed!" when that cannot be done.
    bool saveLogTo(const QString& chosen) { return m_logActions->saveTo(chosen); }
    QFile* logFile() const { return m_logCapture->file(); }

    SerialPortManager* portManager() const { return m_portManager; }
    SerialParamWidget* paramWidget() const { return m_paramWidget; }
    RxSettingWidget* rxSettings() const { return m_rxSetting; }
    TxSettingWidget* txSettings() const { return m_txSetting; }
    InputBox* inputBox() const { return m_sendPanel->inputBox(); }
    QComboBox* historyBox() const { return m_sendPanel->historyBox(); }
    LogWidget* logWidget() const { return m_logWidget; }
    // Hex bytes per line for the next chunk: the fixed choice, or what the
    // log view's width holds.
    int hexBytesPerLineNow() const;
    CPlainTextEdit* logTextArea() const { return m_logTextArea; }
    qulonglong rxCount() const { return m_counter->rx(); }
    qulonglong txCount() const { return m_counter->tx(); }

    CIndicatorButton* settingsToggleButton() const { return m_layout->settingsButton; }
    QScrollArea* settingsArea() const { return m_layout->settingsArea; }
    CSideBar* sideBar() const { return m_layout->sideBar; }
    QStackedWidget* toolStack() const { return m_layout->toolStack; }
    QWidget* waveformArea() const { return m_waveformPane; }
    QWidget* sendArea() const { return m_sendPanel; }
    QLabel* hexTip() const { return m_sendPanel->hexTip(); }
    QTimer* repeatTimer() const { return m_repeater->timer(); }
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
    bool isTypeIntoPort() const { return m_typing->isOn(); }
    void setTypeIntoPort(bool on) { m_typing->setOn(on); }
    QLabel* typeIndicator() const { return m_typing->indicator(); }
    QAction* typeIntoPortAction() const { return m_typing->action(); }
    // Ctrl+O, Ctrl+Shift+B (break), Ctrl+Shift+R (reset pulse), Ctrl+Shift+K (type mode).
    QList<QShortcut*> shortcuts() const { return m_typing->shortcuts(); }
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
    void updateLogFilePath() { openLogFile(); }
    // The log view's save button: asks for a file and saves the log there.
    void onLogSave() { m_logActions->saveWithDialog(); }
    // Frame assembler entry point: the bytes go out as they are, whatever the
    // Tx hex setting, and are echoed as upper-case hex.
    void onFrameWriteRequest(QByteArray data) { m_send->sendFrame(data); }
    // Multi-line entry point: a closed port stops every loop and says so.
    void onMultiLineWriteRequest(QString data);

protected:
    void changeEvent(QEvent* event) override;

private Q_SLOTS:
    void showConnectStatus(QString msg) { Q_EMIT connectStatusChanged(msg); }
    void recordTxToHistoryBox(QString text) { m_sendPanel->recordToHistory(text); }
    void loadHistory();
    void showLog(QString str, Direct direct);
    void showRxData(QString str) { showLog(str, Rx); }
    void readData(QByteArray data);
    void dataHandler() { m_rxChunker->flush(); }
    // The send button, a text as typed, and a text converted as asked (the
    // text to echo comes back; empty when nothing went out): see SendPath.
    void writeData() { m_send->sendInput(); }
    void writeData(QString data) { m_send->send(data); }
    QString writeData(QString data, bool isHexMode, QString wrapLineStr)
    {
        return m_send->write(data, isHexMode, wrapLineStr);
    }
    void onDeviceDisconnected();
    void onActionClearTriggered();
    void onRepeatTimeout() { m_send->repeatTick(); }
    void openFontDlg() { m_logActions->openFontDialog(); }
    void setRepeatSendTime(int value) { m_repeater->setInterval(value); }
    void enableRepeatSend(bool checked);
    void showTxtBrwContextMenu(QPoint) { m_logActions->showContextMenu(); }
    void onPortConnected();
    void onPortDisconnected();
    void onWaveformSwitch(bool checked);

private:
    void retranslate();
    // A line of the program's own in the log view, after what was received so far.
    void showNotice(const QString& line);
    // A send found the port closed: a modal box, or a log line while reconnecting.
    void reportPortClosed();
    // Opens the capture file for appending; on failure unchecks the box and says so.
    bool openLogFile();
    // Appends to the capture file; on failure switches capture off and says so.
    bool writeLogFile(const QString& text);

    SerialPortManager* m_portManager = nullptr;
    RxChunker* m_rxChunker = nullptr;
    TrafficCounter* m_counter = nullptr;
    LogCapture* m_logCapture = nullptr;
    LogStamper m_stamper;

    SerialParamWidget* m_paramWidget = nullptr;
    RxSettingWidget* m_rxSetting = nullptr;
    TxSettingWidget* m_txSetting = nullptr;
    LogWidget* m_logWidget = nullptr;
    CPlainTextEdit* m_logTextArea = nullptr;
    SendPanel* m_sendPanel = nullptr;
    LogActions* m_logActions = nullptr;
    std::unique_ptr<SessionLayout> m_layout;
    PortTyping* m_typing = nullptr;

    WaveformPane* m_waveformPane = nullptr;
    FrameAssemblerWidget* m_frameAssembler = nullptr;
    CLuaScriptWidget* m_luaScriptWidget = nullptr;
    MultiLineGroupManager* m_multiLine = nullptr;
    FileTransimisionWidget* m_fileTransfer = nullptr;
    WaveformDataGeneratorWidget* m_generator = nullptr;
    WaveformManagerWidget* m_waveformManager = nullptr;

    RepeatSender* m_repeater = nullptr;
    SendPath* m_send = nullptr;
    // Removes terminal control sequences from received text on its way to the view.
    EscapeFilter m_rxEscapes;

    DisplayWorkerHost* m_display = nullptr;

    CLuaScriptEngine* m_luaEngine = nullptr;
};
