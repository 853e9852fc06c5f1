#include "AppConfig.h"
#include "CLuaScriptEngine.h"
#include "SessionTestUtil.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// The session's script connections: frames of the parser in the log as hex,
// a silent log during an automation run, errors as warnings, the stored
// script at start, and a prompt end however busy the script is.
class TestSessionScript : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<PtyPair> m_pty;
    std::unique_ptr<Session> m_session;

    QString writeScript(const QString& name, const QByteArray& body)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(body);
        return path;
    }
    CLuaScriptEngine* engine() const { return m_session->scriptEngine(); }
    bool loadParser(const QString& path)
    {
        QSignalSpy loaded(engine(), &CLuaScriptEngine::scriptLoadFinished);
        if (!engine()->loadScript(path) || !(loaded.size() || loaded.wait(5000)))
            return false;
        engine()->setEnabled(true);
        return loaded.first().at(0).toBool();
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        AppConfig::resetToDefaults();
        AppConfig::ShowTime = false;
        m_pty = std::make_unique<PtyPair>();
        m_session = std::make_unique<Session>();
        QVERIFY(openOnPty(m_session.get(), *m_pty));
    }
    void cleanup()
    {
        m_session.reset();
        m_pty.reset();
    }

    void parserFramesAreShownAsHexAndStored()
    {
        const QString parser = QFINDTESTDATA("../../resources/scripts/length_prefixed_parser.lua");
        QVERIFY(loadParser(parser));
        QCOMPARE(AppConfig::LuaScriptPath, parser);
        QVERIFY(AppConfig::LuaScriptEnabled);
        QVERIFY(m_pty->writeAll(QByteArray::fromHex("00aa55026f6bdbaa5501") + "z"));
        QVERIFY(m_pty->writeAll(QByteArray::fromHex("7a")));
        QTRY_COMPARE(logText(m_session.get()), QStringLiteral("AA 55 02 6F 6B DB\nAA 55 01 7A 7A\n"));
        engine()->setEnabled(false);
        QVERIFY(!AppConfig::LuaScriptEnabled);
        QVERIFY(m_pty->writeAll("text"));
        QTRY_VERIFY(logText(m_session.get()).endsWith(QStringLiteral("text")));
    }

    void automationOwnsTheReceivedBytes()
    {
        engine()->setMode(1);
        QVERIFY(engine()->setScriptFile(writeScript(
            "run.lua", "println('started') local ok, d = cvn_receive_until('END', 5000) println('got', #d) "
                       "cvn_report('end seen', ok) cvn_sleep_ms(300)")));
        QSignalSpy state(engine(), &CLuaScriptEngine::automationStateChanged);
        QVERIFY(engine()->startAutomation());
        QTRY_VERIFY(logText(m_session.get()).contains(QStringLiteral("started")));
        QVERIFY(m_pty->writeAll("hello END"));
        QTRY_VERIFY(!state.isEmpty() && !state.last().at(0).toBool());
        QTRY_VERIFY(
            logText(m_session.get()).contains(QStringLiteral("Automation finished: 1 passed, 0 failed")));
        const QString log = logText(m_session.get());
        QVERIFY2(log.contains(QStringLiteral("got\t9\n[PASS] end seen\n")), qPrintable(log));
        QVERIFY(!log.contains(QStringLiteral("hello")));
    }

    void scriptErrorsBecomeWarnings()
    {
        QSignalSpy messages(m_session.get(), &Session::messageRequested);
        QVERIFY(!loadParser(writeScript("bad.lua", "function cvn_frame_parser(s) end error('no good')")));
        QTRY_COMPARE(messages.size(), 1);
        const QString text = messages.first().at(0).toString();
        QVERIFY(text.startsWith(QStringLiteral("Lua Error: ")) && text.contains(QStringLiteral("no good")));
        QVERIFY(text.endsWith(QLatin1Char('\n')));
    }

    void storedScriptComesBackAtStart_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("parsing");
        QTest::addColumn<bool>("pathSet");
        QTest::newRow("parser on") << 0 << true << true << true;
        QTest::newRow("parser off") << 0 << false << false << false;
        QTest::newRow("executor") << 1 << false << false << true;
    }
    void storedScriptComesBackAtStart()
    {
        QFETCH(int, mode);
        QFETCH(bool, enabled);
        QFETCH(bool, parsing);
        QFETCH(bool, pathSet);
        m_session.reset();
        AppConfig::LuaScriptPath = QFINDTESTDATA("../../resources/scripts/length_prefixed_parser.lua");
        AppConfig::LuaScriptMode = mode;
        AppConfig::LuaScriptEnabled = enabled;
        m_session = std::make_unique<Session>();
        QCOMPARE(engine()->mode(), mode);
        QTRY_COMPARE(engine()->isFrameParsing(), parsing);
        QCOMPARE(engine()->scriptPath().isEmpty(), !pathSet);
        QCOMPARE(AppConfig::LuaScriptEnabled, enabled);
    }

    // Closing must not wait for a script that is busy or blocked.
    void closesPromptlyWhileAScriptIsBusy_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("script");
        QTest::newRow("parser sleeping")
            << 0 << QByteArray("function cvn_frame_parser(s) cvn_sleep_ms(100000) end");
        QTest::newRow("run sending") << 1 << QByteArray("while true do cvn_send('x') end");
        QTest::newRow("run looping") << 1 << QByteArray("local n = 0 while true do n = n + 1 end");
    }
    void closesPromptlyWhileAScriptIsBusy()
    {
        QFETCH(int, mode);
        QFETCH(QByteArray, script);
        const QString path = writeScript(QStringLiteral("busy%1.lua").arg(mode), script);
        if (mode == 0) {
            QVERIFY(loadParser(path));
            QVERIFY(m_pty->writeAll("data"));
            QTest::qWait(200); // let the worker enter the parser
        } else {
            engine()->setMode(1);
            QVERIFY(engine()->setScriptFile(path));
            QSignalSpy state(engine(), &CLuaScriptEngine::automationStateChanged);
            QVERIFY(engine()->startAutomation());
            QVERIFY(state.size() || state.wait());
        }
        QElapsedTimer clock;
        clock.start();
        m_session.reset();
        QVERIFY2(clock.elapsed() < 1800, qPrintable(QString::number(clock.elapsed())));
    }
};

QTEST_MAIN(TestSessionScript)
#include "tst_session_script.moc"
