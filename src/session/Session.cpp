#include "Session.h"

#include "AppPaths.h"
#include "AutoReconnector.h"
#include "CIndicatorButton.h"
#include "CLuaScriptEngine.h"
#include "CLuaScriptWidget.h"
#include "CPlainTextEdit.h"
#include "CSideBar.h"
#include "DataHandlerWorker.h"
#include "DisplayWorkerHost.h"
#include "FileTransimisionWidget.h"
#include "FileTransmission.h"
#include "FrameAssemblerWidget.h"
#include "HexDumpLayout.h"
#include "InputBox.h"
#include "LogActions.h"
#include "LogCapture.h"
#include "LogWidget.h"
#include "MultiLineDataManager.h"
#include "MultiLineGroupManager.h"
#include "PortTyping.h"
#include "ProtocolRegistry.h"
#include "RepeatSender.h"
#include "RxChunker.h"
#include "RxSettingWidget.h"
#include "SendPanel.h"
#include "SerialParamWidget.h"
#include "SerialPortManager.h"
#include "StoredScript.h"
#include "TrafficCounter.h"
#include "TxSettingWidget.h"
#include "WaveformDataGeneratorWidget.h"
#include "WaveformManagerWidget.h"
#include "WaveformPane.h"

#include <QDateTime>
#include <QDebug>
#include <QEvent>
#include <QSplitter>
#include <QTime>
#include <QTimer>

