#include "CSwitch.h"
#include "DialogCatcher.h"
#include "SkinManager.h"
#include "StyleWatcher.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

QString readSheet(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    return QString::fromUtf8(file.readAll());
}

QStringList g_parseWarnings;
QtMessageHandler g_previousHandler = nullptr;

void recordParseWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("Could not parse")))
        g_parseWarnings << message;
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}

struct Palette
{
    int skin;
    const char* file;
    const char* window;
    const char* common;
    const char* accent;
};
// Main-window and "common" panel backgrounds every sheet must give, and the
// accent its switches take.
const Palette kPalettes[] = {
    {0, ":/style/LabBench.qss", "#eef0f2", "#f7f8f9", "#1a73e8"},
    {1, ":/style/DarkStyle.qss", "#191c21", "#1f2428", "#3d8ee6"},
    {2, ":/style/DarkPurple.qss", "#131f38", "#1a243f", "#7c6cf0"},
    {3, ":/style/DarkGreen.qss", "#07263b", "#0b304a", "#01c8ab"},
    {4, ":/style/WarmTerminal.qss", "#1a1814", "#211f1a", "#d4993a"},
    {5, ":/style/MidnightSignal.qss", "#0c1117", "#131920", "#3296fa"},
    {6, ":/style/ForestLab.qss", "#0d1814", "#121f1a", "#26a56c"},
};

} // namespace

