#include "DemoDevice.h"
#include "JUnitReport.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <csignal>

namespace {

struct Result
{
    int code = -1;
    QString out;
    QString err;
};

// Test case names of a JUnit file; `ok` false when it is not well-formed.
QStringList junitCases(const QString& path, bool* ok)
{
    QFile file(path);
    *ok = file.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&file);
    QStringList names;
    while (*ok && !xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("testcase"))
            names << xml.attributes().value(QStringLiteral("name")).toString();
    }
    *ok = *ok && !xml.hasError();
    return names;
}

} // namespace

// corvane-run as CI runs it: the real executable, a demo device on a real
// pseudo-terminal (served by this process's event loop).
class TestCorvaneRun : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    DemoDevice* m_device = nullptr;
    QString m_port;

    QString script(const QByteArray& body)
    {
        static int n = 0;
        const QString path = m_dir.filePath(QStringLiteral("t%1.lua").arg(++n));
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(body);
        return path;
    }

    Result run(const QStringList& args, QProcess* process = nullptr, int timeoutMs = 30000)
    {
        QProcess own;
        QProcess& p = process ? *process : own;
        p.setWorkingDirectory(m_dir.path()); // sample scripts must be found without it
        QSignalSpy finished(&p, &QProcess::finished);
        if (p.state() == QProcess::NotRunning)
            p.start(QStringLiteral(CORVANE_RUN_EXE), args);
        Result r;
        if (!finished.wait(timeoutMs)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_port = m_dir.filePath(QStringLiteral("demo"));
        m_device = new DemoDevice(this);
        m_device->setPath(m_port);
        m_device->setLogEnabled(true); // the self-test switches it off itself
        QVERIFY2(m_device->start(), qPrintable(m_device->errorString()));
    }
    void cleanupTestCase() { m_device->stop(); }

    void selfTestPassesWithJUnit()
    {
        const QString junit = m_dir.filePath(QStringLiteral("selftest.xml"));
        const Result r = run({QStringLiteral("--junit"), junit, m_port, QStringLiteral("demo_selftest.lua")});
        QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
        const int passed = int(r.out.count(QStringLiteral("[PASS] ")));
        QVERIFY(passed >= 8);
        QVERIFY(!r.out.contains(QStringLiteral("[FAIL]")));
        QVERIFY(r.out.endsWith(QStringLiteral("Automation finished: %1 passed, 0 failed\n").arg(passed)));
        bool ok = false;
        const QStringList cases = junitCases(junit, &ok);
        QVERIFY(ok);
        QCOMPARE(cases.size(), passed);
        QVERIFY(cases.contains(QStringLiteral("AT answers OK")));
        QVERIFY(cases.contains(QStringLiteral("hex frame checksum")));
    }

    void exitCodes_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        const QStringList none;
        QTest::newRow("a failed report")
            << none << QByteArray("cvn_report('good', true) cvn_report('bad', false, 'got \\0\\1<&>\"')") << 1
            << "Automation finished: 1 passed, 1 failed\n";
        QTest::newRow("script error")
            << none << QByteArray("cvn_report('a', true) error('boom')") << 1 << "Lua Error: ";
        QTest::newRow("no reports at all") << none << QByteArray("println('hello')") << 0 << "hello\n";
        QTest::newRow("timeout stops the run")
            << QStringList{QStringLiteral("--timeout"), QStringLiteral("1")}
            << QByteArray("cvn_report('a', true) while true do cvn_sleep_ms(10) end") << 124
            << "Automation stopped\nAutomation finished: 1 passed, 0 failed\n";
        QTest::newRow("port goes away")
            << none << QByteArray("cvn_send('unplug 1\\r\\n') while true do cvn_receive(100) end") << 1
            << "the serial port went away";
        QTest::newRow("unknown option")
            << QStringList{QStringLiteral("--fast")} << QByteArray() << 2 << "unknown option";
        QTest::newRow("bad timeout") << QStringList{QStringLiteral("--timeout"), QStringLiteral("0")}
                                     << QByteArray() << 2 << "invalid timeout";
        QTest::newRow("junit in a missing folder")
            << QStringList{QStringLiteral("--junit"), QStringLiteral("/nonexistent/dir/x.xml")}
            << QByteArray() << 3 << "cannot write";
    }
    void exitCodes()
    {
        QFETCH(QStringList, options);
        QFETCH(QByteArray, body);
        QFETCH(int, code);
        QFETCH(QString, text);
        const QString junit = m_dir.filePath(QStringLiteral("codes.xml"));
        QFile::remove(junit);
        QStringList args = options;
        if (!options.contains(QStringLiteral("--junit")))
            args << QStringLiteral("--junit") << junit;
        args << m_port << script(body);
        const Result r = run(args);
        QVERIFY2(r.code == code, qPrintable(QString::number(r.code) + r.out + r.err));
        QVERIFY2((r.out + r.err).contains(text), qPrintable(r.out + r.err));
        if (code == 0 || code == 1 || code == 124) {
            bool ok = false;
            junitCases(junit, &ok);
            QVERIFY(ok);
        }
        // A device that was told to vanish is back before the next row.
        QTRY_VERIFY_WITH_TIMEOUT(m_device->isPlugged(), 5000);
    }

    void cannotOpen_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("scriptPath");
        QTest::newRow("missing port") << "/nonexistent/tty"
                                      << "";
        QTest::newRow("missing script") << ""
                                        << "/nonexistent/x.lua";
        QTest::newRow("script is a folder") << ""
                                            << "/";
    }
    void cannotOpen()
    {
        QFETCH(QString, port);
        QFETCH(QString, scriptPath);
        const Result r =
            run({port.isEmpty() ? m_port : port, scriptPath.isEmpty() ? script("") : scriptPath});
        QCOMPARE(r.code, 3);
        QVERIFY2(r.err.contains(QStringLiteral("corvane-run: cannot open ")), qPrintable(r.err));
    }

    void ctrlCStopsTheRunFirst()
    {
        QProcess p;
        p.setWorkingDirectory(m_dir.path());
        p.start(QStringLiteral(CORVANE_RUN_EXE),
                {m_port, script("cvn_report('a', false, 'x') println('ready') while true do end")});
        QVERIFY(p.waitForStarted());
        QString out;
        QTRY_VERIFY_WITH_TIMEOUT((out += QString::fromUtf8(p.readAllStandardOutput())).contains("ready"),
                                 10000);
        ::kill(pid_t(p.processId()), SIGINT);
        const Result r = run({}, &p);
        QCOMPARE(r.code, 130);
        QVERIFY2(
            (out + r.out)
                .endsWith(QStringLiteral("Automation stopped\nAutomation finished: 0 passed, 1 failed\n")),
            qPrintable(out + r.out));
    }

    void usageAndHelp()
    {
        const Result help = run({QStringLiteral("--help")});
        QCOMPARE(help.code, 0);
        for (const char* word : {"--baud", "--timeout", "--junit", "124", "130"})
            QVERIFY(help.out.contains(QLatin1String(word)));
        const Result bare = run({});
        QCOMPARE(bare.code, 2);
        QVERIFY(bare.err.contains(QStringLiteral("--help")));
    }

    void junitKeepsAnyTextWellFormed()
    {
        QCOMPARE(JUnitReport::xmlSafe(QString::fromUtf8("ok\tA\x01\x1f", 6) + QChar(0) + QChar(0xFFFE)),
                 QStringLiteral("ok\tA\\x01\\x1f\\x00\\xfffe"));
    }

    // The runner must start on a test bench without any GUI libraries.
    void linksNoWidgets()
    {
        QProcess ldd;
        ldd.start(QStringLiteral("ldd"), {QStringLiteral(CORVANE_RUN_EXE)});
        QVERIFY(ldd.waitForFinished());
        const QString libs = QString::fromUtf8(ldd.readAllStandardOutput());
        QVERIFY(libs.contains(QStringLiteral("Qt6Core")));
        QVERIFY(!libs.contains(QStringLiteral("Widgets")));
        QVERIFY(!libs.contains(QStringLiteral("Qt6Gui")));
    }
};

QTEST_GUILESS_MAIN(TestCorvaneRun)
#include "tst_corvanerun.moc"
