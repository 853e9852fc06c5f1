#include "GroupNameDialog.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

GroupNameDialog::GroupNameDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("GroupNameDialog"));
    setModal(true);
    setFixedSize(300, 140);
    m_label = new QLabel(this);
    m_edit = new QLineEdit(this);
    m_ok = new QPushButton(this);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(this);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addWidget(m_label);
    row->addWidget(m_edit, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addStretch(1);
    layout->addLayout(row);
    layout->addStretch(1);
    layout->addLayout(buttons);
    retranslate();
}

QString GroupNameDialog::name() const
{
    return m_edit->text();
}

void GroupNameDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void GroupNameDialog::retranslate()
{
    setWindowTitle(tr("Add Group"));
    m_label->setText(tr("Group Name: "));
    m_ok->setText(tr("OK"));
    m_cancel->setText(tr("Cancel"));
}
