#include "SerialParamWidget.h"

#include "AppConfig.h"
#include "CDialog.h"
#include "CLed.h"
#include "ModemLines.h"
#include "NativeFilter.h"
#include "SerialPortManager.h"
#include "StyleHelper.h"

#include <QCheckBox>
#include <QCollator>
#include <QComboBox>
#include <QDebug>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Marks the port combo's "Custom" entry, whatever language its text is in.
constexpr int kCustomRole = Qt::UserRole + 1;
const QString kCustom = QStringLiteral("Custom");

bool isPathLike(const QString& text)
{
    return text.startsWith(QLatin1Char('/')) || text.startsWith(QLatin1String("./")) ||
           text.startsWith(QLatin1String("../"));
}

// "ttyUSB0(FT232R USB UART)" -> "ttyUSB0"; a path is taken whole, since it may
// itself contain "(".
QString nameOfEntry(const QString& entry)
{
    const QString text = entry.trimmed();
    if (isPathLike(text))
        return text;
    return text.section(QLatin1Char('('), 0, 0).trimmed();
}

void selectText(QComboBox* box, const QString& text, const QString& fallback)
{
    int index = box->findText(text);
    if (index < 0)
        index = box->findText(fallback);
    if (index >= 0)
        box->setCurrentIndex(index);
}

} // namespace

