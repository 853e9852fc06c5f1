#include "QSimpleUpdater.h"

#include "Updater.h"

#include <QCoreApplication>

QSimpleUpdater* QSimpleUpdater::getInstance()
{
    static QSimpleUpdater* instance = nullptr;
    if (!instance) {
        instance = new QSimpleUpdater;
        // The download windows go while the application still exists.
        if (QCoreApplication* app = QCoreApplication::instance()) {
            connect(app, &QCoreApplication::aboutToQuit, app, [] {
                delete instance;
                instance = nullptr;
            });
        }
    }
    return instance;
}

QSimpleUpdater::~QSimpleUpdater()
{
    qDeleteAll(m_updaters);
}

bool QSimpleUpdater::hasUpdater(const QString& url) const
{
    for (Updater* updater : m_updaters) {
        if (updater->url() == url)
            return true;
    }
    return false;
}

Updater* QSimpleUpdater::getUpdater(const QString& url)
{
    // Keyed by the address the updater was made for, not by where a redirect
    // has since sent it.
    for (Updater* updater : std::as_const(m_updaters)) {
        if (updater->url() == url)
            return updater;
    }
    auto* updater = new Updater;
    updater->setUrl(url);
    connect(updater, &Updater::checkingFinished, this, &QSimpleUpdater::checkingFinished);
    connect(updater, &Updater::downloadFinished, this, &QSimpleUpdater::downloadFinished);
    connect(updater, &Updater::appcastDownloaded, this, &QSimpleUpdater::appcastDownloaded);
    m_updaters << updater;
    return updater;
}

bool QSimpleUpdater::getNotifyOnUpdate(const QString& url)
{
    return getUpdater(url)->notifyOnUpdate();
}

bool QSimpleUpdater::getNotifyOnFinish(const QString& url)
{
    return getUpdater(url)->notifyOnFinish();
}

bool QSimpleUpdater::getUpdateAvailable(const QString& url)
{
    return getUpdater(url)->updateAvailable();
}

bool QSimpleUpdater::getDownloaderEnabled(const QString& url)
{
    return getUpdater(url)->downloaderEnabled();
}

bool QSimpleUpdater::usesCustomAppcast(const QString& url)
{
    return getUpdater(url)->customAppcast();
}

QString QSimpleUpdater::getOpenUrl(const QString& url)
{
    return getUpdater(url)->openUrl();
}

QString QSimpleUpdater::getChangelog(const QString& url)
{
    return getUpdater(url)->changelog();
}

QString QSimpleUpdater::getModuleName(const QString& url)
{
    return getUpdater(url)->moduleName();
}

QString QSimpleUpdater::getDownloadUrl(const QString& url)
{
    return getUpdater(url)->downloadUrl();
}

QString QSimpleUpdater::getPlatformKey(const QString& url)
{
    return getUpdater(url)->platformKey();
}

QString QSimpleUpdater::getLatestVersion(const QString& url)
{
    return getUpdater(url)->latestVersion();
}

QString QSimpleUpdater::getModuleVersion(const QString& url)
{
    return getUpdater(url)->moduleVersion();
}

QString QSimpleUpdater::getUserAgentString(const QString& url)
{
    return getUpdater(url)->userAgentString();
}

void QSimpleUpdater::checkForUpdates(const QString& url)
{
    getUpdater(url)->checkForUpdates();
}

void QSimpleUpdater::setModuleName(const QString& url, const QString& name)
{
    getUpdater(url)->setModuleName(name);
}

void QSimpleUpdater::setNotifyOnUpdate(const QString& url, bool notify)
{
    getUpdater(url)->setNotifyOnUpdate(notify);
}

void QSimpleUpdater::setNotifyOnFinish(const QString& url, bool notify)
{
    getUpdater(url)->setNotifyOnFinish(notify);
}

void QSimpleUpdater::setPlatformKey(const QString& url, const QString& platform)
{
    getUpdater(url)->setPlatformKey(platform);
}

void QSimpleUpdater::setModuleVersion(const QString& url, const QString& version)
{
    getUpdater(url)->setModuleVersion(version);
}

void QSimpleUpdater::setDownloaderEnabled(const QString& url, bool enabled)
{
    getUpdater(url)->setDownloaderEnabled(enabled);
}

void QSimpleUpdater::setDownloadDir(const QString& url, const QString& dir)
{
    getUpdater(url)->setDownloadDir(dir);
}

void QSimpleUpdater::setUserAgentString(const QString& url, const QString& agent)
{
    getUpdater(url)->setUserAgentString(agent);
}

void QSimpleUpdater::setUseCustomAppcast(const QString& url, bool customAppcast)
{
    getUpdater(url)->setUseCustomAppcast(customAppcast);
}

void QSimpleUpdater::setUseCustomInstallProcedures(const QString& url, bool custom)
{
    getUpdater(url)->setUseCustomInstallProcedures(custom);
}

void QSimpleUpdater::setMandatoryUpdate(const QString& url, bool mandatory_update)
{
    getUpdater(url)->setMandatoryUpdate(mandatory_update);
}

void QSimpleUpdater::setDownloadUserName(const QString& url, const QString& user_name)
{
    getUpdater(url)->setDownloadUserName(user_name);
}

void QSimpleUpdater::setDownloadPassword(const QString& url, const QString& password)
{
    getUpdater(url)->setDownloadPassword(password);
}
