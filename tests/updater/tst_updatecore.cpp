#include "DownloadFileName.h"
#include "DownloadProgressText.h"
#include "DownloadTask.h"
#include "HttpTestServer.h"
#include "UpdateChecker.h"
#include "UpdateRequest.h"
#include "UpdateVersion.h"

#include <QDir>
#include <QFile>
#include <QNetworkProxy>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray manifest(const QString& version, const QByteArray& platform = "linux",
                    const QByteArray& extra = {})
{
    return "{\"updates\": {\"" + platform + "\": {\"latest-version\": \"" + version.toUtf8() +
           "\", \"download-url\": \"https://example.invalid/setup.bin\", \"changelog\": \"fixes\"" + extra +
           "}}}";
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestUpdateCore : public QObject
{
    Q_OBJECT

private:
    QScopedPointer<QTemporaryDir> m_dir;

    // Runs one check against `url` and returns its verdict.
    static bool check(UpdateChecker& checker, const QString& url = QString())
    {
        if (!url.isEmpty())
            checker.setUrl(url);
        QSignalSpy done(&checker, &UpdateChecker::finished);
        checker.check();
        if (!done.wait(10000))
            return false;
        return done.first().first().toBool();
    }

    DownloadTask* newTask()
    {
        auto* task = new DownloadTask(this);
        task->setFolder(m_dir->path() + QStringLiteral("/Downloads"));
        return task;
    }

private Q_SLOTS:
    void initTestCase()
    {
        // Nothing in these tests may leave the machine, not even via a proxy.
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
        QVERIFY(QSslSocket::supportsSsl());
        HttpTestServer::trustTestCertificate();
    }

    void init()
    {
        m_dir.reset(new QTemporaryDir);
        QVERIFY(m_dir->isValid());
    }

    void versionComparison_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<bool>("newer");
        QTest::newRow("v5.7 over 5.6") << "v5.7"
                                       << "5.6" << true;
        QTest::newRow("5.6 over 5.6") << "5.6"
                                      << "5.6" << false;
        QTest::newRow("release over pre-release") << "5.6"
                                                  << "5.6-beta2" << true;
        QTest::newRow("pre-release under release") << "5.6-beta2"
                                                   << "5.6" << false;
        QTest::newRow("beta3 over beta2") << "5.6-beta3"
                                          << "5.6-beta2" << true;
        QTest::newRow("rc1 over beta9") << "5.6-rc1"
                                        << "5.6-beta9" << true;
        QTest::newRow("beta10 compares as text") << "5.6-beta10"
                                                 << "5.6-beta9" << false;
        QTest::newRow("suffix case-insensitive") << "5.6-RC"
                                                 << "5.6-rc" << false;
        QTest::newRow("patch decides") << "5.6.1"
                                       << "v5.6" << true;
        QTest::newRow("minor before patch") << "5.5.9"
                                            << "5.6" << false;
        QTest::newRow("numbers, not text") << "5.10"
                                           << "5.9" << true;
        QTest::newRow("not a version") << "latest"
                                       << "5.6" << false;
        QTest::newRow("empty") << ""
                               << "" << false;
    }
    void versionComparison()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(bool, newer);
        QCOMPARE(UpdateVersion::isNewer(a, b), newer);
    }

    void contentDispositionNames_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << QByteArray("attachment; filename=corvane-5.7.deb") << "corvane-5.7.deb";
        QTest::newRow("quoted") << QByteArray("attachment; filename=\"setup.bin\"") << "setup.bin";
        QTest::newRow("trailing parameter")
            << QByteArray("attachment; filename=setup.bin; size=3") << "setup.bin";
        QTest::newRow("parent folders") << QByteArray("attachment; filename=../../.bashrc") << ".bashrc";
        QTest::newRow("absolute") << QByteArray("attachment; filename=/etc/passwd") << "passwd";
        QTest::newRow("encoded slashes") << QByteArray("attachment; filename=..%2F..%2Fevil.sh") << "evil.sh";
        QTest::newRow("backslashes") << QByteArray("attachment; filename=..\\..\\evil.exe") << "evil.exe";
        QTest::newRow("dot dot") << QByteArray("attachment; filename=..") << "";
        QTest::newRow("dot") << QByteArray("attachment; filename=\".\"") << "";
        QTest::newRow("ends in slash") << QByteArray("attachment; filename=../") << "";
        QTest::newRow("control character") << QByteArray("attachment; filename=a%01b") << "";
        QTest::newRow("no filename") << QByteArray("inline") << "";
    }
    void contentDispositionNames()
    {
        QFETCH(QByteArray, header);
        QFETCH(QString, name);
        QCOMPARE(DownloadFileName::fromContentDisposition(header), name);
    }

    void urlNames()
    {
        QCOMPARE(DownloadFileName::fromUrl(QStringLiteral("https://corvane.dev/dl/corvane.deb")),
                 QStringLiteral("corvane.deb"));
        QCOMPARE(DownloadFileName::fromUrl(QStringLiteral("https://corvane.dev/dl/")), QString());
        QCOMPARE(DownloadFileName::fromUrl(QStringLiteral("https://corvane.dev/dl/..")), QString());
    }

    void progressTexts_data()
    {
        QTest::addColumn<qint64>("received");
        QTest::addColumn<qint64>("total");
        QTest::addColumn<qint64>("elapsed");
        QTest::addColumn<QString>("remaining");
        QTest::newRow("nothing elapsed") << qint64(10) << qint64(100) << qint64(0) << "unknown";
        QTest::newRow("zero rate") << qint64(3) << qint64(100) << qint64(5) << "unknown";
        QTest::newRow("one second") << qint64(50) << qint64(100) << qint64(1) << "1 second";
        QTest::newRow("seconds") << qint64(10) << qint64(460) << qint64(1) << "45 seconds";
        QTest::newRow("one minute") << qint64(1) << qint64(90) << qint64(1) << "1 minute";
        QTest::newRow("minutes") << qint64(1) << qint64(601) << qint64(1) << "10 minutes";
        QTest::newRow("hours") << qint64(1) << qint64(10801) << qint64(1) << "about 3 hours";
    }
    void progressTexts()
    {
        QFETCH(qint64, received);
        QFETCH(qint64, total);
        QFETCH(qint64, elapsed);
        QFETCH(QString, remaining);
        QCOMPARE(DownloadProgressText::remainingText(received, total, elapsed), remaining);
    }

    void sizeTexts()
    {
        QCOMPARE(DownloadProgressText::sizeText(1023), QStringLiteral("1023 bytes"));
        QCOMPARE(DownloadProgressText::sizeText(1024), QStringLiteral("1 KB"));
        QCOMPARE(DownloadProgressText::sizeText(1048575), QStringLiteral("1023 KB"));
        QCOMPARE(DownloadProgressText::sizeText(1048576), QStringLiteral("1 MB"));
        QCOMPARE(DownloadProgressText::stateText(2048, 3 << 20),
                 QStringLiteral("Downloading updates (2 KB of 3 MB)"));
    }

    void requestsCarryPolicyAndAgent()
    {
        const QNetworkRequest r = UpdateRequest::build(QUrl(QStringLiteral("https://corvane.dev/x")),
                                                       QStringLiteral("Corvane/5.6"), 10000);
        QCOMPARE(r.attribute(QNetworkRequest::RedirectPolicyAttribute).toInt(),
                 int(QNetworkRequest::NoLessSafeRedirectPolicy));
        QCOMPARE(r.rawHeader("User-Agent"), QByteArray("Corvane/5.6"));
        QCOMPARE(r.transferTimeout(), 10000);
        QVERIFY(!UpdateRequest::build(QUrl(QStringLiteral("https://corvane.dev/x")), QString())
                     .hasRawHeader("User-Agent"));
        QVERIFY(!UpdateRequest::isSafeRedirect(QUrl(QStringLiteral("https://a/")),
                                               QUrl(QStringLiteral("http://a/"))));
        QVERIFY(!UpdateRequest::isSafeRedirect(QUrl(QStringLiteral("http://a/")),
                                               QUrl(QStringLiteral("file:///etc/passwd"))));
        QVERIFY(UpdateRequest::isSafeRedirect(QUrl(QStringLiteral("http://a/")),
                                              QUrl(QStringLiteral("https://b/"))));
    }

    void manifestVerdicts_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("available");
        QTest::addColumn<QString>("latest");
        QTest::newRow("newer") << manifest(QStringLiteral("v5.7")) << true << "v5.7";
        QTest::newRow("same version") << manifest(QStringLiteral("v5.6")) << false << "v5.6";
        QTest::newRow("other platform only") << manifest(QStringLiteral("v9.0"), "windows") << false << "";
        QTest::newRow("not JSON") << QByteArray("<html>") << false << "";
    }
    void manifestVerdicts()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, available);
        QFETCH(QString, latest);
        HttpTestServer server;
        server.route(QStringLiteral("/m.json"), body);
        UpdateChecker checker;
        checker.setModuleVersion(QStringLiteral("v5.6"));
        checker.setUserAgent(QStringLiteral("Corvane/5.6 (Qt; QSimpleUpdater)"));
        QCOMPARE(check(checker, server.url(QStringLiteral("/m.json"))), available);
        QCOMPARE(checker.manifest().latestVersion, latest);
        QCOMPARE(server.userAgents.value(0), QByteArray("Corvane/5.6 (Qt; QSimpleUpdater)"));
        if (latest.isEmpty())
            QVERIFY(checker.manifest().downloadUrl.isEmpty() && checker.manifest().changelog.isEmpty());
    }

    void mandatoryFlagOnlyWhenPresent()
    {
        HttpTestServer server;
        server.route(QStringLiteral("/m"),
                     manifest(QStringLiteral("6.0"), "linux", ", \"mandatory-update\": true"));
        server.route(QStringLiteral("/n"), manifest(QStringLiteral("6.0")));
        UpdateChecker checker;
        checker.setModuleVersion(QStringLiteral("5.6"));
        QVERIFY(check(checker, server.url(QStringLiteral("/m"))));
        QVERIFY(checker.manifest().hasMandatory && checker.manifest().mandatory);
        QVERIFY(check(checker, server.url(QStringLiteral("/n"))));
        QVERIFY(!checker.manifest().hasMandatory);
    }

    void unreachableServerIsNoUpdate()
    {
        HttpTestServer server;
        const QString url = server.url(QStringLiteral("/missing.json"));
        UpdateChecker checker;
        checker.setModuleVersion(QStringLiteral("1.0"));
        QVERIFY(!check(checker, url)); // 404
    }

    void stalledServerEndsTheCheck()
    {
        HttpTestServer server;
        HttpTestServer::Response stall;
        stall.announcedLength = 100; // headers, then silence
        server.route(QStringLiteral("/slow.json"), stall);
        UpdateChecker checker;
        checker.setUrl(server.url(QStringLiteral("/slow.json")));
        QSignalSpy done(&checker, &UpdateChecker::finished);
        checker.check();
        QVERIFY(done.wait(UpdateRequest::kTransferTimeoutMs + 10000));
        QCOMPARE(done.first().first().toBool(), false);
        QVERIFY(!checker.isChecking());
    }

    void redirectFollowedAndRemembered()
    {
        HttpTestServer server;
        server.redirect(QStringLiteral("/old.json"), server.url(QStringLiteral("/new.json")), 301);
        server.route(QStringLiteral("/new.json"), manifest(QStringLiteral("v5.7")));
        UpdateChecker checker;
        checker.setModuleVersion(QStringLiteral("v5.6"));
        QVERIFY(check(checker, server.url(QStringLiteral("/old.json"))));
        QCOMPARE(checker.url(), server.url(QStringLiteral("/new.json")));
        QVERIFY(check(checker));
        QCOMPARE(server.paths, QStringList({"/old.json", "/new.json", "/new.json"}));
    }

    void httpsToHttpRedirectRefused()
    {
        HttpTestServer plain;
        HttpTestServer secure(true);
        plain.route(QStringLiteral("/m.json"), manifest(QStringLiteral("v9.0")));
        secure.route(QStringLiteral("/same.json"), manifest(QStringLiteral("v9.0")));
        secure.redirect(QStringLiteral("/up.json"), secure.url(QStringLiteral("/same.json")));
        secure.redirect(QStringLiteral("/down.json"), plain.url(QStringLiteral("/m.json")));
        UpdateChecker checker;
        checker.setModuleVersion(QStringLiteral("v5.6"));
        // https to https is followed, so the refusal below is about the scheme.
        QVERIFY(check(checker, secure.url(QStringLiteral("/up.json"))));
        QVERIFY(!check(checker, secure.url(QStringLiteral("/down.json"))));
        QVERIFY(plain.paths.isEmpty());
        QCOMPARE(checker.url(), secure.url(QStringLiteral("/down.json")));
    }

    void downloadWithoutNameUsesFallback()
    {
        HttpTestServer server;
        server.route(QStringLiteral("/dl/"), QByteArray("installer"));
        DownloadTask* task = newTask();
        task->setFileName(DownloadFileName::fromUrl(server.url(QStringLiteral("/dl/"))));
        QSignalSpy done(task, &DownloadTask::finished);
        task->start(QUrl(server.url(QStringLiteral("/dl/"))));
        QVERIFY(done.wait(10000));
        const QString path = task->folder() + QStringLiteral("QSU_Update.bin");
        QCOMPARE(done.first().first().toString(), path);
        QCOMPARE(readFile(path), QByteArray("installer"));
        QVERIFY(!QFile::exists(path + QStringLiteral(".part")));
    }

    void serverNamesAreConfinedToTheFolder_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<QString>("saved");
        QTest::newRow("parent folders")
            << QByteArray("attachment; filename=../../escaped.bin") << "escaped.bin";
        QTest::newRow("encoded") << QByteArray("attachment; filename=..%2F..%2Fescaped.bin") << "escaped.bin";
        QTest::newRow("dot dot") << QByteArray("attachment; filename=..") << "QSU_Update.bin";
    }
    void serverNamesAreConfinedToTheFolder()
    {
        QFETCH(QByteArray, header);
        QFETCH(QString, saved);
        HttpTestServer server;
        server.route(QStringLiteral("/dl"),
                     HttpTestServer::Response{200, {{"Content-Disposition", header}}, "x"});
        DownloadTask* task = newTask();
        QSignalSpy done(task, &DownloadTask::finished);
        task->start(QUrl(server.url(QStringLiteral("/dl"))));
        QVERIFY(done.wait(10000));
        QCOMPARE(done.first().first().toString(), task->folder() + saved);
        // Only the download folder got anything.
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{QStringLiteral("Downloads")});
        QCOMPARE(QDir(task->folder()).entryList(QDir::Files | QDir::Hidden), QStringList{saved});
    }

    void failedDownloadLeavesNoPartialFile()
    {
        HttpTestServer server;
        HttpTestServer::Response cut;
        cut.body = QByteArray(4096, 'a');
        cut.announcedLength = 100000;
        server.route(QStringLiteral("/big.bin"), cut);
        DownloadTask* task = newTask();
        task->setFileName(QStringLiteral("big.bin"));
        QSignalSpy failed(task, &DownloadTask::failed);
        QSignalSpy done(task, &DownloadTask::finished);
        task->start(QUrl(server.url(QStringLiteral("/big.bin"))));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(task->partPath()).size() == 4096, 10000);
        server.dropConnections();
        QVERIFY(failed.wait(10000));
        QCOMPARE(done.count(), 0);
        QVERIFY(!QFile::exists(task->partPath()));
        QVERIFY(!QFile::exists(task->filePath()));
    }

    void staleFileOfTheFinalNameIsReplaced()
    {
        HttpTestServer server;
        server.route(QStringLiteral("/latest"),
                     HttpTestServer::Response{
                         200, {{"Content-Disposition", "attachment; filename=setup.bin"}}, "NEW"});
        DownloadTask* task = newTask();
        QDir().mkpath(task->folder());
        const QString target = task->folder() + QStringLiteral("setup.bin");
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("OLD INSTALLER");
        old.close();
        QFile stalePart(target + QStringLiteral(".part"));
        QVERIFY(stalePart.open(QIODevice::WriteOnly));
        stalePart.write("leftover ");
        stalePart.close();
        QSignalSpy done(task, &DownloadTask::finished);
        task->start(QUrl(server.url(QStringLiteral("/latest"))));
        QVERIFY(done.wait(10000));
        QCOMPARE(readFile(target), QByteArray("NEW"));
    }

    void failedRenameIsReported()
    {
        HttpTestServer server;
        server.route(QStringLiteral("/setup.bin"), QByteArray("NEW"));
        DownloadTask* task = newTask();
        task->setFileName(QStringLiteral("setup.bin"));
        QSignalSpy failed(task, &DownloadTask::failed);
        QSignalSpy done(task, &DownloadTask::finished);
        task->start(QUrl(server.url(QStringLiteral("/setup.bin"))));
        // A folder of the final name (with something in it) cannot be replaced.
        QVERIFY(QDir().mkpath(task->filePath() + QStringLiteral("/inside")));
        QVERIFY(failed.wait(10000));
        QCOMPARE(done.count(), 0);
        QVERIFY(QFileInfo(task->filePath()).isDir());
        QVERIFY(!QFile::exists(task->partPath()));
    }

    void downloadRedirectToHttpRefused()
    {
        HttpTestServer plain;
        HttpTestServer secure(true);
        plain.route(QStringLiteral("/setup.bin"), QByteArray("tampered"));
        secure.redirect(QStringLiteral("/setup.bin"), plain.url(QStringLiteral("/setup.bin")));
        DownloadTask* task = newTask();
        task->setFileName(QStringLiteral("setup.bin"));
        QSignalSpy failed(task, &DownloadTask::failed);
        task->start(QUrl(secure.url(QStringLiteral("/setup.bin"))));
        QVERIFY(failed.wait(10000));
        QVERIFY(plain.paths.isEmpty());
        QVERIFY(!QFile::exists(task->filePath()));
    }
};

QTEST_GUILESS_MAIN(TestUpdateCore)
#include "tst_updatecore.moc"
