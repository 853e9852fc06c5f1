#include "VersionInfoWidget.h"

#include "CorvaneApp.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

VersionInfoWidget::VersionInfoWidget(QWidget* parent) : QFrame(parent, Qt::Popup | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("VersionInfoWidget"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_StyledBackground, true);

    m_logo = new QLabel(this);
    const QPixmap logo(QStringLiteral(":/resources/img/Components/png/logo.png"));
    if (!logo.isNull())
        m_logo->setPixmap(logo.scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    m_logo->setFixedSize(64, 64);

    m_name = new QLabel(this);
    m_name->setTextFormat(Qt::RichText);
    m_version = new QLabel(this);
    m_version->setTextFormat(Qt::RichText);
    m_checkUpdate = new QPushButton(this);
    m_checkUpdate->setCursor(Qt::PointingHandCursor);
    connect(m_checkUpdate, &QPushButton::clicked, this, &VersionInfoWidget::checkUpdateClicked);

    auto* text = new QVBoxLayout;
    text->setSpacing(6);
    text->addWidget(m_name);
    text->addWidget(m_version);
    text->addSpacing(4);
    text->addWidget(m_checkUpdate, 0, Qt::AlignLeft);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 14, 20, 14);
    layout->setSpacing(16);
    layout->addWidget(m_logo, 0, Qt::AlignTop);
    layout->addLayout(text);

    retranslate();
    adjustSize();
}

void VersionInfoWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
        adjustSize();
    }
    QFrame::changeEvent(event);
}

void VersionInfoWidget::retranslate()
{
    m_name->setText(tr("<span style='font-weight:bold;'>Name :</span> CVN"));
    m_version->setText(tr("<span style='font-weight:bold;'>Version :</span> v%1").arg(CorvaneApp::version()));
    m_checkUpdate->setText(tr("Check for Updates"));
}
