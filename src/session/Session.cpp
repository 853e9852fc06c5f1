#include "Session.h"

#include "AppConfig.h"
#include "AppPaths.h"
#include "AutoReconnector.h"
#include "CIndicatorButton.h"
#include "CLuaScriptEngine.h"
#include "CMenu.h"
#include "CPlainTextEdit.h"
#include "CSideBar.h"
#include "CsvProtocolParser.h"
#include "DataHandlerWorker.h"
#include "FileTransimisionWidget.h"
#include "FileTransmission.h"
#include "FrameAssemblerWidget.h"
#include "FrameDrain.h"
#include "HexDumpLayout.h"
#include "HexInputCheck.h"
#include "HexText.h"
#include "HistoryDataManager.h"
#include "IconHelper.h"
#include "InputBox.h"
#include "LogWidget.h"
#include "MultiChannelWaveformWidget.h"
#include "MultiLineDataManager.h"
#include "MultiLineGroupManager.h"
#include "ProtocolRegistry.h"
#include "RxSettingWidget.h"
#include "SerialParamWidget.h"
#include "SerialPortManager.h"
#include "StyleHelper.h"
#include "TimingWidget.h"
#include "TxSettingWidget.h"
#include "WaveformManagerWidget.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDateTime>
#include <QDebug>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QTextEdit>
#include <QTextStream>
#include <QThread>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

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
constexpr int kFrameAssemblerPage = 4;

} // namespace

