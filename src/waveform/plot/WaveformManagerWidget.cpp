#include "WaveformManagerWidget.h"

#include "CSwitch.h"
#include "StyleHelper.h"
#include "TimingWidget.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

#include <limits>

WaveformManagerWidget::WaveformManagerWidget(QWidget* parent) : QFrame(parent)
{
    m_title = new QLabel(this);
    StyleHelper::setStyle(m_title, QStringLiteral("title-lbl"));

    m_enableLabel = new QLabel(this);
    m_switch = new CSwitch(this);
    m_switch->setFixedSize(40, 20);

    m_channelLabel = new QLabel(this);
    m_allBtn = new QPushButton(this);
    m_allBtn->setFixedSize(40, 25);
    m_clearBtn = new QPushButton(this);
    m_clearBtn->setFixedSize(45, 25);

    auto* grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(8);
    for (int i = 0; i < kChannelCount; ++i) {
        auto* btn = new QPushButton(QString::number(i), this);
        btn->setCheckable(true);
        btn->setChecked(false);
        btn->setFixedHeight(25);
        // The sheets colour a checked button like the channel's trace.
        StyleHelper::setStyle(btn, QStringLiteral("chn%1").arg(i % 8));
        grid->addWidget(btn, i / 8, i % 8);
        connect(btn, &QPushButton::toggled, this, [this, i](bool checked) { emit itemChanged(i, checked); });
        m_channelBtns.append(btn);
    }

    m_rateLabel = new QLabel(this);
    m_sampleRate = new QSpinBox(this);
    m_sampleRate->setFixedHeight(25);
    m_sampleRate->setRange(0, std::numeric_limits<int>::max());
    m_sampleRate->setValue(kDefaultSampleRate);

    m_timingLabel = new QLabel(this);
    m_timing = new TimingWidget;
    m_timingArea = new QScrollArea(this);
    m_timingArea->setWidgetResizable(true);
    m_timingArea->setFrameShape(QFrame::NoFrame);
    m_timingArea->setWidget(m_timing);

    auto* enableRow = new QHBoxLayout;
    enableRow->setContentsMargins(0, 0, 0, 0);
    enableRow->addWidget(m_enableLabel);
    enableRow->addStretch();
    enableRow->addWidget(m_switch);

    auto* channelRow = new QHBoxLayout;
    channelRow->setContentsMargins(0, 0, 0, 0);
    channelRow->addWidget(m_channelLabel);
    channelRow->addStretch();
    channelRow->addWidget(m_allBtn);
    channelRow->addWidget(m_clearBtn);

    auto* rateRow = new QHBoxLayout;
    rateRow->setContentsMargins(0, 0, 0, 0);
    rateRow->addWidget(m_rateLabel);
    rateRow->addWidget(m_sampleRate, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addLayout(enableRow);
    layout->addLayout(channelRow);
    layout->addLayout(grid);
    layout->addLayout(rateRow);
    layout->addWidget(m_timingLabel);
    layout->addWidget(m_timingArea, 1);

    connect(m_switch, &CSwitch::toggled, this, &WaveformManagerWidget::onSwitchToggled);
    connect(m_allBtn, &QPushButton::clicked, this, [this] { setAllChecked(true); });
    connect(m_clearBtn, &QPushButton::clicked, this, [this] { setAllChecked(false); });
    connect(m_sampleRate, &QSpinBox::valueChanged, this, &WaveformManagerWidget::sampleRateChanged);

    retranslate();
}

int WaveformManagerWidget::sampleRate() const
{
    return m_sampleRate->value();
}

bool WaveformManagerWidget::isWaveformEnabled() const
{
    return m_switch->isChecked();
}

QPushButton* WaveformManagerWidget::channelButton(int index) const
{
    if (index < 0 || index >= m_channelBtns.size())
        return nullptr;
    return m_channelBtns.at(index);
}

void WaveformManagerWidget::setItemChecked(int index, bool checked)
{
    QPushButton* btn = channelButton(index);
    if (!btn)
        return;
    const QSignalBlocker blocker(btn);
    btn->setChecked(checked);
}

void WaveformManagerWidget::onSwitchToggled(bool checked)
{
    // Either way the first eight channels come up, so switching the plot on
    // never shows an empty stack.
    for (int i = 0; i < 8; ++i)
        m_channelBtns.at(i)->setChecked(true);
    emit switchChecked(checked);
}

void WaveformManagerWidget::setAllChecked(bool checked)
{
    for (QPushButton* btn : std::as_const(m_channelBtns))
        btn->setChecked(checked);
}

void WaveformManagerWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QFrame::changeEvent(event);
}

void WaveformManagerWidget::retranslate()
{
    m_title->setText(tr("Waveform Parameter Settings"));
    m_enableLabel->setText(tr("Enable Waveform"));
    m_channelLabel->setText(tr("Channel"));
    m_allBtn->setText(tr("All"));
    m_clearBtn->setText(tr("Clear"));
    m_rateLabel->setText(tr("Sample Rate (sample/sec):"));
    m_timingLabel->setText(tr("Timing Markers"));
}
