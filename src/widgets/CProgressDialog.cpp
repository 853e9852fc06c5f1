#include "CProgressDialog.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

CProgressDialog::CProgressDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CProgressDialog"));
    setModal(true);
    setMinimumWidth(360);
    m_title = new QLabel(this);
    m_title->setProperty("style", "title-lbl");
    m_status = new QLabel(this);
    m_status->setProperty("style", "describe-lbl");
    m_status->setWordWrap(true);
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, 1000);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_cancel = new QPushButton(this);
    connect(m_cancel, &QPushButton::clicked, this, &CProgressDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(10);
    layout->addWidget(m_title);
    layout->addWidget(m_status);
    layout->addWidget(m_bar);
    layout->addLayout(buttons);
    retranslate();
}

void CProgressDialog::setTitle(const QString& title)
{
    m_title->setText(title);
    setWindowTitle(title);
}

void CProgressDialog::setStatusText(const QString& text)
{
    m_status->setText(text);
}

QString CProgressDialog::statusText() const
{
    return m_status->text();
}

void CProgressDialog::setProgress(qint64 done, qint64 total)
{
    if (total <= 0) {
        m_bar->setRange(0, 0);
        return;
    }
    m_bar->setRange(0, 1000);
    // In long double: done * 1000 overflows qint64 near its end.
    const long double f = static_cast<long double>(qBound<qint64>(0, done, total)) / total;
    m_bar->setValue(static_cast<int>(f * 1000));
}

int CProgressDialog::permille() const
{
    return m_bar->maximum() == 0 ? -1 : m_bar->value();
}

void CProgressDialog::reject()
{
    Q_EMIT canceled();
    QDialog::reject();
}

void CProgressDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void CProgressDialog::retranslate()
{
    m_cancel->setText(tr("Cancel"));
}