Session::Session(QWidget* parent) : QWidget(parent)
{
    m_portManager = new SerialPortManager(this);
    m_portManager->setReadBufferSize(0);
    m_luaEngine = new CLuaScriptEngine(this);
    m_luaEngine->setSerialPortManager(m_portManager);
    m_rxChunker = new RxChunker(this);
    m_counter = new TrafficCounter(this);
    m_logCapture = new LogCapture(this);

    m_paramWidget = new SerialParamWidget(m_portManager, this);
    m_rxSetting = new RxSettingWidget(this);
    m_txSetting = new TxSettingWidget(this);
    m_repeater = new RepeatSender(m_txSetting->repeatInterval(), this);

    m_logWidget = new LogWidget(this);
    m_logTextArea = m_logWidget->textArea();

    m_sendPanel = new SendPanel(this, this);
    m_sendPanel->inputBox()->editor()->setFont(m_logTextArea->font());
    m_logActions = new LogActions(this, m_logTextArea, m_sendPanel->inputBox()->editor());

    m_stamper.setFormat(m_rxSetting->timestampFormat());
    connect(m_rxSetting, &RxSettingWidget::timestampFormatChanged, this,
            [this](int format) { m_stamper.setFormat(format); });

    // The tool pages, one per side-bar item, and the waveform pane over the
    // log that the Chart page steers.
    const auto makeTools = [this] {
        m_multiLine = new MultiLineGroupManager(this);
        m_fileTransfer = new FileTransimisionWidget(this);
        m_fileTransfer->setSerialPortManager(m_portManager);
        m_waveformManager = new WaveformManagerWidget(this);
        m_waveformPane = new WaveformPane(m_waveformManager, m_luaEngine, this);
        m_waveformPane->hide();
        m_luaScriptWidget = new CLuaScriptWidget(m_luaEngine, this);
        m_frameAssembler = new FrameAssemblerWidget(this);
        connect(m_frameAssembler, &FrameAssemblerWidget::writeRequest, this, &Session::onFrameWriteRequest);
        m_generator = new WaveformDataGeneratorWidget(m_portManager, this);
        const QList<QWidget*> pages{m_multiLine,       m_fileTransfer,   m_waveformManager,
                                    m_luaScriptWidget, m_frameAssembler, m_generator};
        return SessionLayout::Tools{pages, m_waveformPane};
    };
    m_layout =
        std::make_unique<SessionLayout>(this, SessionLayout::Parts{m_paramWidget, m_rxSetting, m_txSetting,
                                                                   m_logWidget, m_sendPanel, makeTools});
    m_typing = new PortTyping(this, m_logTextArea, m_layout->typeIndicator, m_portManager, m_paramWidget,
                              m_txSetting);
    connect(m_typing, &PortTyping::portClosed, this, &Session::reportPortClosed);

    // Port manager and port settings.
    connect(m_portManager, &SerialPortManager::dataReceived, this, &Session::readData, Qt::QueuedConnection);
    connect(m_portManager, &SerialPortManager::rxLengthChanged, m_counter, &TrafficCounter::addRx);
    connect(m_portManager, &SerialPortManager::txLengthChanged, m_counter, &TrafficCounter::addTx);
    connect(m_counter, &TrafficCounter::rxCountChanged, this, &Session::rxCountChanged);
    connect(m_counter, &TrafficCounter::txCountChanged, this, &Session::txCountChanged);
    // Chunks are cut on the tick and handed to the display worker, the script
    // engine and the frame parser with the display settings of the moment.
    connect(m_rxChunker, &RxChunker::chunkReady, this, [this](QByteArray chunk, bool startsHexLine) {
        Q_EMIT dataReceived(chunk, m_rxSetting->isHexMode(), m_rxSetting->isAutoWrap(), startsHexLine,
                            hexBytesPerLineNow());
    });
    connect(m_portManager, &SerialPortManager::connected, this, &Session::onPortConnected);
    connect(m_portManager, &SerialPortManager::disconnected, this, &Session::onPortDisconnected);
    connect(m_paramWidget, &SerialParamWidget::baudrateChanged, this, &Session::publishStatus);
    connect(m_paramWidget, &SerialParamWidget::dataBitsChanged, this, &Session::publishStatus);
    connect(m_paramWidget, &SerialParamWidget::parityChanged, this, &Session::publishStatus);
    connect(m_paramWidget, &SerialParamWidget::stopBitsChanged, this, &Session::publishStatus);
    connect(m_paramWidget, &SerialParamWidget::flowCtrlChanged, this, &Session::publishStatus);
    connect(m_paramWidget, &SerialParamWidget::reconnectStatusChanged, this, &Session::showConnectStatus);
    connect(m_paramWidget, &SerialParamWidget::serialErrorOccurred, this, &Session::messageRequested);
    // While the device is away the status shows in the warning style (the main
    // window asks isReconnecting) and the log notes when it left and came back.
    AutoReconnector* reconnector = m_paramWidget->autoReconnector();
    connect(reconnector, &AutoReconnector::reconnectingChanged, this, [this](bool on) {
        if (on)
            showNotice(tr("Device went away at %1, reconnecting...")
                           .arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))));
        publishStatus();
    });
    connect(reconnector, &AutoReconnector::reconnected, this, [this](const QString& location) {
        showNotice(tr("Device is back at %1: %2")
                       .arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")), location));
    });

    // Send path.
    connect(m_txSetting, &TxSettingWidget::repeatSendChanged, this, &Session::enableRepeatSend);
    connect(m_txSetting, &TxSettingWidget::repeatIntervalChanged, this, &Session::setRepeatSendTime);
    m_send = new SendPath(m_portManager, m_txSetting, m_rxSetting, m_sendPanel, m_repeater, this);
    connect(m_send, &SendPath::echo, this, [this](QString line) { showLog(line, Tx); });
    connect(m_send, &SendPath::portClosed, this, &Session::reportPortClosed);
    connect(m_send, &SendPath::messageRequested, this, &Session::messageRequested);
    connect(m_repeater, &RepeatSender::due, this, &Session::onRepeatTimeout);
    connect(m_repeater, &RepeatSender::refused, this, [this] {
        reportPortClosed();
        m_txSetting->uncheckRepeatSend();
    });
    connect(m_sendPanel, &SendPanel::submitted, this, qOverload<>(&Session::writeData));

    // Log view; the file stays closed until "Output Log To File" is checked.
    connect(this, &Session::stringReceived, m_logTextArea, &CPlainTextEdit::insertText, Qt::DirectConnection);
    connect(m_logWidget, &LogWidget::clearBtnClicked, this, &Session::onActionClearTriggered);
    connect(m_logWidget, &LogWidget::saveBtnClicked, this, &Session::onLogSave);
    connect(m_rxSetting, &RxSettingWidget::saveToFileChanged, this, &Session::setSaveLogToFile);
    connect(m_rxSetting, &RxSettingWidget::logFilePathChanged, this, &Session::updateLogFilePath);
    connect(m_logTextArea, &QWidget::customContextMenuRequested, this, &Session::showTxtBrwContextMenu);
    connect(m_logActions, &LogActions::clearRequested, this, &Session::onActionClearTriggered);
    connect(m_logActions, &LogActions::messageRequested, this, &Session::messageRequested);

    // File transfer: received chunks go in from readData; the panel writes
    // through the port manager itself.
    connect(m_fileTransfer, &FileTransimisionWidget::writeRequest, this, [this](QByteArray data) {
        if (m_portManager->isOpen())
            m_portManager->write(data);
    });
    connect(m_fileTransfer, &FileTransimisionWidget::statusTextChanged, this,
            [this](QString text) { showLog(text + QLatin1Char('\n'), Rx); });
    // A busy tool lights its side-bar item: a running transfer, a looping
    // group, a switched-on parser or running automation, a running generator.
    connect(m_fileTransfer, &FileTransimisionWidget::statusChanged, this,
            [this](bool on) { m_layout->setToolActive(SessionLayout::FileTransferPage, on); });
    connect(m_multiLine, &MultiLineGroupManager::writeRequest, this, &Session::onMultiLineWriteRequest);
    connect(m_multiLine, &MultiLineGroupManager::loopSendStatusChanged, this,
            [this](bool on) { m_layout->setToolActive(SessionLayout::MultiLinePage, on); });
    connect(m_luaScriptWidget, &CLuaScriptWidget::runScriptRequested, m_luaEngine,
            &CLuaScriptEngine::startAutomation);
    connect(m_luaScriptWidget, &CLuaScriptWidget::stopScriptRequested, m_luaEngine,
            &CLuaScriptEngine::stopAutomation);
    connect(m_luaScriptWidget, &CLuaScriptWidget::luaEngineStatusChanged, this,
            [this](bool on) { m_layout->setToolActive(SessionLayout::LuaScriptPage, on); });
    connect(m_generator, &WaveformDataGeneratorWidget::statusChanged, this,
            [this](bool on) { m_layout->setToolActive(SessionLayout::GeneratorPage, on); });

    // Waveform: the plot itself is made when the waveform is first enabled.
    connect(m_waveformManager, &WaveformManagerWidget::switchChecked, this, &Session::onWaveformSwitch);
    connect(this, &Session::dataReceived, m_waveformPane, &WaveformPane::feed);

    // Display formatting runs on its own thread; chunks go there and text
    // comes back through queued signals, which keeps their order.
    m_display = new DisplayWorkerHost(m_luaEngine, m_rxSetting->isHexDumpColumns(), this);
    DataHandlerWorker* worker = m_display->worker();
    connect(m_rxSetting, &RxSettingWidget::hexDumpColumnsChanged, worker, &DataHandlerWorker::setDumpLayout,
            Qt::QueuedConnection);
    connect(this, &Session::dataReceived, worker, &DataHandlerWorker::processData, Qt::QueuedConnection);
    connect(worker, &DataHandlerWorker::dataProcessed, this, &Session::showRxData, Qt::QueuedConnection);

    // Script engine. Its signals come from its own threads and the worker's,
    // so they reach us queued; its receive queue is fed directly.
    connect(this, &Session::dataReceived, m_luaEngine, &CLuaScriptEngine::enqueueRxData,
            Qt::DirectConnection);
    connect(m_luaEngine, &CLuaScriptEngine::scriptOutput, this, [this](QString msg) { showLog(msg, Rx); });
    connect(m_luaEngine, &CLuaScriptEngine::scriptError, this,
            [this](QString msg) { Q_EMIT messageRequested(tr("Lua Error: ") + msg + QLatin1Char('\n')); });
    StoredScript::follow(m_luaEngine, this);
    connect(m_luaEngine, &CLuaScriptEngine::waveDataReady, m_waveformPane, &WaveformPane::feedScriptFrames);
    StoredScript::restore(m_luaEngine, this);

    loadHistory();
    // Protocol definitions live beside the program; the assembler only needs
    // rebuilding when something loaded.
    if (ProtocolRegistry::instance().loadFolder(AppPaths::dataPath(QStringLiteral("protocols"))) > 0)
        m_frameAssembler->rebuildPages();
    retranslate();
    publishStatus();
}

