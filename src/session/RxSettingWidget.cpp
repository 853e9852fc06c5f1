#include "RxSettingWidget.h"

#include "AppConfig.h"
#include "IconHelper.h"
#include "LineStamp.h"
#include "SettingWidget.h"
#include "StyleHelper.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

RxSettingWidget::RxSettingWidget(QWidget* parent) : QFrame(parent)
{
    m_title = new QLabel(this);
    StyleHelper::setStyle(m_title, QStringLiteral("title-lbl"));

    m_asciiBtn = new QRadioButton(this);
    m_hexBtn = new QRadioButton(this);
    m_modeGroup = new QButtonGroup(this);
    m_modeGroup->addButton(m_asciiBtn, 0);
    m_modeGroup->addButton(m_hexBtn, 1);
    if (AppConfig::HexRxMode)
        m_hexBtn->setChecked(true);
    else
        m_asciiBtn->setChecked(true);

    m_bytesPerLineBox = new QComboBox(this);
    for (int n : {16, 32, 48, 96})
        m_bytesPerLineBox->addItem(QString::number(n), n);
    // Follows the log view's width; the text is set with the others.
    m_bytesPerLineBox->addItem(QString(), 0);
    const int perLine = m_bytesPerLineBox->findData(AppConfig::HexBytesPerLine);
    if (perLine >= 0) {
        m_bytesPerLineBox->setCurrentIndex(perLine);
    } else {
        // An unusable value from the file: show 16 and keep what is shown.
        m_bytesPerLineBox->setCurrentIndex(0);
        AppConfig::HexBytesPerLine = 16;
    }
    m_bytesPerLineBox->setVisible(AppConfig::HexRxMode);

    m_autoWrap = new QCheckBox(this);
    m_autoWrap->setChecked(AppConfig::AutoWrap);
    m_hexDump = new QCheckBox(this);
    m_hexDump->setChecked(AppConfig::HexDumpColumns);
    m_showSend = new QCheckBox(this);
    m_showSend->setChecked(AppConfig::ShowSend);
    m_showTime = new QCheckBox(this);
    m_showTime->setChecked(AppConfig::ShowTime);
    m_stampFormat = new QComboBox(this);
    for (int i = 0; i < LineStamp::kFormatCount; ++i)
        m_stampFormat->addItem(QString(), i);
    if (AppConfig::TimestampFormat < 0 || AppConfig::TimestampFormat >= LineStamp::kFormatCount)
        AppConfig::TimestampFormat = LineStamp::TimeOfDay;
    m_stampFormat->setCurrentIndex(AppConfig::TimestampFormat);
    m_stampFormat->setEnabled(AppConfig::ShowTime);
    m_showLog = new QCheckBox(this);
    m_showLog->setChecked(true);
    m_saveToFile = new QCheckBox(this);
    m_saveToFile->setChecked(false);

    m_settingsBtn = new QPushButton(this);
    m_settingsBtn->setCursor(Qt::PointingHandCursor);
    m_settingsBtn->setFont(IconHelper::instance()->phosphor(15));
    m_settingsBtn->setText(IconHelper::glyph(IconHelper::PhGearSix));
    StyleHelper::setStyle(m_settingsBtn, QStringLiteral("system-btn"));

    auto* modeRow = new QHBoxLayout;
    modeRow->setContentsMargins(0, 0, 0, 0);
    modeRow->addWidget(m_asciiBtn);
    modeRow->addWidget(m_hexBtn);
    modeRow->addWidget(m_bytesPerLineBox, 1);

    auto* grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(6);
    grid->addWidget(m_autoWrap, 0, 0);
    grid->addWidget(m_showSend, 0, 1);
    grid->addWidget(m_showTime, 1, 0, 1, 2);
    grid->addWidget(m_stampFormat, 2, 0, 1, 2);
    grid->addWidget(m_showLog, 3, 0);
    grid->addWidget(m_hexDump, 3, 1);
    grid->addWidget(m_saveToFile, 4, 0, 1, 2);

    auto* fileRow = new QHBoxLayout;
    fileRow->setContentsMargins(0, 0, 0, 0);
    fileRow->addStretch(1);
    fileRow->addWidget(m_settingsBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addLayout(modeRow);
    layout->addLayout(grid);
    layout->addLayout(fileRow);

    connect(m_hexBtn, &QRadioButton::toggled, this, &RxSettingWidget::onHexToggled);
    connect(m_bytesPerLineBox, &QComboBox::currentIndexChanged, this,
            &RxSettingWidget::onBytesPerLineChanged);
    connect(m_autoWrap, &QCheckBox::toggled, this, [this](bool on) {
        AppConfig::AutoWrap = on;
        Q_EMIT autoWrapChanged(on);
    });
    connect(m_hexDump, &QCheckBox::toggled, this, [this](bool on) {
        AppConfig::HexDumpColumns = on;
        Q_EMIT hexDumpColumnsChanged(on);
    });
    connect(m_showSend, &QCheckBox::toggled, this, [this](bool on) {
        AppConfig::ShowSend = on;
        Q_EMIT showSendChanged(on);
    });
    connect(m_showTime, &QCheckBox::toggled, this, [this](bool on) {
        AppConfig::ShowTime = on;
        m_stampFormat->setEnabled(on);
        Q_EMIT showTimestampChanged(on);
    });
    connect(m_stampFormat, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0)
            return;
        AppConfig::TimestampFormat = index;
        Q_EMIT timestampFormatChanged(index);
    });
    connect(m_showLog, &QCheckBox::toggled, this, &RxSettingWidget::showLogChanged);
    connect(m_saveToFile, &QCheckBox::toggled, this, &RxSettingWidget::saveToFileChanged);
    connect(m_settingsBtn, &QPushButton::clicked, this, &RxSettingWidget::openSettings);

    retranslate();
}