SerialParamWidget::SerialParamWidget(SerialPortManager* manager, QWidget* parent)
    : QFrame(parent), m_manager(manager)
{
    m_title = new QLabel(this);
    StyleHelper::setStyle(m_title, QStringLiteral("title-lbl"));

    m_portLbl = new QLabel(this);
    m_baudLbl = new QLabel(this);
    m_dataBitsLbl = new QLabel(this);
    m_parityLbl = new QLabel(this);
    m_stopBitsLbl = new QLabel(this);
    m_flowLbl = new QLabel(this);

    // Linux users also open ptys and symlinks no enumeration lists, so the
    // port can be typed in; typed entries are added by this panel, not the combo.
    m_portBox = new QComboBox(this);
    m_portBox->setEditable(true);
    m_portBox->setInsertPolicy(QComboBox::NoInsert);
    // No inline completion: typing /dev/pts/1 must not silently become /dev/pts/10.
    m_portBox->setCompleter(nullptr);
    m_portBox->addItem(QStringLiteral("Default(COM1)"));

    m_baudBox = new QComboBox(this);
    m_baudBox->setInsertPolicy(QComboBox::NoInsert);
    static const int rates[] = {1200,   2400,    4800,    9600,    19200,   38400,   57600,  115200,
                                921600, 1000000, 1500000, 2000000, 2500000, 3000000, 4000000};
    for (int rate : rates)
        m_baudBox->addItem(QString::number(rate), rate);
    m_baudBox->addItem(kCustom);

    m_dataBitsBox = new QComboBox(this);
    m_dataBitsBox->addItems(SerialPortManager::dataBitsList());
    m_parityBox = new QComboBox(this);
    m_parityBox->addItems(SerialPortManager::parityList());
    m_stopBitsBox = new QComboBox(this);
    m_stopBitsBox->addItems(SerialPortManager::stopBitsList());
    m_flowBox = new QComboBox(this);
    m_flowBox->addItems(SerialPortManager::flowControlList());

    // Only numbered rates come from the configuration; a typed rate is not kept.
    {
        int index = -1;
        for (int i = 0; i < m_baudBox->count(); ++i) {
            if (m_baudBox->itemData(i).isValid() && m_baudBox->itemText(i) == AppConfig::Baudrate)
                index = i;
        }
        m_baudBox->setCurrentIndex(index >= 0 ? index : m_baudBox->findText(QStringLiteral("115200")));
    }
    selectText(m_dataBitsBox, AppConfig::DataBits, QStringLiteral("8"));
    selectText(m_parityBox, AppConfig::ParityBits, QStringLiteral("None"));
    selectText(m_stopBitsBox, AppConfig::StopBits, QStringLiteral("1"));
    selectText(m_flowBox, AppConfig::FlowCtrl, QStringLiteral("None"));
    // A garbage value in the file falls back to the default shown here.
    AppConfig::Baudrate = m_baudBox->currentText();
    AppConfig::DataBits = m_dataBitsBox->currentText();
    AppConfig::ParityBits = m_parityBox->currentText();
    AppConfig::StopBits = m_stopBitsBox->currentText();
    AppConfig::FlowCtrl = m_flowBox->currentText();

    m_openBtn = new QPushButton(this);
    m_openBtn->setCheckable(true);
    m_openBtn->setFixedHeight(30);
    StyleHelper::setStyle(m_openBtn, QStringLiteral("OpenBtn"));

    auto* grid = new QGridLayout;
    grid->setSpacing(8);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(m_portLbl, 0, 0);
    grid->addWidget(m_portBox, 0, 1);
    grid->addWidget(m_baudLbl, 1, 0);
    grid->addWidget(m_baudBox, 1, 1);
    grid->addWidget(m_dataBitsLbl, 2, 0);
    grid->addWidget(m_dataBitsBox, 2, 1);
    grid->addWidget(m_parityLbl, 3, 0);
    grid->addWidget(m_parityBox, 3, 1);
    grid->addWidget(m_stopBitsLbl, 4, 0);
    grid->addWidget(m_stopBitsBox, 4, 1);
    grid->addWidget(m_flowLbl, 5, 0);
    grid->addWidget(m_flowBox, 5, 1);
    grid->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addLayout(grid);
    layout->addWidget(m_openBtn);
    buildModemRows(layout);

    m_nativeFilter = new NativeFilter(this);
    m_reconnector = new AutoReconnector(m_manager, this);
    m_reconnector->setParameterSource([this] {
        AutoReconnector::LineParameters p;
        p.baudRate = baudRate();
        p.dataBits = dataBits();
        p.parity = parity();
        p.stopBits = stopBits();
        p.flowControl = flowControl();
        return p;
    });

    connect(m_openBtn, &QPushButton::clicked, this, &SerialParamWidget::onOpenBtnClicked);
    if (m_manager)
        connect(m_manager, &SerialPortManager::errorOccurred, this, &SerialParamWidget::onSerialPortError,
                Qt::DirectConnection);
    connect(m_reconnector, &AutoReconnector::attemptStarted, this, &SerialParamWidget::onReconnectAttempt);
    connect(m_reconnector, &AutoReconnector::reconnected, this, &SerialParamWidget::onReconnected);
    connect(m_reconnector, &AutoReconnector::gaveUp, this, &SerialParamWidget::onReconnectGaveUp);
    connect(m_nativeFilter, &NativeFilter::deviceChanged, this, &SerialParamWidget::onDeviceInserted);
    connect(m_nativeFilter, &NativeFilter::deviceRemoveComplete, this, &SerialParamWidget::onDeviceRemove);

    connect(m_portBox, &QComboBox::currentTextChanged, this, &SerialParamWidget::onPortTextChanged);
    connect(m_portBox->lineEdit(), &QLineEdit::returnPressed, this, &SerialParamWidget::onPortEditCommitted);
    connect(m_baudBox, &QComboBox::currentIndexChanged, this, &SerialParamWidget::onBaudIndexChanged);
    connect(m_baudBox, &QComboBox::editTextChanged, this, &SerialParamWidget::onBaudEditTextChanged);
    connect(m_dataBitsBox, &QComboBox::currentTextChanged, this, &SerialParamWidget::onDataBitsChanged);
    connect(m_parityBox, &QComboBox::currentTextChanged, this, &SerialParamWidget::onParityChanged);
    connect(m_stopBitsBox, &QComboBox::currentTextChanged, this, &SerialParamWidget::onStopBitsChanged);
    connect(m_flowBox, &QComboBox::currentTextChanged, this, &SerialParamWidget::onFlowCtrlChanged);

    // The port object starts with what the panel shows.
    if (m_manager) {
        m_manager->setBaudRate(m_baudBox->currentData().toInt());
        m_manager->setDataBits(m_dataBitsBox->currentText());
        m_manager->setParity(m_parityBox->currentText());
        m_manager->setStopBits(m_stopBitsBox->currentText());
        m_manager->setFlowControl(m_flowBox->currentText());
    }

    retranslate();
    refreshPortList();
    // The port used last time is shown again (not opened).
    if (!AppConfig::LastPort.isEmpty())
        selectPort(AppConfig::LastPort);
}

