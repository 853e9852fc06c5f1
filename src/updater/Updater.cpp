#include "Updater.h"

#include "DownloadFileName.h"
#include "Downloader.h"
#include "UpdateChecker.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace {
// The manifest names web pages and installers; nothing else (local files,
// other schemes) is handed to the desktop or fetched.
bool isWebUrl(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

void openWebUrl(const QUrl& url)
{
    if (isWebUrl(url))
        QDesktopServices::openUrl(url);
    else
        qWarning().noquote() << "[Updater] not opening" << url.toString();
}
} // namespace

Updater::Updater(QObject* parent)
    : QObject(parent), m_checker(new UpdateChecker(this)), m_downloader(new Downloader),
      m_moduleName(QCoreApplication::applicationName())
{
    setUserAgentString(QStringLiteral("%1/%2 (Qt; QSimpleUpdater)")
                           .arg(QCoreApplication::applicationName(), QCoreApplication::applicationVersion()));
    m_checker->setModuleVersion(QCoreApplication::applicationVersion());
    connect(m_checker, &UpdateChecker::finished, this, &Updater::onChecked);
    connect(m_checker, &UpdateChecker::appcastDownloaded, this, [this](const QByteArray& data) {
        emit appcastDownloaded(m_url, data);
        emit checkingFinished(m_url);
    });
    connect(m_downloader, &Downloader::downloadFinished, this, &Updater::downloadFinished);
    connect(this, &Updater::quitRequested, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

Updater::~Updater()
{
    delete m_downloader;
}

QString Updater::manifestUrl() const
{
    return m_checker->url();
}

QString Updater::openUrl() const
{
    return m_checker->manifest().openUrl;
}

QString Updater::changelog() const
{
    return m_checker->manifest().changelog;
}

QString Updater::downloadUrl() const
{
    return m_checker->manifest().downloadUrl;
}

QString Updater::platformKey() const
{
    return m_checker->platformKey();
}

QString Updater::moduleVersion() const
{
    return m_checker->moduleVersion();
}

QString Updater::latestVersion() const
{
    return m_checker->manifest().latestVersion;
}

QString Updater::downloadDir() const
{
    return m_downloader->downloadDir();
}

bool Updater::customAppcast() const
{
    return m_checker->customAppcast();
}

bool Updater::useCustomInstallProcedures() const
{
    return m_downloader->useCustomInstallProcedures();
}

void Updater::checkForUpdates()
{
    m_checker->check();
}

void Updater::setUrl(const QString& url)
{
    m_url = url;
    m_checker->setUrl(url);
}

void Updater::setModuleName(const QString& name)
{
    m_moduleName = name;
}

void Updater::setNotifyOnUpdate(bool notify)
{
    m_notifyOnUpdate = notify;
}

void Updater::setNotifyOnFinish(bool notify)
{
    m_notifyOnFinish = notify;
}

void Updater::setUserAgentString(const QString& agent)
{
    m_userAgent = agent;
    m_checker->setUserAgent(agent);
    m_downloader->setUserAgentString(agent);
}

void Updater::setModuleVersion(const QString& version)
{
    m_checker->setModuleVersion(version);
}

void Updater::setDownloaderEnabled(bool enabled)
{
    m_downloaderEnabled = enabled;
}

void Updater::setDownloadDir(const QString& dir)
{
    m_downloader->setDownloadDir(dir);
}

void Updater::setPlatformKey(const QString& platformKey)
{
    m_checker->setPlatformKey(platformKey);
}

void Updater::setUseCustomAppcast(bool customAppcast)
{
    m_checker->setCustomAppcast(customAppcast);
}

void Updater::setUseCustomInstallProcedures(bool custom)
{
    m_downloader->setUseCustomInstallProcedures(custom);
}

void Updater::setMandatoryUpdate(bool mandatory_update)
{
    m_mandatoryUpdate = mandatory_update;
}

void Updater::setDownloadUserName(const QString& user_name)
{
    m_downloadUserName = user_name;
}

void Updater::setDownloadPassword(const QString& password)
{
    m_downloadPassword = password;
}

void Updater::onChecked(bool available)
{
    if (m_checker->manifest().hasMandatory)
        m_mandatoryUpdate = m_checker->manifest().mandatory;
    setUpdateAvailable(available);
    emit checkingFinished(m_url);
}

void Updater::setUpdateAvailable(bool available)
{
    m_updateAvailable = available;

    QMessageBox box;
    box.setTextFormat(Qt::RichText);
    box.setIcon(QMessageBox::Information);

    if (available && (m_notifyOnUpdate || m_notifyOnFinish)) {
        QString info = m_mandatoryUpdate ? tr("Would you like to download the update now?<br />This is a "
                                              "mandatory update, exiting now will close the application.")
                                         : tr("Would you like to download the update now?");
        info += QStringLiteral("<br/><br/>");
        if (!changelog().isEmpty())
            info += tr("<strong>Change log:</strong><br/>%1").arg(changelog());
        box.setInformativeText(info);
        box.setText(QStringLiteral("<h3>") +
                    tr("Version %1 of %2 has been released!").arg(latestVersion(), m_moduleName) +
                    QStringLiteral("</h3>"));
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        if (box.exec() == QMessageBox::Yes) {
            if (!openUrl().isEmpty())
                openWebUrl(QUrl(openUrl()));
            else if (m_downloaderEnabled)
                startDownload();
            else
                openWebUrl(QUrl(downloadUrl()));
        } else if (m_mandatoryUpdate) {
            emit quitRequested();
        }
        return;
    }

    if (!available && m_notifyOnFinish) {
        box.setStandardButtons(QMessageBox::Close);
        box.setInformativeText(tr("No updates are available for the moment"));
        box.setText(QStringLiteral("<h3>") +
                    tr("Congratulations! You are running the latest version of %1").arg(m_moduleName) +
                    QStringLiteral("</h3>"));
        box.exec();
    }
}

void Updater::startDownload()
{
    m_downloader->setUrlId(m_url);
    m_downloader->setFileName(DownloadFileName::fromUrl(downloadUrl()));
    m_downloader->setMandatoryUpdate(m_mandatoryUpdate);
    QUrl url(downloadUrl());
    if (!isWebUrl(url)) {
        qWarning().noquote() << "[Updater] not downloading" << url.toString();
        return;
    }
    if (!m_downloadUserName.isEmpty())
        url.setUserName(m_downloadUserName);
    if (!m_downloadPassword.isEmpty())
        url.setPassword(m_downloadPassword);
    m_downloader->startDownload(url);
}
