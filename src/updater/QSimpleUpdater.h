#pragma once

#include <QList>
#include <QObject>
#include <QString>

class Updater;

// The process-wide front of the update checker: one Updater per manifest
// address, created by the first call that names the address. Every call is
// forwarded to that address's updater.
class QSimpleUpdater : public QObject
{
    Q_OBJECT
public:
    static QSimpleUpdater* getInstance();

    // The updater known by `url`, created on first use.
    Updater* getUpdater(const QString& url);
    bool hasUpdater(const QString& url) const;

    bool getNotifyOnUpdate(const QString& url);
    bool getNotifyOnFinish(const QString& url);
    bool getUpdateAvailable(const QString& url);
    bool getDownloaderEnabled(const QString& url);
    bool usesCustomAppcast(const QString& url);
    QString getOpenUrl(const QString& url);
    QString getChangelog(const QString& url);
    QString getModuleName(const QString& url);
    QString getDownloadUrl(const QString& url);
    QString getPlatformKey(const QString& url);
    QString getLatestVersion(const QString& url);
    QString getModuleVersion(const QString& url);
    QString getUserAgentString(const QString& url);

Q_SIGNALS:
    void checkingFinished(QString url);
    void downloadFinished(QString url, QString filepath);
    void appcastDownloaded(QString url, QByteArray data);

public Q_SLOTS:
    void checkForUpdates(const QString& url);
    void setModuleName(const QString& url, const QString& name);
    void setNotifyOnUpdate(const QString& url, bool notify);
    void setNotifyOnFinish(const QString& url, bool notify);
    void setPlatformKey(const QString& url, const QString& platform);
    void setModuleVersion(const QString& url, const QString& version);
    void setDownloaderEnabled(const QString& url, bool enabled);
    void setDownloadDir(const QString& url, const QString& dir);
    void setUserAgentString(const QString& url, const QString& agent);
    void setUseCustomAppcast(const QString& url, bool customAppcast);
    void setUseCustomInstallProcedures(const QString& url, bool custom);
    void setMandatoryUpdate(const QString& url, bool mandatory_update);
    void setDownloadUserName(const QString& url, const QString& user_name);
    void setDownloadPassword(const QString& url, const QString& password);

private:
    QSimpleUpdater() = default;
    ~QSimpleUpdater() override;

    QList<Updater*> m_updaters;
};
