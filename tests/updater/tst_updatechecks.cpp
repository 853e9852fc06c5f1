#include "AppConfig.h"
#include "DownloadTask.h"
#include "Downloader.h"
#include "HttpTestServer.h"
#include "MainWindow.h"
#include "QSimpleUpdater.h"
#include "Updater.h"
#include "VersionInfoWidget.h"

#include "DialogCatcher.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QMessageBox>
#include <QNetworkProxy>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Answers the updater's message boxes as they come up, in order, and keeps
// what they said.
class BoxAnswerer : public QObject
{
public:
    explicit BoxAnswerer(QList<QMessageBox::StandardButton> answers = {}) : m_answers(std::move(answers))
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            texts << box->text();
            infos << box->informativeText();
            // The first planned answer this box offers; otherwise its escape button.
            QAbstractButton* button = box->escapeButton();
            for (int i = 0; i < m_answers.size(); ++i) {
                if (QAbstractButton* b = box->button(m_answers[i])) {
                    button = b;
                    m_answers.removeAt(i);
                    break;
                }
            }
            if (!button)
                button = box->buttons().value(0);
            button->click();
        });
        m_timer.start(10);
    }

    QStringList texts;
    QStringList infos;

private:
    QList<QMessageBox::StandardButton> m_answers;
    QTimer m_timer;
};

class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl& url) { urls << url; }
};

QByteArray manifest(const QString& version, const QByteArray& extra = {})
{
    return "{\"updates\": {\"linux\": {\"latest-version\": \"" + version.toUtf8() +
           "\", \"changelog\": \"Faster plots\"" + extra + "}}}";
}

} // namespace

class TestUpdateChecks : public QObject
{
    Q_OBJECT

private:
    QScopedPointer<QTemporaryDir> m_home;
    UrlRecorder m_opened;

    // A fresh updater for `url`, quiet unless a test turns notices on.
    static Updater* updaterFor(const QString& url)
    {
        Updater* u = QSimpleUpdater::getInstance()->getUpdater(url);
        u->setModuleName(QStringLiteral("Corvane"));
        u->setModuleVersion(QStringLiteral("v5.6"));
        u->setNotifyOnUpdate(false);
        u->setNotifyOnFinish(false);
        return u;
    }

    static void runCheck(Updater* u)
    {
        QSignalSpy done(u, &Updater::checkingFinished);
        u->checkForUpdates();
        QVERIFY(done.wait(10000));
        QCOMPARE(done.first().first().toString(), u->url());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
        for (const char* scheme : {"http", "https", "file"})
            QDesktopServices::setUrlHandler(QLatin1String(scheme), &m_opened, "open");
    }

    void cleanupTestCase()
    {
        for (const char* scheme : {"http", "https", "file"})
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    }

    void init()
    {
        m_home.reset(new QTemporaryDir);
        QVERIFY(m_home->isValid());
        qputenv("HOME", m_home->path().toLocal8Bit());
        AppConfig::loadConfiguration();
        // Never the real manifest address: every test names its own server.
        AppConfig::UpdateCheckUrl.clear();
        AppConfig::AutoCheckUpdate = false;
        m_opened.urls.clear();
    }

    void resultKeptUnderTheFirstAddressAfterRedirect()
    {
        HttpTestServer server;
        server.redirect(QStringLiteral("/moved.json"), server.url(QStringLiteral("/moved-here.json")), 301);
        server.route(QStringLiteral("/moved-here.json"), manifest(QStringLiteral("v5.7")));
        const QString url = server.url(QStringLiteral("/moved.json"));
        runCheck(updaterFor(url));
        QSimpleUpdater* all = QSimpleUpdater::getInstance();
        QVERIFY(all->getUpdateAvailable(url));
        QCOMPARE(all->getLatestVersion(url), QStringLiteral("v5.7"));
        QCOMPARE(all->getUpdater(url)->manifestUrl(), server.url(QStringLiteral("/moved-here.json")));
    }