void SerialParamWidget::buildModemRows(QLayout* layout)
{
    m_modem = new ModemLines(m_manager, this);
    m_modem->setDataTerminalReady(AppConfig::DtrOn);
    m_modem->setRequestToSend(AppConfig::RtsOn);
    m_modem->setPulseMs(AppConfig::PulseMs);
    m_modem->setBreakMs(AppConfig::BreakMs);
    AppConfig::PulseMs = m_modem->pulseMs();
    AppConfig::BreakMs = m_modem->breakMs();

    m_modemTitle = new QLabel(this);
    StyleHelper::setStyle(m_modemTitle, QStringLiteral("title-lbl"));
    m_dtrBox = new QCheckBox(QStringLiteral("DTR"), this);
    m_dtrBox->setChecked(m_modem->dataTerminalReady());
    m_rtsBox = new QCheckBox(QStringLiteral("RTS"), this);
    m_rtsBox->setChecked(m_modem->requestToSend());

    auto* controlRow = new QHBoxLayout;
    controlRow->setContentsMargins(0, 0, 0, 0);
    controlRow->addWidget(m_dtrBox);
    controlRow->addWidget(m_rtsBox);
    controlRow->addStretch(1);

    auto* ledRow = new QHBoxLayout;
    ledRow->setContentsMargins(0, 0, 0, 0);
    ledRow->setSpacing(4);
    static const char* const names[] = {"CTS", "DSR", "DCD", "RI"};
    for (const char* name : names) {
        auto* led = new CLed(this);
        led->setFixedSize(12, 12);
        led->setObjectName(QStringLiteral("ModemLed") + QLatin1String(name));
        auto* label = new QLabel(QLatin1String(name), this);
        StyleHelper::setStyle(label, QStringLiteral("info-lbl"));
        ledRow->addWidget(led);
        ledRow->addWidget(label);
        ledRow->addSpacing(4);
        m_leds << led;
        m_ledLabels << label;
    }
    ledRow->addStretch(1);

    auto makeMs = [this](int min, int max, int value) {
        auto* box = new QSpinBox(this);
        box->setRange(min, max);
        box->setValue(value);
        box->setSuffix(QStringLiteral(" ms"));
        box->setFixedWidth(82);
        return box;
    };
    m_pulseBtn = new QPushButton(this);
    m_pulseMs = makeMs(ModemLines::kMinPulseMs, ModemLines::kMaxPulseMs, m_modem->pulseMs());
    m_breakBtn = new QPushButton(this);
    m_breakMs = makeMs(ModemLines::kMinBreakMs, ModemLines::kMaxBreakMs, m_modem->breakMs());
    auto* grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(6);
    grid->addWidget(m_pulseBtn, 0, 0);
    grid->addWidget(m_pulseMs, 0, 1);
    grid->addWidget(m_breakBtn, 1, 0);
    grid->addWidget(m_breakMs, 1, 1);
    grid->setColumnStretch(0, 1);

    layout->addWidget(m_modemTitle);
    if (auto* box = qobject_cast<QBoxLayout*>(layout)) {
        box->addLayout(controlRow);
        box->addLayout(ledRow);
        box->addLayout(grid);
    }

    connect(m_dtrBox, &QCheckBox::toggled, this, [this](bool on) {
        AppConfig::DtrOn = on;
        m_modem->setDataTerminalReady(on);
    });
    connect(m_rtsBox, &QCheckBox::toggled, this, [this](bool on) {
        AppConfig::RtsOn = on;
        m_modem->setRequestToSend(on);
    });
    connect(m_pulseMs, &QSpinBox::valueChanged, this, [this](int ms) {
        m_modem->setPulseMs(ms);
        AppConfig::PulseMs = m_modem->pulseMs();
    });
    connect(m_breakMs, &QSpinBox::valueChanged, this, [this](int ms) {
        m_modem->setBreakMs(ms);
        AppConfig::BreakMs = m_modem->breakMs();
    });
    connect(m_pulseBtn, &QPushButton::clicked, m_modem, &ModemLines::pulse);
    connect(m_breakBtn, &QPushButton::clicked, m_modem, &ModemLines::sendBreak);
    connect(m_modem, &ModemLines::pinoutChanged, this, &SerialParamWidget::showPinout);
    connect(m_modem, &ModemLines::statusAvailableChanged, this, &SerialParamWidget::showPinout);
    connect(m_modem, &ModemLines::pulseActiveChanged, this, &SerialParamWidget::updateModemControls);
    connect(m_modem, &ModemLines::breakActiveChanged, this, &SerialParamWidget::updateModemControls);
    if (m_manager) {
        connect(m_manager, &SerialPortManager::connected, this, &SerialParamWidget::updateModemControls);
        connect(m_manager, &SerialPortManager::disconnected, this, &SerialParamWidget::updateModemControls);
    }
    connect(m_flowBox, &QComboBox::currentTextChanged, this, &SerialParamWidget::updateModemControls);
    updateModemControls();
    showPinout();
}

