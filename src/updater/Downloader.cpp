#include "Downloader.h"

#include "AuthenticateDialog.h"
#include "DownloadProgressText.h"
#include "DownloadTask.h"

#include <QAuthenticator>
#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QNetworkReply>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

Downloader::Downloader(QWidget* parent) : QWidget(parent), m_task(new DownloadTask(this))
{
    setObjectName(QStringLiteral("Downloader"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/update.png")));
    resize(464, 168);

    m_state = new QLabel(this);
    m_time = new QLabel(this);
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_open = new QPushButton(this);
    m_open->setEnabled(false);
    m_stop = new QPushButton(this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_time, 1);
    buttons->addWidget(m_open);
    buttons->addWidget(m_stop);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_state);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);

    connect(m_open, &QPushButton::clicked, this, &Downloader::openDownload);
    connect(m_stop, &QPushButton::clicked, this, &Downloader::cancelDownload);
    connect(m_task, &DownloadTask::progress, this, &Downloader::updateProgress);
    connect(m_task, &DownloadTask::finished, this, &Downloader::finished);
    connect(m_task, &DownloadTask::failed, this, &Downloader::failed);
    connect(m_task, &DownloadTask::authenticationRequired, this, &Downloader::authenticate);
    connect(this, &Downloader::quitRequested, qApp, &QCoreApplication::quit, Qt::QueuedConnection);

    retranslate();
    m_state->setText(tr("Downloading updates"));
    m_time->setText(tr("Time remaining: 0 minutes"));
}

QString Downloader::fileName() const
{
    return m_task->fileName();
}

QString Downloader::downloadDir() const
{
    return m_task->folder();
}

void Downloader::setDownloadDir(const QString& dir)
{
    m_task->setFolder(dir);
}

void Downloader::setUrlId(const QString& url)
{
    m_urlId = url;
}

void Downloader::setFileName(const QString& file)
{
    m_task->setFileName(file);
}

void Downloader::setUserAgentString(const QString& agent)
{
    m_task->setUserAgent(agent);
}

void Downloader::setUseCustomInstallProcedures(bool custom)
{
    m_customProcedures = custom;
}

void Downloader::setMandatoryUpdate(bool mandatory_update)
{
    m_mandatoryUpdate = mandatory_update;
}

void Downloader::startDownload(const QUrl& url)
{
    m_done = false;
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_open->setEnabled(false);
    retranslate();
    m_state->setText(tr("Downloading updates"));
    m_time->setText(DownloadProgressText::timeLabel(DownloadProgressText::tr("unknown")));
    m_task->start(url);
    showNormal();
}

void Downloader::updateProgress(qint64 received, qint64 total)
{
    if (total <= 0) {
        m_progress->setRange(0, 0);
        m_state->setText(DownloadProgressText::busyStateText());
        m_time->setText(DownloadProgressText::unknownTimeLabel());
        return;
    }
    m_progress->setRange(0, 100);
    m_progress->setValue(int(received * 100 / total));
    calculateSizes(received, total);
    calculateTimeRemaining(received, total);
}

void Downloader::calculateSizes(qint64 received, qint64 total)
{
    m_state->setText(DownloadProgressText::stateText(received, total));
}

void Downloader::calculateTimeRemaining(qint64 received, qint64 total)
{
    const qint64 elapsed = QDateTime::currentSecsSinceEpoch() - m_task->startTime();
    m_time->setText(
        DownloadProgressText::timeLabel(DownloadProgressText::remainingText(received, total, elapsed)));
}

void Downloader::finished(const QString& filePath)
{
    m_done = true;
    m_progress->setRange(0, 100);
    m_progress->setValue(100);
    emit downloadFinished(m_urlId, filePath);
    installUpdate();
    hide();
}

void Downloader::failed(const QString& reason)
{
    // Said in the window rather than left looking like a stalled download.
    m_done = true;
    retranslate();
    m_state->setText(tr("Download failed: %1").arg(reason));
}

void Downloader::installUpdate()
{
    if (m_customProcedures)
        return;
    retranslate();
    m_state->setText(tr("Download complete!"));
    m_time->setText(tr("The installer opens separately") + QStringLiteral("..."));

    QMessageBox box;
    box.setIcon(QMessageBox::Question);
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Ok);
    box.setInformativeText(tr("Click \"OK\" to begin installing the update"));
    const QString text = m_mandatoryUpdate ? tr("In order to install the update, you may need to quit the "
                                                "application. This is a mandatory update, exiting now will "
                                                "close the application.")
                                           : tr("In order to install the update, you may need to quit the "
                                                "application.");
    box.setText(QStringLiteral("<h3>") + text + QStringLiteral("</h3>"));
    if (box.exec() == QMessageBox::Ok) {
        openDownload();
        return;
    }
    if (m_mandatoryUpdate) {
        emit quitRequested();
        return;
    }
    m_open->setEnabled(true);
    m_time->setText(tr("Click the \"Open\" button to apply the update"));
}

void Downloader::openDownload()
{
    const QString path = m_task->filePath();
    if (m_task->fileName().isEmpty() || !QFileInfo::exists(path)) {
        QMessageBox::critical(this, tr("Error"), tr("Cannot find downloaded update!"), QMessageBox::Close);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void Downloader::cancelDownload()
{
    if (!m_task->isRunning()) {
        if (m_mandatoryUpdate)
            emit quitRequested();
        else
            hide();
        return;
    }
    const QString text = m_mandatoryUpdate ? tr("Are you sure you want to cancel the download? This is a "
                                                "mandatory update, exiting now will close the application")
                                           : tr("Are you sure you want to cancel the download?");
    if (QMessageBox::question(this, tr("Updater"), text, QMessageBox::Yes | QMessageBox::No) !=
        QMessageBox::Yes)
        return;
    hide();
    m_task->abort();
    if (m_mandatoryUpdate)
        emit quitRequested();
}

void Downloader::authenticate(QNetworkReply* reply, QAuthenticator* authenticator)
{
    Q_UNUSED(reply);
    AuthenticateDialog dialog(this);
    dialog.setUserName(authenticator->user());
    dialog.setPassword(authenticator->password());
    if (dialog.exec() == QDialog::Accepted) {
        authenticator->setUser(dialog.userName());
        authenticator->setPassword(dialog.password());
    }
}

void Downloader::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void Downloader::retranslate()
{
    setWindowTitle(tr("Updater"));
    m_open->setText(tr("Open"));
    m_stop->setText(m_done ? tr("Close") : tr("Stop"));
}