Session::Session(QWidget* parent) : QWidget(parent)
{
    m_portManager = new SerialPortManager(this);
    m_portManager->setReadBufferSize(0);
    m_luaEngine = new CLuaScriptEngine(this);
    m_luaEngine->setSerialPortManager(m_portManager);
    m_rxBuffer.reserve(kRxBufferReserve);

    m_paramWidget = new SerialParamWidget(m_portManager, this);
    m_rxSetting = new RxSettingWidget(this);
    m_txSetting = new TxSettingWidget(this);
    m_repeatInterval = m_txSetting->repeatInterval();

    m_logWidget = new LogWidget(this);
    m_logTextArea = m_logWidget->textArea();

    m_inputBox = new InputBox(this);
    m_inputBox->setFixedHeight(80);
    m_inputBox->editor()->setFont(m_logTextArea->font());
    m_historyBox = new QComboBox(this);
    m_historyBox->setFixedHeight(23);
    m_historyBox->setMaxCount(INT_MAX);
    StyleHelper::setStyle(m_historyBox, QStringLiteral("Historycommon"));

    m_hexTip = new QLabel(this);
    m_hexTip->setObjectName(QStringLiteral("HexTip"));
    m_hexTip->setFixedSize(320, 45);
    m_hexTip->setAlignment(Qt::AlignCenter);
    m_hexTip->setWordWrap(true);
    StyleHelper::setStyle(m_hexTip, QStringLiteral("tip"));
    m_hexTip->hide();
    m_hexTipTimer = new QTimer(this);
    m_hexTipTimer->setSingleShot(true);
    m_hexTipTimer->setInterval(kHexTipMs);
    connect(m_hexTipTimer, &QTimer::timeout, m_hexTip, &QWidget::hide);

    m_fontAction = new QAction(this);
    m_clearLogAction = new QAction(this);
    m_copyAction = new QAction(this);
    m_copyAction->setShortcut(QKeySequence::Copy);
    m_pasteAction = new QAction(this);
    m_pasteAction->setShortcut(QKeySequence::Paste);
    m_clearAction = new QAction(this);

    buildLayout();

    // Port manager and port settings.
    connect(m_portManager, &SerialPortManager::dataReceived, this, &Session::readData, Qt::QueuedConnection);
    connect(m_portManager, &SerialPortManager::rxLengthChanged, this, [this](qulonglong n) {
        m_rxCount += n;
        Q_EMIT rxCountChanged(m_rxCount);
    });
    connect(m_portManager, &SerialPortManager::txLengthChanged, this, [this](qulonglong n) {
        m_txCount += n;
        Q_EMIT txCountChanged(m_txCount);
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
    connect(m_inputBox, &InputBox::submits, this, qOverload<>(&Session::writeData));
    connect(m_inputBox, &InputBox::clearHistory, m_historyBox, &QComboBox::clear);
    connect(m_inputBox, &InputBox::editorFocused, this, &Session::onEditorFocused);
    connect(m_inputBox->editor(), &QWidget::customContextMenuRequested, this, &Session::showInputContextMenu);
    connect(m_historyBox, &QComboBox::textActivated, this,
            [this](const QString& text) { m_inputBox->editor()->setPlainText(text); });
    connect(m_copyAction, &QAction::triggered, m_inputBox->editor(), &QPlainTextEdit::copy);
    connect(m_pasteAction, &QAction::triggered, m_inputBox->editor(), &QPlainTextEdit::paste);
    connect(m_clearAction, &QAction::triggered, m_inputBox->editor(), &QPlainTextEdit::clear);

    // Log view.
    connect(this, &Session::stringReceived, m_logTextArea, &CPlainTextEdit::insertText, Qt::DirectConnection);
    connect(m_logWidget, &LogWidget::clearBtnClicked, this, &Session::onActionClearTriggered);
    connect(m_logWidget, &LogWidget::saveBtnClicked, this, &Session::onLogSave);

    // Log capture to file; the file stays closed until the box is checked.
    m_logFile = new QFile(this);
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

    // Waveform: the plot itself is made when the waveform is first enabled.
    connect(m_waveformManager, &WaveformManagerWidget::switchChecked, this, &Session::onWaveformSwitch);
    connect(m_recordBtn, &QPushButton::toggled, this, &Session::onRecordToggled);
    qApp->installEventFilter(this);

    // Timers, all stopped until needed.
    m_drainTimer = new QTimer(this);
    m_drainTimer->setTimerType(Qt::PreciseTimer);
    m_drainTimer->setInterval(kDrainMs);
    connect(m_drainTimer, &QTimer::timeout, this, &Session::onDrainTimeout);
    m_repeatTimer = new QTimer(this);
    m_repeatTimer->setInterval(m_repeatInterval);
    connect(m_repeatTimer, &QTimer::timeout, this, &Session::onRepeatTimeout);
    m_rxTimer = new QTimer(this);
    m_rxTimer->setTimerType(Qt::PreciseTimer);
    m_rxTimer->setInterval(kRxTickMs);
    connect(m_rxTimer, &QTimer::timeout, this, &Session::onRxTimeout);
    m_gapTimer = new QTimer(this);
    m_gapTimer->setTimerType(Qt::PreciseTimer);
    m_gapTimer->setInterval(kGapMs);
    connect(m_gapTimer, &QTimer::timeout, this, &Session::onGapTimeout);

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
    connect(m_luaEngine, &CLuaScriptEngine::waveDataReady, this, [this](QByteArray frames) {
        if (m_waveformPlot && m_recordBtn->isChecked() && m_waveformManager->isWaveformEnabled() &&
            m_waveformPlot->isRecording())
            QMetaObject::invokeMethod(m_parser, "handleData", Qt::QueuedConnection,
                                      Q_ARG(QByteArray, frames));
    });

    // Brace frames are cut out on a thread of their own; the drain polls its queue.
    m_parserThread = new QThread;
    m_parserThread->setObjectName(QStringLiteral("FrameParser"));
    m_parser = new CsvProtocolParser;
    m_parser->moveToThread(m_parserThread);
    connect(this, &Session::dataReceived, this, &Session::feedFrameParser);
    m_parserThread->start(QThread::InheritPriority);

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
                            static_cast<QObject*>(m_inputBox), static_cast<QObject*>(m_historyBox),
                            static_cast<QObject*>(m_logWidget), static_cast<QObject*>(m_logTextArea),
                            static_cast<QObject*>(m_sideBar), static_cast<QObject*>(m_settingsBtn),
                            static_cast<QObject*>(m_fileTransfer), static_cast<QObject*>(m_waveformManager),
                            static_cast<QObject*>(m_recordBtn), static_cast<QObject*>(m_multiLine)})
        sender->disconnect(this);
    m_multiLine->stopAll();
    if (m_waveformPlot)
        m_waveformPlot->disconnect(this);
    m_luaEngine->disconnect(this);
    disconnect(this, &Session::dataReceived, m_luaEngine, nullptr);
    qApp->removeEventFilter(this);
    m_drainTimer->stop();
    m_repeatTimer->stop();
    m_rxTimer->stop();
    m_gapTimer->stop();
    m_hexTipTimer->stop();
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

    disconnect(this, &Session::dataReceived, this, &Session::feedFrameParser);
    m_parserThread->quit();
    m_parserThread->wait();
    delete m_parser;
    m_parser = nullptr;
    delete m_parserThread;
    m_parserThread = nullptr;
    // Joins the script threads while the port they send through still exists.
    delete m_luaEngine;
    m_luaEngine = nullptr;

    delete m_drainTimer;
    m_drainTimer = nullptr;
    delete m_repeatTimer;
    m_repeatTimer = nullptr;
    delete m_rxTimer;
    m_rxTimer = nullptr;
    delete m_gapTimer;
    m_gapTimer = nullptr;
    m_rxBuffer = QByteArray();
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

    // Waveform area: title and record button over the plot; shown while the
    // waveform switch is on.
    m_waveformArea = new QWidget(this);
    m_waveformArea->setObjectName(QStringLiteral("WaveformArea"));
    m_waveformTitle = new QLabel(m_waveformArea);
    StyleHelper::setStyle(m_waveformTitle, QStringLiteral("title-lbl"));
    m_recordBtn = new QPushButton(m_waveformArea);
    m_recordBtn->setObjectName(QStringLiteral("RecordButton"));
    m_recordBtn->setCheckable(true);
    m_recordBtn->setFixedSize(60, 25);
    m_recordBtn->setFocusPolicy(Qt::NoFocus);
    QFont recordFont = IconHelper::instance()->fontAwesome();
    recordFont.setPointSize(14);
    m_recordBtn->setFont(recordFont);
    m_recordBtn->setText(IconHelper::glyph(IconHelper::FaPlay));
    auto* waveHeader = new QHBoxLayout;
    waveHeader->setContentsMargins(4, 0, 4, 0);
    waveHeader->addWidget(m_waveformTitle);
    waveHeader->addStretch(1);
    waveHeader->addWidget(m_recordBtn);
    m_waveLayout = new QVBoxLayout(m_waveformArea);
    m_waveLayout->setContentsMargins(0, 0, 0, 0);
    m_waveLayout->setSpacing(2);
    m_waveLayout->addLayout(waveHeader);
    m_waveformArea->hide();

    // Log area: the log view over the send input.
    m_sendArea = new QWidget(this);
    m_sendArea->setObjectName(QStringLiteral("SendArea"));
    auto* sendLayout = new QVBoxLayout(m_sendArea);
    sendLayout->setContentsMargins(0, 0, 0, 0);
    sendLayout->setSpacing(4);
    sendLayout->addWidget(m_historyBox);
    sendLayout->addWidget(m_inputBox);
    m_logArea = new QWidget(this);
    auto* logLayout = new QVBoxLayout(m_logArea);
    logLayout->setContentsMargins(0, 0, 0, 0);
    logLayout->setSpacing(4);
    logLayout->addWidget(m_logWidget, 1);
    logLayout->addWidget(m_sendArea);

    m_vSplitter = new QSplitter(Qt::Vertical, this);
    m_vSplitter->setHandleWidth(3);
    m_vSplitter->addWidget(m_waveformArea);
    m_vSplitter->addWidget(m_logArea);
    m_vSplitter->setStretchFactor(0, 5);
    m_vSplitter->setStretchFactor(1, 0);
    m_vSplitter->setCollapsible(0, false);
    m_vSplitter->setCollapsible(1, true);
    m_vSplitter->setSizes({800, 100});

    // Tool stack: one page per side-bar item.
    m_toolStack = new QStackedWidget(this);
    for (int i = 0; i < int(std::size(kToolItems)); ++i) {
        if (i == kMultiLinePage) {
            m_multiLine = new MultiLineGroupManager(m_toolStack);
            m_toolStack->addWidget(m_multiLine);
            m_toolPages << nullptr;
            continue;
        }
        if (i == kFileTransferPage) {
            m_fileTransfer = new FileTransimisionWidget(m_toolStack);
            m_fileTransfer->setSerialPortManager(m_portManager);
            m_toolStack->addWidget(m_fileTransfer);
            m_toolPages << nullptr;
            continue;
        }
        if (i == kWaveformPage) {
            m_waveformManager = new WaveformManagerWidget(m_toolStack);
            m_toolStack->addWidget(m_waveformManager);
            m_toolPages << nullptr;
            continue;
        }
        if (i == kFrameAssemblerPage) {
            m_frameAssembler = new FrameAssemblerWidget(m_toolStack);
            connect(m_frameAssembler, &FrameAssemblerWidget::writeRequest, this,
                    &Session::onFrameWriteRequest);
            m_toolStack->addWidget(m_frameAssembler);
            m_toolPages << nullptr;
            continue;
        }
        auto* page = new QLabel(m_toolStack);
        page->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        StyleHelper::setStyle(page, QStringLiteral("title-lbl"));
        m_toolStack->addWidget(page);
        m_toolPages << page;
    }
    m_toolStack->hide();

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
    m_copyAction->setText(tr("Copy"));
    m_pasteAction->setText(tr("Paste"));
    m_clearAction->setText(tr("Clear"));
    m_waveformTitle->setText(tr("Waveform"));
    m_hexTip->setText(tr("Hex Sample:11 22 33 44... or 1122334455..."));
    m_settingsBtn->setToolTip(tr("Settings"));
    for (int i = 0; i < int(std::size(kToolItems)); ++i) {
        const QString name = tr(kToolItems[i].name);
        m_sideBar->setItemToolTip(i, name);
        if (m_toolPages[i])
            m_toolPages[i]->setText(name);
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
                    if (!m_rxSetting->isShowLog())
                        return;
                    // A line of its own, even when the device stopped mid-line.
                    const bool fresh = m_prefixer.atLineStart() && !m_prefixer.hasPendingCr();
                    m_prefixer.reset();
                    Q_EMIT stringReceived((fresh ? QString() : QStringLiteral("\n")) + line +
                                          QLatin1Char('\n'));
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
    m_rxTimer->start();
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
    onRxTimeout();
    m_rxBuffer.truncate(0);
    m_txSetting->uncheckRepeatSend();
    m_repeatTimer->stop();
    m_rxTimer->stop();
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
    if (m_gapElapsed) {
        // The stream paused before these bytes: what came before the pause is
        // a chunk of its own, and these start a fresh hex line.
        m_gapElapsed = false;
        if (!m_rxBuffer.isEmpty())
            onRxTimeout();
        m_newHexLine = true;
    }
    m_rxBuffer.append(data);
    m_gapTimer->start();
    // Queued arrivals can still come in after the port closed; nothing would
    // cut them then, so show them now.
    if (!m_rxTimer->isActive())
        onRxTimeout();
}

void Session::onGapTimeout()
{
    m_gapElapsed = true;
    m_gapTimer->stop();
}

void Session::dataHandler()
{
    onRxTimeout();
}

void Session::onRxTimeout()
{
    if (m_rxBuffer.isEmpty())
        return;
    const bool hex = m_rxSetting->isHexMode();
    const bool wrap = m_rxSetting->isAutoWrap();
    const bool newLine = m_newHexLine;
    m_newHexLine = false;
    // A copy of the used part, so the buffer keeps its reserve.
    const QByteArray chunk(m_rxBuffer.constData(), m_rxBuffer.size());
    m_rxBuffer.truncate(0);
    Q_EMIT dataReceived(chunk, hex, wrap, newLine, hexBytesPerLineNow());
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
    if (str.isEmpty())
        return;
    QString prefix;
    if (m_rxSetting->isShowTimestamp()) {
        prefix = QDateTime::currentDateTime().toString(QStringLiteral("[yyyy-MM-dd HH:mm:ss.zzz]")) +
                 (direct == Tx ? QStringLiteral("T ") : QStringLiteral("R "));
    }
    const QString text = m_prefixer.apply(str, prefix);
    if (text.isEmpty())
        return;
    // Captured whether or not the log view shows it.
    if (m_rxSetting->isSaveToFile() && m_logFile->isOpen())
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
    const QByteArray bytes = text.toUtf8();
    if (m_logFile->write(bytes) == bytes.size() && m_logFile->flush())
        return true;
    // A full disk or a vanished folder: say so once and switch capture off,
    // so that its box does not claim a capture that no longer happens.
    const QString reason = m_logFile->errorString();
    qWarning().noquote() << "[session]"
                         << "log file write failed:" << m_logFile->fileName() << reason;
    m_logFile->close();
    m_rxSetting->uncheckSaveToFile();
    Q_EMIT messageRequested(tr("Log file write failed: %1").arg(reason));
    return false;
}

// ---- log capture and saving -------------------------------------------------------

QString Session::logFilePath()
{
    return AppConfig::LogSavePath + QLatin1Char('/') + AppConfig::LogFileName;
}

bool Session::openLogFile()
{
    m_logFile->setFileName(logFilePath());
    if (m_logFile->open(QIODevice::ReadWrite | QIODevice::Append))
        return true;
    qWarning().noquote() << "[session]"
                         << "cannot open log file" << m_logFile->fileName() << m_logFile->errorString();
    m_rxSetting->uncheckSaveToFile();
    Q_EMIT messageRequested(tr("Open log file failed!\n"));
    return false;
}

void Session::setSaveLogToFile(bool checked)
{
    if (m_logFile->isOpen())
        m_logFile->close();
    if (checked)
        openLogFile();
}

void Session::updateLogFilePath()
{
    if (m_logFile->isOpen())
        m_logFile->close();
    openLogFile();
}

QString Session::logSaveFileName(const QString& chosen)
{
    const QStringList pieces = chosen.split(QLatin1Char('.'));
    if (pieces.last().contains(QLatin1String("dat")))
        return chosen;
    return chosen + QStringLiteral(".dat");
}

bool Session::saveLogTo(const QString& chosen)
{
    m_logTextArea->flushPending();
    const QString path = logSaveFileName(chosen);
    if (AppConfig::LogSavePath.isEmpty()) {
        Q_EMIT messageRequested(tr("Log save failed!"));
        return false;
    }
    QFile file(path);
    // A log that silently was not written is worse than a message.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        qWarning().noquote() << "[session]"
                             << "cannot save log to" << path << file.errorString();
        Q_EMIT messageRequested(tr("Log save failed!"));
        return false;
    }
    QTextStream out(&file);
    out << m_logTextArea->toPlainText();
    out.flush();
    file.close();
    if (file.error() != QFileDevice::NoError || out.status() != QTextStream::Ok) {
        Q_EMIT messageRequested(tr("Log save failed!"));
        return false;
    }
    return true;
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
    Q_EMIT rxCountChanged(0);
    Q_EMIT txCountChanged(0);
    m_prefixer.reset();
    m_rxCount = 0;
    m_txCount = 0;
}