void SerialParamWidget::updateModemControls()
{
    const bool open = m_manager && m_manager->isOpen();
    // Hardware flow control drives RTS itself.
    m_rtsBox->setEnabled(m_flowBox->currentText() != QLatin1String("Hardware"));
    m_pulseBtn->setEnabled(open && !m_modem->isPulsing());
    m_breakBtn->setEnabled(open && !m_modem->isBreaking());
}

void SerialParamWidget::showPinout()
{
    static const QSerialPort::PinoutSignal lines[] = {
        QSerialPort::ClearToSendSignal, QSerialPort::DataSetReadySignal, QSerialPort::DataCarrierDetectSignal,
        QSerialPort::RingIndicatorSignal};
    const QSerialPort::PinoutSignals now = m_modem->pinout();
    const bool available = m_modem->statusAvailable();
    for (int i = 0; i < m_leds.size(); ++i) {
        m_leds[i]->setOn(now.testFlag(lines[i]));
        m_leds[i]->setEnabled(available);
        m_ledLabels[i]->setEnabled(available);
    }
}

SerialParamWidget::~SerialParamWidget()
{
    // Nothing may reach the half-destroyed panel from here on.
    m_reconnector->blockSignals(true);
    m_reconnector->stop();
    delete m_nativeFilter;
    m_nativeFilter = nullptr;
}

QString SerialParamWidget::portName() const
{
    const int index = m_portBox->currentIndex();
    const QString text = m_portBox->currentText().trimmed();
    if (index >= 0 && m_portBox->itemData(index, kCustomRole).toBool() && text == m_portBox->itemText(index))
        return kCustom;
    return nameOfEntry(text);
}

QString SerialParamWidget::baudRate() const
{
    return m_baudBox->currentText();
}

QString SerialParamWidget::dataBits() const
{
    return m_dataBitsBox->currentText();
}

QString SerialParamWidget::parity() const
{
    return m_parityBox->currentText();
}

QString SerialParamWidget::stopBits() const
{
    return m_stopBitsBox->currentText();
}

QString SerialParamWidget::flowControl() const
{
    return m_flowBox->currentText();
}

bool SerialParamWidget::isReconnecting() const
{
    return m_reconnector->isReconnecting();
}

bool SerialParamWidget::selectPort(const QString& portOrPath)
{
    QString want = portOrPath.trimmed();
    if (want.isEmpty() || want == kCustom)
        return false;
    if (want.startsWith(QLatin1String("./")) || want.startsWith(QLatin1String("../")))
        want = QFileInfo(want).absoluteFilePath();

    for (int i = 0; i < m_portBox->count(); ++i) {
        if (m_portBox->itemData(i, kCustomRole).toBool())
            continue;
        const QString text = m_portBox->itemText(i);
        const QString name = nameOfEntry(text);
        if (text == want || name == want ||
            (isPathLike(want) && DeviceLocator::systemLocation(name) == want)) {
            m_portBox->setCurrentIndex(i);
            return true;
        }
    }
    // Not listed: a path is taken as typed (ptys and symlinks are never
    // enumerated); a bare name only when its device node exists. It becomes an
    // entry of the list only once it opened.
    if (isPathLike(want) || QFileInfo::exists(DeviceLocator::systemLocation(want))) {
        showPath(want);
        return true;
    }
    return false;
}

