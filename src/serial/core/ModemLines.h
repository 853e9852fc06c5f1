#pragma once

#include <QObject>
#include <QSerialPort>

class QTimer;
class SerialPortManager;

// The modem control lines (DTR, RTS) as the user wants them, the status lines
// (CTS, DSR, DCD, RI) as the device shows them, a reset pulse and the break
// condition. The wanted DTR/RTS states are put on the port again every time
// it opens, so they survive a reconnect. Status lines are read every 100 ms
// while the port is open and not at all while it is closed.
class ModemLines : public QObject
{
    Q_OBJECT
public:
    static constexpr int kPollMs = 100;
    static constexpr int kMinPulseMs = 10;
    static constexpr int kMaxPulseMs = 5000;
    static constexpr int kMinBreakMs = 10;
    static constexpr int kMaxBreakMs = 10000;

    explicit ModemLines(SerialPortManager* manager, QObject* parent = nullptr);

    bool dataTerminalReady() const { return m_dtr; }
    bool requestToSend() const { return m_rts; }
    void setDataTerminalReady(bool on);
    void setRequestToSend(bool on);

    int pulseMs() const { return m_pulseMs; }
    int breakMs() const { return m_breakMs; }
    // Clamped to [kMinPulseMs, kMaxPulseMs] and [kMinBreakMs, kMaxBreakMs].
    void setPulseMs(int ms);
    void setBreakMs(int ms);

    // Resets the board: DTR off and RTS on (the ESP32 auto-reset circuit pulls
    // EN low; an Arduino resets when DTR comes back) for the pulse length, then
    // the user's states again. False when the port is closed or a pulse runs.
    bool pulse();
    bool isPulsing() const;
    // Holds the line in break for the break length. False when the port is
    // closed, a break runs, or the driver refused it.
    bool sendBreak();
    bool isBreaking() const;

    // Last status read; NoSignal while closed or unreadable.
    QSerialPort::PinoutSignals pinout() const { return m_pinout; }
    // The driver reports the status lines (false while closed).
    bool statusAvailable() const { return m_statusAvailable; }
    bool isPolling() const;

public Q_SLOTS:
    // Reads the status lines now (the poll timer calls this).
    void poll();

Q_SIGNALS:
    void pinoutChanged(QSerialPort::PinoutSignals lines);
    void statusAvailableChanged(bool available);
    void breakActiveChanged(bool active);
    void pulseActiveChanged(bool active);
    void dataTerminalReadyChanged(bool on);
    void requestToSendChanged(bool on);

private:
    void onConnected();
    void onDisconnected();
    void applyLines();
    void endPulse();
    void endBreak();
    void setPinout(QSerialPort::PinoutSignals lines, bool available);

    SerialPortManager* m_manager = nullptr;
    QTimer* m_pollTimer = nullptr;
    QTimer* m_pulseTimer = nullptr;
    QTimer* m_breakTimer = nullptr;
    bool m_dtr = true;
    bool m_rts = true;
    int m_pulseMs = 100;
    int m_breakMs = 250;
    QSerialPort::PinoutSignals m_pinout = QSerialPort::NoSignal;
    bool m_statusAvailable = false;
};
