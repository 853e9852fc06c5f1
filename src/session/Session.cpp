#include "Session.h"

#include "AppConfig.h"
#include "AppPaths.h"
#include "AutoReconnector.h"
#include "CIndicatorButton.h"
#include "CLuaScriptEngine.h"
#include "CLuaScriptWidget.h"
#include "CMenu.h"
#include "CPlainTextEdit.h"
#include "CSideBar.h"
#include "DataHandlerWorker.h"
#include "FileTransimisionWidget.h"
#include "FileTransmission.h"
#include "FrameAssemblerWidget.h"
#include "HexDumpLayout.h"
#include "HexInputCheck.h"
#include "HexText.h"
#include "IconHelper.h"
#include "InputBox.h"
#include "LogCapture.h"
#include "LogWidget.h"
#include "ModemLines.h"
#include "MultiLineDataManager.h"
#include "MultiLineGroupManager.h"
#include "ProtocolRegistry.h"
#include "RxChunker.h"
#include "RxSettingWidget.h"
#include "SendConverter.h"
#include "SendPanel.h"
#include "SerialParamWidget.h"
#include "SerialPortManager.h"
#include "StyleHelper.h"
#include "TerminalKeyMapper.h"
#include "TrafficCounter.h"
#include "TxSettingWidget.h"
#include "WaveformDataGeneratorWidget.h"
#include "WaveformManagerWidget.h"
#include "WaveformPane.h"

#include <QAction>
#include <QComboBox>
#include <QCursor>
#include <QDateTime>
#include <QDebug>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStackedWidget>
#include <QThread>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>

#include <climits>
#include <iterator>