// ---- send path ---------------------------------------------------------------

void Session::writeData()
{
    const QString text = m_inputBox->plainText();
    if (text.isEmpty())
        return;
    // Text that is not hex is neither sent in part nor kept in the history.
    if (m_txSetting->isHexMode() && !checkHexInput(text))
        return;
    writeData(text);
    recordTxToHistoryBox(text);
}

bool Session::checkHexInput(const QString& text)
{
    const QStringList bad = HexInputCheck::invalidGroups(text);
    if (bad.isEmpty())
        return true;
    // Name the offending groups, a few of them and not too long each.
    constexpr int kShownGroups = 5;
    constexpr int kShownChars = 24;
    QStringList shown;
    for (int i = 0; i < bad.size() && i < kShownGroups; ++i) {
        const QString& group = bad.at(i);
        shown << QLatin1Char('"') +
                     (group.size() > kShownChars ? group.left(kShownChars) + QChar(0x2026) : group) +
                     QLatin1Char('"');
    }
    if (bad.size() > kShownGroups)
        shown << QString(QChar(0x2026));
    Q_EMIT messageRequested(
        tr("Not hex: %1\nType bytes as pairs of hex digits, for example 11 22 33 or 112233.")
            .arg(shown.join(QStringLiteral(", "))));
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
    if (isHexMode) {
        if (!checkHexInput(data))
            return QString();
        const QByteArray bytes = HexText::fromHexInput(data);
        if (bytes.isEmpty())
            return QString(); // nothing in the text was hex
        m_portManager->write(bytes);
        return HexText::toDisplay(bytes);
    }
    QByteArray bytes = data.toLocal8Bit();
    if (!wrapLineStr.isNull())
        bytes.append(wrapLineStr.toLocal8Bit());
    m_portManager->write(bytes);
    return data + wrapLineStr;
}

