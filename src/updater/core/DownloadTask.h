#pragma once

#include <QFile>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <QAuthenticator>
class QNetworkAccessManager;
#include <QNetworkReply>

// Downloads one installer into the download folder. Data goes to
// "<name>.part" as it arrives; only a complete download is renamed to
// "<name>", replacing a stale file of that name, so a half or old file is
// never taken for the new installer.
class DownloadTask : public QObject
{
    Q_OBJECT
public:
    explicit DownloadTask(QObject* parent = nullptr);
    ~DownloadTask() override;

    // The user's "Downloads" folder with a trailing "/".
    static QString defaultFolder();

    QString folder() const { return m_folder; }
    // A trailing "/" is added when missing.
    void setFolder(const QString& folder);
    QString fileName() const { return m_fileName; }
    // An empty or unusable name becomes "QSU_Update.bin".
    void setFileName(const QString& name);
    QString userAgent() const { return m_userAgent; }
    void setUserAgent(const QString& agent) { m_userAgent = agent; }

    QString filePath() const { return m_folder + m_fileName; }
    QString partPath() const { return filePath() + QStringLiteral(".part"); }
    // Seconds since the epoch when the running download was sent.
    qint64 startTime() const { return m_startTime; }
    bool isRunning() const { return !m_reply.isNull(); }
    QNetworkReply* reply() const { return m_reply; }

public Q_SLOTS:
    // Drops a running download, removes old files of the name and sends a
    // GET for `url`.
    void start(const QUrl& url);
    // Stops a running download and removes its partial file.
    void abort();

Q_SIGNALS:
    void progress(qint64 received, qint64 total);
    // The complete file is in place at `filePath`.
    void finished(QString filePath);
    // Nothing usable was saved; the partial file is gone.
    void failed(QString reason);
    // Emitted synchronously: fill in `authenticator` before returning.
    void authenticationRequired(QNetworkReply* reply, QAuthenticator* authenticator);

private Q_SLOTS:
    void onMetaDataChanged();
    void onReadyRead();
    void onFinished();

private:
    enum class SaveResult
    {
        Saved,
        Restarted,
        Failed
    };
    void begin(const QUrl& url);
    // Appends what the reply has, or follows a redirect the manager left.
    SaveResult save();
    void fail(const QString& reason);
    void dropReply();
    // A 3xx answer the manager did not follow; null when there is none.
    QUrl redirectTarget() const;

    QNetworkAccessManager* m_manager = nullptr;
    QPointer<QNetworkReply> m_reply;
    QFile m_part;
    QString m_folder;
    QString m_fileName;
    QString m_userAgent;
    qint64 m_startTime = 0;
    int m_redirects = 0;
};
