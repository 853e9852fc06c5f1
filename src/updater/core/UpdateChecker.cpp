#include "UpdateChecker.h"

#include "UpdateRequest.h"
#include "UpdateVersion.h"

#include <QDebug>
#include <QNetworkAccessManager>
#include <QNetworkReply>

UpdateChecker::UpdateChecker(QObject* parent) : QObject(parent), m_manager(new QNetworkAccessManager(this))
{
    connect(m_manager, &QNetworkAccessManager::finished, this, &UpdateChecker::onReply);
}

QString UpdateChecker::defaultPlatformKey()
{
#if defined(Q_OS_WIN)
    return QStringLiteral("windows");
#elif defined(Q_OS_MACOS)
    return QStringLiteral("osx");
#else
    return QStringLiteral("linux");
#endif
}

void UpdateChecker::check()
{
    m_redirects = 0;
    send();
}

void UpdateChecker::send()
{
    if (m_reply) {
        // Its finish is ignored below: only the newest check reports.
        QNetworkReply* old = m_reply;
        m_reply = nullptr;
        old->abort();
    }
    m_reply =
        m_manager->get(UpdateRequest::build(QUrl(m_url), m_userAgent, UpdateRequest::kTransferTimeoutMs));
}

void UpdateChecker::onReply(QNetworkReply* reply)
{
    reply->deleteLater();
    if (reply != m_reply)
        return;
    m_reply = nullptr;

    // The manager follows safe redirects itself; remember where it ended up.
    if (reply->error() == QNetworkReply::NoError && reply->url() != reply->request().url()) {
        qInfo().noquote() << "[Updater] manifest moved to" << reply->url().toString();
        m_url = reply->url().toString();
    }

    // A redirect the manager left to us (a 3xx answer with a target).
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QVariant target = reply->attribute(QNetworkRequest::RedirectionTargetAttribute);
    if (status >= 300 && status < 400 && target.isValid()) {
        const QUrl next = reply->url().resolved(target.toUrl());
        if (UpdateRequest::isSafeRedirect(reply->url(), next) &&
            ++m_redirects <= UpdateRequest::kMaxRedirects) {
            m_url = next.toString();
            send();
            return;
        }
        qWarning().noquote() << "[Updater] redirect refused:" << next.toString();
        m_manifest = UpdateManifest();
        emit finished(false);
        return;
    }

    if (reply->error() != QNetworkReply::NoError) {
        qWarning().noquote() << "[Updater] update check failed:" << reply->errorString();
        m_manifest = UpdateManifest();
        emit finished(false);
        return;
    }

    const QByteArray body = reply->readAll();
    if (m_customAppcast) {
        emit appcastDownloaded(body);
        return;
    }
    if (!UpdateManifest::parse(body, m_platformKey, &m_manifest)) {
        qWarning().noquote() << "[Updater] manifest is not JSON:" << m_url;
        emit finished(false);
        return;
    }
    emit finished(UpdateVersion::isNewer(m_manifest.latestVersion, m_moduleVersion));
}
