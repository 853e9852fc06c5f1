// Installs the build into a fresh folder (DESTDIR) and runs the installed
// programs from there, far from the build tree and the working directory.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class tst_install : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void laysOutTheTree_data();
    void laysOutTheTree();
    void installedProgramsAnswer_data();
    void installedProgramsAnswer();
    void installedWindowFindsEveryFile();
    void missingFilesAreReported();

private:
    struct Run
    {
        int code = -1;
        QString out;
    };
    Run run(const QString& program, const QStringList& args);

    QTemporaryDir m_dest;
    QTemporaryDir m_work; // empty working directory and HOME
    QString m_usr;
};

tst_install::Run tst_install::run(const QString& program, const QStringList& args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), m_work.path());
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(m_work.path());
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(m_usr + QStringLiteral("/bin/") + program, args);
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAll())};
}

void tst_install::initTestCase()
{
    QVERIFY(m_dest.isValid() && m_work.isValid());
    QProcess install;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DESTDIR"), m_dest.path());
    install.setProcessEnvironment(env);
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(CMAKE_COMMAND),
                  {QStringLiteral("--install"), QStringLiteral(CORVANE_BUILD_DIR), QStringLiteral("--prefix"),
                   QStringLiteral("/usr")});
    QVERIFY(install.waitForFinished(120000));
    QVERIFY2(install.exitCode() == 0, install.readAll().constData());
    m_usr = m_dest.path() + QStringLiteral("/usr");
    // English interface, so the report's words are known.
    QVERIFY(QDir(m_work.path()).mkpath(QStringLiteral("CVN")));
    QFile config(m_work.path() + QStringLiteral("/CVN/config.ini"));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write("[MAIN-WIN]\nLanguage=true\n");
}

void tst_install::laysOutTheTree_data()
{
    QTest::addColumn<QString>("path");
    for (const char* p :
         {"bin/corvane", "bin/corvane-send", "bin/corvane-demo-device", "bin/corvane-run",
          "share/applications/dev.corvane.Corvane.desktop", "share/metainfo/dev.corvane.Corvane.metainfo.xml",
          "share/icons/hicolor/scalable/apps/dev.corvane.Corvane.svg",
          "share/icons/hicolor/48x48/apps/dev.corvane.Corvane.png",
          "share/icons/hicolor/128x128/apps/dev.corvane.Corvane.png",
          "share/icons/hicolor/256x256/apps/dev.corvane.Corvane.png", "share/man/man1/corvane.1",
          "share/man/man1/corvane-send.1", "share/man/man1/corvane-demo-device.1", "share/man/man1/corvane-run.1",
          "share/corvane/scripts/general_demo.lua",
          "share/doc/corvane/copyright", "share/corvane/resources/font/RobotoMono-Regular-9.ttf",
          "share/corvane/resources/highlighter/buildin.json", "share/corvane/protocols/modbus_rtu_read.json"})
        QTest::newRow(p) << QString::fromLatin1(p);
}

void tst_install::laysOutTheTree()
{
    QFETCH(QString, path);
    QVERIFY2(QFile::exists(m_usr + QLatin1Char('/') + path), qPrintable(path));
}

void tst_install::installedProgramsAnswer_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("expected");
    QTest::newRow("corvane --version") << "corvane" << QStringList{"--version"} << "Corvane ";
    QTest::newRow("corvane-send --help") << "corvane-send" << QStringList{"--help"} << "Usage: corvane-send";
    QTest::newRow("demo --help") << "corvane-demo-device" << QStringList{"--help"} << "unplug S";
    QTest::newRow("corvane-run --help") << "corvane-run" << QStringList{"--help"} << "corvane-run";
}

void tst_install::installedProgramsAnswer()
{
    QFETCH(QString, program);
    QFETCH(QStringList, args);
    QFETCH(QString, expected);
    const Run r = run(program, args);
    QCOMPARE(r.code, 0);
    QVERIFY2(r.out.contains(expected), qPrintable(r.out));
}

void tst_install::installedWindowFindsEveryFile()
{
    const Run r = run(QStringLiteral("corvane"), {QStringLiteral("--check-install")});
    QVERIFY2(r.code == 0, qPrintable(r.out));
    QVERIFY2(!r.out.contains(QStringLiteral("MISSING")), qPrintable(r.out));
    // The files come from the installed tree, not from the build folder.
    QVERIFY2(r.out.contains(QStringLiteral("data folder: ") + m_usr + QStringLiteral("/share/corvane")),
             qPrintable(r.out));
    QVERIFY2(!r.out.contains(QStringLiteral(CORVANE_BUILD_DIR)), qPrintable(r.out));
}

void tst_install::missingFilesAreReported()
{
    QDir protocols(m_usr + QStringLiteral("/share/corvane/protocols"));
    QVERIFY(protocols.removeRecursively());
    const Run r = run(QStringLiteral("corvane"), {QStringLiteral("--check-install")});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.out.contains(QStringLiteral("MISSING protocols")), qPrintable(r.out));
}

QTEST_GUILESS_MAIN(tst_install)
#include "tst_install.moc"