namespace {

// Side-bar entries in id order: glyph and source text of the tool's name.
struct ToolItem
{
    char32_t glyph;
    const char* name;
};
const ToolItem kToolItems[] = {
    {IconHelper::PhListBullets, QT_TRANSLATE_NOOP("Session", "Multi Line Send")},
    {IconHelper::PhArrowsDownUp, QT_TRANSLATE_NOOP("Session", "File Transmision")},
    {IconHelper::PhChartLine, QT_TRANSLATE_NOOP("Session", "Chart")},
    {IconHelper::PhCode, QT_TRANSLATE_NOOP("Session", "Lua Script")},
    {IconHelper::PhBracketsCurly, QT_TRANSLATE_NOOP("Session", "Frame Assembler")},
    {IconHelper::PhWaveSine, QT_TRANSLATE_NOOP("Session", "Waveform Data Generator")},
};
constexpr int kMultiLinePage = 0;
constexpr int kFileTransferPage = 1;
constexpr int kWaveformPage = 2;
constexpr int kLuaScriptPage = 3;
constexpr int kGeneratorPage = 5;

} // namespace

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
    m_repeatInterval = m_txSetting->repeatInterval();

    m_logWidget = new LogWidget(this);
    m_logTextArea = m_logWidget->textArea();

    m_sendPanel = new SendPanel(this, this);
    m_sendPanel->inputBox()->editor()->setFont(m_logTextArea->font());

    m_fontAction = new QAction(this);
    m_clearLogAction = new QAction(this);

    m_typeAction = new QAction(this);
    m_typeAction->setCheckable(true);
    connect(m_typeAction, &QAction::toggled, this, &Session::setTypeIntoPort);
    m_stamper.setFormat(m_rxSetting->timestampFormat());
    connect(m_rxSetting, &RxSettingWidget::timestampFormatChanged, this,
            [this](int format) { m_stamper.setFormat(format); });

    buildLayout();
    buildShortcuts();
    m_logTextArea->installEventFilter(this);
    m_logTextArea->viewport()->installEventFilter(this);

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
    connect(m_sendPanel, &SendPanel::submitted, this, qOverload<>(&Session::writeData));

    // Log view.
    connect(this, &Session::stringReceived, m_logTextArea, &CPlainTextEdit::insertText, Qt::DirectConnection);
    connect(m_logWidget, &LogWidget::clearBtnClicked, this, &Session::onActionClearTriggered);
    connect(m_logWidget, &LogWidget::saveBtnClicked, this, &Session::onLogSave);

    // Log capture to file; the file stays closed until the box is checked.
    connect(m_rxSetting, &RxSettingWidget::saveToFileChanged, this, &Session::setSaveLogToFile);
    connect(m_rxSetting, &RxSettingWidget::logFilePathChanged, this, &Session::updateLogFilePath);
    connect(m_logTextArea, &QWidget::customContextMenuRequested, this, &Session::showTxtBrwContextMenu);
    connect(m_clearLogAction, &QAction::triggered, this, &Session::onActionClearTriggered);
    connect(m_fontAction, &QAction::triggered, this, &Session::openFontDlg);

    // File transfer: received chunks go in from readData; the panel writes
    // through the port manager itself.
    connect(m_fileTransfer, &FileTransimisionWidget::writeRequest, this, [this](QByteArray data) {
        if (m_portManager->isOpen())
            m_portManager->write(data);
    });
    connect(m_fileTransfer, &FileTransimisionWidget::statusTextChanged, this,
            [this](QString text) { showLog(text + QLatin1Char('\n'), Rx); });
    connect(m_fileTransfer, &FileTransimisionWidget::statusChanged, this,
            [this](bool started) { m_sideBar->setIndicatorEnable(kFileTransferPage, started); });

    // Multi-line groups hand their lines to the send path; a looping group
    // lights the side-bar item.
    connect(m_multiLine, &MultiLineGroupManager::writeRequest, this, &Session::onMultiLineWriteRequest);
    connect(m_multiLine, &MultiLineGroupManager::loopSendStatusChanged, this,
            [this](bool enable) { m_sideBar->setIndicatorEnable(kMultiLinePage, enable); });

    // Script panel: runs start and stop in the engine; a switched-on parser
    // or a running automation lights the side-bar item.
    connect(m_luaScriptWidget, &CLuaScriptWidget::runScriptRequested, m_luaEngine,
            &CLuaScriptEngine::startAutomation);
    connect(m_luaScriptWidget, &CLuaScriptWidget::stopScriptRequested, m_luaEngine,
            &CLuaScriptEngine::stopAutomation);
    connect(m_luaScriptWidget, &CLuaScriptWidget::luaEngineStatusChanged, this,
            [this](bool enable) { m_sideBar->setIndicatorEnable(kLuaScriptPage, enable); });

    // The data generator writes through the port manager itself; a running
    // generator lights its side-bar item.
    connect(m_generator, &WaveformDataGeneratorWidget::statusChanged, this,
            [this](bool started) { m_sideBar->setIndicatorEnable(kGeneratorPage, started); });

    // Waveform: the plot itself is made when the waveform is first enabled.
    connect(m_waveformManager, &WaveformManagerWidget::switchChecked, this, &Session::onWaveformSwitch);
    connect(this, &Session::dataReceived, m_waveformPane, &WaveformPane::feed);

    m_repeatTimer = new QTimer(this);
    m_repeatTimer->setInterval(m_repeatInterval);
    connect(m_repeatTimer, &QTimer::timeout, this, &Session::onRepeatTimeout);

    // Display formatting runs on its own thread; chunks go there and text
    // comes back through queued signals, which keeps their order.
    m_workerThread = new QThread;
    m_workerThread->setObjectName(QStringLiteral("DataHandler"));
    m_worker = new DataHandlerWorker;
    m_worker->setScriptEngine(m_luaEngine);
    m_worker->setDumpLayout(m_rxSetting->isHexDumpColumns());
    m_worker->moveToThread(m_workerThread);
    connect(m_rxSetting, &RxSettingWidget::hexDumpColumnsChanged, m_worker, &DataHandlerWorker::setDumpLayout,
            Qt::QueuedConnection);
    connect(this, &Session::dataReceived, m_worker, &DataHandlerWorker::processData, Qt::QueuedConnection);
    connect(m_worker, &DataHandlerWorker::dataProcessed, this, &Session::showRxData, Qt::QueuedConnection);
    m_workerThread->start(QThread::HighestPriority);

    // Script engine. Its signals come from its own threads and the worker's,
    // so they reach us queued; its receive queue is fed directly.
    connect(this, &Session::dataReceived, m_luaEngine, &CLuaScriptEngine::enqueueRxData,
            Qt::DirectConnection);
    connect(m_luaEngine, &CLuaScriptEngine::scriptOutput, this, [this](QString msg) { showLog(msg, Rx); });
    connect(m_luaEngine, &CLuaScriptEngine::scriptError, this,
            [this](QString msg) { Q_EMIT messageRequested(tr("Lua Error: ") + msg + QLatin1Char('\n')); });
    connect(m_luaEngine, &CLuaScriptEngine::scriptStateChanged, this, [this](bool enabled, bool) {
        // An engine without a script must not wipe the stored path.
        const QString path = m_luaEngine->scriptPath();
        if (!path.isEmpty())
            AppConfig::LuaScriptPath = path;
        AppConfig::LuaScriptEnabled = enabled;
    });
    connect(m_luaEngine, &CLuaScriptEngine::waveDataReady, m_waveformPane, &WaveformPane::feedScriptFrames);

    // The stored script comes back as it was left: in script-executor mode its
    // path is set; a frame parser that was switched on is loaded and switched
    // on again (its top-level code runs under the load watchdog).
    m_luaEngine->setMode(AppConfig::LuaScriptMode);
    const QString storedScript = AppConfig::LuaScriptPath;
    if (QFileInfo(storedScript).isFile()) {
        if (m_luaEngine->mode() == 1) {
            m_luaEngine->setScriptFile(storedScript);
        } else if (AppConfig::LuaScriptEnabled) {
            connect(
                m_luaEngine, &CLuaScriptEngine::scriptLoadFinished, this,
                [this](bool ok) {
                    if (ok)
                        m_luaEngine->setEnabled(true);
                },
                Qt::SingleShotConnection);
            m_luaEngine->loadScript(storedScript);
        }
    }

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
    for (QObject* sender : {static_cast<QObject*>(m_portManager), static_cast<QObject*>(m_paramWidget),
                            static_cast<QObject*>(m_txSetting), static_cast<QObject*>(m_rxSetting),
                            static_cast<QObject*>(m_sendPanel), static_cast<QObject*>(m_logWidget),
                            static_cast<QObject*>(m_logTextArea), static_cast<QObject*>(m_sideBar),
                            static_cast<QObject*>(m_settingsBtn), static_cast<QObject*>(m_fileTransfer),
                            static_cast<QObject*>(m_waveformManager), static_cast<QObject*>(m_multiLine),
                            static_cast<QObject*>(m_rxChunker), static_cast<QObject*>(m_counter),
                            static_cast<QObject*>(m_generator)})
        sender->disconnect(this);
    m_multiLine->stopAll();
    m_luaEngine->disconnect(this);
    m_luaEngine->disconnect(m_waveformPane);
    disconnect(this, &Session::dataReceived, m_luaEngine, nullptr);
    m_repeatTimer->stop();
    m_rxChunker->stop();
    // Wakes the script threads; a parser call on the worker gives up too.
    m_luaEngine->shutdown();

    disconnect(this, &Session::dataReceived, m_worker, nullptr);
    m_worker->disconnect(this);
    m_workerThread->quit();
    m_workerThread->wait();
    delete m_worker;
    m_worker = nullptr;
    delete m_workerThread;
    m_workerThread = nullptr;

    disconnect(this, &Session::dataReceived, m_waveformPane, nullptr);
    m_waveformPane->shutdown();
    // Joins the script threads while the port they send through still exists.
    delete m_luaEngine;
    m_luaEngine = nullptr;

    delete m_repeatTimer;
    m_repeatTimer = nullptr;
    delete m_rxChunker;
    m_rxChunker = nullptr;
}

