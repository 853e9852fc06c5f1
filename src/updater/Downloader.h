#pragma once

#include <QUrl>
#include <QWidget>

class DownloadTask;
class QAuthenticator;
class QLabel;
class QNetworkReply;
class QProgressBar;
class QPushButton;

// The download window: progress, sizes and remaining time of an installer
// download, then the offer to open it.
class Downloader : public QWidget
{
    Q_OBJECT
public:
    explicit Downloader(QWidget* parent = nullptr);

    DownloadTask* task() const { return m_task; }
    QString urlId() const { return m_urlId; }
    QString fileName() const;
    QString downloadDir() const;
    void setDownloadDir(const QString& dir);
    bool useCustomInstallProcedures() const { return m_customProcedures; }
    bool mandatoryUpdate() const { return m_mandatoryUpdate; }

    QLabel* stateLabel() const { return m_state; }
    QLabel* timeLabel() const { return m_time; }
    QProgressBar* progressBar() const { return m_progress; }
    QPushButton* openButton() const { return m_open; }
    QPushButton* stopButton() const { return m_stop; }

Q_SIGNALS:
    void downloadFinished(QString url, QString filepath);
    // A mandatory update was refused; connected to the application's quit.
    void quitRequested();

public Q_SLOTS:
    void setUrlId(const QString& url);
    void startDownload(const QUrl& url);
    void setFileName(const QString& file);
    void setUserAgentString(const QString& agent);
    void setUseCustomInstallProcedures(bool custom);
    void setMandatoryUpdate(bool mandatory_update);

protected:
    void changeEvent(QEvent* event) override;

private Q_SLOTS:
    void finished(const QString& filePath);
    void failed(const QString& reason);
    void openDownload();
    void installUpdate();
    void cancelDownload();
    void updateProgress(qint64 received, qint64 total);
    void calculateSizes(qint64 received, qint64 total);
    void calculateTimeRemaining(qint64 received, qint64 total);
    void authenticate(QNetworkReply* reply, QAuthenticator* authenticator);

private:
    void retranslate();

    DownloadTask* m_task = nullptr;
    QLabel* m_state = nullptr;
    QLabel* m_time = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_open = nullptr;
    QPushButton* m_stop = nullptr;
    QString m_urlId;
    bool m_customProcedures = false;
    bool m_mandatoryUpdate = false;
    // The stop button reads "Close" once the download is over.
    bool m_done = false;
};
