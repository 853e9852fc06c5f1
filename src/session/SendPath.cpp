#include "SendPath.h"

#include "HexInputCheck.h"
#include "HexText.h"
#include "RepeatSender.h"
#include "RxSettingWidget.h"
#include "SendConverter.h"
#include "SendPanel.h"
#include "SerialPortManager.h"
#include "TxSettingWidget.h"

SendPath::SendPath(SerialPortManager* port, TxSettingWidget* tx, RxSettingWidget* rx, SendPanel* input,
                   RepeatSender* repeater, QObject* parent)
    : QObject(parent), m_port(port), m_tx(tx), m_rx(rx), m_input(input), m_repeater(repeater)
{
}

void SendPath::sendInput()
{
    const QString text = m_input->text();
    if (text.isEmpty())
        return;
    if (m_tx->isHexMode() && !checkHexInput(text))
        return;
    sendChecked(text);
    m_input->recordToHistory(text);
}

void SendPath::repeatTick()
{
    if (!m_tx->isRepeatSend()) {
        m_repeater->stop();
        return;
    }
    const QString text = m_input->text();
    if (text.isEmpty())
        return;
    if (m_tx->isHexMode() && !checkHexInput(text)) {
        // Said once; repeating it every tick would bury the user in messages.
        m_tx->uncheckRepeatSend();
        m_repeater->stop();
        return;
    }
    sendChecked(text);
    m_input->recordToHistory(text);
}

bool SendPath::checkHexInput(const QString& text)
{
    const QStringList bad = HexInputCheck::invalidGroups(text);
    if (bad.isEmpty())
        return true;
    Q_EMIT messageRequested(
        tr("Not hex: %1\nType bytes as pairs of hex digits, for example 11 22 33 or 112233.")
            .arg(SendConverter::describeBadGroups(bad)));
    return false;
}

void SendPath::send(const QString& data)
{
    const QString lineEnd = m_tx->isSendNewLine() ? m_tx->lineEnding() : QString();
    echoSent(write(data, m_tx->isHexMode(), lineEnd));
}

void SendPath::sendChecked(const QString& data)
{
    const QString lineEnd = m_tx->isSendNewLine() ? m_tx->lineEnding() : QString();
    echoSent(writeText(data, m_tx->isHexMode(), lineEnd, true));
}

QString SendPath::write(const QString& data, bool isHexMode, const QString& lineEnd)
{
    return writeText(data, isHexMode, lineEnd, false);
}

QString SendPath::writeText(const QString& data, bool isHexMode, const QString& lineEnd, bool hexChecked)
{
    if (data.isEmpty())
        return QString();
    if (!m_port->isOpen()) {
        Q_EMIT portClosed();
        return QString();
    }
    if (isHexMode && !hexChecked && !checkHexInput(data))
        return QString();
    const SendConverter::Output out = SendConverter::convert(data, isHexMode, lineEnd);
    if (out.bytes.isEmpty())
        return QString(); // nothing in the text was hex
    m_port->write(out.bytes);
    return out.shown;
}

void SendPath::echoSent(const QString& shown)
{
    if (shown.isEmpty() || !m_rx->isShowSend() || !m_rx->isShowLog())
        return;
    Q_EMIT echo(SendConverter::echoLine(shown, m_rx->isAutoWrap()));
}

void SendPath::sendFrame(const QByteArray& data)
{
    if (data.isEmpty())
        return;
    if (!m_port->isOpen()) {
        Q_EMIT portClosed();
        return;
    }
    m_port->write(data);
    echoSent(HexText::toDisplay(data));
}
