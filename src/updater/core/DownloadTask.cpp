#include "DownloadTask.h"

#include "DownloadFileName.h"
#include "UpdateRequest.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>

DownloadTask::DownloadTask(QObject* parent)
    : QObject(parent), m_manager(new QNetworkAccessManager(this)), m_folder(defaultFolder()),
      m_fileName(QString::fromLatin1(DownloadFileName::kFallback))
{
    connect(m_manager, &QNetworkAccessManager::authenticationRequired, this,
            &DownloadTask::authenticationRequired);
}

DownloadTask::~DownloadTask()
{
    if (m_reply)
        abort();
}

QString DownloadTask::defaultFolder()
{
    return QDir::homePath() + QStringLiteral("/Downloads/");
}

void DownloadTask::setFolder(const QString& folder)
{
    m_folder = folder;
    if (!m_folder.endsWith(QLatin1Char('/')))
        m_folder += QLatin1Char('/');
}

void DownloadTask::setFileName(const QString& name)
{
    const QString safe = DownloadFileName::sanitize(name);
    m_fileName = safe.isEmpty() ? QString::fromLatin1(DownloadFileName::kFallback) : safe;
}

void DownloadTask::start(const QUrl& url)
{
    m_redirects = 0;
    begin(url);
}

void DownloadTask::begin(const QUrl& url)
{
    dropReply();
    m_part.close();
    m_part.setFileName(QString());

    m_reply = m_manager->get(UpdateRequest::build(url, m_userAgent, UpdateRequest::kTransferTimeoutMs));
    m_startTime = QDateTime::currentSecsSinceEpoch();

    QDir().mkpath(m_folder);
    QFile::remove(filePath());
    QFile::remove(partPath());

    connect(m_reply, &QNetworkReply::metaDataChanged, this, &DownloadTask::onMetaDataChanged);
    connect(m_reply, &QNetworkReply::readyRead, this, &DownloadTask::onReadyRead);
    connect(m_reply, &QNetworkReply::downloadProgress, this, &DownloadTask::progress);
    connect(m_reply, &QNetworkReply::finished, this, &DownloadTask::onFinished);
}

void DownloadTask::abort()
{
    if (!m_reply)
        return;
    dropReply();
    m_part.close();
    QFile::remove(m_part.fileName());
}

void DownloadTask::dropReply()
{
    if (!m_reply)
        return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

QUrl DownloadTask::redirectTarget() const
{
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QVariant target = m_reply->attribute(QNetworkRequest::RedirectionTargetAttribute);
    if (status < 300 || status >= 400 || !target.isValid())
        return QUrl();
    return m_reply->url().resolved(target.toUrl());
}

void DownloadTask::onMetaDataChanged()
{
    if (!m_reply || !m_reply->hasRawHeader("Content-Disposition"))
        return;
    const QString name = DownloadFileName::fromContentDisposition(m_reply->rawHeader("Content-Disposition"));
    // Data written so far stays in the partial file it went to.
    if (!m_part.isOpen())
        setFileName(name);
}

void DownloadTask::onReadyRead()
{
    if (m_reply)
        save();
}

DownloadTask::SaveResult DownloadTask::save()
{
    const QUrl next = redirectTarget();
    if (!next.isEmpty()) {
        if (!UpdateRequest::isSafeRedirect(m_reply->url(), next) ||
            ++m_redirects > UpdateRequest::kMaxRedirects) {
            fail(tr("Redirect to %1 refused").arg(next.toString()));
            return SaveResult::Failed;
        }
        begin(next);
        return SaveResult::Restarted;
    }
    if (!m_part.isOpen()) {
        // A fresh file: whatever an earlier run left under this name is not ours.
        m_part.setFileName(partPath());
        if (!m_part.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            fail(tr("Cannot write %1: %2").arg(m_part.fileName(), m_part.errorString()));
            return SaveResult::Failed;
        }
    }
    const QByteArray data = m_reply->isOpen() ? m_reply->readAll() : QByteArray();
    // Straight to disk: a full disk shows up now, not at the rename.
    if (!data.isEmpty() && (m_part.write(data) != data.size() || !m_part.flush())) {
        fail(tr("Cannot write %1: %2").arg(m_part.fileName(), m_part.errorString()));
        return SaveResult::Failed;
    }
    return SaveResult::Saved;
}

void DownloadTask::onFinished()
{
    if (!m_reply)
        return;
    if (m_reply->error() != QNetworkReply::NoError) {
        fail(m_reply->errorString());
        return;
    }
    if (save() != SaveResult::Saved)
        return; // failed, or restarted at a redirect's target
    const QString partial = m_part.fileName();
    if (!m_part.flush()) {
        fail(tr("Cannot write %1: %2").arg(partial, m_part.errorString()));
        return;
    }
    m_part.close();

    const QString target = filePath();
    const QFileInfo stale(target);
    if ((stale.exists() || stale.isSymLink()) && !QFile::remove(target)) {
        fail(tr("Cannot replace %1").arg(target));
        return;
    }
    if (!QFile::rename(partial, target)) {
        fail(tr("Cannot rename %1 to %2").arg(partial, target));
        return;
    }
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->deleteLater();
    qInfo().noquote() << "[Updater] downloaded" << target;
    emit finished(target);
}

void DownloadTask::fail(const QString& reason)
{
    qWarning().noquote() << "[Updater] download failed:" << reason;
    dropReply();
    m_part.close();
    if (!m_part.fileName().isEmpty())
        QFile::remove(m_part.fileName());
    QFile::remove(partPath());
    emit failed(reason);
}