Session::~Session()
{
    // Nothing may reach this half-destroyed object any more.
    m_paramWidget->autoReconnector()->disconnect(this);
    for (QObject* sender : std::initializer_list<QObject*>{
             m_portManager, m_paramWidget, m_txSetting, m_rxSetting, m_sendPanel, m_logWidget, m_logTextArea,
             m_layout->sideBar, m_layout->settingsButton, m_fileTransfer, m_waveformManager, m_multiLine,
             m_rxChunker, m_counter, m_generator, m_repeater, m_send, m_typing, m_logActions})
        sender->disconnect(this);
    m_multiLine->stopAll();
    m_luaEngine->disconnect(this);
    m_luaEngine->disconnect(m_waveformPane);
    disconnect(this, &Session::dataReceived, m_luaEngine, nullptr);
    m_repeater->stop();
    m_rxChunker->stop();
    // Wakes the script threads; a parser call on the worker gives up too.
    m_luaEngine->shutdown();

    disconnect(this, &Session::dataReceived, m_display->worker(), nullptr);
    m_display->worker()->disconnect(this);
    m_display->stop();

    disconnect(this, &Session::dataReceived, m_waveformPane, nullptr);
    m_waveformPane->shutdown();
    // Joins the script threads while the port they send through still exists.
    delete m_luaEngine;
    m_luaEngine = nullptr;

    delete m_repeater;
    m_repeater = nullptr;
    delete m_rxChunker;
    m_rxChunker = nullptr;
}

