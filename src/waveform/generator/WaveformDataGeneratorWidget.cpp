#include "WaveformDataGeneratorWidget.h"

#include "CDialog.h"
#include "SerialPortManager.h"
#include "StyleHelper.h"
#include "WaveFormInfoItem.h"
#include "WaveformListWidget.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

WaveformDataGeneratorWidget::WaveformDataGeneratorWidget(SerialPortManager* manager, QWidget* parent)
    : QFrame(parent), m_manager(manager)
{
    m_title = new QLabel(this);
    StyleHelper::setStyle(m_title, QStringLiteral("title-lbl"));
    m_startBtn = new QPushButton(this);
    m_startBtn->setCheckable(true);
    m_startBtn->setFixedSize(60, 25);
    m_selectAllBtn = new QPushButton(this);
    m_selectAllBtn->setCheckable(true);
    m_selectAllBtn->setFixedHeight(25);

    m_prefixLabel = new QLabel(this);
    m_prefix = new QLineEdit(QStringLiteral("{"), this);
    m_prefix->setFixedHeight(25);
    m_suffixLabel = new QLabel(this);
    m_suffix = new QLineEdit(QStringLiteral("}"), this);
    m_suffix->setFixedHeight(25);
    m_list = new WaveformListWidget(this);

    m_timer = new QTimer(this);
    m_timer->setInterval(20);
    m_timer->setTimerType(Qt::PreciseTimer);

    auto* top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    top->addWidget(m_title);
    top->addStretch();
    top->addWidget(m_selectAllBtn);
    top->addWidget(m_startBtn);

    auto* affix = new QHBoxLayout;
    affix->setContentsMargins(0, 0, 0, 0);
    affix->addWidget(m_prefixLabel);
    affix->addWidget(m_prefix, 1);
    affix->addWidget(m_suffixLabel);
    affix->addWidget(m_suffix, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(affix);
    layout->addWidget(m_list, 1);

    connect(m_startBtn, &QPushButton::toggled, this, [this](bool on) { on ? start() : stop(); });
    connect(m_selectAllBtn, &QPushButton::toggled, this,
            [this](bool on) { on ? m_list->selectAll() : m_list->selectNone(); });
    connect(m_prefix, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_generator.setPrefix(text); });
    connect(m_suffix, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_generator.setSuffix(text); });
    connect(m_timer, &QTimer::timeout, this, &WaveformDataGeneratorWidget::onTimeout);
    retranslate();
}

bool WaveformDataGeneratorWidget::isRunning() const
{
    return m_timer->isActive();
}

void WaveformDataGeneratorWidget::setButtonStopped()
{
    m_startBtn->setText(tr("Start"));
    const QSignalBlocker block(m_startBtn);
    m_startBtn->setChecked(false);
}

void WaveformDataGeneratorWidget::start()
{
    m_selected.clear();
    for (WaveFormInfoItem* item : m_list->checkedItems())
        m_selected.append(item);
    m_generator.reset();
    if (m_manager && m_manager->isOpen() && !m_selected.isEmpty()) {
        m_timer->start();
        m_startBtn->setText(tr("Stop"));
        {
            const QSignalBlocker block(m_startBtn);
            m_startBtn->setChecked(true);
        }
        emit statusChanged(true);
        return;
    }
    m_timer->stop();
    setButtonStopped();
    // A closed port alone is no reason for a message: the port panel shows it.
    if (m_selected.isEmpty())
        CDialog::showMessage(this, tr("Warning"), tr("Please select waveform!"));
}

void WaveformDataGeneratorWidget::stop()
{
    m_timer->stop();
    setButtonStopped();
    emit statusChanged(false);
}

void WaveformDataGeneratorWidget::onTimeout()
{
    if (m_selected.isEmpty() || !m_manager || !m_manager->isOpen()) {
        stop();
        return;
    }
    // Field edits of the selected kinds apply from this tick on.
    QList<WaveformGenerator::Wave> waves;
    for (const QPointer<WaveFormInfoItem>& item : std::as_const(m_selected)) {
        if (item)
            waves.append({item->kind(), item->info()});
    }
    m_manager->write(m_generator.nextTick(waves));
}

void WaveformDataGeneratorWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QFrame::changeEvent(event);
}

void WaveformDataGeneratorWidget::retranslate()
{
    m_title->setText(tr("Waveform Data Generator"));
    m_selectAllBtn->setText(tr("Select All"));
    m_startBtn->setText(isRunning() ? tr("Stop") : tr("Start"));
    m_prefixLabel->setText(tr("Prefix:"));
    m_suffixLabel->setText(tr("Suffix:"));
}
