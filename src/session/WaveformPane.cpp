#include "WaveformPane.h"

#include "CLuaScriptEngine.h"
#include "CsvProtocolParser.h"
#include "FrameDrain.h"
#include "IconHelper.h"
#include "MultiChannelWaveformWidget.h"
#include "StyleHelper.h"
#include "TimingWidget.h"
#include "WaveformManagerWidget.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

WaveformPane::WaveformPane(WaveformManagerWidget* manager, CLuaScriptEngine* engine, QWidget* parent)
    : QWidget(parent), m_manager(manager), m_engine(engine)
{
    setObjectName(QStringLiteral("WaveformArea"));
    m_title = new QLabel(this);
    StyleHelper::setStyle(m_title, QStringLiteral("title-lbl"));
    m_recordBtn = new QPushButton(this);
    m_recordBtn->setObjectName(QStringLiteral("RecordButton"));
    m_recordBtn->setCheckable(true);
    m_recordBtn->setFixedSize(60, 25);
    m_recordBtn->setFocusPolicy(Qt::NoFocus);
    QFont recordFont = IconHelper::instance()->fontAwesome();
    recordFont.setPointSize(14);
    m_recordBtn->setFont(recordFont);
    m_recordBtn->setText(IconHelper::glyph(IconHelper::FaPlay));
    auto* header = new QHBoxLayout;
    header->setContentsMargins(4, 0, 4, 0);
    header->addWidget(m_title);
    header->addStretch(1);
    header->addWidget(m_recordBtn);
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(2);
    m_layout->addLayout(header);
    connect(m_recordBtn, &QPushButton::toggled, this, &WaveformPane::onRecordToggled);

    m_drainTimer = new QTimer(this);
    m_drainTimer->setTimerType(Qt::PreciseTimer);
    m_drainTimer->setInterval(kDrainMs);
    connect(m_drainTimer, &QTimer::timeout, this, &WaveformPane::onDrainTimeout);

    // Brace frames are cut out on a thread of their own; the drain polls its queue.
    m_parserThread = new QThread;
    m_parserThread->setObjectName(QStringLiteral("FrameParser"));
    m_parser = new CsvProtocolParser;
    m_parser->moveToThread(m_parserThread);
    m_parserThread->start(QThread::InheritPriority);
    qApp->installEventFilter(this);
}

WaveformPane::~WaveformPane()
{
    shutdown();
}

void WaveformPane::shutdown()
{
    qApp->removeEventFilter(this);
    m_drainTimer->stop();
    if (!m_parserThread)
        return;
    m_parserThread->quit();
    m_parserThread->wait();
    delete m_parser;
    m_parser = nullptr;
    delete m_parserThread;
    m_parserThread = nullptr;
}

void WaveformPane::retranslate()
{
    m_title->setText(tr("Waveform"));
}

MultiChannelWaveformWidget* WaveformPane::ensurePlot()
{
    // A window holding an OpenGL widget has every repaint composed through
    // OpenGL, which costs the log view most of its speed where OpenGL runs in
    // software; so the plot only exists once the waveform is wanted.
    if (m_plot)
        return m_plot;
    m_plot = new MultiChannelWaveformWidget(this);
    m_layout->addWidget(m_plot, 1);
    // Sixteen channels, hidden until the panel picks them.
    for (int i = 0; i < kChannels; ++i) {
        const int id = m_plot->addChannel(tr("Channel %1").arg(i));
        m_plot->setChannelVisible(id, false);
    }
    // The panel's buttons may have been set before the plot existed.
    for (int i = 0; i < kChannels; ++i) {
        if (QPushButton* button = m_manager->channelButton(i); button && button->isChecked())
            m_plot->setChannelVisible(i, true);
    }
    connect(m_manager, &WaveformManagerWidget::itemChanged, m_plot,
            &MultiChannelWaveformWidget::setChannelVisible);
    connect(m_plot, &MultiChannelWaveformWidget::channelVisibleChanged, m_manager,
            &WaveformManagerWidget::setItemChecked);
    // Every cursor pair gets a row in the timing-marker list.
    connect(m_plot, &MultiChannelWaveformWidget::cursorPairChanged, m_manager->timingWidget(),
            &TimingWidget::onCursorPairChanged);
    connect(m_plot, &MultiChannelWaveformWidget::cursorPairRemoved, m_manager->timingWidget(),
            &TimingWidget::onCursorPairRemoved);
    return m_plot;
}

bool WaveformPane::isRecording() const
{
    return m_plot && m_recordBtn->isChecked() && m_manager->isWaveformEnabled() && m_plot->isRecording();
}

void WaveformPane::queueForParser(const QByteArray& data)
{
    if (m_parser)
        QMetaObject::invokeMethod(m_parser, "handleData", Qt::QueuedConnection, Q_ARG(QByteArray, data));
}

void WaveformPane::feed(QByteArray data)
{
    // Script frame parsing, when it runs, takes precedence over the CSV parser.
    if (isRecording() && !m_engine->isFrameParsing())
        queueForParser(data);
}

void WaveformPane::feedScriptFrames(QByteArray frames)
{
    if (isRecording())
        queueForParser(frames);
}

void WaveformPane::onRecordToggled(bool checked)
{
    ensurePlot();
    if (checked) {
        // Pairs go with their signals, so the timing-marker list empties too.
        m_plot->clearCursorPairs();
        m_plot->startRecording();
        m_timestamp = 0;
        m_parser->reset();
        m_drainTimer->start();
        m_recordBtn->setText(IconHelper::glyph(IconHelper::FaStop));
    } else {
        m_plot->stopRecording();
        m_drainTimer->stop();
        m_recordBtn->setText(IconHelper::glyph(IconHelper::FaPlay));
    }
}

void WaveformPane::onDrainTimeout()
{
    if (!m_parser || !m_plot)
        return;
    const int rate = m_manager->sampleRate();
    m_plot->setSampleRate(rate);
    const auto lists = FrameDrain::drain(*m_parser, rate, m_timestamp);
    for (int id = 0; id < kChannels; ++id)
        m_plot->appendChannelData(id, lists[size_t(id)]);
}

bool WaveformPane::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_R && key->modifiers() == Qt::NoModifier && !key->isAutoRepeat() &&
            isVisible() && window()->isActiveWindow()) {
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