void Session::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
        // The status bar shows our status text; say it again in the new language.
        publishStatus();
    }
    QWidget::changeEvent(event);
}

void Session::retranslate()
{
    m_logActions->retranslate();
    m_sendPanel->retranslate();
    m_waveformPane->retranslate();
    m_typing->retranslate();
    m_layout->retranslate();
}

// ---- status and connection events ------------------------------------------

void Session::publishStatus()
{
    if (!m_portManager->isOpen()) {
        Q_EMIT connectStatusChanged(tr("Disconnect"));
        return;
    }
    const QStringList parts = {m_paramWidget->portName(), m_paramWidget->baudRate(),
                               m_paramWidget->dataBits(), m_paramWidget->parity(),
                               m_paramWidget->stopBits(), m_paramWidget->flowControl()};
    Q_EMIT connectStatusChanged(parts.join(QStringLiteral(", ")));
}

bool Session::isReconnecting() const
{
    return m_paramWidget->isReconnecting();
}

void Session::showNotice(const QString& line)
{
    // Received text comes back from the worker thread; the notice takes the
    // same round trip so it lands after the bytes that arrived before it.
    m_display->afterPending(this, [this, line] {
        // A line of its own, even when the device stopped mid-line.
        if (m_rxSetting->isShowLog())
            Q_EMIT stringReceived(m_stamper.notice(line));
    });
}

void Session::reportPortClosed()
{
    // While the port is being reopened a modal box would only get in the way:
    // the log says why nothing went out.
    if (isReconnecting())
        showNotice(tr("Not sent: the port is reconnecting"));
    else
        Q_EMIT messageRequested(tr("Please open serial port!"));
}

bool Session::openPortAtStart(const QString& portOrPath, const QString& baud)
{
    if (!baud.trimmed().isEmpty())
        m_paramWidget->setBaudText(baud);
    if (!m_paramWidget->selectPort(portOrPath)) {
        Q_EMIT messageRequested(tr("Serial port not found: %1").arg(portOrPath));
        return false;
    }
    // A failed open is reported by the port settings panel itself.
    m_paramWidget->openPort();
    return m_portManager->isOpen();
}

void Session::onPortConnected()
{
    qDebug().noquote() << "[session] port connected!";
    m_stamper.markOpened(QDateTime::currentDateTime());
    m_rxChunker->start();
    publishStatus();
    m_layout->settingsButton->setIndicatorColor(Qt::red);
}

void Session::onPortDisconnected()
{
    qDebug().noquote() << "[session] port disconnected!";
    onDeviceDisconnected();
}

void Session::onDeviceDisconnected()
{
    // The last bytes before a device resets or goes away are often the ones
    // the user needs: show them rather than drop them.
    m_rxChunker->flush();
    m_rxChunker->discard();
    m_rxChunker->stop();
    m_txSetting->uncheckRepeatSend();
    m_repeater->stop();
    m_multiLine->stopAll();
    m_layout->settingsButton->setIndicatorColor(Qt::transparent);
    publishStatus();
}

// ---- receive pipeline ------------------------------------------------------

void Session::readData(QByteArray data)
{
    if (data.isEmpty())
        return;
    m_fileTransfer->rawDataReceived(data);
    m_rxChunker->append(data);
}

