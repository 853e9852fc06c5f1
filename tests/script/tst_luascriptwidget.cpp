#include "AppConfig.h"
#include "CCodeEditor.h"
#include "CLuaScriptEngine.h"
#include "CLuaScriptWidget.h"
#include "CSwitch.h"
#include "DialogCatcher.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// Answers the next file dialog with `path` (empty: cancel) and keeps its title.
class FileDialogAnswer : public QObject
{
public:
    explicit FileDialogAnswer(const QString& path)
    {
        connect(&m_timer, &QTimer::timeout, this, [this, path] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* dlg = qobject_cast<QFileDialog*>(w);
                if (!dlg || !dlg->isVisible())
                    continue;
                title = dlg->windowTitle();
                if (path.isEmpty()) {
                    dlg->reject();
                } else {
                    dlg->selectFile(path);
                    static_cast<QDialog*>(dlg)->accept();
                }
                return;
            }
        });
        m_timer.start(10);
    }
    QString title;

private:
    QTimer m_timer;
};

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QByteArray kParser = "local n = 0\nfunction cvn_frame_parser(data)\n  return nil\nend\n";

} // namespace

class TstLuaScriptWidget : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CLuaScriptEngine> m_engine;
    std::unique_ptr<CLuaScriptWidget> m_widget;

    QString path(const char* name) const { return m_dir->filePath(QLatin1String(name)); }

    // A panel as the session builds it, in `mode`, with nothing loaded.
    void makePanel(int mode)
    {
        AppConfig::LuaScriptPath.clear();
        AppConfig::LuaScriptMode = mode;
        m_engine = std::make_unique<CLuaScriptEngine>();
        m_engine->setMode(mode);
        m_widget = std::make_unique<CLuaScriptWidget>(m_engine.get());
        connect(m_widget.get(), &CLuaScriptWidget::runScriptRequested, m_engine.get(),
                &CLuaScriptEngine::startAutomation);
        connect(m_widget.get(), &CLuaScriptWidget::stopScriptRequested, m_engine.get(),
                &CLuaScriptEngine::stopAutomation);
        m_widget->resize(600, 700);
        m_widget->show();
    }

    QString statusStyle() const { return m_widget->statusLabel()->property("style").toString(); }