void SerialParamWidget::setBaudText(const QString& baud)
{
    const QString text = baud.trimmed();
    for (int i = 0; i < m_baudBox->count(); ++i) {
        if (m_baudBox->itemData(i).isValid() && m_baudBox->itemText(i) == text) {
            m_baudBox->setCurrentIndex(i);
            return;
        }
    }
    m_baudBox->setCurrentIndex(m_baudBox->count() - 1);
    m_baudBox->setEditText(text);
}

void SerialParamWidget::openPort()
{
    m_openBtn->setChecked(true);
    onOpenBtnClicked(true);
}

void SerialParamWidget::refreshPortList()
{
    qDebug().noquote() << "[SerialParamWidget] Refresh Port List";
    const QString current = m_portBox->currentText();
    const int currentIndex = m_portBox->currentIndex();
    const bool currentIsCustom = currentIndex >= 0 &&
                                 m_portBox->itemData(currentIndex, kCustomRole).toBool() &&
                                 current == m_portBox->itemText(currentIndex);

    // Opened paths stay listed while their node exists (or the port is open on them).
    const QString openName = m_manager && m_manager->isOpen() ? m_manager->portName() : QString();
    m_typedPorts.removeIf([&openName](const QString& path) {
        return !QFileInfo::exists(DeviceLocator::systemLocation(path)) &&
               (openName.isEmpty() || !DeviceLocator::sameLocation(openName, path));
    });

    QStringList entries = SerialPortManager::availablePorts();
    for (const QString& typed : std::as_const(m_typedPorts)) {
        if (!entries.contains(typed))
            entries << typed;
    }
    const QString custom = tr("Custom");
    entries << custom;

    // Qt's collator ignores numeric mode for the C locale (containers, minimal
    // systems); English collation then keeps ttyS2 before ttyS10.
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator collator(locale);
    collator.setNumericMode(true);
    std::sort(entries.begin(), entries.end(),
              [&collator](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });

    {
        const QSignalBlocker blocker(m_portBox);
        m_portBox->clear();
        for (const QString& entry : std::as_const(entries)) {
            m_portBox->addItem(entry);
            if (entry == custom)
                m_portBox->setItemData(m_portBox->count() - 1, true, kCustomRole);
        }
        const int index =
            currentIsCustom ? m_portBox->findData(true, kCustomRole) : m_portBox->findText(current);
        if (index >= 0) {
            m_portBox->setCurrentIndex(index);
        } else if (isPathLike(current.trimmed())) {
            // A path being typed (or one that is gone) stays in the edit field,
            // not in the list: only opened paths become entries.
            m_portBox->setCurrentIndex(-1);
            m_portBox->setEditText(current);
        } else {
            m_portBox->setCurrentIndex(0);
        }
    }
    if (m_portBox->currentText() != current)
        onPortTextChanged(m_portBox->currentText());
}

void SerialParamWidget::setReconnectLimit(int limit)
{
    m_reconnector->setLimit(limit);
}

void SerialParamWidget::setReconnectDelays(int firstMs, int nextMs)
{
    m_reconnector->setDelays(firstMs, nextMs);
}