    void notices_data()
    {
        QTest::addColumn<QString>("latest");
        QTest::addColumn<bool>("notifyOnFinish");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("same version, quiet") << "v5.6" << false << QStringList();
        QTest::newRow("same version, asked")
            << "v5.6" << true
            << QStringList{"<h3>Congratulations! You are running the latest version of Corvane</h3>"};
        QTest::newRow("newer, asked")
            << "v5.7" << true << QStringList{"<h3>Version v5.7 of Corvane has been released!</h3>"};
    }
    void notices()
    {
        QFETCH(QString, latest);
        QFETCH(bool, notifyOnFinish);
        QFETCH(QStringList, texts);
        HttpTestServer server;
        const QString path = QStringLiteral("/notice-%1-%2.json").arg(latest).arg(notifyOnFinish);
        server.route(path, manifest(latest));
        Updater* u = updaterFor(server.url(path));
        u->setNotifyOnUpdate(true);
        u->setNotifyOnFinish(notifyOnFinish);
        BoxAnswerer boxes({QMessageBox::No, QMessageBox::Close});
        runCheck(u);
        QCOMPARE(boxes.texts, texts);
        if (latest == QLatin1String("v5.7"))
            QVERIFY(boxes.infos.value(0).contains(
                QStringLiteral("<strong>Change log:</strong><br/>Faster plots")));
    }

    void refusingMandatoryUpdateQuits()
    {
        HttpTestServer server;
        server.route(QStringLiteral("/must.json"),
                     manifest(QStringLiteral("v6.0"), ", \"mandatory-update\": true"));
        Updater* u = updaterFor(server.url(QStringLiteral("/must.json")));
        u->setNotifyOnUpdate(true);
        QSignalSpy quit(u, &Updater::quitRequested);
        BoxAnswerer boxes({QMessageBox::No});
        runCheck(u);
        QVERIFY(u->mandatoryUpdate());
        QVERIFY(boxes.infos.value(0).contains(QStringLiteral("This is a mandatory update")));
        QCOMPARE(quit.count(), 1);
    }