void Session::echoSent(QString shown)
{
    if (shown.isEmpty() || !m_rxSetting->isShowSend())
        return;
    // Text sent with its line ending has ended its line already: one more
    // would leave an empty "T" line after every send.
    const bool ended = shown.endsWith(QLatin1Char('\n')) || shown.endsWith(QLatin1Char('\r'));
    if (m_rxSetting->isAutoWrap())
        shown.append(QLatin1Char('\n'));
    if (!ended)
        shown.append(QLatin1Char('\n'));
    if (m_rxSetting->isShowLog())
        showLog(shown, Tx);
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

void Session::recordTxToHistoryBox(QString text)
{
    if (text.isEmpty())
        return;
    const QString s = text.simplified();
    if (s.isEmpty())
        return;
    for (int i = m_historyBox->count() - 1; i >= 0; --i) {
        if (m_historyBox->itemText(i) == s)
            m_historyBox->removeItem(i);
    }
    m_historyBox->insertItem(0, s);
    m_historyBox->setCurrentIndex(0);
}

void Session::loadHistory()
{
    QStringList entries;
    HistoryDataManager::load(HistoryDataManager::defaultPath(), entries);
    m_historyBox->addItems(entries);
    m_multiLine->importFile(MultiLineDataManager::defaultPath());
    // Said once the window is up and listening.
    if (const QString notice = m_multiLine->takeLoadNotice(); !notice.isEmpty())
        QTimer::singleShot(0, this, [this, notice] { Q_EMIT messageRequested(notice); });
}

bool Session::saveHistory()
{
    QStringList entries;
    entries.reserve(m_historyBox->count());
    for (int i = 0; i < m_historyBox->count(); ++i)
        entries.append(m_historyBox->itemText(i));
    return HistoryDataManager::save(HistoryDataManager::defaultPath(), entries);
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
    const QString text = m_inputBox->plainText();
    if (text.isEmpty())
        return;
    if (m_txSetting->isHexMode() && !checkHexInput(text)) {
        // Said once; repeating it every tick would bury the user in messages.
        m_txSetting->uncheckRepeatSend();
        m_repeatTimer->stop();
        return;
    }
    writeData(text);
    recordTxToHistoryBox(text);
}

void Session::onEditorFocused()
{
    if (!m_inputBox->plainText().isEmpty() || m_hexTip->isVisible())
        return;
    const QPoint topLeft = m_sendArea->mapTo(this, QPoint(0, 0));
    m_hexTip->move(topLeft.x(), qMax(0, topLeft.y() - m_hexTip->height()));
    m_hexTip->raise();
    m_hexTip->show();
    m_hexTipTimer->start();
}

// ---- menus and dialogs -------------------------------------------------------

void Session::showTxtBrwContextMenu(QPoint pos)
{
    Q_UNUSED(pos);
    auto* menu = new CMenu(this);
    menu->addAction(m_clearLogAction);
    menu->addAction(m_fontAction);
    menu->popup(QCursor::pos());
}

void Session::showInputContextMenu(QPoint pos)
{
    Q_UNUSED(pos);
    auto* menu = new CMenu(this);
    menu->addAction(m_copyAction);
    menu->addAction(m_pasteAction);
    menu->addAction(m_clearAction);
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
        m_inputBox->editor()->setFont(selected);
        AppConfig::LogWinFont = selected.toString();
    });
    dlg->show();
}

