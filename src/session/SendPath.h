#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class RepeatSender;
class RxSettingWidget;
class SendPanel;
class SerialPortManager;
class TxSettingWidget;

// What goes out through the session: the send input (button or repeat tick),
// multi-line group lines and assembler frames. Text is converted as the Tx
// settings say (hex or text, line ending) and written through the port
// manager; what went out is echoed into the log as "Show Send" says.
class SendPath : public QObject
{
    Q_OBJECT
public:
    SendPath(SerialPortManager* port, TxSettingWidget* tx, RxSettingWidget* rx, SendPanel* input,
             RepeatSender* repeater, QObject* parent);

    // The send button: the input goes out and into the history. Text that
    // is not hex is neither sent in part nor kept in the history.
    void sendInput();
    // A repeat tick: the input is read again each time; text that is not hex
    // switches repeating off, said once.
    void repeatTick();
    // With the Tx settings' conversion and line ending, echoed.
    void send(const QString& data);
    // Writes `data` converted; returns the text to echo, empty when nothing went out.
    QString write(const QString& data, bool isHexMode, const QString& lineEnd);
    // The bytes go out as they are, whatever the Tx hex setting, and are
    // echoed as upper-case hex.
    void sendFrame(const QByteArray& data);

Q_SIGNALS:
    // A finished echo line for the log (direction Tx).
    void echo(QString line);
    // A send found the port closed.
    void portClosed();
    void messageRequested(QString text);

private:
    // True when `text` converts to bytes as typed; otherwise tells the user
    // which groups are not hex.
    bool checkHexInput(const QString& text);
    // The input and repeat paths have judged the hex already; they skip the
    // second look.
    void sendChecked(const QString& data);
    QString writeText(const QString& data, bool isHexMode, const QString& lineEnd, bool hexChecked);
    void echoSent(const QString& shown);

    SerialPortManager* m_port = nullptr;
    TxSettingWidget* m_tx = nullptr;
    RxSettingWidget* m_rx = nullptr;
    SendPanel* m_input = nullptr;
    RepeatSender* m_repeater = nullptr;
};