int Session::hexBytesPerLineNow() const
{
    const int fixed = m_rxSetting->hexBytesPerLine();
    if (fixed > 0)
        return fixed;
    // "Auto": as many whole groups of eight as the log shows without
    // scrolling sideways, the line's stamp taken off.
    const CPlainTextEdit* view = m_logWidget->textArea();
    int columns =
        view->viewport()->width() / qMax(1, view->fontMetrics().horizontalAdvance(QLatin1Char('0')));
    if (m_rxSetting->isShowTimestamp())
        columns -= m_stamper.prefixWidth(QDateTime::currentDateTime());
    if (m_rxSetting->isHexDumpColumns())
        return HexDumpLayout::bytesPerLineForColumns(columns);
    return qBound(8, columns / 3 / 8 * 8, HexDumpLayout::kMaxBytesPerLine);
}

void Session::showLog(QString str, Direct direct)
{
    const QString text = m_stamper.stamp(str, direct, m_rxSetting->isShowTimestamp());
    if (text.isEmpty())
        return;
    // Captured whether or not the log view shows it.
    if (m_rxSetting->isSaveToFile() && m_logCapture->isOpen())
        writeLogFile(text);
    // Terminal control sequences are removed for the view only (the capture
    // keeps the bytes as they came); one cut between two received chunks is
    // completed by the next one. With "ANSI colours" on the log view reads
    // them itself, colour codes included.
    const bool filter = direct == Rx && !m_logTextArea->ansiColours();
    const QString shown = filter ? m_rxEscapes.filter(text) : text;
    if (m_rxSetting->isShowLog() && !shown.isEmpty())
        Q_EMIT stringReceived(shown);
}

bool Session::writeLogFile(const QString& text)
{
    if (m_logCapture->write(text))
        return true;
    // A full disk or a vanished folder: say so once and switch capture off,
    // so that its box does not claim a capture that no longer happens.
    m_rxSetting->uncheckSaveToFile();
    Q_EMIT messageRequested(tr("Log file write failed: %1").arg(m_logCapture->errorString()));
    return false;
}

// ---- log capture and saving -------------------------------------------------------

bool Session::openLogFile()
{
    if (m_logCapture->open())
        return true;
    m_rxSetting->uncheckSaveToFile();
    Q_EMIT messageRequested(tr("Open log file failed!\n"));
    return false;
}

void Session::setSaveLogToFile(bool checked)
{
    m_logCapture->close();
    if (checked)
        openLogFile();
}

void Session::onActionClearTriggered()
{
    m_logTextArea->reset();
    m_display->resetDumpOffset();
    m_counter->reset();
    m_stamper.reset();
}

// ---- send path ---------------------------------------------------------------

void Session::onMultiLineWriteRequest(QString data)
{
    if (!m_portManager->isOpen()) {
        m_multiLine->stopAll();
        Q_EMIT messageRequested(tr("Please open serial port!"));
        return;
    }
    m_send->send(data);
}

void Session::loadHistory()
{
    m_sendPanel->loadHistory();
    m_multiLine->importFile(MultiLineDataManager::defaultPath());
    // Said once the window is up and listening.
    if (const QString notice = m_multiLine->takeLoadNotice(); !notice.isEmpty())
        QTimer::singleShot(0, this, [this, notice] { Q_EMIT messageRequested(notice); });
}

void Session::enableRepeatSend(bool checked)
{
    m_repeater->setEnabled(checked, m_portManager->isOpen());
}

// ---- shutdown ------------------------------------------------------------------

void Session::shutdown()
{
    m_rxChunker->stop();
    m_repeater->stop();
    m_multiLine->stopAll();
    m_generator->stop();
    m_waveformPane->drainTimer()->stop();
    // A running transfer tells its receiver it is over before the port goes.
    m_fileTransfer->transmission()->stopTransmission();
    saveHistory();
    m_multiLine->saveFile(MultiLineDataManager::defaultPath());
    if (m_portManager->isOpen())
        m_portManager->closePort();
}

// ---- waveform ---------------------------------------------------------------

void Session::onWaveformSwitch(bool checked)
{
    if (checked)
        m_waveformPane->ensurePlot();
    m_waveformPane->setVisible(checked);
    m_layout->vSplitter->setSizes({400, 0});
    m_sendPanel->setVisible(!checked);
    m_layout->setToolActive(SessionLayout::WaveformPage, checked);
}
