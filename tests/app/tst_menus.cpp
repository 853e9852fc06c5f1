#include "AppConfig.h"
#include "CMenu.h"
#include "CTitleBar.h"
#include "CorvaneApp.h"
#include "DialogCatcher.h"
#include "MainWindow.h"
#include "Session.h"
#include "ShortcutInfoWidget.h"
#include "SkinManager.h"
#include "StyleWatcher.h"
#include "VersionInfoWidget.h"

#include "DialogCatcher.h"

#include <QAction>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <QSettings>
#include <QShortcut>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

namespace {

// Answers nothing itself, so lookups fall through to the real catalogue, but
// remembers every text the program asked to translate.
class RecordingTranslator : public QTranslator
{
public:
    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override
    {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        if (context && sourceText)
            asked.insert({QString::fromUtf8(context), QString::fromUtf8(sourceText)});
        return QString();
    }
    bool isEmpty() const override { return false; }

    mutable QSet<QPair<QString, QString>> asked;
};

// Receives the URLs the desktop would have opened.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl& url) { urls << url; }
};

QStringList actionTexts(QMenu* menu)
{
    QStringList texts;
    for (QAction* a : menu->actions()) {
        if (!a->isSeparator())
            texts << a->text();
    }
    return texts;
}

QString readSheet(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly | QIODevice::Text) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class TestMenus : public QObject
{
    Q_OBJECT

private:
    QScopedPointer<QTemporaryDir> m_home;

    // Clicks a title-bar button and returns the menu it opened (null when
    // none opened).
    static CMenu* openMenu(QPushButton* button)
    {
        QTest::mouseClick(button, Qt::LeftButton);
        QDeadlineTimer deadline(2000);
        while (!qobject_cast<CMenu*>(QApplication::activePopupWidget()) && !deadline.hasExpired())
            QTest::qWait(10);
        return qobject_cast<CMenu*>(QApplication::activePopupWidget());
    }

private Q_SLOTS:
    void init()
    {
        m_home.reset(new QTemporaryDir);
        QVERIFY(m_home->isValid());
        qputenv("HOME", m_home->path().toLocal8Bit());
        AppConfig::loadConfiguration();
        AppConfig::UpdateCheckUrl.clear(); // tests stay off the network
        QCoreApplication::removeTranslator(CorvaneApp::translator());
    }

    void cleanup()
    {
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        QCoreApplication::removeTranslator(CorvaneApp::translator());
        m_home.reset();
    }

    void themeMenu()
    {
        CorvaneApp::loadLanguage(true);
        AppConfig::Skin = 5;
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QPointer<CMenu> menu = openMenu(w.titleBar()->skinButton());
        QVERIFY(menu);
        QVERIFY(menu);
        QCOMPARE(actionTexts(menu), (QStringList{"Light", "Warm Terminal", "Midnight Signal", "Forest Lab",
                                                 "Dark", "Dark  Purple", "Dark Green"}));
        const QList<int> order{0, 4, 5, 6, 1, 2, 3};
        for (int i = 0; i < order.size(); ++i) {
            QAction* a = menu->actions().at(i);
            QCOMPARE(a, w.themeActions().at(order[i]));
            QVERIFY(a->isCheckable());
            QCOMPARE(a->isChecked(), order[i] == 5);
            QCOMPARE(a->isIconVisibleInMenu(), order[i] == 5);
            QVERIFY(!a->icon().isNull());
        }
        // Opens at the foot of the title bar.
        QCOMPARE(menu->pos().y(), w.mapToGlobal(QPoint(0, w.titleBar()->height() - 5)).y());
        menu->close();
        QTRY_VERIFY(!menu); // deleted when closed
    }

    void pickingAThemeSwitchesOnce()
    {
        AppConfig::Skin = 5;
        SkinManager::instance()->setSkin(5);
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QSignalSpy spy(StyleWatcher::instance(), &StyleWatcher::skinChanged);
        QAction* light = w.themeActions().at(0);
        QAction* midnight = w.themeActions().at(5);
        light->trigger();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 0);
        QCOMPARE(AppConfig::Skin, 0);
        QCOMPARE(SkinManager::instance()->currentSkin(), 0);
        QCOMPARE(qApp->styleSheet(), readSheet(QStringLiteral(":/style/LabBench.qss")));
        QVERIFY(light->isChecked() && light->isIconVisibleInMenu());
        QVERIFY(!midnight->isChecked() && !midnight->isIconVisibleInMenu());
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(w.updatesEnabled());

        // The current theme again: no reload, no signal.
        const int reads = SkinManager::instance()->fileReadCount();
        light->trigger();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(SkinManager::instance()->fileReadCount(), reads);

        w.themeActions().at(3)->trigger();
        QCOMPARE(spy.count(), 2);
        QCOMPARE(AppConfig::Skin, 3);
        QCOMPARE(qApp->styleSheet(), readSheet(QStringLiteral(":/style/DarkGreen.qss")));
        int checked = 0;
        for (QAction* a : w.themeActions())
            checked += a->isChecked() ? 1 : 0;
        QCOMPARE(checked, 1);
    }

    void skinOutOfRangeChecksNothing()
    {
        AppConfig::Skin = 9;
        QVERIFY(CorvaneApp::applyStoredTheme());
        QCOMPARE(qApp->styleSheet(), readSheet(QStringLiteral(":/style/DarkPurple.qss")));
        MainWindow w;
        for (QAction* a : w.themeActions()) {
            QVERIFY(!a->isChecked());
            QVERIFY(!a->isIconVisibleInMenu());
        }
        // Picking Dark Purple from there applies it (same sheet, new number).
        w.themeActions().at(2)->trigger();
        QCOMPARE(AppConfig::Skin, 2);
        QVERIFY(w.themeActions().at(2)->isChecked());
    }

    void languageMenuAndToggleOrder()
    {
        AppConfig::Language = false;
        CorvaneApp::loadLanguage(false);
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_COMPARE(w.rxLabel()->text(), QStringLiteral("接收：0 字节"));
        QAction* english = w.languageActions().at(0);
        QAction* chinese = w.languageActions().at(1);
        QVERIFY(chinese->isChecked() && chinese->isIconVisibleInMenu());
        QVERIFY(!english->isChecked() && !english->isIconVisibleInMenu());

        QPointer<CMenu> menu = openMenu(w.titleBar()->languageButton());
        QVERIFY(menu);
        QCOMPARE(menu->actions(), (QList<QAction*>{english, chinese}));
        QCOMPARE(actionTexts(menu), (QStringList{"English", "简体中文"}));
        menu->close();

        QStringList order;
        connect(english, &QAction::toggled, this, [&](bool on) { order << (on ? "en+" : "en-"); });
        connect(chinese, &QAction::toggled, this, [&](bool on) { order << (on ? "zh+" : "zh-"); });
        english->trigger();
        // The old entry lets go first; the new language is the one left.
        QCOMPARE(order, (QStringList{"zh-", "en+"}));
        QVERIFY(AppConfig::Language);
        QTRY_COMPARE(w.rxLabel()->text(), QStringLiteral("Rx: 0 Bytes"));
        QCOMPARE(english->text(), QStringLiteral("English"));
        QCOMPARE(chinese->text(), QStringLiteral("Chinese"));
        QCOMPARE(w.themeActions().at(0)->text(), QStringLiteral("Light"));
        QVERIFY(english->isIconVisibleInMenu() && !chinese->isIconVisibleInMenu());

        order.clear();
        chinese->trigger();
        QCOMPARE(order, (QStringList{"en-", "zh+"}));
        QVERIFY(!AppConfig::Language);
        QTRY_COMPARE(w.rxLabel()->text(), QStringLiteral("接收：0 字节"));
        QCOMPARE(w.themeActions().at(0)->text(), QStringLiteral("亮色主题"));
        QCOMPARE(w.titleBar()->closeButton()->toolTip(), QStringLiteral("关闭"));
    }

    void helpMenu()
    {
        AppConfig::Language = false;
        CorvaneApp::loadLanguage(true);
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QPointer<CMenu> menu = openMenu(w.titleBar()->aboutButton());
        QVERIFY(menu);
        QCOMPARE(actionTexts(menu), (QStringList{"User Guide", "Custom Protocol Guide",
                                                 "Lua Script API Guide", "Keyboard Shortcuts", "About Qt"}));
        menu->close();
        QTRY_VERIFY(!menu);

        const QStringList docs = MainWindow::helpDocuments();
        QCOMPARE(docs.size(), 3);
        QVERIFY(docs[0].endsWith(QStringLiteral("/doc/CVN使用指南.pdf")));
        QVERIFY(docs[1].endsWith(QStringLiteral("/doc/Custom Protocol Definition Guide.pdf")));
        QVERIFY(docs[2].endsWith(QStringLiteral("/doc/LuaScriptAPI.pdf")));

        UrlRecorder recorder;
        MainWindow::setDocumentOpener([&recorder](const QUrl& url) {
            recorder.open(url);
            return true;
        });
        for (int i = 0; i < 3; ++i) {
            QVERIFY2(QFileInfo::exists(docs[i]), qPrintable(docs[i]));
            menu = openMenu(w.titleBar()->aboutButton());
            QVERIFY(menu);
            menu->actions().at(i)->trigger();
            menu->close();
            QCOMPARE(recorder.urls.size(), i + 1);
            QCOMPARE(recorder.urls.last(), QUrl::fromLocalFile(docs[i]));
        }

        // A document that is not there opens nothing, and the user is told
        // which file is missing.
        DialogCatcher dialogs;
        const QString hidden = docs[2] + QStringLiteral(".hidden");
        QVERIFY(QFile::rename(docs[2], hidden));
        menu = openMenu(w.titleBar()->aboutButton());
        QVERIFY(menu);
        menu->actions().at(2)->trigger();
        menu->close();
        QTRY_COMPARE(dialogs.texts.size(), 1);
        QVERIFY(QFile::rename(hidden, docs[2]));
        QCOMPARE(recorder.urls.size(), 3);
        QCOMPARE(dialogs.titles.first(), QStringLiteral("Warning"));
        QVERIFY2(dialogs.texts.first().contains(docs[2]), qPrintable(dialogs.texts.first()));
        MainWindow::setDocumentOpener({});
    }

    // The user guide comes in both languages; the menu opens the one the
    // interface shows, also right after a switch.
    void userGuideFollowsLanguage()
    {
        AppConfig::Language = false;
        CorvaneApp::loadLanguage(false);
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        UrlRecorder recorder;
        MainWindow::setDocumentOpener([&recorder](const QUrl& url) {
            recorder.open(url);
            return true;
        });
        const auto openGuide = [&] {
            QPointer<CMenu> menu = openMenu(w.titleBar()->aboutButton());
            QVERIFY(menu);
            menu->actions().at(0)->trigger();
            menu->close();
        };
        openGuide();
        w.languageActions().at(0)->trigger(); // English
        openGuide();
        MainWindow::setDocumentOpener({});
        QCOMPARE(recorder.urls.size(), 2);
        QVERIFY(recorder.urls[0].toLocalFile().endsWith(QStringLiteral("/doc/CVN使用指南.pdf")));
        QVERIFY(recorder.urls[1].toLocalFile().endsWith(QStringLiteral("/doc/CVN User Guide.pdf")));
        for (const QUrl& url : recorder.urls)
            QVERIFY2(QFileInfo(url.toLocalFile()).size() > 1000, qPrintable(url.toLocalFile()));
    }

    // No program for PDFs on the desktop: say so, with the path to open by hand.
    void desktopCannotOpenDocument()
    {
        AppConfig::Language = true;
        CorvaneApp::loadLanguage(true);
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QList<QUrl> asked;
        MainWindow::setDocumentOpener([&asked](const QUrl& url) {
            asked << url;
            return false;
        });
        DialogCatcher dialogs;
        QPointer<CMenu> menu = openMenu(w.titleBar()->aboutButton());
        QVERIFY(menu);
        menu->actions().at(1)->trigger();
        menu->close();
        QTRY_COMPARE(dialogs.texts.size(), 1);
        MainWindow::setDocumentOpener({});
        QCOMPARE(asked.size(), 1);
        const QString path = MainWindow::helpDocuments().at(1);
        QCOMPARE(asked.first(), QUrl::fromLocalFile(path));
        QCOMPARE(dialogs.titles.first(), QStringLiteral("Warning"));
        QVERIFY2(dialogs.texts.first().contains(QStringLiteral("No program")),
                 qPrintable(dialogs.texts.first()));
        QVERIFY2(dialogs.texts.first().contains(path), qPrintable(dialogs.texts.first()));
    }

    // The desktop's own opener: xdg-open's exit code tells whether a program
    // took the document (3 and 4: none could).
    void xdgOpenVerdict_data()
    {
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("reported");
        QTest::newRow("opened") << 0 << false;
        QTest::newRow("no program") << 3 << true;
        QTest::newRow("action failed") << 4 << true;
    }

    void xdgOpenVerdict()
    {
        QFETCH(int, exitCode);
        QFETCH(bool, reported);
        QTemporaryDir bin;
        const QString script = bin.filePath(QStringLiteral("xdg-open"));
        {
            QFile f(script);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QStringLiteral("#!/bin/sh\necho \"$1\" > \"%1/asked\"\nexit %2\n")
                        .arg(bin.path(), QString::number(exitCode))
                        .toUtf8());
            QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        }
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit() + ':' + oldPath);
        AppConfig::Language = true;
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        DialogCatcher dialogs;
        QPointer<CMenu> menu = openMenu(w.titleBar()->aboutButton());
        QVERIFY(menu);
        menu->actions().at(0)->trigger();
        menu->close();
        qputenv("PATH", oldPath);
        // The opener has run and its verdict has been handled.
        QTRY_VERIFY(QFile::exists(bin.filePath(QStringLiteral("asked"))));
        QTRY_VERIFY(w.findChildren<QProcess*>().isEmpty());
        QCoreApplication::processEvents(); // the report is queued once more
        QFile asked(bin.filePath(QStringLiteral("asked")));
        QVERIFY(asked.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLocal8Bit(asked.readAll()).trimmed(), MainWindow::helpDocuments().at(0));
        if (reported) {
            QTRY_COMPARE(dialogs.texts.size(), 1);
            QVERIFY(dialogs.texts.first().contains(MainWindow::helpDocuments().at(0)));
        } else {
            QCOMPARE(dialogs.texts.size(), 0);
        }
    }

    // A first start (no stored value) follows the locale; a stored value wins.
    void startLanguage_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("english");
        QTest::newRow("none, zh_CN") << ""
                                     << "zh_CN" << false;
        QTest::newRow("none, zh_TW") << ""
                                     << "zh_TW" << false;
        QTest::newRow("none, en_US") << ""
                                     << "en_US" << true;
        QTest::newRow("none, de_DE") << ""
                                     << "de_DE" << true;
        QTest::newRow("none, C") << ""
                                 << "C" << true;
        QTest::newRow("stored false, en_US") << "false"
                                             << "en_US" << false;
        QTest::newRow("stored true, zh_CN") << "true"
                                            << "zh_CN" << true;
    }

    void startLanguage()
    {
        QFETCH(QString, stored);
        QFETCH(QString, locale);
        QFETCH(bool, english);
        if (!stored.isEmpty()) {
            QSettings s(AppConfig::filePath(), QSettings::IniFormat);
            s.setValue(QStringLiteral("MAIN-WIN/Language"), stored);
        }
        AppConfig::loadConfiguration();
        QCOMPARE(CorvaneApp::chooseStartLanguage(QLocale(locale)), english);
        QCOMPARE(AppConfig::Language, english);
        // Saved at close, the choice is the stored value from then on.
        QVERIFY(AppConfig::saveConfiguration());
        AppConfig::loadConfiguration();
        QCOMPARE(CorvaneApp::chooseStartLanguage(QLocale(english ? "zh_CN" : "en_US")), english);
    }

    void shortcutList()
    {
        CorvaneApp::loadLanguage(true);
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QPointer<CMenu> menu = openMenu(w.titleBar()->aboutButton());
        QVERIFY(menu);
        QAction* shortcuts = nullptr;
        for (QAction* a : menu->actions()) {
            if (a->text() == QLatin1String("Keyboard Shortcuts"))
                shortcuts = a;
        }
        QVERIFY(shortcuts);
        shortcuts->trigger();
        menu->close();
        QPointer<ShortcutInfoWidget> list = w.findChild<ShortcutInfoWidget*>();
        QVERIFY(list);
        QTRY_VERIFY(list->isVisible());
        QCOMPARE(list->windowTitle(), QStringLiteral("Keyboard Shortcuts"));
        QTableWidget* t = list->table();
        QCOMPARE(t->columnCount(), 2);
        const QStringList keys{
            "R",           "Ctrl+T",       "Ctrl+G",       "Esc",          "Ctrl+Wheel", "Enter",
            "Shift+Enter", "Ctrl+Enter",   "Ctrl+C",       "Ctrl+V",       "Ctrl+S",     "Ctrl+O",
            "Enter",       "Ctrl+Shift+B", "Ctrl+Shift+R", "Ctrl+Shift+K", "Ctrl+C",     "Ctrl+F",
            "Enter",       "Shift+Enter",  "Esc"};
        QCOMPARE(t->rowCount(), keys.size());
        for (int r = 0; r < keys.size(); ++r)
            QCOMPARE(t->item(r, 0)->text(), keys[r]);
        QCOMPARE(t->item(0, 1)->text(),
                 QStringLiteral("Start / stop waveform recording (waveform panel visible)"));
        QCOMPARE(t->item(7, 1)->text(), QStringLiteral("Send input box: send"));
        QCOMPARE(t->item(10, 1)->text(), QStringLiteral("Lua Code Editor: save"));
        // Every shortcut the session window answers to has its row.
        QStringList listed;
        for (int r = 0; r < t->rowCount(); ++r)
            listed << t->item(r, 0)->text();
        QVERIFY(!w.session()->shortcuts().isEmpty());
        for (const QShortcut* sc : w.session()->shortcuts())
            QVERIFY2(listed.contains(sc->key().toString()), qPrintable(sc->key().toString()));
        // Centred over the main window (a window frame may add a few pixels).
        QVERIFY(qAbs(list->frameGeometry().center().x() - w.frameGeometry().center().x()) <= 4);
        QVERIFY(qAbs(list->frameGeometry().center().y() - w.frameGeometry().center().y()) <= 4);
        QVERIFY(list->width() >= 500); // the descriptions fit on one line
        list->close();
        QTRY_VERIFY(!list);
    }

    void aboutBox()
    {
        CorvaneApp::loadLanguage(true);
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::mouseClick(w.titleBar()->headerButton(), Qt::LeftButton);
        QPointer<VersionInfoWidget> box = w.findChild<VersionInfoWidget*>();
        QVERIFY(box);
        QTRY_VERIFY(box->isVisible());
        QCOMPARE(box->nameLabel()->text(),
                 QStringLiteral("<span style='font-weight:bold;'>Name :</span> CVN"));
        QCOMPARE(box->versionLabel()->text(),
                 QStringLiteral("<span style='font-weight:bold;'>Version :</span> v5.6"));
        QCOMPARE(box->checkUpdateButton()->text(), QStringLiteral("Check for Updates"));
        QCOMPARE(box->frameGeometry().topLeft(), w.mapToGlobal(QPoint(10, w.titleBar()->height() - 5)));
        QSignalSpy spy(box, &VersionInfoWidget::checkUpdateClicked);
        DialogCatcher warnings; // no manifest address in tests: the check warns
        box->checkUpdateButton()->click();
        QCOMPARE(spy.count(), 1);
        if (box) // the warning may already have closed the popup
            box->close();
        QTRY_VERIFY(!box);
    }

    void closedPortStyleInChinese()
    {
        CorvaneApp::loadLanguage(false);
        MainWindow w;
        QTRY_COMPARE(w.connectionLabel()->text(), QStringLiteral("未连接"));
        QCOMPARE(w.connectionLabel()->property("style").toString(), QStringLiteral("info-lbl"));
    }

    // Every text the main window and the session panel show has a finished
    // translation in the Chinese catalogue, and every Chinese source text an
    // English one.
    void everyVisibleTextIsTranslated()
    {
        QTranslator zh;
        QVERIFY(zh.load(QStringLiteral(":/resources/lang/tr_zh.qm")));
        QTranslator en;
        QVERIFY(en.load(QStringLiteral(":/resources/lang/tr_en.qm")));
        RecordingTranslator recorder;
        QCoreApplication::installTranslator(&recorder);
        {
            MainWindow w;
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QTest::qWait(50);
            // Menus and popups build their texts when they open.
            for (QPushButton* b :
                 {w.titleBar()->aboutButton(), w.titleBar()->skinButton(), w.titleBar()->languageButton()}) {
                CMenu* menu = openMenu(b);
                QVERIFY(menu);
                menu->close();
            }
            QTest::mouseClick(w.titleBar()->headerButton(), Qt::LeftButton);
            if (auto* box = w.findChild<VersionInfoWidget*>())
                box->close();
            ShortcutInfoWidget list(&w);
            // A language change makes every panel translate again.
            QCoreApplication::removeTranslator(&recorder);
            QCoreApplication::installTranslator(&recorder);
            QTest::qWait(50);
        }
        QCoreApplication::removeTranslator(&recorder);

        QStringList untranslated;
        QSet<QString> seenContexts;
        for (const auto& [context, source] : recorder.asked) {
            // Qt's own texts come with Qt's catalogues.
            if (context.startsWith(QLatin1Char('Q')))
                continue;
            seenContexts.insert(context);
            const QByteArray c = context.toUtf8();
            const QByteArray s = source.toUtf8();
            if (zh.translate(c.constData(), s.constData()).isEmpty())
                untranslated << QStringLiteral("zh %1: %2").arg(context, source);
            const bool chineseSource =
                std::any_of(source.begin(), source.end(), [](QChar ch) { return ch.unicode() >= 0x2E80; });
            if (chineseSource && en.translate(c.constData(), s.constData()).isEmpty())
                untranslated << QStringLiteral("en %1: %2").arg(context, source);
        }
        QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(QLatin1Char('\n'))));
        for (const char* must : {"MainWindow", "CTitleBar", "Session", "SerialParamWidget", "RxSettingWidget",
                                 "TxSettingWidget", "LogWidget", "InputBox"})
            QVERIFY2(seenContexts.contains(QLatin1String(must)), must);
    }
};

QTEST_MAIN(TestMenus)
#include "tst_menus.moc"
