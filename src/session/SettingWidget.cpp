#include "SettingWidget.h"

#include "AppConfig.h"
#include "StyleHelper.h"

#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

SettingWidget::SettingWidget(QWidget* parent) : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    setObjectName(QStringLiteral("SettingWidget"));

    m_title = new QLabel(this);
    StyleHelper::setStyle(m_title, QStringLiteral("title-lbl"));
    m_closeBtn = new QPushButton(QString(QChar(0x2715)), this);
    m_closeBtn->setFixedSize(32, 24);
    m_closeBtn->setCursor(Qt::PointingHandCursor);
    StyleHelper::setStyle(m_closeBtn, QStringLiteral("system-close-btn"));

    m_sectionLabel = new QLabel(this);
    m_pathLabel = new QLabel(this);
    m_pathEdit = new QLineEdit(AppConfig::LogSavePath, this);
    m_pathEdit->setToolTip(AppConfig::LogSavePath);
    m_updateBtn = new QPushButton(this);
    m_nameLabel = new QLabel(this);
    m_nameEdit = new QLineEdit(AppConfig::LogFileName, this);
    m_okBtn = new QPushButton(this);
    m_okBtn->setDefault(true);

    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(m_title);
    titleRow->addStretch(1);
    titleRow->addWidget(m_closeBtn);

    auto* grid = new QGridLayout;
    grid->addWidget(m_sectionLabel, 0, 0, 1, 3);
    grid->addWidget(m_pathLabel, 1, 0);
    grid->addWidget(m_pathEdit, 1, 1);
    grid->addWidget(m_updateBtn, 1, 2);
    grid->addWidget(m_nameLabel, 2, 0);
    grid->addWidget(m_nameEdit, 2, 1, 1, 2);

    auto* okRow = new QHBoxLayout;
    okRow->addStretch(1);
    okRow->addWidget(m_okBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(titleRow);
    layout->addLayout(grid);
    layout->addLayout(okRow);
    setMinimumWidth(460);

    connect(m_closeBtn, &QPushButton::clicked, this, &QWidget::close);
    connect(m_updateBtn, &QPushButton::clicked, this, &SettingWidget::chooseFolder);
    connect(m_okBtn, &QPushButton::clicked, this, &SettingWidget::accept);
    retranslate();
}

void SettingWidget::chooseFolder()
{
    const QString dir =
        QFileDialog::getExistingDirectory(this, tr("选择Log保存文件夹"), AppConfig::LogSavePath);
    if (dir.isEmpty())
        return;
    m_pathEdit->setText(dir);
    m_pathEdit->setToolTip(dir);
}

void SettingWidget::accept()
{
    bool changed = false;
    const QString path = m_pathEdit->text();
    if (!path.isEmpty()) {
        changed = changed || path != AppConfig::LogSavePath;
        AppConfig::LogSavePath = path;
    }
    const QString name = m_nameEdit->text();
    if (!name.isEmpty()) {
        changed = changed || name != AppConfig::LogFileName;
        AppConfig::LogFileName = name;
    }
    if (changed)
        Q_EMIT logFilePathChanged();
    close();
}

void SettingWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void SettingWidget::retranslate()
{
    m_title->setText(tr("通用设置"));
    m_sectionLabel->setText(tr("Output Log Configuration:"));
    m_pathLabel->setText(tr("Log保存路径:"));
    m_updateBtn->setText(tr("更改目录"));
    m_nameLabel->setText(tr("Log文件名:"));
    m_okBtn->setText(tr("OK"));
}
