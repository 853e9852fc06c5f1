#pragma once

#include "UpdateManifest.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
#include <QNetworkReply>

// Fetches a release manifest and decides whether it announces a version newer
// than the running one. A redirect is followed (never from https down to
// http) and the address it leads to is asked from then on.
class UpdateChecker : public QObject
{
    Q_OBJECT
public:
    explicit UpdateChecker(QObject* parent = nullptr);

    // The address asked by the next check; a followed redirect changes it.
    QString url() const { return m_url; }
    void setUrl(const QString& url) { m_url = url; }
    QString userAgent() const { return m_userAgent; }
    void setUserAgent(const QString& agent) { m_userAgent = agent; }
    QString platformKey() const { return m_platformKey; }
    void setPlatformKey(const QString& key) { m_platformKey = key; }
    QString moduleVersion() const { return m_moduleVersion; }
    void setModuleVersion(const QString& version) { m_moduleVersion = version; }
    // With a custom appcast the body is handed out unparsed.
    bool customAppcast() const { return m_customAppcast; }
    void setCustomAppcast(bool custom) { m_customAppcast = custom; }

    // The last parsed manifest entry (empty fields until one arrived).
    const UpdateManifest& manifest() const { return m_manifest; }
    bool isChecking() const { return !m_reply.isNull(); }

    // The platform entry this build reads: "linux", "windows" or "osx".
    static QString defaultPlatformKey();

public Q_SLOTS:
    // Asks the manifest address; a check still in flight is dropped.
    void check();

Q_SIGNALS:
    // After every check: `available` is false for network errors, refused
    // redirects and manifests that do not parse.
    void finished(bool available);
    // Ends a check instead of finished() when a custom appcast is on.
    void appcastDownloaded(QByteArray data);

private Q_SLOTS:
    void onReply(QNetworkReply* reply);

private:
    void send();

    QNetworkAccessManager* m_manager = nullptr;
    QPointer<QNetworkReply> m_reply;
    QString m_url;
    QString m_userAgent;
    QString m_platformKey = defaultPlatformKey();
    QString m_moduleVersion;
    bool m_customAppcast = false;
    int m_redirects = 0;
    UpdateManifest m_manifest;
};
