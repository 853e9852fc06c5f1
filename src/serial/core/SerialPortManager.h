#pragma once

#include <QObject>
#include <QSerialPort>
#include <QStringList>

// Owns the program's one serial port: opens, configures, reads, writes and
// closes it, and turns the port's notifications into a few signals.
class SerialPortManager : public QObject
{
    Q_OBJECT
public:
    explicit SerialPortManager(QObject* parent = nullptr);
    ~SerialPortManager() override;

    bool openPort(const QString& portName, const QString& baudRate, const QString& dataBits,
                  const QString& parity, const QString& stopBits, const QString& flowControl);
    void closePort();
    bool isOpen() const;

    bool write(const QByteArray& data);
    bool write(const QString& data);
    void clear();

    QString errorString() const;
    // A hint on how to get past the last failed open, in the user's language;
    // empty when there is none. On Linux a port that will not open is most
    // often one the user may not use (not in the "dialout" group).
    QString openErrorHint() const;
    // The hint for an open that failed with `error` and the port's `errorString`.
    static QString openErrorHint(QSerialPort::SerialPortError error, const QString& errorString);
    // The open port's device hung up or its node vanished (the device left).
    bool isHungUp() const;
    QString portName() const;
    // Where the port lives in the file system (/dev/ttyUSB0, or a typed path).
    QString systemLocation() const;
    qint64 bytesToWrite() const;
    QSerialPort* port() const { return m_port; }

    bool setBaudRate(int baudRate);
    bool setDataBits(const QString& dataBits);
    bool setParity(const QString& parity);
    bool setStopBits(const QString& stopBits);
    bool setFlowControl(const QString& flowControl);
    bool setReadBufferSize(qint64 size);

    // Modem control and status lines, and the break condition. Virtual so
    // tests can stand in for lines a pseudo-terminal does not have. A failure
    // is returned and logged but raises no errorOccurred: a port whose driver
    // lacks the lines (a pty, some adapters) must stay open.
    virtual bool setDataTerminalReady(bool on);
    virtual bool setRequestToSend(bool on);
    virtual bool setBreakEnabled(bool on);
    // Current line states; `ok` is false when the driver cannot report them.
    virtual QSerialPort::PinoutSignals pinoutSignals(bool* ok = nullptr);

    // "name(description)" per port, in enumeration order; the name alone
    // when the port has no description.
    static QStringList availablePorts();
    static QString portEntry(const QString& name, const QString& description);
    static QStringList dataBitsList();
    static QStringList parityList();
    static QStringList stopBitsList();
    static QStringList flowControlList();

Q_SIGNALS:
    void dataReceived(QByteArray data);
    void connected();
    void disconnected();
    void errorOccurred(QSerialPort::SerialPortError error, QString errorString);
    void txLengthChanged(qulonglong txLength);
    void rxLengthChanged(qulonglong rxLength);
    // The driver took bytes off our output queue (for senders that pace themselves).
    void bytesWritten(qint64 bytes);

private Q_SLOTS:
    void onReadyRead();
    void onError(QSerialPort::SerialPortError error);

private:
    QSerialPort* m_port = nullptr;
    QSerialPort::SerialPortError m_openError = QSerialPort::NoError;
    QString m_openErrorString;
    // Set while a line operation runs: its errors are the caller's business.
    bool m_lineOp = false;
};