void Session::buildLayout()
{
    // Settings column.
    auto* settings = new QWidget;
    settings->setObjectName(QStringLiteral("SettingsColumn"));
    auto* settingsLayout = new QVBoxLayout(settings);
    settingsLayout->setContentsMargins(0, 0, 0, 0);
    settingsLayout->setSpacing(4);
    settingsLayout->addWidget(m_paramWidget);
    settingsLayout->addWidget(m_rxSetting);
    settingsLayout->addWidget(m_txSetting, 1);
    m_settingsArea = new QScrollArea(this);
    m_settingsArea->setFixedWidth(230);
    m_settingsArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_settingsArea->setWidgetResizable(true);
    m_settingsArea->setFrameShape(QFrame::NoFrame);
    m_settingsArea->setWidget(settings);

    // Tool stack: one page per side-bar item, in id order.
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
    m_toolStack = new QStackedWidget(this);
    for (QWidget* page : std::initializer_list<QWidget*>{m_multiLine, m_fileTransfer, m_waveformManager,
                                                         m_luaScriptWidget, m_frameAssembler, m_generator})
        m_toolStack->addWidget(page);
    m_toolStack->hide();

    // Log area: the log view over the send input.
    m_logArea = new QWidget(this);
    auto* logLayout = new QVBoxLayout(m_logArea);
    logLayout->setContentsMargins(0, 0, 0, 0);
    logLayout->setSpacing(4);
    // Says loudly that keys now go to the device, and how to get out.
    m_typeIndicator = new QLabel(m_logArea);
    m_typeIndicator->setObjectName(QStringLiteral("TypeIntoPortIndicator"));
    m_typeIndicator->setWordWrap(true);
    StyleHelper::setStyle(m_typeIndicator, QStringLiteral("typing-lbl"));
    m_typeIndicator->hide();
    logLayout->addWidget(m_typeIndicator);
    logLayout->addWidget(m_logWidget, 1);
    logLayout->addWidget(m_sendPanel);

    m_vSplitter = new QSplitter(Qt::Vertical, this);
    m_vSplitter->setHandleWidth(3);
    m_vSplitter->addWidget(m_waveformPane);
    m_vSplitter->addWidget(m_logArea);
    m_vSplitter->setStretchFactor(0, 5);
    m_vSplitter->setStretchFactor(1, 0);
    m_vSplitter->setCollapsible(0, false);
    m_vSplitter->setCollapsible(1, true);
    m_vSplitter->setSizes({800, 100});

    m_hSplitter = new QSplitter(Qt::Horizontal, this);
    m_hSplitter->addWidget(m_vSplitter);
    m_hSplitter->addWidget(m_toolStack);
    m_hSplitter->setStretchFactor(0, 4);
    m_hSplitter->setStretchFactor(1, 0);
    m_hSplitter->setCollapsible(0, true);
    m_hSplitter->setCollapsible(1, false);
    m_hSplitter->setSizes({400, 300});

    // Side-bar column.
    m_settingsBtn = new CIndicatorButton(this);
    m_settingsBtn->setFixedHeight(70);
    m_settingsBtn->setFont(IconHelper::instance()->phosphor(18));
    m_settingsBtn->setText(IconHelper::glyph(IconHelper::PhSliders));
    StyleHelper::setStyle(m_settingsBtn, QStringLiteral("side_bar_btn"));
    m_settingsBtn->setChecked(true);
    m_sideBar = new CSideBar(this);
    for (const ToolItem& item : kToolItems)
        m_sideBar->addItem(IconHelper::glyph(item.glyph), QString());
    m_sideBar->setItemFont(IconHelper::instance()->phosphor(18));
    auto* sideColumn = new QWidget(this);
    sideColumn->setObjectName(QStringLiteral("SideColumn"));
    sideColumn->setFixedWidth(40);
    auto* sideLayout = new QVBoxLayout(sideColumn);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->setSpacing(2);
    sideLayout->addWidget(m_settingsBtn);
    sideLayout->addWidget(m_sideBar, 1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(m_settingsArea);
    layout->addWidget(m_hSplitter, 1);
    layout->addWidget(sideColumn);

    connect(m_settingsBtn, &QPushButton::clicked, m_settingsArea, &QWidget::setVisible);
    connect(m_sideBar, &CSideBar::clicked, this, [this](bool checked, int id) {
        if (checked && id >= 0 && id < m_toolStack->count()) {
            m_toolStack->setCurrentIndex(id);
            m_toolStack->show();
        } else {
            m_toolStack->hide();
        }
    });
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
    m_fontAction->setText(tr("字体"));
    m_clearLogAction->setText(tr("清除Log"));
    m_sendPanel->retranslate();
    m_waveformPane->retranslate();
    m_typeAction->setText(tr("Type Into Port"));
    m_typeIndicator->setText(
        tr("TYPING INTO THE PORT: keys in the log go to the device. Ctrl+Shift+K leaves."));
    m_settingsBtn->setToolTip(tr("Settings"));
    for (int i = 0; i < int(std::size(kToolItems)); ++i) {
        const QString name = tr(kToolItems[i].name);
        m_sideBar->setItemToolTip(i, name);
    }
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
    if (!m_worker)
        return;
    // Received text comes back from the worker thread; the notice takes the
    // same round trip so it lands after the bytes that arrived before it.
    QMetaObject::invokeMethod(
        m_worker,
        [this, line] {
            QMetaObject::invokeMethod(
                this,
                [this, line] {
                    // A line of its own, even when the device stopped mid-line.
                    if (m_rxSetting->isShowLog())
                        Q_EMIT stringReceived(m_stamper.notice(line));
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
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

void Session::showConnectStatus(QString msg)
{
    Q_EMIT connectStatusChanged(msg);
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
    m_settingsBtn->setIndicatorColor(Qt::red);
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
    m_repeatTimer->stop();
    m_multiLine->stopAll();
    m_settingsBtn->setIndicatorColor(Qt::transparent);
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

void Session::dataHandler()
{
    m_rxChunker->flush();
}

int Session::hexBytesPerLineNow() const
{
    const int fixed = m_rxSetting->hexBytesPerLine();
    if (fixed > 0)
        return fixed;
    // "Auto": as many whole groups of eight as the log shows without
    // scrolling sideways, the timestamp taken off.
    const CPlainTextEdit* view = m_logWidget->textArea();
    int columns =
        view->viewport()->width() / qMax(1, view->fontMetrics().horizontalAdvance(QLatin1Char('0')));
    if (m_rxSetting->isShowTimestamp())
        columns -= 27;
    if (m_rxSetting->isHexDumpColumns())
        return HexDumpLayout::bytesPerLineForColumns(columns);
    return qBound(8, columns / 3 / 8 * 8, HexDumpLayout::kMaxBytesPerLine);
}

void Session::showRxData(QString str)
{
    showLog(str, Rx);
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

QString Session::logFilePath()
{
    return LogCapture::capturePath();
}

QFile* Session::logFile() const
{
    return m_logCapture->file();
}

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

void Session::updateLogFilePath()
{
    openLogFile();
}

QString Session::logSaveFileName(const QString& chosen)
{
    return LogCapture::saveFileName(chosen);
}

bool Session::saveLogTo(const QString& chosen)
{
    m_logTextArea->flushPending();
    if (AppConfig::LogSavePath.isEmpty()) {
        Q_EMIT messageRequested(tr("Log save failed!"));
        return false;
    }
    const QString path = logSaveFileName(chosen);
    QString reason;
    if (LogCapture::saveText(path, m_logTextArea->toPlainText(), &reason))
        return true;
    qWarning().noquote() << "[session]"
                         << "cannot save log to" << path << reason;
    Q_EMIT messageRequested(tr("Log save failed!"));
    return false;
}

void Session::onLogSave()
{
    m_logTextArea->flushPending();
    if (m_logTextArea->document()->isEmpty()) {
        Q_EMIT messageRequested(tr("Log is empty."));
        return;
    }
    QFileDialog dialog(this, tr("Log Save"), AppConfig::LogSavePath, QStringLiteral("*.dat"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().value(0).isEmpty())
        return;
    saveLogTo(dialog.selectedFiles().value(0));
}

void Session::onActionClearTriggered()
{
    m_logTextArea->reset();
    if (m_worker)
        QMetaObject::invokeMethod(m_worker, &DataHandlerWorker::resetDumpOffset, Qt::QueuedConnection);
    m_counter->reset();
    m_stamper.reset();
}

// ---- send path ---------------------------------------------------------------

void Session::writeData()
{
    const QString text = m_sendPanel->text();
    if (text.isEmpty())
        return;
    // Text that is not hex is neither sent in part nor kept in the history.
    if (m_txSetting->isHexMode() && !checkHexInput(text))
        return;
    writeData(text);
    m_sendPanel->recordToHistory(text);
}

bool Session::checkHexInput(const QString& text)
{
    const QStringList bad = HexInputCheck::invalidGroups(text);
    if (bad.isEmpty())
        return true;
    Q_EMIT messageRequested(
        tr("Not hex: %1\nType bytes as pairs of hex digits, for example 11 22 33 or 112233.")
            .arg(SendConverter::describeBadGroups(bad)));
    return false;
}

void Session::writeData(QString data)
{
    const QString lineEnd = m_txSetting->isSendNewLine() ? m_txSetting->lineEnding() : QString();
    echoSent(writeData(data, m_txSetting->isHexMode(), lineEnd));
}

QString Session::writeData(QString data, bool isHexMode, QString wrapLineStr)
{
    if (data.isEmpty())
        return QString();
    if (!m_portManager->isOpen()) {
        reportPortClosed();
        return QString();
    }
    if (isHexMode && !checkHexInput(data))
        return QString();
    const SendConverter::Output out = SendConverter::convert(data, isHexMode, wrapLineStr);
    if (out.bytes.isEmpty())
        return QString(); // nothing in the text was hex
    m_portManager->write(out.bytes);
    return out.shown;
}

void Session::echoSent(QString shown)
{
    if (shown.isEmpty() || !m_rxSetting->isShowSend() || !m_rxSetting->isShowLog())
        return;
    showLog(SendConverter::echoLine(shown, m_rxSetting->isAutoWrap()), Tx);
}

void Session::onFrameWriteRequest(QByteArray data)
{
    if (data.isEmpty())
        return;
    if (!m_portManager->isOpen()) {
        reportPortClosed();
        return;
    }
    m_portManager->write(data);
    echoSent(HexText::toDisplay(data));
}

void Session::onMultiLineWriteRequest(QString data)
{
    if (!m_portManager->isOpen()) {
        m_multiLine->stopAll();
        Q_EMIT messageRequested(tr("Please open serial port!"));
        return;
    }
    writeData(data);
}

void Session::loadHistory()
{
    m_sendPanel->loadHistory();
    m_multiLine->importFile(MultiLineDataManager::defaultPath());
    // Said once the window is up and listening.
    if (const QString notice = m_multiLine->takeLoadNotice(); !notice.isEmpty())
        QTimer::singleShot(0, this, [this, notice] { Q_EMIT messageRequested(notice); });
}

void Session::recordTxToHistoryBox(QString text)
{
    m_sendPanel->recordToHistory(text);
}

bool Session::saveHistory()
{
    return m_sendPanel->saveHistory();
}

void Session::setRepeatSendTime(int value)
{
    m_repeatInterval = value;
    m_repeatTimer->setInterval(value);
}

void Session::enableRepeatSend(bool checked)
{
    if (!checked) {
        m_repeatTimer->stop();
        return;
    }
    if (!m_portManager->isOpen()) {
        reportPortClosed();
        m_txSetting->uncheckRepeatSend();
        return;
    }
    m_repeatTimer->start(m_repeatInterval);
}

void Session::onRepeatTimeout()
{
    if (!m_txSetting->isRepeatSend()) {
        m_repeatTimer->stop();
        return;
    }
    const QString text = m_sendPanel->text();
    if (text.isEmpty())
        return;
    if (m_txSetting->isHexMode() && !checkHexInput(text)) {
        // Said once; repeating it every tick would bury the user in messages.
        m_txSetting->uncheckRepeatSend();
        m_repeatTimer->stop();
        return;
    }
    writeData(text);
    m_sendPanel->recordToHistory(text);
}

void Session::showTxtBrwContextMenu(QPoint pos)
{
    Q_UNUSED(pos);
    auto* menu = new CMenu(this);
    menu->addAction(m_clearLogAction);
    menu->addAction(m_fontAction);
    menu->popup(QCursor::pos());
}

void Session::openFontDlg()
{
    const QStringList fields = AppConfig::LogWinFont.split(QLatin1Char(','));
    QFont font;
    if (!fields.value(0).trimmed().isEmpty())
        font.setFamily(fields.value(0).trimmed());
    const int size = fields.value(1).trimmed().toInt();
    if (size > 0)
        font.setPointSize(size);

    auto* dlg = new QFontDialog(font, this);
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    dlg->resize(500, 360);
    dlg->setWindowModality(Qt::ApplicationModal);
    connect(dlg, &QFontDialog::fontSelected, this, [this](const QFont& selected) {
        m_logTextArea->setFont(selected);
        m_sendPanel->inputBox()->editor()->setFont(selected);
        AppConfig::LogWinFont = selected.toString();
    });
    dlg->show();
}

// ---- shutdown ------------------------------------------------------------------

void Session::shutdown()
{
    m_rxChunker->stop();
    m_repeatTimer->stop();
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
    m_vSplitter->setSizes({400, 0});
    m_sendPanel->setVisible(!checked);
    m_sideBar->setIndicatorEnable(kWaveformPage, checked);
}

qulonglong Session::rxCount() const
{
    return m_counter->rx();
}

qulonglong Session::txCount() const
{
    return m_counter->tx();
}

InputBox* Session::inputBox() const
{
    return m_sendPanel->inputBox();
}

QComboBox* Session::historyBox() const
{
    return m_sendPanel->historyBox();
}

QWidget* Session::sendArea() const
{
    return m_sendPanel;
}

QLabel* Session::hexTip() const
{
    return m_sendPanel->hexTip();
}

// ---- keyboard ----------------------------------------------------------------

void Session::buildShortcuts()
{
    struct Entry
    {
        const char* keys;
        std::function<void()> run;
    };
    const Entry entries[] = {
        {"Ctrl+O", [this] { m_paramWidget->openButton()->click(); }},
        {"Ctrl+Shift+B", [this] { m_paramWidget->modemLines()->sendBreak(); }},
        {"Ctrl+Shift+R", [this] { m_paramWidget->modemLines()->pulse(); }},
        {"Ctrl+Shift+K", [this] { setTypeIntoPort(!m_typeIntoPort); }},
    };
    for (const Entry& e : entries) {
        auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(e.keys)), this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, e.run);
        m_shortcuts << shortcut;
    }
}

void Session::setTypeIntoPort(bool on)
{
    if (on == m_typeIntoPort)
        return;
    m_typeIntoPort = on;
    {
        const QSignalBlocker blocker(m_typeAction);
        m_typeAction->setChecked(on);
    }
    m_typeIndicator->setVisible(on);
    qDebug().noquote() << "[session] type into port" << (on ? "on" : "off");
    if (on)
        m_logTextArea->setFocus(Qt::ShortcutFocusReason);
}

bool Session::typeKey(QKeyEvent* key)
{
    const QByteArray bytes = TerminalKeyMapper::bytesFor(key->key(), int(key->modifiers()), key->text(),
                                                         m_txSetting->lineEnding().toUtf8());
    if (bytes.isEmpty())
        return false;
    if (!m_portManager->isOpen()) {
        if (!key->isAutoRepeat())
            reportPortClosed();
        return true;
    }
    m_portManager->write(bytes);
    return true;
}

bool Session::eventFilter(QObject* watched, QEvent* event)
{
    if (m_typeIntoPort && (watched == m_logTextArea || watched == m_logTextArea->viewport()) &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Ctrl+Shift combinations stay the program's shortcuts (leaving this
        // mode among them); everything else belongs to the device.
        const bool ours = (key->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)) ==
                              (Qt::ControlModifier | Qt::ShiftModifier) &&
                          key->key() >= Qt::Key_A && key->key() <= Qt::Key_Z;
        if (!ours) {
            if (event->type() == QEvent::ShortcutOverride) {
                event->accept();
                return true;
            }
            if (typeKey(key))
                return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
