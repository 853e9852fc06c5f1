#include "CDialog.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CDialog::CDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CDialog"));
    setModal(true);
    setMinimumWidth(320);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(12);
    m_title = new QLabel(this);
    m_title->setProperty("style", "title-lbl");
    m_text = new QLabel(this);
    m_text->setWordWrap(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_ok = new QPushButton(this);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    layout->addWidget(m_title);
    layout->addWidget(m_text, 1);
    layout->addLayout(buttons);
    retranslate();
}

void CDialog::setTitle(const QString& title)
{
    m_title->setText(title);
    setWindowTitle(title);
}

void CDialog::setText(const QString& text)
{
    m_text->setText(text);
}

QString CDialog::text() const
{
    return m_text->text();
}

void CDialog::showMessage(QWidget* parent, const QString& title, const QString& text)
{
    CDialog dlg(parent);
    dlg.setTitle(title);
    dlg.setText(text);
    dlg.exec();
}

void CDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void CDialog::retranslate()
{
    m_ok->setText(tr("OK"));
}