// ---- shutdown ------------------------------------------------------------------

void Session::shutdown()
{
    m_rxTimer->stop();
    m_repeatTimer->stop();
    m_multiLine->stopAll();
    m_drainTimer->stop();
    // A running transfer tells its receiver it is over before the port goes.
    m_fileTransfer->transmission()->stopTransmission();
    saveHistory();
    m_multiLine->saveFile(MultiLineDataManager::defaultPath());
    if (m_portManager->isOpen())
        m_portManager->closePort();
}

// ---- waveform ---------------------------------------------------------------

MultiChannelWaveformWidget* Session::ensureWaveformPlot()
{
    // A window holding an OpenGL widget has every repaint composed through
    // OpenGL, which costs the log view most of its speed where OpenGL runs in
    // software; so the plot only exists once the waveform is wanted.
    if (m_waveformPlot)
        return m_waveformPlot;
    m_waveformPlot = new MultiChannelWaveformWidget(m_waveformArea);
    m_waveLayout->addWidget(m_waveformPlot, 1);
    // Sixteen channels, hidden until the panel picks them.
    for (int i = 0; i < kWaveformChannels; ++i) {
        const int id = m_waveformPlot->addChannel(tr("Channel %1").arg(i));
        m_waveformPlot->setChannelVisible(id, false);
    }
    // The panel's buttons may have been set before the plot existed.
    for (int i = 0; i < kWaveformChannels; ++i) {
        if (QPushButton* button = m_waveformManager->channelButton(i); button && button->isChecked())
            m_waveformPlot->setChannelVisible(i, true);
    }
    connect(m_waveformManager, &WaveformManagerWidget::itemChanged, m_waveformPlot,
            &MultiChannelWaveformWidget::setChannelVisible);
    connect(m_waveformPlot, &MultiChannelWaveformWidget::channelVisibleChanged, m_waveformManager,
            &WaveformManagerWidget::setItemChecked);
    // Every cursor pair gets a row in the timing-marker list.
    connect(m_waveformPlot, &MultiChannelWaveformWidget::cursorPairChanged, m_waveformManager->timingWidget(),
            &TimingWidget::onCursorPairChanged);
    connect(m_waveformPlot, &MultiChannelWaveformWidget::cursorPairRemoved, m_waveformManager->timingWidget(),
            &TimingWidget::onCursorPairRemoved);
    return m_waveformPlot;
}