void SerialParamWidget::onOpenBtnClicked(bool checked)
{
    m_userOpened = false;
    m_reconnector->stop();

    if (m_baudBox->currentText().isEmpty()) {
        if (m_baudBox->isEditable())
            m_baudBox->setEditText(QStringLiteral("115200"));
        else
            m_baudBox->setCurrentIndex(m_baudBox->findText(QStringLiteral("115200")));
    }

    const QString name = portName();
    if (name == kCustom || name.isEmpty()) {
        CDialog::showMessage(this, tr("Warning"), tr("please instert a device"));
        resetPanel();
        return;
    }

    if (!checked) {
        m_userOpened = false;
        resetPanel();
        refreshPortList();
        return;
    }

    if (!m_manager) {
        resetPanel();
        return;
    }

    m_opening = true;
    const bool ok = m_manager->openPort(name, baudRate(), dataBits(), parity(), stopBits(), flowControl());
    m_opening = false;
    if (!ok) {
        QString message = tr("Failed to open serial port: %1").arg(m_manager->errorString());
        const QString hint = m_manager->openErrorHint();
        if (!hint.isEmpty())
            message += QStringLiteral("\n\n") + hint;
        resetPanel();
        CDialog::showMessage(this, tr("Warning"), message);
        return;
    }

    m_userOpened = true;
    AppConfig::LastPort = name;
    m_reconnector->rememberOpened(name);
    // A path typed without pressing Enter becomes an entry once it opened.
    if (m_portBox->currentIndex() < 0 || m_portBox->findText(m_portBox->currentText()) < 0)
        rememberOpenedPath(m_portBox->currentText().trimmed());
    m_openBtn->setChecked(true);
    m_openBtn->setText(tr("Close"));
    m_portBox->setEnabled(false);
}

void SerialParamWidget::onDeviceInserted()
{
    qDebug().noquote() << "[SerialParamWidget] device insert";
    if (!m_manager || !m_manager->isOpen())
        refreshPortList();
}

void SerialParamWidget::onDeviceRemove()
{
    qDebug().noquote() << "[SerialParamWidget] device remove";
    QString location = m_reconnector->target();
    if (m_manager && m_manager->isOpen())
        location = DeviceLocator::systemLocation(m_manager->portName());
    if (location.isEmpty())
        location = portName();

    if (AutoReconnector::isPresent(location) && m_userOpened)
        return; // another device went away

    const bool reconnecting = m_reconnector->isReconnecting();
    qWarning().noquote() << "[SerialParamWidget] device remove->auto reconnect:" << m_userOpened;
    if ((m_manager && m_manager->isOpen()) || m_userOpened) {
        if (!reconnecting) {
            qWarning().noquote()
                << "[SerialParamWidget] Device removed, ResourceError missed, starting reconnect...";
            closePort();
            m_reconnector->start();
        }
    } else if (!reconnecting) {
        resetPanel();
    }
    refreshPortList();
}

void SerialParamWidget::onSerialPortError(QSerialPort::SerialPortError error, QString errorString)
{
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError)
        return;
    qWarning().noquote() << "[SerialParamWidget] enter serial port error call-back...";
    if (m_handlingError)
        return;
    m_handlingError = true;

    // A pty whose master went away (and some drivers) report the hang-up as a
    // read error, over and over while the port stays open: that is the device
    // leaving, not a bad read.
    if (error == QSerialPort::ReadError && m_manager && m_manager->isHungUp()) {
        qWarning().noquote()
            << "[SerialParamWidget] Read error on a hung-up port, treating it as device gone";
        error = QSerialPort::ResourceError;
    }

    const bool reconnecting = m_reconnector->isReconnecting();
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::OpenError:
        if (!reconnecting)
            Q_EMIT serialErrorOccurred(tr("Failed to open serial port: %1").arg(errorString));
        break;
    case QSerialPort::PermissionError:
        break;
    case QSerialPort::WriteError:
        Q_EMIT serialErrorOccurred(tr("Serial port write error: %1").arg(errorString));
        break;
    case QSerialPort::ReadError:
        if (m_manager)
            m_manager->clear();
        break;
    case QSerialPort::ResourceError:
        if (m_opening) {
            // The user's own open failed this way; that path reports it.
            break;
        }
        qWarning().noquote() << "[SerialParamWidget] Device disconnected, starting auto-reconnect...";
        // Closed at once: a vanished device must not keep the port's notifier firing.
        if ((m_manager && m_manager->isOpen()) || !reconnecting)
            closePort();
        if (!reconnecting)
            m_reconnector->start();
        break;
    default:
        // During the user's open the failed open gives the message itself.
        if (!reconnecting && !m_opening) {
            closePort();
            Q_EMIT serialErrorOccurred(tr("Serial port error [%1]: %2").arg(int(error)).arg(errorString));
        }
        break;
    }
    m_handlingError = false;
}

