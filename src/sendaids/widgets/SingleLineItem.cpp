#include "SingleLineItem.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>

#include <climits>

SingleLineItem::SingleLineItem(QWidget* parent) : QWidget(parent)
{
    m_check = new QCheckBox(this);
    m_check->setFocusPolicy(Qt::NoFocus);
    m_label = new QLineEdit(this);
    m_label->setObjectName(QStringLiteral("LineLabel"));
    m_label->setFrame(false);
    m_data = new QLineEdit(this);
    m_data->setObjectName(QStringLiteral("LineData"));
    // A line edit keeps only 32767 characters by default; a stored command
    // must come back whole, however long.
    m_data->setMaxLength(INT_MAX);
    m_label->setMaxLength(INT_MAX);
    m_interval = new QSpinBox(this);
    m_interval->setRange(0, INT_MAX);
    m_interval->setValue(kDefaultInterval);
    m_interval->setFixedWidth(84);
    m_send = new QPushButton(this);
    m_send->setFixedSize(60, 25);
    m_send->setFocusPolicy(Qt::NoFocus);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(4, 3, 4, 3);
    layout->setHorizontalSpacing(4);
    layout->setVerticalSpacing(3);
    layout->addWidget(m_check, 0, 0);
    layout->addWidget(m_label, 0, 1);
    layout->addWidget(m_interval, 0, 2);
    layout->addWidget(m_data, 1, 0, 1, 2);
    layout->addWidget(m_send, 1, 2, Qt::AlignRight);
    layout->setColumnStretch(1, 1);

    connect(m_check, &QCheckBox::toggled, this, &SingleLineItem::toggled);
    connect(m_send, &QPushButton::clicked, this, [this] {
        const QString text = data();
        if (!text.isEmpty())
            Q_EMIT submitRequest(text);
    });
    m_label->setText(tr("Channel"));
    retranslate();
}

bool SingleLineItem::isChecked() const
{
    return m_check->isChecked();
}

void SingleLineItem::setChecked(bool checked)
{
    m_check->setChecked(checked);
}

QString SingleLineItem::label() const
{
    return m_bigLabel ? *m_bigLabel : m_label->text();
}

void SingleLineItem::setLabel(const QString& label)
{
    if (label.size() > kEditableLength) {
        m_bigLabel = label;
        m_label->setReadOnly(true);
        m_label->setText(label.left(256) + QChar(0x2026));
    } else {
        m_bigLabel.reset();
        m_label->setReadOnly(false);
        m_label->setText(label);
    }
    m_label->setCursorPosition(0);
}

QString SingleLineItem::data() const
{
    return m_bigData ? *m_bigData : m_data->text();
}

void SingleLineItem::setData(const QString& data)
{
    if (data.size() > kEditableLength) {
        m_bigData = data;
        m_data->setReadOnly(true);
        m_data->setText(data.left(256) + QChar(0x2026));
    } else {
        m_bigData.reset();
        m_data->setReadOnly(false);
        m_data->setText(data);
    }
    m_data->setCursorPosition(0);
    retranslate();
}

int SingleLineItem::interval() const
{
    return m_interval->value();
}

void SingleLineItem::setInterval(int ms)
{
    m_interval->setValue(ms);
}

void SingleLineItem::mouseDoubleClickEvent(QMouseEvent* event)
{
    m_check->toggle();
    event->accept();
}

void SingleLineItem::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void SingleLineItem::retranslate()
{
    m_send->setText(tr("Send"));
    m_interval->setSuffix(tr("ms"));
    m_data->setPlaceholderText(tr("Data to send"));
    m_data->setToolTip(
        m_bigData
            ? tr("%1 characters: too long to edit here; it is sent and saved whole.").arg(m_bigData->size())
            : QString());
    m_check->setToolTip(tr("Take part in loop sending"));
}
