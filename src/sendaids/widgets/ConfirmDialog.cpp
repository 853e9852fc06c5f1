#include "ConfirmDialog.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ConfirmDialog::ConfirmDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ConfirmDialog"));
    setModal(true);
    setMinimumWidth(320);
    m_title = new QLabel(this);
    m_title->setProperty("style", "title-lbl");
    m_text = new QLabel(this);
    m_text->setWordWrap(true);
    m_yes = new QPushButton(this);
    m_no = new QPushButton(this);
    // A stray Enter must not delete anything.
    m_no->setDefault(true);
    connect(m_yes, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_no, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_yes);
    buttons->addWidget(m_no);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(12);
    layout->addWidget(m_title);
    layout->addWidget(m_text, 1);
    layout->addLayout(buttons);
    retranslate();
}

void ConfirmDialog::setTitle(const QString& title)
{
    m_title->setText(title);
    setWindowTitle(title);
}

void ConfirmDialog::setText(const QString& text)
{
    m_text->setText(text);
}

QString ConfirmDialog::text() const
{
    return m_text->text();
}

bool ConfirmDialog::ask(QWidget* parent, const QString& title, const QString& text)
{
    ConfirmDialog dlg(parent);
    dlg.setTitle(title);
    dlg.setText(text);
    return dlg.exec() == QDialog::Accepted;
}

void ConfirmDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void ConfirmDialog::retranslate()
{
    m_yes->setText(tr("Yes"));
    m_no->setText(tr("No"));
}
