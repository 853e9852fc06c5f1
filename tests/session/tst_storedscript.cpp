#include "AppConfig.h"
#include "CLuaScriptEngine.h"
#include "StoredScript.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// The script the program closed with comes back as it was left, and the
// stored one follows the engine.
class TestStoredScript : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_script;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_script = m_dir.filePath(QStringLiteral("parser.lua"));
        QFile f(m_script);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("function cvn_frame_parser(data) return {} end\n");
    }

    void init() { AppConfig::resetToDefaults(); }

    void restore_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("path"); // the engine's script afterwards
        QTest::addColumn<bool>("parsing"); // frame parsing on afterwards
        QTest::newRow("parser that was on") << 0 << true << true << "script" << true;
        QTest::newRow("parser that was off") << 0 << false << true << "" << false;
        QTest::newRow("executor") << 1 << false << true << "script" << false;
        QTest::newRow("parser whose file is gone") << 0 << true << false << "" << false;
    }
    void restore()
    {
        QFETCH(int, mode);
        QFETCH(bool, enabled);
        QFETCH(bool, present);
        QFETCH(QString, path);
        QFETCH(bool, parsing);
        AppConfig::LuaScriptMode = mode;
        AppConfig::LuaScriptEnabled = enabled;
        AppConfig::LuaScriptPath = present ? m_script : m_dir.filePath(QStringLiteral("gone.lua"));
        CLuaScriptEngine engine;
        QObject context;
        QSignalSpy loaded(&engine, &CLuaScriptEngine::scriptLoadFinished);
        StoredScript::restore(&engine, &context);
        QCOMPARE(engine.mode(), mode);
        if (parsing)
            QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, 5000);
        QTRY_COMPARE(engine.isFrameParsing(), parsing);
        QCOMPARE(engine.scriptPath(), path.isEmpty() ? QString() : m_script);
    }

    void followKeepsThePathWhenTheEngineHasNone()
    {
        CLuaScriptEngine engine;
        QObject context;
        StoredScript::follow(&engine, &context);
        AppConfig::LuaScriptPath = m_script;
        AppConfig::LuaScriptEnabled = true;
        Q_EMIT engine.scriptStateChanged(false, false);
        QCOMPARE(AppConfig::LuaScriptPath, m_script);
        QCOMPARE(AppConfig::LuaScriptEnabled, false);

        QVERIFY(engine.setScriptFile(m_script));
        AppConfig::LuaScriptPath.clear();
        Q_EMIT engine.scriptStateChanged(true, true);
        QCOMPARE(AppConfig::LuaScriptPath, m_script);
        QCOMPARE(AppConfig::LuaScriptEnabled, true);
    }
};

QTEST_GUILESS_MAIN(TestStoredScript)
#include "tst_storedscript.moc"