private Q_SLOTS:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void cleanup()
    {
        m_widget.reset();
        m_engine.reset();
    }

    void placeholderNamesTheParserTheEngineCalls()
    {
        makePanel(0);
        const QString text = m_widget->editor()->placeholderText();
        QVERIFY(text.contains(
            QStringLiteral("define a cvn_frame_parser(data) function to process serial data.")));
        QVERIFY(text.startsWith(QStringLiteral("-- Write your Lua script here...\n")));
        QVERIFY(text.endsWith(QStringLiteral("cvn_clear_rx(), cvn_report(name, passed, detail)")));
    }

    void executorSwitchWithoutScriptWarnsAndStaysOff()
    {
        makePanel(0);
        DialogCatcher dialogs;
        m_widget->executorModeButton()->click();
        QCOMPARE(AppConfig::LuaScriptMode, 1);
        QCOMPARE(m_engine->mode(), 1);
        QVERIFY(m_widget->executorSwitch()->isVisible());
        QVERIFY(!m_widget->parserSwitch()->isVisible());

        QSignalSpy runs(m_widget.get(), &CLuaScriptWidget::runScriptRequested);
        m_widget->executorSwitch()->click();
        QCOMPARE(dialogs.texts, QStringList{QStringLiteral("Please load a lua script first!")});
        QCOMPARE(dialogs.titles, QStringList{QStringLiteral("Warning")});
        QVERIFY(!m_widget->executorSwitch()->isChecked());
        QCOMPARE(runs.count(), 0);
        QVERIFY(!m_engine->isAutomationRunning());
    }

    void controlsAreDisabledWhileARunsAndComeBack()
    {
        makePanel(1);
        const QString script = path("run.lua");
        QVERIFY(writeFile(script, "cvn_sleep_ms(300)\ncvn_report('slept', true)\n"));
        m_widget->pathEdit()->setText(script);
        m_widget->reloadButton()->click();
        QCOMPARE(m_engine->scriptPath(), script);

        const QList<QWidget*> locked{m_widget->loadButton(),       m_widget->saveButton(),
                                     m_widget->reloadButton(),     m_widget->parserSwitch(),
                                     m_widget->parserModeButton(), m_widget->executorModeButton()};
        QSignalSpy status(m_widget.get(), &CLuaScriptWidget::luaEngineStatusChanged);
        m_widget->executorSwitch()->click();
        QTRY_COMPARE_WITH_TIMEOUT(m_widget->statusLabel()->text(), QStringLiteral("Automation running..."),
                                  5000);
        for (QWidget* w : locked)
            QVERIFY(!w->isEnabled());
        QVERIFY(m_widget->executorSwitch()->isChecked());

        QTRY_COMPARE_WITH_TIMEOUT(m_widget->statusLabel()->text(), QStringLiteral("Automation finished."),
                                  5000);
        for (QWidget* w : locked)
            QVERIFY(w->isEnabled());
        QVERIFY(!m_widget->executorSwitch()->isChecked());
        QCOMPARE(m_engine->passCount(), 1u);
        QCOMPARE(status.count(), 2);
        QCOMPARE(status.last().first().toBool(), false);
    }

    void savingANewScriptAsksForANameAndHandsItToTheEngine_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("frame parser loads it") << 0;
        QTest::newRow("executor sets it") << 1;
    }
    void savingANewScriptAsksForANameAndHandsItToTheEngine()
    {
        QFETCH(int, mode);
        makePanel(mode);
        const QString target = path("new.lua");
        m_widget->editor()->setPlainText(QString::fromUtf8(kParser));
        QSignalSpy loaded(m_engine.get(), &CLuaScriptEngine::scriptLoadFinished);
        FileDialogAnswer answer(target);
        m_widget->onSaveClicked();
        QCOMPARE(answer.title, QStringLiteral("Save Lua Script"));
        QCOMPARE(readFile(target), kParser);
        QCOMPARE(m_widget->pathEdit()->text(), target);
        QCOMPARE(m_engine->scriptPath(), target);
        if (mode == 0) {
            QVERIFY(loaded.wait(5000));
            QCOMPARE(loaded.first().first().toBool(), true);
            QTRY_VERIFY(m_engine->isEnabled());
            QVERIFY(m_widget->parserSwitch()->isChecked());
        } else {
            QCOMPARE(m_widget->statusLabel()->text(), QStringLiteral("Script save successfully!"));
            QCOMPARE(loaded.count(), 0);
        }
    }

    void saveClaimsSuccessOnlyAfterAWrite()
    {
        makePanel(1);
        DialogCatcher dialogs;
        const QString text = QStringLiteral("println('keep me')\n");
        m_widget->editor()->setPlainText(text);

        // Cancelled dialog: nothing written, nothing claimed.
        {
            FileDialogAnswer cancel{QString()};
            m_widget->onSaveClicked();
        }
        QVERIFY(m_widget->statusLabel()->text() != QStringLiteral("Script save successfully!"));
        QVERIFY(QDir(m_dir->path()).entryList(QDir::Files).isEmpty());

        // A folder that does not exist: an error with the reason, text kept.
        m_widget->pathEdit()->setText(path("missing/dir/x.lua"));
        m_widget->onSaveClicked();
        QVERIFY(m_widget->statusLabel()->text().startsWith(QStringLiteral("Script save failed: ")));
        QVERIFY(m_widget->statusLabel()->text().size() > QStringLiteral("Script save failed: ").size());
        QCOMPARE(statusStyle(), QStringLiteral("error-lbl"));
        QCOMPARE(dialogs.texts.size(), 1);
        QVERIFY(dialogs.texts.first().startsWith(QStringLiteral("Script save failed: ")));
        QCOMPARE(m_widget->editor()->toPlainText(), text);

        // A longer old file is replaced whole.
        const QString existing = path("old.lua");
        QVERIFY(writeFile(existing, QByteArray(4096, 'x')));
        m_widget->pathEdit()->setText(existing);
        m_widget->onSaveClicked();
        QCOMPARE(readFile(existing), text.toUtf8());
        QCOMPARE(m_widget->statusLabel()->text(), QStringLiteral("Script save successfully!"));
        QCOMPARE(statusStyle(), QStringLiteral("info-lbl"));

        // An empty editor warns and writes nothing.
        m_widget->editor()->setPlainText(QString());
        m_widget->onSaveClicked();
        QCOMPARE(dialogs.texts.last(), QStringLiteral("Script editor is empty!"));
        QCOMPARE(readFile(existing), text.toUtf8());
    }

    void failedLoadSwitchesTheParserOffAndMarksTheLine()
    {
        makePanel(0);
        DialogCatcher dialogs;
        const QString script = path("broken_parser.lua");
        QVERIFY(writeFile(script, "function cvn_frame_parser(d)\n  return d +\nend\n"));
        QSignalSpy loaded(m_engine.get(), &CLuaScriptEngine::scriptLoadFinished);
        FileDialogAnswer answer(script);
        m_widget->loadButton()->click();
        QCOMPARE(answer.title, QStringLiteral("Load Lua Script"));
        QCOMPARE(m_widget->editor()->toPlainText().toUtf8(), readFile(script));
        QVERIFY(loaded.wait(5000));
        QTRY_COMPARE(m_widget->statusLabel()->text(), QStringLiteral("Script load failed!"));
        QCOMPARE(statusStyle(), QStringLiteral("error-lbl"));
        QVERIFY(!m_widget->parserSwitch()->isChecked());
        QVERIFY(!m_engine->isEnabled());
        QCOMPARE(m_widget->editor()->errorLine(), 3);

        // Mended and reloaded: the mark goes and the parser can be switched on.
        QVERIFY(writeFile(script, kParser));
        m_widget->reloadButton()->click();
        QCOMPARE(m_widget->statusLabel()->text(), QStringLiteral("Script reloaded successfully!"));
        QCOMPARE(m_widget->editor()->errorLine(), 0);
        m_widget->parserSwitch()->click();
        QVERIFY(m_engine->isEnabled());
        QCOMPARE(m_widget->statusLabel()->text(), QStringLiteral("Script enabled — broken_parser.lua"));
    }

    void runTimeErrorMarksItsLineUntilTheNextRun()
    {
        makePanel(1);
        DialogCatcher dialogs;
        const QString script = path("general_demo.lua");
        QVERIFY(writeFile(script, "local a = 1\nlocal b = 2\nlocal c = a + nil\n"));
        m_widget->pathEdit()->setText(script);
        m_widget->reloadButton()->click();
        m_widget->onRunClicked();
        QTRY_COMPARE_WITH_TIMEOUT(m_widget->editor()->errorLine(), 3, 5000);
        QVERIFY(
            m_widget->editor()->errorMessage().startsWith(QStringLiteral("attempt to perform arithmetic")));
        QVERIFY(m_widget->editor()->markersAtLine(2) & (1u << CCodeEditor::kErrorMarker));
        QTRY_COMPARE_WITH_TIMEOUT(m_widget->statusLabel()->text(), QStringLiteral("Automation finished."),
                                  5000);

        QVERIFY(writeFile(script, "cvn_report('ok', true)\n"));
        m_widget->reloadButton()->click();
        m_widget->onRunClicked();
        QTRY_COMPARE_WITH_TIMEOUT(m_widget->statusLabel()->text(), QStringLiteral("Automation finished."),
                                  5000);
        QCOMPARE(m_widget->editor()->errorLine(), 0);
    }

    void errorLineNamesTheEditedFileOnly_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("line");
        const QString p = QStringLiteral("/home/u/scripts/general_demo.lua");
        QTest::newRow("full path") << p + QStringLiteral(":12: attempt to call a nil value") << 12;
        QTest::newRow("shortened") << QStringLiteral("...ts/general_demo.lua:7: boom") << 7;
        QTest::newRow("other file") << QStringLiteral("/tmp/helper.lua:4: boom") << 0;
        QTest::newRow("same tail, other name") << QStringLiteral("/x/my_general_demo.lua:4: boom") << 0;
        QTest::newRow("bare name") << QStringLiteral("general_demo.lua:9: boom") << 9;
        QTest::newRow("no line") << QStringLiteral("script load timeout: possible infinite loop") << 0;
    }
    void errorLineNamesTheEditedFileOnly()
    {
        QFETCH(QString, message);
        QFETCH(int, line);
        QCOMPARE(CLuaScriptWidget::errorLineFor(message, QStringLiteral("/home/u/scripts/general_demo.lua")),
                 line);
    }
};

QTEST_MAIN(TstLuaScriptWidget)
#include "tst_luascriptwidget.moc"