class TestSkinManager : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { g_previousHandler = qInstallMessageHandler(recordParseWarnings); }
    void cleanupTestCase() { qInstallMessageHandler(g_previousHandler); }

    void sheetPaths()
    {
        for (const Palette& p : kPalettes)
            QCOMPARE(SkinManager::styleSheetPath(p.skin), QString::fromLatin1(p.file));
        for (int out : {-1, 7, 9, 1000})
            QCOMPARE(SkinManager::styleSheetPath(out), QStringLiteral(":/style/DarkPurple.qss"));
    }

    void everySheetParsesAndHasItsPalette_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(kPalettes)); ++i)
            QTest::newRow(kPalettes[i].file) << i;
    }

    void everySheetParsesAndHasItsPalette()
    {
        QFETCH(int, index);
        const Palette& p = kPalettes[index];
        const QString text = readSheet(QString::fromLatin1(p.file));
        QVERIFY2(!text.isEmpty(), p.file);
        // The opening comment names the palette.
        QVERIFY(text.startsWith(QLatin1String("/*")));
        QVERIFY(text.left(text.indexOf(QLatin1String("*/"))).contains(QLatin1String(p.window)));

        g_parseWarnings.clear();
        QVERIFY(SkinManager::instance()->loadStyle(QString::fromLatin1(p.file)));
        QCOMPARE(qApp->styleSheet(), text);

        QFrame window;
        window.setObjectName(QStringLiteral("main-window"));
        QFrame common(&window);
        common.setProperty("style", "common");
        QPushButton button(QStringLiteral("Send"), &window);
        QLabel title(&window);
        title.setProperty("style", "title-lbl");
        CSwitch sw(&window);
        window.ensurePolished();
        common.ensurePolished();
        button.ensurePolished();
        title.ensurePolished();
        sw.ensurePolished();
        QVERIFY2(g_parseWarnings.isEmpty(), qPrintable(g_parseWarnings.join(QLatin1Char('\n'))));

        QCOMPARE(window.palette().color(window.backgroundRole()).name(), QString::fromLatin1(p.window));
        QCOMPARE(common.palette().color(common.backgroundRole()).name(), QString::fromLatin1(p.common));
        QCOMPARE(sw.onColor().name(), QString::fromLatin1(p.accent));
        // Text must stand out from its background.
        const QColor fg = title.palette().color(title.foregroundRole());
        const QColor bg = window.palette().color(window.backgroundRole());
        QVERIFY2(qAbs(fg.lightness() - bg.lightness()) > 100, qPrintable(fg.name() + " on " + bg.name()));
    }

    void switchingEmitsOnceAndSkipsTheCurrentTheme()
    {
        SkinManager* skins = SkinManager::instance();
        skins->setSkin(1);
        QSignalSpy spy(StyleWatcher::instance(), &StyleWatcher::skinChanged);
        skins->setSkin(3);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 3);
        QCOMPARE(skins->currentSkin(), 3);
        QCOMPARE(qApp->styleSheet(), readSheet(QStringLiteral(":/style/DarkGreen.qss")));

        // The same theme again: nothing is applied, nothing announced.
        qApp->setStyleSheet(QStringLiteral("QWidget { color: red; }"));
        const int reads = skins->fileReadCount();
        skins->setSkin(3);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(skins->fileReadCount(), reads);
        QCOMPARE(qApp->styleSheet(), QStringLiteral("QWidget { color: red; }"));
    }

    void secondLoadComesFromTheCache()
    {
        SkinManager* skins = SkinManager::instance();
        skins->setSkin(2);
        QVERIFY(skins->isCached(QStringLiteral(":/style/DarkPurple.qss")));
        skins->setSkin(6);
        QVERIFY(skins->isCached(QStringLiteral(":/style/ForestLab.qss")));
        const int reads = skins->fileReadCount();
        skins->setSkin(2);
        QCOMPARE(skins->fileReadCount(), reads);
        QCOMPARE(qApp->styleSheet(), readSheet(QStringLiteral(":/style/DarkPurple.qss")));
        skins->setSkin(6);
        QCOMPARE(skins->fileReadCount(), reads);
        QCOMPARE(qApp->styleSheet(), readSheet(QStringLiteral(":/style/ForestLab.qss")));
    }

    void outOfRangeGetsDarkPurple()
    {
        SkinManager* skins = SkinManager::instance();
        skins->setSkin(0);
        QSignalSpy spy(StyleWatcher::instance(), &StyleWatcher::skinChanged);
        skins->setSkin(9);
        QCOMPARE(skins->currentSkin(), 9);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 9);
        QCOMPARE(qApp->styleSheet(), readSheet(QStringLiteral(":/style/DarkPurple.qss")));
    }

    void unreadableSheetKeepsTheStyleAndTellsTheUser()
    {
        SkinManager* skins = SkinManager::instance();
        skins->setSkin(4);
        const QString before = qApp->styleSheet();
        DialogCatcher catcher;
        QVERIFY(!skins->loadStyle(QStringLiteral(":/style/NoSuchTheme.qss")));
        QCOMPARE(catcher.titles, QStringList{QStringLiteral("Warning")});
        QCOMPARE(catcher.texts, QStringList{QStringLiteral("Style File load failed...")});
        QCOMPARE(qApp->styleSheet(), before);
        QVERIFY(!skins->isCached(QStringLiteral(":/style/NoSuchTheme.qss")));
    }

    // A drop-down list opened under a dark theme must look like a fresh one
    // after a live switch to the light theme: readable items, light ground.
    void comboPopupFollowsLiveSwitch()
    {
        SkinManager* skins = SkinManager::instance();
        skins->setSkin(1);
        QWidget window;
        auto* box = new QComboBox(&window);
        box->addItems({QStringLiteral("ttyUSB0"), QStringLiteral("ttyUSB1")});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        box->showPopup();
        QTRY_VERIFY(box->view()->isVisible());
        box->hidePopup();
        QTRY_VERIFY(!box->view()->isVisible());

        skins->setSkin(0);
        auto* fresh = new QComboBox(&window);
        fresh->addItems({QStringLiteral("ttyUSB0"), QStringLiteral("ttyUSB1")});
        fresh->show();
        for (QComboBox* b : {box, fresh}) {
            b->showPopup();
            QTRY_VERIFY(b->view()->isVisible());
        }
        const auto look = [](QComboBox* b) {
            QAbstractItemView* view = b->view();
            QWidget* container = view->parentWidget();
            const QImage shot = view->viewport()->grab().toImage();
            return QStringList{view->palette().color(QPalette::Base).name(),
                               view->palette().color(QPalette::Text).name(),
                               container->palette().color(QPalette::Window).name(),
                               shot.pixelColor(shot.width() - 3, shot.height() - 3).name()};
        };
        const QStringList expected = look(fresh);
        QCOMPARE(expected.at(0), QStringLiteral("#ffffff"));
        QCOMPARE(look(box), expected);
        box->hidePopup();
        fresh->hidePopup();
    }

    void registeredWidgets()
    {
        SkinManager* skins = SkinManager::instance();
        const int before = skins->registeredCount();
        skins->registerWidget(nullptr);
        QCOMPARE(skins->registeredCount(), before);
        auto* sw = new CSwitch;
        skins->registerWidget(sw);
        skins->registerWidget(sw);
        QCOMPARE(skins->registeredCount(), before + 1);

        // A registered widget follows the sheet.
        skins->setSkin(0);
        sw->ensurePolished();
        QCOMPARE(sw->onColor().name(), QStringLiteral("#1a73e8"));
        skins->setSkin(3);
        QCOMPARE(sw->onColor().name(), QStringLiteral("#01c8ab"));

        delete sw;
        QCOMPARE(skins->registeredCount(), before);
        skins->setSkin(5); // a destroyed widget is skipped, not touched
        QCOMPARE(qApp->styleSheet(), readSheet(QStringLiteral(":/style/MidnightSignal.qss")));
    }
};

QTEST_MAIN(TestSkinManager)
#include "tst_skinmanager.moc"
