#pragma once

#include <QObject>
#include <QString>

class Downloader;
class UpdateChecker;

// Update checks for one manifest address: asks the manifest, tells the user
// about a newer version and hands the installer to its download window.
// The updater keeps the address it was created with as its name (url())
// even when a redirect moves the manifest elsewhere, so callers keep finding
// its result under the address they know.
class Updater : public QObject
{
    Q_OBJECT
public:
    explicit Updater(QObject* parent = nullptr);
    ~Updater() override;

    // The address the updater was created with; every signal carries it.
    QString url() const { return m_url; }
    // The address the next check asks (the last redirect's target).
    QString manifestUrl() const;
    QString openUrl() const;
    QString changelog() const;
    QString moduleName() const { return m_moduleName; }
    QString downloadUrl() const;
    QString platformKey() const;
    QString moduleVersion() const;
    QString latestVersion() const;
    QString userAgentString() const { return m_userAgent; }
    QString downloadDir() const;
    bool customAppcast() const;
    bool notifyOnUpdate() const { return m_notifyOnUpdate; }
    bool notifyOnFinish() const { return m_notifyOnFinish; }
    bool updateAvailable() const { return m_updateAvailable; }
    bool downloaderEnabled() const { return m_downloaderEnabled; }
    bool mandatoryUpdate() const { return m_mandatoryUpdate; }
    bool useCustomInstallProcedures() const;
    Downloader* downloader() const { return m_downloader; }
    UpdateChecker* checker() const { return m_checker; }

Q_SIGNALS:
    void checkingFinished(QString url);
    void downloadFinished(QString url, QString filepath);
    void appcastDownloaded(QString url, QByteArray data);
    // A mandatory update was refused; connected to the application's quit.
    void quitRequested();

public Q_SLOTS:
    void checkForUpdates();
    void setUrl(const QString& url);
    void setModuleName(const QString& name);
    void setNotifyOnUpdate(bool notify);
    void setNotifyOnFinish(bool notify);
    void setUserAgentString(const QString& agent);
    void setModuleVersion(const QString& version);
    void setDownloaderEnabled(bool enabled);
    void setDownloadDir(const QString& dir);
    void setPlatformKey(const QString& platformKey);
    void setUseCustomAppcast(bool customAppcast);
    void setUseCustomInstallProcedures(bool custom);
    void setMandatoryUpdate(bool mandatory_update);
    void setDownloadUserName(const QString& user_name);
    void setDownloadPassword(const QString& password);

private Q_SLOTS:
    void onChecked(bool available);
    void setUpdateAvailable(bool available);

private:
    void startDownload();

    UpdateChecker* m_checker = nullptr;
    Downloader* m_downloader = nullptr; // its own window, deleted with the updater
    QString m_url;
    QString m_userAgent;
    QString m_moduleName;
    QString m_downloadUserName;
    QString m_downloadPassword;
    bool m_notifyOnUpdate = true;
    bool m_notifyOnFinish = false;
    bool m_updateAvailable = false;
    bool m_downloaderEnabled = true;
    bool m_mandatoryUpdate = false;
};
