#include "LogWidget.h"

#include "AppConfig.h"
#include "CPlainTextEdit.h"
#include "StyleHelper.h"

#include <QEvent>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The stored form is the font's string form; older files hold only
// "family,size", which fromString() also accepts.
QFont logFont()
{
    QFont font;
    if (!AppConfig::LogWinFont.isEmpty() && font.fromString(AppConfig::LogWinFont))
        return font;
    return QFont(QStringLiteral("Monospace"), 10);
}

} // namespace

LogWidget::LogWidget(QWidget* parent) : QFrame(parent)
{
    m_title = new QLabel(this);
    StyleHelper::setStyle(m_title, QStringLiteral("title-lbl"));
    m_saveBtn = new QPushButton(this);
    m_saveBtn->setCursor(Qt::PointingHandCursor);
    StyleHelper::setStyle(m_saveBtn, QStringLiteral("system-btn"));
    m_clearBtn = new QPushButton(this);
    m_clearBtn->setCursor(Qt::PointingHandCursor);
    StyleHelper::setStyle(m_clearBtn, QStringLiteral("system-btn"));

    m_textArea = new CPlainTextEdit(this);
    m_textArea->setFont(logFont());

    auto* titleRow = new QHBoxLayout;
    titleRow->setContentsMargins(0, 0, 0, 0);
    titleRow->setSpacing(4);
    titleRow->addWidget(m_title);
    titleRow->addStretch(1);
    titleRow->addWidget(m_saveBtn);
    titleRow->addWidget(m_clearBtn);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(titleRow);
    layout->addWidget(m_textArea, 1);

    connect(m_saveBtn, &QPushButton::clicked, this, &LogWidget::saveBtnClicked);
    connect(m_clearBtn, &QPushButton::clicked, this, &LogWidget::clearBtnClicked);
    retranslate();
}

void LogWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QFrame::changeEvent(event);
}

void LogWidget::retranslate()
{
    m_title->setText(tr("LOG"));
    m_saveBtn->setText(tr("Save"));
    m_saveBtn->setToolTip(tr("Save Log to File"));
    m_clearBtn->setText(tr("Clear"));
    m_clearBtn->setToolTip(tr("Clear log"));
}
