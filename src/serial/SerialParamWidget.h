#pragma once

#include "AutoReconnector.h"
#include "DeviceLocator.h"

#include <QFrame>
#include <QSerialPort>
#include <QStringList>

class CLed;
class ModemLines;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class NativeFilter;
class SerialPortManager;

// The "Port Settings" panel: port and line parameters, the open/close toggle,
// user messages for port errors, and automatic reconnection when the open
// device goes away and comes back.
class SerialParamWidget : public QFrame
{
    Q_OBJECT
public:
    explicit SerialParamWidget(SerialPortManager* manager, QWidget* parent = nullptr);
    ~SerialParamWidget() override;

    // Texts the session uses for its status line.
    // Part of the port entry before the first "(" ("Custom" for Custom); a typed path as typed.
    QString portName() const;
    QString baudRate() const;
    QString dataBits() const;
    QString parity() const;
    QString stopBits() const;
    QString flowControl() const;
    bool isReconnecting() const;
    int reconnectCounter() const { return m_reconnector->counter(); }
    bool isUserOpened() const { return m_userOpened; }

    // Selects the entry whose name part or system location matches `portOrPath`
    // ("ttyUSB0", "/dev/pts/3", "/tmp/ttyV0"); an unknown path becomes an entry
    // of its own. False when nothing usable matches.
    bool selectPort(const QString& portOrPath);
    // Selects the numbered entry, or "Custom" with the text typed in.
    void setBaudText(const QString& baud);
    // As if the user pressed "Open".
    void openPort();
    void refreshPortList();

    // Reconnection tuning (defaults: 1000 attempts, first after 500 ms, then every 1000 ms).
    void setReconnectLimit(int limit);
    void setReconnectDelays(int firstMs, int nextMs);
    int reconnectLimit() const { return m_reconnector->limit(); }

    // The reconnection state machine the panel drives.
    AutoReconnector* autoReconnector() const { return m_reconnector; }
    // Finds an adapter again after it came back under another name.
    DeviceLocator* deviceLocator() { return m_reconnector->locator(); }
    // Paths that were opened and stay in the port list while their node exists.
    QStringList typedPorts() const { return m_typedPorts; }

    QComboBox* portBox() const { return m_portBox; }
    QComboBox* baudBox() const { return m_baudBox; }
    QComboBox* dataBitsBox() const { return m_dataBitsBox; }
    QComboBox* parityBox() const { return m_parityBox; }
    QComboBox* stopBitsBox() const { return m_stopBitsBox; }
    QComboBox* flowControlBox() const { return m_flowBox; }
    QPushButton* openButton() const { return m_openBtn; }
    NativeFilter* nativeFilter() const { return m_nativeFilter; }

    // DTR/RTS, the status lamps, the reset pulse and the break.
    ModemLines* modemLines() const { return m_modem; }
    QCheckBox* dtrBox() const { return m_dtrBox; }
    QCheckBox* rtsBox() const { return m_rtsBox; }
    // CTS, DSR, DCD, RI in that order.
    QList<CLed*> statusLeds() const { return m_leds; }
    QPushButton* pulseButton() const { return m_pulseBtn; }
    QPushButton* breakButton() const { return m_breakBtn; }
    QSpinBox* pulseMsBox() const { return m_pulseMs; }
    QSpinBox* breakMsBox() const { return m_breakMs; }

Q_SIGNALS:
    void portChanged(QString portName);
    void baudrateChanged(int baudrate);
    void dataBitsChanged(QString dataBits);
    void parityChanged(QString parity);
    void stopBitsChanged(QString stopBits);
    void flowCtrlChanged(QString flowCtrl);
    void reconnectStatusChanged(QString statusMsg);
    void serialErrorOccurred(QString errorMsg);

public Q_SLOTS:
    void onOpenBtnClicked(bool checked);
    void onDeviceInserted();
    void onDeviceRemove();
    void onSerialPortError(QSerialPort::SerialPortError error, QString errorString);
    void startAutoReconnect();
    void startAutoReconnect(int timeout);
    void tryReconnect();
    void stopAutoReconnect();

protected:
    void changeEvent(QEvent* event) override;

private Q_SLOTS:
    void onPortTextChanged(const QString& text);
    void onPortEditCommitted();
    void onBaudIndexChanged(int index);
    void onBaudEditTextChanged(const QString& text);
    void onDataBitsChanged(const QString& text);
    void onParityChanged(const QString& text);
    void onStopBitsChanged(const QString& text);
    void onFlowCtrlChanged(const QString& text);

private:
    void buildModemRows(QLayout* layout);
    void updateModemControls();
    void showPinout();
    void retranslate();
    void resetPanel();
    void closePort();
    void onReconnectAttempt(int counter);
    void onReconnected(const QString& location);
    void onReconnectGaveUp(int attempts);
    // Shows `path` in the port box: its entry when listed, else as typed text.
    void showPath(const QString& path);
    // Remembers an opened path so it stays listed.
    void rememberOpenedPath(const QString& path);
    void selectOpenedEntry(const QString& location);

    SerialPortManager* m_manager = nullptr;

    QLabel* m_title = nullptr;
    QLabel* m_portLbl = nullptr;
    QLabel* m_baudLbl = nullptr;
    QLabel* m_dataBitsLbl = nullptr;
    QLabel* m_parityLbl = nullptr;
    QLabel* m_stopBitsLbl = nullptr;
    QLabel* m_flowLbl = nullptr;
    QComboBox* m_portBox = nullptr;
    QComboBox* m_baudBox = nullptr;
    QComboBox* m_dataBitsBox = nullptr;
    QComboBox* m_parityBox = nullptr;
    QComboBox* m_stopBitsBox = nullptr;
    QComboBox* m_flowBox = nullptr;
    QPushButton* m_openBtn = nullptr;

    QLabel* m_modemTitle = nullptr;
    QCheckBox* m_dtrBox = nullptr;
    QCheckBox* m_rtsBox = nullptr;
    QList<CLed*> m_leds;
    QList<QLabel*> m_ledLabels;
    QPushButton* m_pulseBtn = nullptr;
    QPushButton* m_breakBtn = nullptr;
    QSpinBox* m_pulseMs = nullptr;
    QSpinBox* m_breakMs = nullptr;
    ModemLines* m_modem = nullptr;

    NativeFilter* m_nativeFilter = nullptr;
    AutoReconnector* m_reconnector = nullptr;
    QStringList m_typedPorts;

    bool m_userOpened = false;
    bool m_handlingError = false;
    // Set while the user's own open runs: its failure is reported there.
    bool m_opening = false;
};
