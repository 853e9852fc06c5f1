#include "InputBox.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

InputBox::InputBox(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("InputBox"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    m_editor = new QPlainTextEdit(this);
    m_editor->setObjectName(QStringLiteral("SendEditor"));
    m_editor->setContextMenuPolicy(Qt::CustomContextMenu);
    m_editor->installEventFilter(this);
    m_send = new QPushButton(this);
    m_send->setObjectName(QStringLiteral("SendBtn"));
    m_send->setProperty("style", QStringLiteral("system-btn"));
    m_send->setCursor(Qt::PointingHandCursor);
    m_clearHistory = new QPushButton(this);
    m_clearHistory->setObjectName(QStringLiteral("ClearHistoryBtn"));
    m_clearHistory->setProperty("style", QStringLiteral("system-btn"));
    m_clearHistory->setCursor(Qt::PointingHandCursor);
    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(4);
    buttons->addWidget(m_send, 1);
    buttons->addWidget(m_clearHistory);
    layout->addWidget(m_editor, 1);
    layout->addLayout(buttons);
    connect(m_send, &QPushButton::clicked, this, &InputBox::submits);
    connect(m_clearHistory, &QPushButton::clicked, this, &InputBox::clearHistory);
    retranslate();
}

QString InputBox::plainText() const
{
    return m_editor->toPlainText();
}

bool InputBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_editor) {
        switch (event->type()) {
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            // While an input method composes, Enter belongs to it (it picks
            // the candidate); the text is not finished yet.
            if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || m_composing)
                break;
            const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
            if (mods == Qt::ShiftModifier) {
                // A line break of its own, not the soft break the editor makes.
                m_editor->textCursor().insertText(QStringLiteral("\n"));
                m_editor->ensureCursorVisible();
                return true;
            }
            if (mods == Qt::NoModifier || (mods & Qt::ControlModifier)) {
                Q_EMIT submits();
                return true;
            }
            break;
        }
        case QEvent::InputMethod:
            m_composing = !static_cast<QInputMethodEvent*>(event)->preeditString().isEmpty();
            break;
        case QEvent::FocusIn:
            Q_EMIT editorFocused();
            break;
        case QEvent::FocusOut:
            m_composing = false;
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void InputBox::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void InputBox::retranslate()
{
    m_send->setText(tr("发送"));
    m_send->setToolTip(tr("Send (Enter)"));
    m_editor->setPlaceholderText(tr("Enter: send · Shift+Enter: new line"));
    m_clearHistory->setText(tr("Clear History"));
}
