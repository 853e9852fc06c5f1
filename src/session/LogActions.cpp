#include "LogActions.h"

#include "AppConfig.h"
#include "CMenu.h"
#include "CPlainTextEdit.h"
#include "LogCapture.h"

#include <QAction>
#include <QCursor>
#include <QDebug>
#include <QFileDialog>
#include <QFontDialog>

LogActions::LogActions(QWidget* host, CPlainTextEdit* log, QWidget* input)
    : QObject(host), m_host(host), m_log(log), m_input(input)
{
    m_fontAction = new QAction(this);
    m_clearAction = new QAction(this);
    connect(m_clearAction, &QAction::triggered, this, &LogActions::clearRequested);
    connect(m_fontAction, &QAction::triggered, this, &LogActions::openFontDialog);
}

void LogActions::retranslate()
{
    m_fontAction->setText(tr("字体"));
    m_clearAction->setText(tr("清除Log"));
}

bool LogActions::saveTo(const QString& chosen)
{
    m_log->flushPending();
    if (AppConfig::LogSavePath.isEmpty()) {
        Q_EMIT messageRequested(tr("Log save failed!"));
        return false;
    }
    const QString path = LogCapture::saveFileName(chosen);
    QString reason;
    if (LogCapture::saveText(path, m_log->toPlainText(), &reason))
        return true;
    qWarning().noquote() << "[session]"
                         << "cannot save log to" << path << reason;
    Q_EMIT messageRequested(tr("Log save failed!"));
    return false;
}

void LogActions::saveWithDialog()
{
    m_log->flushPending();
    if (m_log->document()->isEmpty()) {
        Q_EMIT messageRequested(tr("Log is empty."));
        return;
    }
    QFileDialog dialog(m_host, tr("Log Save"), AppConfig::LogSavePath, QStringLiteral("*.dat"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().value(0).isEmpty())
        return;
    saveTo(dialog.selectedFiles().value(0));
}

void LogActions::showContextMenu()
{
    auto* menu = new CMenu(m_host);
    menu->addAction(m_clearAction);
    menu->addAction(m_fontAction);
    menu->popup(QCursor::pos());
}

void LogActions::openFontDialog()
{
    const QStringList fields = AppConfig::LogWinFont.split(QLatin1Char(','));
    QFont font;
    if (!fields.value(0).trimmed().isEmpty())
        font.setFamily(fields.value(0).trimmed());
    const int size = fields.value(1).trimmed().toInt();
    if (size > 0)
        font.setPointSize(size);

    auto* dlg = new QFontDialog(font, m_host);
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    dlg->resize(500, 360);
    dlg->setWindowModality(Qt::ApplicationModal);
    connect(dlg, &QFontDialog::fontSelected, this, [this](const QFont& selected) {
        m_log->setFont(selected);
        m_input->setFont(selected);
        AppConfig::LogWinFont = selected.toString();
    });
    dlg->show();
}
