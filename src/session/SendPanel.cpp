#include "SendPanel.h"

#include "CMenu.h"
#include "HistoryDataManager.h"
#include "InputBox.h"
#include "StyleHelper.h"

#include <QAction>
#include <QComboBox>
#include <QCursor>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>
#include <QVBoxLayout>

#include <climits>

SendPanel::SendPanel(QWidget* tipHost, QWidget* parent) : QWidget(parent), m_tipHost(tipHost)
{
    setObjectName(QStringLiteral("SendArea"));
    m_inputBox = new InputBox(this);
    m_inputBox->setFixedHeight(80);
    m_historyBox = new QComboBox(this);
    m_historyBox->setFixedHeight(23);
    m_historyBox->setMaxCount(INT_MAX);
    StyleHelper::setStyle(m_historyBox, QStringLiteral("Historycommon"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(m_historyBox);
    layout->addWidget(m_inputBox);

    m_hexTip = new QLabel(tipHost);
    m_hexTip->setObjectName(QStringLiteral("HexTip"));
    m_hexTip->setFixedSize(320, 45);
    m_hexTip->setAlignment(Qt::AlignCenter);
    m_hexTip->setWordWrap(true);
    StyleHelper::setStyle(m_hexTip, QStringLiteral("tip"));
    m_hexTip->hide();
    m_hexTipTimer = new QTimer(this);
    m_hexTipTimer->setSingleShot(true);
    m_hexTipTimer->setInterval(kHexTipMs);
    connect(m_hexTipTimer, &QTimer::timeout, m_hexTip, &QWidget::hide);

    m_copyAction = new QAction(this);
    m_copyAction->setShortcut(QKeySequence::Copy);
    m_pasteAction = new QAction(this);
    m_pasteAction->setShortcut(QKeySequence::Paste);
    m_clearAction = new QAction(this);
    QPlainTextEdit* editor = m_inputBox->editor();
    connect(m_copyAction, &QAction::triggered, editor, &QPlainTextEdit::copy);
    connect(m_pasteAction, &QAction::triggered, editor, &QPlainTextEdit::paste);
    connect(m_clearAction, &QAction::triggered, editor, &QPlainTextEdit::clear);

    connect(m_inputBox, &InputBox::submits, this, &SendPanel::submitted);
    connect(m_inputBox, &InputBox::clearHistory, m_historyBox, &QComboBox::clear);
    connect(m_inputBox, &InputBox::editorFocused, this, &SendPanel::onEditorFocused);
    connect(editor, &QWidget::customContextMenuRequested, this, &SendPanel::showInputContextMenu);
    connect(m_historyBox, &QComboBox::textActivated, editor, &QPlainTextEdit::setPlainText);
}

QString SendPanel::text() const
{
    return m_inputBox->plainText();
}

void SendPanel::recordToHistory(const QString& text)
{
    const QString s = text.simplified();
    if (s.isEmpty())
        return;
    for (int i = m_historyBox->count() - 1; i >= 0; --i) {
        if (m_historyBox->itemText(i) == s)
            m_historyBox->removeItem(i);
    }
    m_historyBox->insertItem(0, s);
    m_historyBox->setCurrentIndex(0);
}

void SendPanel::loadHistory()
{
    QStringList entries;
    HistoryDataManager::load(HistoryDataManager::defaultPath(), entries);
    m_historyBox->addItems(entries);
}

bool SendPanel::saveHistory() const
{
    QStringList entries;
    entries.reserve(m_historyBox->count());
    for (int i = 0; i < m_historyBox->count(); ++i)
        entries.append(m_historyBox->itemText(i));
    return HistoryDataManager::save(HistoryDataManager::defaultPath(), entries);
}

void SendPanel::retranslate()
{
    m_copyAction->setText(tr("Copy"));
    m_pasteAction->setText(tr("Paste"));
    m_clearAction->setText(tr("Clear"));
    m_hexTip->setText(tr("Hex Sample:11 22 33 44... or 1122334455..."));
}

void SendPanel::onEditorFocused()
{
    if (!text().isEmpty() || m_hexTip->isVisible())
        return;
    const QPoint topLeft = mapTo(m_tipHost, QPoint(0, 0));
    m_hexTip->move(topLeft.x(), qMax(0, topLeft.y() - m_hexTip->height()));
    m_hexTip->raise();
    m_hexTip->show();
    m_hexTipTimer->start();
}

void SendPanel::showInputContextMenu()
{
    auto* menu = new CMenu(this);
    menu->addAction(m_copyAction);
    menu->addAction(m_pasteAction);
    menu->addAction(m_clearAction);
    menu->popup(QCursor::pos());
}
