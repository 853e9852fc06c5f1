#include "WaveFormInfoItem.h"

#include "StyleHelper.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include <limits>

WaveFormInfoItem::WaveFormInfoItem(int kind, QWidget* parent) : QFrame(parent), m_kind(kind)
{
    m_title = new QLabel(this);
    StyleHelper::setStyle(m_title, QStringLiteral("title-lbl"));
    m_periodLabel = new QLabel(this);
    m_amplitudeLabel = new QLabel(this);
    m_offsetLabel = new QLabel(this);
    m_decayLabel = new QLabel(this);

    constexpr int kMax = std::numeric_limits<int>::max();
    m_period = new QSpinBox(this);
    m_period->setRange(0, kMax);
    m_period->setValue(1000);
    auto makeDouble = [this](double value) {
        auto* box = new QDoubleSpinBox(this);
        box->setDecimals(2);
        box->setRange(0, kMax);
        box->setValue(value);
        return box;
    };
    m_amplitude = makeDouble(1);
    m_offset = makeDouble(0);
    m_decay = makeDouble(10000);
    for (QAbstractSpinBox* box :
         std::initializer_list<QAbstractSpinBox*>{m_period, m_amplitude, m_offset, m_decay}) {
        box->setFixedHeight(23);
        box->setContextMenuPolicy(Qt::NoContextMenu);
        // A wheel over a field scrolls the list instead of changing the value.
        box->installEventFilter(this);
    }
    m_check = new QCheckBox(this);

    auto* grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(4);
    grid->addWidget(m_periodLabel, 0, 0);
    grid->addWidget(m_period, 0, 1);
    grid->addWidget(m_amplitudeLabel, 1, 0);
    grid->addWidget(m_amplitude, 1, 1);
    grid->addWidget(m_offsetLabel, 2, 0);
    grid->addWidget(m_offset, 2, 1);
    grid->addWidget(m_decayLabel, 3, 0);
    grid->addWidget(m_decay, 3, 1);
    grid->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(4);
    layout->addWidget(m_title);
    layout->addLayout(grid);
    layout->addWidget(m_check);

    connect(m_check, &QCheckBox::toggled, this, &WaveFormInfoItem::toggled);
    connect(m_period, &QSpinBox::valueChanged, this, &WaveFormInfoItem::valueChanged);
    for (QDoubleSpinBox* box : {m_amplitude, m_offset, m_decay})
        connect(box, &QDoubleSpinBox::valueChanged, this, &WaveFormInfoItem::valueChanged);
    connect(this, &WaveFormInfoItem::valueChanged, this, &WaveFormInfoItem::updateValidity);
    retranslate();
}

WaveformInfo WaveFormInfoItem::info() const
{
    WaveformInfo info;
    info.name = WaveformGenerator::kindNames().value(m_kind);
    info.period = m_period->value();
    info.amplitude = m_amplitude->value();
    info.offset = m_offset->value();
    info.decayConstant = m_decay->value();
    info.checked = m_check->isChecked();
    return info;
}

bool WaveFormInfoItem::isChecked() const
{
    return m_check->isChecked();
}

void WaveFormInfoItem::setChecked(bool checked)
{
    m_check->setChecked(checked);
}

QSize WaveFormInfoItem::sizeHint() const
{
    return QSize(QFrame::sizeHint().width(), 155);
}

void WaveFormInfoItem::updateValidity()
{
    const WaveformInfo current = info();
    const QString period = WaveformGenerator::periodProblem(m_kind, current);
    const QString decay = WaveformGenerator::decayProblem(m_kind, current);
    StyleHelper::setStyle(m_period, period.isEmpty() ? QString() : QStringLiteral("invalid"));
    m_period->setToolTip(period);
    StyleHelper::setStyle(m_decay, decay.isEmpty() ? QString() : QStringLiteral("invalid"));
    m_decay->setToolTip(decay);
}

bool WaveFormInfoItem::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Wheel) {
        if (parentWidget())
            QCoreApplication::sendEvent(parentWidget(), event);
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

void WaveFormInfoItem::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QFrame::changeEvent(event);
}

void WaveFormInfoItem::retranslate()
{
    m_title->setText(
        WaveformGenerator::tr(WaveformGenerator::kindNames().value(m_kind).toUtf8().constData()));
    m_periodLabel->setText(tr("Period(us):"));
    m_amplitudeLabel->setText(tr("Amplitude:"));
    m_offsetLabel->setText(tr("OffsetY:"));
    m_decayLabel->setText(tr("Decay Contant:"));
    updateValidity();
}
