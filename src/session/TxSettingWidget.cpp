#include "TxSettingWidget.h"

#include "AppConfig.h"
#include "StyleHelper.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

TxSettingWidget::TxSettingWidget(QWidget* parent) : QFrame(parent)
{
    m_title = new QLabel(this);
    StyleHelper::setStyle(m_title, QStringLiteral("title-lbl"));

    m_asciiBtn = new QRadioButton(this);
    m_hexBtn = new QRadioButton(this);
    m_modeGroup = new QButtonGroup(this);
    m_modeGroup->addButton(m_asciiBtn, 0);
    m_modeGroup->addButton(m_hexBtn, 1);

    m_sendNewLine = new QCheckBox(this);
    // Remembered across restarts; hex mode has no line ending.
    m_sendNewLine->setChecked(AppConfig::SendNewLine && !AppConfig::HexTxMode);

    // The entries show the escapes; the data holds the real characters.
    m_lineEndingBox = new QComboBox(this);
    m_lineEndingBox->setFixedHeight(23);
    m_lineEndingBox->addItem(QStringLiteral("\\n"), QStringLiteral("\n"));
    m_lineEndingBox->addItem(QStringLiteral("\\r"), QStringLiteral("\r"));
    m_lineEndingBox->addItem(QStringLiteral("\\r\\n"), QStringLiteral("\r\n"));
    m_lineEndingBox->addItem(QStringLiteral("\\n\\r"), QStringLiteral("\n\r"));
    m_lineEndingBox->setCurrentIndex(2);

    m_repeatSend = new QCheckBox(this);
    m_repeatSend->setChecked(false);
    m_interval = new QSpinBox(this);
    m_interval->setFixedHeight(23);
    m_interval->setRange(1, 100000);
    m_interval->setValue(1000);
    m_msLbl = new QLabel(this);

    if (AppConfig::HexTxMode) {
        m_hexBtn->setChecked(true);
        m_sendNewLine->setEnabled(false);
    } else {
        m_asciiBtn->setChecked(true);
    }

    auto* modeRow = new QHBoxLayout;
    modeRow->setContentsMargins(0, 0, 0, 0);
    modeRow->addWidget(m_asciiBtn);
    modeRow->addWidget(m_hexBtn);
    modeRow->addStretch(1);

    auto* newLineRow = new QHBoxLayout;
    newLineRow->setContentsMargins(0, 0, 0, 0);
    newLineRow->addWidget(m_sendNewLine);
    newLineRow->addWidget(m_lineEndingBox, 1);

    auto* repeatRow = new QHBoxLayout;
    repeatRow->setContentsMargins(0, 0, 0, 0);
    repeatRow->addWidget(m_repeatSend);
    repeatRow->addWidget(m_interval, 1);
    repeatRow->addWidget(m_msLbl);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addLayout(modeRow);
    layout->addLayout(newLineRow);
    layout->addLayout(repeatRow);
    layout->addStretch(1);

    connect(m_hexBtn, &QRadioButton::toggled, this, &TxSettingWidget::onHexToggled);
    connect(m_sendNewLine, &QCheckBox::toggled, this, [this](bool on) {
        AppConfig::SendNewLine = on;
        Q_EMIT sendNewLineChanged(on);
    });
    connect(m_repeatSend, &QCheckBox::toggled, this, &TxSettingWidget::repeatSendChanged);
    connect(m_interval, &QSpinBox::valueChanged, this, &TxSettingWidget::repeatIntervalChanged);

    retranslate();
}

bool TxSettingWidget::isHexMode() const
{
    return m_hexBtn->isChecked();
}

bool TxSettingWidget::isSendNewLine() const
{
    return m_sendNewLine->isChecked();
}

bool TxSettingWidget::isRepeatSend() const
{
    return m_repeatSend->isChecked();
}

QString TxSettingWidget::lineEnding() const
{
    return m_lineEndingBox->currentData().toString();
}

int TxSettingWidget::repeatInterval() const
{
    return m_interval->value();
}

void TxSettingWidget::uncheckRepeatSend()
{
    m_repeatSend->setChecked(false);
}

void TxSettingWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QFrame::changeEvent(event);
}

void TxSettingWidget::retranslate()
{
    m_title->setText(tr("Tx Settings"));
    m_asciiBtn->setText(tr("ASCII"));
    m_hexBtn->setText(tr("Hex"));
    m_sendNewLine->setText(tr("Send New Line"));
    m_repeatSend->setText(tr("Repeat Send"));
    m_msLbl->setText(tr("ms"));
}

void TxSettingWidget::onHexToggled(bool hex)
{
    AppConfig::HexTxMode = hex;
    if (hex)
        m_sendNewLine->setChecked(false);
    m_sendNewLine->setEnabled(!hex);
    Q_EMIT modeChanged(hex);
}