    void pagesOpenOnlyOnTheWeb_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("opened");
        QTest::newRow("https") << "https://corvane.dev/releases" << true;
        QTest::newRow("local file") << "file:///etc/passwd" << false;
    }
    void pagesOpenOnlyOnTheWeb()
    {
        QFETCH(QString, page);
        QFETCH(bool, opened);
        HttpTestServer server;
        const QString path = QStringLiteral("/page-%1.json").arg(opened);
        server.route(path, manifest(QStringLiteral("v5.7"), ", \"open-url\": \"" + page.toUtf8() + "\""));
        Updater* u = updaterFor(server.url(path));
        u->setNotifyOnUpdate(true);
        BoxAnswerer boxes({QMessageBox::Yes});
        runCheck(u);
        QCOMPARE(m_opened.urls, opened ? QList<QUrl>{QUrl(page)} : QList<QUrl>());
        QVERIFY(!u->downloader()->task()->isRunning());
    }

    // The whole road from the status bar: check, accept, download, decline
    // to install now; the installer waits behind the "Open" button.
    void manualCheckDownloadsTheUpdate()
    {
        HttpTestServer server;
        server.route(QStringLiteral("/dl/"), QByteArray("installer bytes"));
        server.route(QStringLiteral("/full.json"),
                     manifest(QStringLiteral("v5.7"),
                              ", \"download-url\": \"" + server.url(QStringLiteral("/dl/")).toUtf8() + "\""));
        AppConfig::UpdateCheckUrl = server.url(QStringLiteral("/full.json"));
        MainWindow w;
        Updater* u = QSimpleUpdater::getInstance()->getUpdater(AppConfig::UpdateCheckUrl);
        QSignalSpy downloaded(u, &Updater::downloadFinished);
        BoxAnswerer boxes({QMessageBox::Yes, QMessageBox::Cancel});

        QTest::mouseClick(w.versionLabel(), Qt::LeftButton);
        QCOMPARE(w.versionLabel()->text(), QStringLiteral("Checking for updates..."));
        QCOMPARE(w.versionLabel()->property("style").toString(), QStringLiteral("info-lbl"));
        QVERIFY(w.isManualUpdateCheck());

        QVERIFY(downloaded.wait(10000));
        const QString saved = m_home->path() + QStringLiteral("/Downloads/QSU_Update.bin");
        QCOMPARE(downloaded.first().value(1).toString(), saved);
        QTRY_VERIFY(u->downloader()->openButton()->isEnabled());
        QCOMPARE(u->downloader()->timeLabel()->text(),
                 QStringLiteral("Click the \"Open\" button to apply the update"));
        QCOMPARE(w.versionLabel()->text(), QStringLiteral("Update downloaded — please install"));
        QCOMPARE(w.versionLabel()->property("style").toString(), QStringLiteral("info-lbl"));
        QVERIFY(!w.isManualUpdateCheck());
        QVERIFY(!u->notifyOnUpdate() && !u->notifyOnFinish());
        QCOMPARE(server.userAgents.value(0), QByteArray("Corvane/5.6 (Qt; QSimpleUpdater)"));

        u->downloader()->openButton()->click();
        QCOMPARE(m_opened.urls, QList<QUrl>{QUrl::fromLocalFile(saved)});
    }

    void manualCheckWithoutUpdate()
    {
        HttpTestServer server;
        server.route(QStringLiteral("/same.json"), manifest(QStringLiteral("v5.6")));
        AppConfig::UpdateCheckUrl = server.url(QStringLiteral("/same.json"));
        MainWindow w;
        BoxAnswerer boxes;
        QTest::mouseClick(w.versionLabel(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!w.isManualUpdateCheck(), 10000);
        QCOMPARE(boxes.infos, QStringList{"No updates are available for the moment"});
        QCOMPARE(w.versionLabel()->text(), QStringLiteral("Version: v5.6"));
        QCOMPARE(w.versionLabel()->property("style").toString(), QStringLiteral("common"));
        QCOMPARE(w.versionLabel()->cursor().shape(), Qt::ArrowCursor);
    }

    void automaticCheckAfterOneSecond()
    {
        HttpTestServer server;
        server.route(QStringLiteral("/auto.json"), manifest(QStringLiteral("v5.7")));
        AppConfig::UpdateCheckUrl = server.url(QStringLiteral("/auto.json"));
        AppConfig::AutoCheckUpdate = true;
        BoxAnswerer boxes;
        QElapsedTimer clock;
        clock.start();
        MainWindow w;
        QTRY_COMPARE_WITH_TIMEOUT(w.versionLabel()->text(), QStringLiteral("v5.7 Update"), 10000);
        QVERIFY(clock.elapsed() >= 1000);
        QCOMPARE(w.versionLabel()->property("style").toString(), QStringLiteral("warn-lbl"));
        QCOMPARE(w.versionLabel()->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(boxes.texts.isEmpty()); // an automatic check only marks the label
        QCOMPARE(server.paths, QStringList{"/auto.json"});
    }

    void noAutomaticCheckWhenTurnedOff()
    {
        HttpTestServer server;
        server.route(QStringLiteral("/off.json"), manifest(QStringLiteral("v5.7")));
        AppConfig::UpdateCheckUrl = server.url(QStringLiteral("/off.json"));
        MainWindow w;
        QTest::qWait(1500); // past the automatic check's moment
        QVERIFY(server.paths.isEmpty());
        QCOMPARE(w.versionLabel()->text(), QStringLiteral("Version: v5.6"));
    }

    void emptyAddressWarnsAndStaysOffline()
    {
        AppConfig::AutoCheckUpdate = true;
        MainWindow w;
        DialogCatcher dialogs;
        QTest::mouseClick(w.versionLabel(), Qt::LeftButton);
        QCOMPARE(dialogs.titles, QStringList{"Warning"});
        QCOMPARE(dialogs.texts, QStringList{"Update check URL is not configured."});
        QCOMPARE(w.versionLabel()->text(), QStringLiteral("Version: v5.6"));
        QVERIFY(!QSimpleUpdater::getInstance()->hasUpdater(QString()));
    }

    void aboutBoxChecksForUpdates()
    {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        DialogCatcher dialogs;
        QMetaObject::invokeMethod(&w, "showAboutBox");
        auto* box = w.findChild<VersionInfoWidget*>();
        QVERIFY(box);
        QVERIFY(box->checkUpdateButton()->isVisible());
        box->checkUpdateButton()->click();
        QCOMPARE(dialogs.texts, QStringList{"Update check URL is not configured."});
    }
};

QTEST_MAIN(TestUpdateChecks)
#include "tst_updatechecks.moc"
