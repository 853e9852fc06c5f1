#include "PortTyping.h"

#include "CPlainTextEdit.h"
#include "ModemLines.h"
#include "SerialParamWidget.h"
#include "SerialPortManager.h"
#include "TerminalKeyMapper.h"
#include "TxSettingWidget.h"

#include <QAction>
#include <QDebug>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>

#include <functional>

PortTyping::PortTyping(QWidget* host, CPlainTextEdit* log, QLabel* indicator, SerialPortManager* port,
                       SerialParamWidget* params, TxSettingWidget* tx)
    : QObject(host), m_log(log), m_indicator(indicator), m_port(port), m_params(params), m_tx(tx)
{
    m_action = new QAction(this);
    m_action->setCheckable(true);
    connect(m_action, &QAction::toggled, this, &PortTyping::setOn);
    buildShortcuts(host);
    m_log->installEventFilter(this);
    m_log->viewport()->installEventFilter(this);
}

void PortTyping::buildShortcuts(QWidget* host)
{
    struct Entry
    {
        const char* keys;
        std::function<void()> run;
    };
    const Entry entries[] = {
        {"Ctrl+O", [this] { m_params->openButton()->click(); }},
        {"Ctrl+Shift+B", [this] { m_params->modemLines()->sendBreak(); }},
        {"Ctrl+Shift+R", [this] { m_params->modemLines()->pulse(); }},
        {"Ctrl+Shift+K", [this] { setOn(!m_on); }},
    };
    for (const Entry& e : entries) {
        auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(e.keys)), host);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, e.run);
        m_shortcuts << shortcut;
    }
}

void PortTyping::retranslate()
{
    m_action->setText(tr("Type Into Port"));
    m_indicator->setText(tr("TYPING INTO THE PORT: keys in the log go to the device. Ctrl+Shift+K leaves."));
}

void PortTyping::setOn(bool on)
{
    if (on == m_on)
        return;
    m_on = on;
    {
        const QSignalBlocker blocker(m_action);
        m_action->setChecked(on);
    }
    m_indicator->setVisible(on);
    qDebug().noquote() << "[session] type into port" << (on ? "on" : "off");
    if (on)
        m_log->setFocus(Qt::ShortcutFocusReason);
}

bool PortTyping::typeKey(QKeyEvent* key)
{
    const QByteArray bytes = TerminalKeyMapper::bytesFor(key->key(), int(key->modifiers()), key->text(),
                                                         m_tx->lineEnding().toUtf8());
    if (bytes.isEmpty())
        return false;
    if (!m_port->isOpen()) {
        if (!key->isAutoRepeat())
            Q_EMIT portClosed();
        return true;
    }
    m_port->write(bytes);
    return true;
}

bool PortTyping::eventFilter(QObject* watched, QEvent* event)
{
    if (m_on && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) &&
        (watched == m_log || watched == m_log->viewport())) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Ctrl+Shift combinations stay the program's shortcuts (leaving this
        // mode among them); everything else belongs to the device.
        const bool ours = (key->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)) ==
                              (Qt::ControlModifier | Qt::ShiftModifier) &&
                          key->key() >= Qt::Key_A && key->key() <= Qt::Key_Z;
        if (!ours) {
            if (event->type() == QEvent::ShortcutOverride) {
                event->accept();
                return true;
            }
            if (typeKey(key))
                return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