bool RxSettingWidget::isHexMode() const
{
    return m_hexBtn->isChecked();
}

int RxSettingWidget::hexBytesPerLine() const
{
    const int n = m_bytesPerLineBox->currentData().toInt();
    return n >= 0 ? n : 16;
}

bool RxSettingWidget::isHexDumpColumns() const
{
    return m_hexDump->isChecked();
}

bool RxSettingWidget::isAutoWrap() const
{
    return m_autoWrap->isChecked();
}

bool RxSettingWidget::isShowSend() const
{
    return m_showSend->isChecked();
}

bool RxSettingWidget::isShowTimestamp() const
{
    return m_showTime->isChecked();
}

int RxSettingWidget::timestampFormat() const
{
    return qMax(0, m_stampFormat->currentIndex());
}

bool RxSettingWidget::isShowLog() const
{
    return m_showLog->isChecked();
}

bool RxSettingWidget::isSaveToFile() const
{
    return m_saveToFile->isChecked();
}

SettingWidget* RxSettingWidget::openSettings()
{
    auto* popup = new SettingWidget(window());
    connect(popup, &SettingWidget::logFilePathChanged, this, &RxSettingWidget::logFilePathChanged);
    popup->show();
    return popup;
}

void RxSettingWidget::uncheckSaveToFile()
{
    m_saveToFile->setChecked(false);
}

void RxSettingWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QFrame::changeEvent(event);
}

void RxSettingWidget::retranslate()
{
    m_title->setText(tr("Rx Settings"));
    m_asciiBtn->setText(tr("ASCII"));
    m_hexBtn->setText(tr("Hex"));
    m_bytesPerLineBox->setToolTip(tr("Bytes per line"));
    m_bytesPerLineBox->setItemText(m_bytesPerLineBox->count() - 1, tr("Auto"));
    m_hexDump->setText(tr("Hex Dump"));
    m_hexDump->setToolTip(tr("Hex lines with an offset and a character column (hexdump -C layout)"));
    m_autoWrap->setText(tr("Auto Wrap"));
    m_showSend->setText(tr("Show Send"));
    m_showTime->setText(tr("Show Timestamp"));
    m_stampFormat->setToolTip(tr("Timestamp format"));
    const QStringList names = LineStamp::formatNames();
    for (int i = 0; i < names.size() && i < m_stampFormat->count(); ++i)
        m_stampFormat->setItemText(i, QCoreApplication::translate("LineStamp", names.at(i).toLatin1()));
    m_showLog->setText(tr("Show Log"));
    m_saveToFile->setText(tr("Output Log To File"));
    m_settingsBtn->setToolTip(tr("通用设置"));
}

void RxSettingWidget::onHexToggled(bool hex)
{
    AppConfig::HexRxMode = hex;
    m_bytesPerLineBox->setVisible(hex);
    Q_EMIT modeChanged(hex);
}

void RxSettingWidget::onBytesPerLineChanged(int index)
{
    const int n = m_bytesPerLineBox->itemData(index).toInt();
    if (n >= 0)
        AppConfig::HexBytesPerLine = n;
}