void SerialParamWidget::startAutoReconnect()
{
    m_reconnector->start();
}

void SerialParamWidget::startAutoReconnect(int timeout)
{
    m_reconnector->start(timeout);
}

void SerialParamWidget::tryReconnect()
{
    m_reconnector->tryReconnect();
}

void SerialParamWidget::stopAutoReconnect()
{
    m_reconnector->stop();
}

void SerialParamWidget::onReconnectAttempt(int counter)
{
    const QString status = tr("Reconnect Counter: %1").arg(counter);
    qDebug().noquote() << "[SerialParamWidget]" << status;
    Q_EMIT reconnectStatusChanged(status);
}

void SerialParamWidget::onReconnected(const QString& location)
{
    qDebug().noquote() << "[SerialParamWidget] reconnect to " + location;
    m_openBtn->setText(tr("Close"));
    m_openBtn->setChecked(true);
    selectOpenedEntry(location);
    m_portBox->setEnabled(false);
    Q_EMIT parityChanged(parity());
}

void SerialParamWidget::onReconnectGaveUp(int attempts)
{
    Q_EMIT serialErrorOccurred(
        tr("Auto-reconnect failed after %1 attempts. Please check the device and connect manually.")
            .arg(attempts));
    // The user sees a closed port now; a later removal event must not revive it.
    m_userOpened = false;
    resetPanel();
}

void SerialParamWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QFrame::changeEvent(event);
}

void SerialParamWidget::onPortTextChanged(const QString& text)
{
    m_portBox->setToolTip(text);
    Q_EMIT portChanged(text);
}

void SerialParamWidget::onPortEditCommitted()
{
    // Enter in the port box opens what was typed.
    const QString text = m_portBox->currentText().trimmed();
    if (text.isEmpty() || (m_manager && m_manager->isOpen()))
        return;
    if (!selectPort(text))
        return;
    // A path that is not there yet (a pty about to be made) is only selected.
    const QString name = portName();
    if (isPathLike(name) && !QFileInfo::exists(name))
        return;
    openPort();
}

void SerialParamWidget::onBaudIndexChanged(int index)
{
    if (index < 0)
        return;
    const QVariant data = m_baudBox->itemData(index);
    if (data.isValid()) {
        m_baudBox->setEditable(false);
        const int rate = data.toInt();
        if (m_manager)
            m_manager->setBaudRate(rate);
        AppConfig::Baudrate = m_baudBox->itemText(index);
        Q_EMIT baudrateChanged(rate);
        return;
    }
    m_baudBox->setEditable(true);
    m_baudBox->setInsertPolicy(QComboBox::NoInsert);
    m_baudBox->clearEditText();
}

void SerialParamWidget::onBaudEditTextChanged(const QString& text)
{
    if (!m_baudBox->isEditable() || !m_manager)
        return;
    // Half-typed or cleared text is not a rate; handing 0 to an open port
    // would fail with an error that closes it.
    bool ok = false;
    const int rate = text.trimmed().toInt(&ok, 10);
    if (ok && rate > 0)
        m_manager->setBaudRate(rate);
}

void SerialParamWidget::onDataBitsChanged(const QString& text)
{
    if (m_manager)
        m_manager->setDataBits(text);
    AppConfig::DataBits = text;
    Q_EMIT dataBitsChanged(text);
}

void SerialParamWidget::onParityChanged(const QString& text)
{
    if (m_manager)
        m_manager->setParity(text);
    AppConfig::ParityBits = text;
    Q_EMIT parityChanged(text);
}

void SerialParamWidget::onStopBitsChanged(const QString& text)
{
    if (m_manager)
        m_manager->setStopBits(text);
    AppConfig::StopBits = text;
    Q_EMIT stopBitsChanged(text);
}

void SerialParamWidget::onFlowCtrlChanged(const QString& text)
{
    if (m_manager)
        m_manager->setFlowControl(text);
    AppConfig::FlowCtrl = text;
    Q_EMIT flowCtrlChanged(text);
}

