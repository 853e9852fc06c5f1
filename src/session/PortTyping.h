#pragma once

#include <QList>
#include <QObject>

class CPlainTextEdit;
class QAction;
class QKeyEvent;
class QLabel;
class QShortcut;
class QWidget;
class SerialParamWidget;
class SerialPortManager;
class TxSettingWidget;

// "Type into the port": while on, keys pressed in the log go to the device as
// a terminal would send them (TerminalKeyMapper); Enter sends the Tx line
// ending. Also the session's keyboard shortcuts: Ctrl+O (open or close),
// Ctrl+Shift+B (break), Ctrl+Shift+R (reset pulse), Ctrl+Shift+K (this mode).
class PortTyping : public QObject
{
    Q_OBJECT
public:
    // The shortcuts belong to `host`'s window; `indicator` is shown while on.
    PortTyping(QWidget* host, CPlainTextEdit* log, QLabel* indicator, SerialPortManager* port,
               SerialParamWidget* params, TxSettingWidget* tx);

    bool isOn() const { return m_on; }
    void setOn(bool on);
    QAction* action() const { return m_action; }
    QLabel* indicator() const { return m_indicator; }
    QList<QShortcut*> shortcuts() const { return m_shortcuts; }
    void retranslate();

Q_SIGNALS:
    // A key for the device found the port closed (said once per key press,
    // not for its auto-repeats).
    void portClosed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildShortcuts(QWidget* host);
    // Sends the key to the device; true when consumed.
    bool typeKey(QKeyEvent* key);

    CPlainTextEdit* m_log = nullptr;
    QLabel* m_indicator = nullptr;
    SerialPortManager* m_port = nullptr;
    SerialParamWidget* m_params = nullptr;
    TxSettingWidget* m_tx = nullptr;
    QAction* m_action = nullptr;
    QList<QShortcut*> m_shortcuts;
    bool m_on = false;
};