void Session::feedFrameParser(QByteArray data)
{
    // Script frame parsing, when it exists, takes precedence over the CSV parser.
    if (!m_waveformPlot || !m_recordBtn->isChecked() || !m_waveformManager->isWaveformEnabled() ||
        !m_waveformPlot->isRecording() || m_luaEngine->isFrameParsing())
        return;
    QMetaObject::invokeMethod(m_parser, "handleData", Qt::QueuedConnection, Q_ARG(QByteArray, data));
}

void Session::onRecordToggled(bool checked)
{
    ensureWaveformPlot();
    if (checked) {
        // Pairs go with their signals, so the timing-marker list empties too.
        m_waveformPlot->clearCursorPairs();
        m_waveformPlot->startRecording();
        m_waveformTimestamp = 0;
        m_parser->reset();
        m_drainTimer->start();
        m_recordBtn->setText(IconHelper::glyph(IconHelper::FaStop));
    } else {
        m_waveformPlot->stopRecording();
        m_drainTimer->stop();
        m_recordBtn->setText(IconHelper::glyph(IconHelper::FaPlay));
    }
}

void Session::onDrainTimeout()
{
    if (!m_parser || !m_waveformPlot)
        return;
    const int rate = m_waveformManager->sampleRate();
    m_waveformPlot->setSampleRate(rate);
    const auto lists = FrameDrain::drain(*m_parser, rate, m_waveformTimestamp);
    for (int id = 0; id < kWaveformChannels; ++id)
        m_waveformPlot->appendChannelData(id, lists[size_t(id)]);
}

void Session::onWaveformSwitch(bool checked)
{
    if (checked)
        ensureWaveformPlot();
    m_waveformArea->setVisible(checked);
    m_vSplitter->setSizes({400, 0});
    m_sendArea->setVisible(!checked);
    m_sideBar->setIndicatorEnable(kWaveformPage, checked);
}

bool Session::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_R && key->modifiers() == Qt::NoModifier && !key->isAutoRepeat() &&
            m_waveformArea->isVisible() && window()->isActiveWindow()) {
            QWidget* focus = QApplication::focusWidget();
            const bool typing =
                qobject_cast<QLineEdit*>(focus) || qobject_cast<QPlainTextEdit*>(focus) ||
                qobject_cast<QTextEdit*>(focus) || qobject_cast<QAbstractSpinBox*>(focus) ||
                (qobject_cast<QComboBox*>(focus) && qobject_cast<QComboBox*>(focus)->isEditable());
            if (!typing) {
                m_recordBtn->click();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}