void SerialParamWidget::retranslate()
{
    m_title->setText(tr("Port Settings"));
    m_portLbl->setText(tr("Port:"));
    m_baudLbl->setText(tr("Baudrate:"));
    m_dataBitsLbl->setText(tr("Data Bits:"));
    m_parityLbl->setText(tr("Parity:"));
    m_stopBitsLbl->setText(tr("Stop Bits:"));
    m_flowLbl->setText(tr("Flow Ctrl:"));
    m_modemTitle->setText(tr("Modem Lines"));
    m_dtrBox->setToolTip(tr("Data Terminal Ready, kept across reconnects"));
    m_rtsBox->setToolTip(tr("Request To Send, kept across reconnects"));
    m_pulseBtn->setText(tr("Pulse DTR/RTS"));
    m_pulseBtn->setToolTip(tr("Reset the board: DTR off and RTS on for the pulse length (Ctrl+Shift+R)"));
    m_pulseMs->setToolTip(tr("Pulse length"));
    m_breakBtn->setText(tr("Send Break"));
    m_breakBtn->setToolTip(tr("Hold the line in break for the break length (Ctrl+Shift+B)"));
    m_breakMs->setToolTip(tr("Break length"));
    static const char* const tips[] = {QT_TR_NOOP("Clear To Send"), QT_TR_NOOP("Data Set Ready"),
                                       QT_TR_NOOP("Data Carrier Detect"), QT_TR_NOOP("Ring Indicator")};
    for (int i = 0; i < m_leds.size(); ++i) {
        m_leds[i]->setToolTip(tr(tips[i]));
        m_ledLabels[i]->setToolTip(tr(tips[i]));
    }
    m_openBtn->setToolTip(tr("Open/Close Serial port"));
    m_openBtn->setText(m_openBtn->isChecked() ? tr("Close") : tr("Open"));

    const int customPort = m_portBox->findData(true, kCustomRole);
    if (customPort >= 0 && customPort != m_portBox->currentIndex())
        m_portBox->setItemText(customPort, tr("Custom"));
    const int customBaud = m_baudBox->count() - 1;
    if (customBaud != m_baudBox->currentIndex())
        m_baudBox->setItemText(customBaud, tr("Custom"));
}

void SerialParamWidget::resetPanel()
{
    m_openBtn->setText(tr("Open"));
    m_openBtn->setChecked(false);
    m_portBox->setEnabled(true);
    closePort();
}

void SerialParamWidget::closePort()
{
    qDebug().noquote() << "[SerialParamWidget] close port...";
    if (m_manager)
        m_manager->closePort();
}

void SerialParamWidget::showPath(const QString& path)
{
    const int index = m_portBox->findText(path);
    if (index >= 0) {
        m_portBox->setCurrentIndex(index);
        return;
    }
    {
        const QSignalBlocker blocker(m_portBox);
        m_portBox->setCurrentIndex(-1);
    }
    m_portBox->setEditText(path);
}

void SerialParamWidget::rememberOpenedPath(const QString& path)
{
    if (path.isEmpty())
        return;
    if (!m_typedPorts.contains(path))
        m_typedPorts << path;
    int index = m_portBox->findText(path);
    if (index < 0) {
        m_portBox->addItem(path);
        index = m_portBox->count() - 1;
    }
    m_portBox->setCurrentIndex(index);
}

void SerialParamWidget::selectOpenedEntry(const QString& location)
{
    // The entry already shown, or one with exactly this text, stays.
    if (m_portBox->currentIndex() >= 0 && nameOfEntry(m_portBox->currentText()) == location)
        return;
    int index = m_portBox->findText(location);
    if (index >= 0) {
        m_portBox->setCurrentIndex(index);
        return;
    }
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports) {
        if (info.portName() != location && !DeviceLocator::sameLocation(info.systemLocation(), location))
            continue;
        const QString entry = SerialPortManager::portEntry(info.portName(), info.description());
        index = m_portBox->findText(entry);
        if (index < 0) {
            m_portBox->addItem(entry);
            index = m_portBox->count() - 1;
        }
        m_portBox->setCurrentIndex(index);
        return;
    }
    rememberOpenedPath(location);
}
