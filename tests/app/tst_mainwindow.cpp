#include "AppConfig.h"
#include "AppPaths.h"
#include "CStatusBar.h"
#include "CTitleBar.h"
#include "CorvaneApp.h"
#include "MainWindow.h"
#include "PtyPair.h"
#include "SerialPortManager.h"
#include "Session.h"

#include "DialogCatcher.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTranslator>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// Translates a few texts the way the Chinese catalogue would, so the test can
// see every label re-translate on a language change.
class FakeChinese : public QTranslator
{
public:
    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override
    {
        Q_UNUSED(context);
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        const QByteArray s(sourceText);
        if (s == "Disconnected")
            return QStringLiteral("未连接");
        if (s == "Rx: %1 Bytes")
            return QStringLiteral("接收: %1 字节");
        if (s == "Tx: %1 Bytes")
            return QStringLiteral("发送: %1 字节");
        if (s == "Version: v%1")
            return QStringLiteral("版本: v%1");
        if (s == "Close")
            return QStringLiteral("关闭");
        return QString();
    }
    bool isEmpty() const override { return false; }
};

QPoint emptyTitleArea(CTitleBar* bar)
{
    // Just right of the title text: neither a button nor the label's text.
    const QRect title = bar->titleLabel()->geometry();
    return QPoint(title.right() + 20, bar->height() / 2);
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    QScopedPointer<QTemporaryDir> m_home;

    QString iniPath() const { return m_home->path() + QStringLiteral("/CVN/config.ini"); }

private Q_SLOTS:
    void init()
    {
        // A fresh per-user folder for every test: config.ini starts absent.
        m_home.reset(new QTemporaryDir);
        QVERIFY(m_home->isValid());
        qputenv("HOME", m_home->path().toLocal8Bit());
        QCOMPARE(AppConfig::filePath(), iniPath());
        AppConfig::loadConfiguration();
        AppConfig::UpdateCheckUrl.clear(); // tests stay off the network
        qApp->setStyleSheet(QString());
    }

    void cleanup()
    {
        qApp->setStyleSheet(QString());
        m_home.reset();
    }

    void construction()
    {
        MainWindow w;
        QCOMPARE(w.size(), QSize(1200, 740));
        QCOMPARE(w.objectName(), QStringLiteral("main-window"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Corvane"));
        QVERIFY(w.windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(w.titleBar()->titleText(), QStringLiteral("Corvane"));

        // Central frame: title bar, session, status bar, no margins or spacing.
        auto* frame = qobject_cast<QFrame*>(w.centralWidget());
        QVERIFY(frame);
        auto* layout = qobject_cast<QVBoxLayout*>(frame->layout());
        QVERIFY(layout);
        QCOMPARE(layout->contentsMargins(), QMargins(0, 0, 0, 0));
        QCOMPARE(layout->spacing(), 0);
        QCOMPARE(layout->count(), 3);
        QCOMPARE(layout->itemAt(0)->widget(), static_cast<QWidget*>(w.titleBar()));
        QCOMPARE(layout->itemAt(1)->widget(), static_cast<QWidget*>(w.session()));
        QCOMPARE(layout->itemAt(2)->widget(), static_cast<QWidget*>(w.statusBarWidget()));

        CStatusBar* bar = w.statusBarWidget();
        QCOMPARE(bar->height(), 24);
        QCOMPARE(bar->minimumHeight(), 24);
        QCOMPARE(bar->maximumHeight(), 24);
        QCOMPARE(bar->palette().brush(QPalette::Window).color().alpha(), 0);
    }

    void statusBarAtStart()
    {
        MainWindow w;
        // Before the session has reported anything.
        QCOMPARE(w.connectionLabel()->text(), QStringLiteral("Disconnected"));
        QCOMPARE(w.connectionLabel()->property("style").toString(), QStringLiteral("info-lbl"));
        QCOMPARE(w.rxLabel()->text(), QStringLiteral("Rx: 0 Bytes"));
        QCOMPARE(w.rxLabel()->property("style").toString(), QStringLiteral("common"));
        QCOMPARE(w.rxLabel()->alignment(), Qt::AlignCenter);
        QCOMPARE(w.txLabel()->text(), QStringLiteral("Tx: 0 Bytes"));
        QCOMPARE(w.txLabel()->property("style").toString(), QStringLiteral("common"));
        QCOMPARE(w.txLabel()->alignment(), Qt::AlignCenter);
        QCOMPARE(w.versionLabel()->text(), QStringLiteral("Version: v5.6"));
        QCOMPARE(w.versionLabel()->property("style").toString(), QStringLiteral("common"));
        QCOMPARE(w.versionLabel()->alignment(), Qt::AlignRight | Qt::AlignVCenter);
        QCOMPARE(w.versionLabel()->contentsMargins().right(), 10);
        QCOMPARE(w.versionLabel()->cursor().shape(), Qt::PointingHandCursor);

        // Left to right in the status bar.
        QList<QLabel*> labels{w.connectionLabel(), w.rxLabel(), w.txLabel(), w.versionLabel()};
        for (QLabel* l : labels)
            QVERIFY(w.statusBarWidget()->isAncestorOf(l));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (int i = 1; i < labels.size(); ++i)
            QVERIFY(labels[i - 1]->mapTo(&w, QPoint(0, 0)).x() < labels[i]->mapTo(&w, QPoint(0, 0)).x());

        // The session reports the closed port.
        QTRY_COMPARE(w.connectionLabel()->text(), QStringLiteral("Disconnect"));
        QCOMPARE(w.connectionLabel()->property("style").toString(), QStringLiteral("info-lbl"));
    }

    void connectStatusStyleIsRepolished()
    {
        qApp->setStyleSheet(QStringLiteral("QLabel[style=\"info-lbl\"] { color: #0000ff; }"
                                           "QLabel[style=\"ok-lbl\"] { color: #00ff00; }"));
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QLabel* label = w.connectionLabel();
        QTRY_COMPARE(label->text(), QStringLiteral("Disconnect"));
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 0, 255));

        emit w.session()->connectStatusChanged(QStringLiteral("ttyUSB0 OPENED, 115200, 8, NONE, 1, OFF"));
        QCOMPARE(label->text(), QStringLiteral("ttyUSB0 OPENED, 115200, 8, NONE, 1, OFF"));
        QCOMPARE(label->property("style").toString(), QStringLiteral("ok-lbl"));
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 255, 0));

        emit w.session()->connectStatusChanged(QStringLiteral("Disconnect"));
        QCOMPARE(label->property("style").toString(), QStringLiteral("info-lbl"));
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 0, 255));

        // Only the exact text counts as closed.
        emit w.session()->connectStatusChanged(QStringLiteral("Disconnected"));
        QCOMPARE(label->property("style").toString(), QStringLiteral("ok-lbl"));
        w.session()->publishStatus();
        QCOMPARE(label->text(), QStringLiteral("Disconnect"));
        QCOMPARE(label->property("style").toString(), QStringLiteral("info-lbl"));
    }

    void countsAreShownInFull()
    {
        MainWindow w;
        emit w.session()->rxCountChanged(4294967296ULL);
        QCOMPARE(w.rxLabel()->text(), QStringLiteral("Rx: 4294967296 Bytes"));
        emit w.session()->rxCountChanged(18446744073709551615ULL);
        QCOMPARE(w.rxLabel()->text(), QStringLiteral("Rx: 18446744073709551615 Bytes"));
        emit w.session()->txCountChanged(4294967295ULL + 12);
        QCOMPARE(w.txLabel()->text(), QStringLiteral("Tx: 4294967307 Bytes"));
        emit w.session()->txCountChanged(0);
        QCOMPARE(w.txLabel()->text(), QStringLiteral("Tx: 0 Bytes"));
        // No digit grouping, whatever the locale.
        QLocale::setDefault(QLocale(QLocale::German));
        emit w.session()->rxCountChanged(1234567ULL);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(w.rxLabel()->text(), QStringLiteral("Rx: 1234567 Bytes"));
    }

    void realTrafficReachesStatusBar()
    {
        PtyPair pty;
        QVERIFY(pty.open());
        MainWindow w;
        w.show();
        QVERIFY(w.session()->openPortAtStart(pty.path(), QStringLiteral("115200")));
        QTRY_VERIFY(w.session()->portManager()->isOpen());
        QTRY_COMPARE(w.connectionLabel()->property("style").toString(), QStringLiteral("ok-lbl"));
        QVERIFY(w.connectionLabel()->text() != QLatin1String("Disconnect"));

        QVERIFY(pty.writeAll(QByteArray("hello, corvane\n")));
        QTRY_COMPARE(w.rxLabel()->text(), QStringLiteral("Rx: 15 Bytes"));

        w.session()->onFrameWriteRequest(QByteArray("\x01\x02\x03", 3));
        QTRY_COMPARE(w.txLabel()->text(), QStringLiteral("Tx: 3 Bytes"));
        // The port writes from the event loop; collect while it runs.
        QByteArray sent;
        QTRY_VERIFY((sent += pty.readSome(1, 5)).size() >= 3);
        QCOMPARE(sent, QByteArray("\x01\x02\x03", 3));
    }

    void closeSavesSizeBeforePortCloses()
    {
        PtyPair pty;
        QVERIFY(pty.open());
        auto* w = new MainWindow;
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(w->session()->openPortAtStart(pty.path(), QString()));
        QTRY_VERIFY(w->session()->portManager()->isOpen());
        w->resize(1000, 650);
        QCOMPARE(w->size(), QSize(1000, 650));

        // What config.ini holds at the moment the port starts closing.
        QString widthAtClose;
        QString heightAtClose;
        bool portClosing = false;
        QSerialPort* port = w->session()->portManager()->port();
        QVERIFY(port);
        connect(port, &QIODevice::aboutToClose, this, [&] {
            if (portClosing)
                return;
            portClosing = true;
            QSettings s(iniPath(), QSettings::IniFormat);
            widthAtClose = s.value(QStringLiteral("MAIN-WIN/MainWinWidth")).toString();
            heightAtClose = s.value(QStringLiteral("MAIN-WIN/MainWinHeight")).toString();
        });
        QVERIFY(!QFileInfo::exists(iniPath()));

        QTest::mouseClick(w->titleBar()->closeButton(), Qt::LeftButton);
        QTRY_VERIFY(!w->isVisible());
        QVERIFY(portClosing);
        QCOMPARE(widthAtClose, QStringLiteral("1000"));
        QCOMPARE(heightAtClose, QStringLiteral("650"));
        QVERIFY(!w->session()->portManager()->isOpen());
        QCOMPARE(AppConfig::MainWinWidth, 1000);
        QCOMPARE(AppConfig::MainWinHeight, 650);

        // The whole table is in the file afterwards.
        QSettings s(iniPath(), QSettings::IniFormat);
        QCOMPARE(s.value(QStringLiteral("MAIN-WIN/MainWinWidth")).toInt(), 1000);
        QCOMPARE(s.value(QStringLiteral("SERIAL-PORT-SET/Baudrate")).toString(), AppConfig::Baudrate);
        QCOMPARE(s.value(QStringLiteral("MAIN-WIN/Skin")).toInt(), 5);
        delete w;
    }

    void closeWarnsWhenSettingsCannotBeSaved()
    {
        // A directory where config.ini belongs makes every save fail.
        QVERIFY(QDir().mkpath(iniPath()));
        auto* w = new MainWindow;
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        DialogCatcher watcher;
        QTest::mouseClick(w->titleBar()->closeButton(), Qt::LeftButton);
        QTRY_VERIFY(!w->isVisible());
        QCOMPARE(watcher.texts.size(), 1);
        QCOMPARE(watcher.titles.first(), QStringLiteral("Warning"));
        QVERIFY2(watcher.texts.first().contains(iniPath()), qPrintable(watcher.texts.first()));
        delete w;
    }

    void titleBarButtons()
    {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        CTitleBar* bar = w.titleBar();
        QVERIFY(bar->maxButton()->isVisible());
        QVERIFY(!bar->restoreButton()->isVisible());

        QTest::mouseClick(bar->maxButton(), Qt::LeftButton);
        QTRY_VERIFY(w.isMaximized());
        QTRY_VERIFY(bar->restoreButton()->isVisible());
        QVERIFY(!bar->maxButton()->isVisible());
        QVERIFY(bar->isMaximizedState());

        QTest::mouseClick(bar->restoreButton(), Qt::LeftButton);
        QTRY_VERIFY(!w.isMaximized());
        QTRY_VERIFY(bar->maxButton()->isVisible());
        QVERIFY(!bar->restoreButton()->isVisible());

        // Double-clicking the empty title area toggles as well.
        QTest::mouseDClick(bar, Qt::LeftButton, Qt::NoModifier, emptyTitleArea(bar));
        QTRY_VERIFY(w.isMaximized());
        QTest::mouseDClick(bar, Qt::LeftButton, Qt::NoModifier, emptyTitleArea(bar));
        QTRY_VERIFY(!w.isMaximized());

        QTest::mouseClick(bar->minButton(), Qt::LeftButton);
        QTRY_VERIFY(w.isMinimized());
        w.showNormal();
        QTRY_VERIFY(!w.isMinimized());
    }

    void staleHoverIsCleared()
    {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QPushButton* restore = w.titleBar()->restoreButton();
        restore->setAttribute(Qt::WA_Hover, true);
        QCursor::setPos(w.mapToGlobal(QPoint(600, 400))); // well away from the title bar
        int leaves = 0;
        int hoverLeaves = 0;
        struct Counter : QObject
        {
            int* leaves;
            int* hovers;
            bool eventFilter(QObject*, QEvent* e) override
            {
                if (e->type() == QEvent::Leave)
                    ++*leaves;
                if (e->type() == QEvent::HoverLeave)
                    ++*hovers;
                return false;
            }
        } counter;
        counter.leaves = &leaves;
        counter.hovers = &hoverLeaves;
        restore->installEventFilter(&counter);
        emit w.titleBar()->maxBtnClicked();
        QTRY_VERIFY(leaves >= 1);
        QTRY_VERIFY(hoverLeaves >= 1);
        restore->removeEventFilter(&counter);
    }

    void titleBarWidget()
    {
        CTitleBar bar;
        bar.resize(800, 36);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        QCOMPARE(bar.titleLabel()->property("style").toString(), QStringLiteral("title-lbl"));
        const QList<QPushButton*> buttons{bar.headerButton(),   bar.aboutButton(), bar.skinButton(),
                                          bar.languageButton(), bar.minButton(),   bar.maxButton(),
                                          bar.restoreButton(),  bar.closeButton()};
        for (QPushButton* b : buttons) {
            QCOMPARE(b->property("style").toString(), QStringLiteral("system-btn"));
            QCOMPARE(b->focusPolicy(), Qt::NoFocus);
        }
        bar.setTitleText(QStringLiteral("串口 Corvane"));
        QCOMPARE(bar.titleText(), QStringLiteral("串口 Corvane"));

        struct Expect
        {
            QPushButton* button;
            void (CTitleBar::*signal)();
        };
        const QList<Expect> expects{
            {bar.headerButton(), &CTitleBar::headerBtnClicked},
            {bar.aboutButton(), &CTitleBar::aboutBtnClicked},
            {bar.skinButton(), &CTitleBar::skinBtnClicked},
            {bar.languageButton(), &CTitleBar::languageBtnClicked},
            {bar.minButton(), &CTitleBar::minBtnClicked},
            {bar.maxButton(), &CTitleBar::maxBtnClicked},
            {bar.closeButton(), &CTitleBar::closeBtnClicked},
        };
        for (const Expect& e : expects) {
            QSignalSpy spy(&bar, e.signal);
            QTest::mouseClick(e.button, Qt::LeftButton);
            QCOMPARE(spy.count(), 1);
        }
        bar.setMaximizedState(true);
        QVERIFY(bar.restoreButton()->isVisible());
        QVERIFY(!bar.maxButton()->isVisible());
        QSignalSpy restore(&bar, &CTitleBar::restoreBtnClicked);
        QTest::mouseClick(bar.restoreButton(), Qt::LeftButton);
        QCOMPARE(restore.count(), 1);
        bar.setMaximizedState(false);
        QVERIFY(!bar.restoreButton()->isVisible());
        QVERIFY(bar.maxButton()->isVisible());

        // A double-click on the empty area of a normal window asks to maximise.
        QSignalSpy max(&bar, &CTitleBar::maxBtnClicked);
        QTest::mouseDClick(&bar, Qt::LeftButton, Qt::NoModifier, emptyTitleArea(&bar));
        QCOMPARE(max.count(), 1);
    }

    void titleBarDragMovesWindow()
    {
        // The offscreen platform has no system move, so the title bar moves
        // the window itself there.
        MainWindow w;
        w.resize(500, 300);
        w.move(50, 50);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        CTitleBar* bar = w.titleBar();
        const QPoint start = w.pos();
        const QPoint at = emptyTitleArea(bar);
        QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, at);
        QMouseEvent move1(QEvent::MouseMove, QPointF(at + QPoint(30, 20)),
                          QPointF(bar->mapToGlobal(at + QPoint(30, 20))), Qt::NoButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(bar, &move1);
        QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, at + QPoint(30, 20));
        QTRY_COMPARE(w.pos(), start + QPoint(30, 20));
    }

    void messageRequestedShowsWarning()
    {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        DialogCatcher watcher;
        emit w.session()->messageRequested(QStringLiteral("Serial port open failed: /dev/ttyUSB9"));
        QTRY_COMPARE(watcher.texts.size(), 1);
        QCOMPARE(watcher.titles.first(), QStringLiteral("Warning"));
        QCOMPARE(watcher.texts.first(), QStringLiteral("Serial port open failed: /dev/ttyUSB9"));
        QTRY_VERIFY(!QApplication::activeModalWidget());
        // Nothing else pops up.
        QTest::qWait(100);
        QCOMPARE(watcher.texts.size(), 1);
    }

    void unopenablePortAtStartShowsWarning()
    {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        DialogCatcher watcher;
        const QString missing = m_home->path() + QStringLiteral("/no-such-tty");
        QVERIFY(!w.session()->openPortAtStart(missing, QStringLiteral("9600")));
        QTRY_VERIFY(!watcher.texts.isEmpty());
        QTest::qWait(200);
        // The failed open, and possibly the port's own open error as well.
        QVERIFY(watcher.texts.size() <= 2);
        for (const QString& title : watcher.titles)
            QCOMPARE(title, QStringLiteral("Warning"));
        for (const QString& text : watcher.texts)
            QVERIFY2(text.startsWith(QStringLiteral("Failed to open serial port: ")), qPrintable(text));
        QVERIFY(!w.session()->portManager()->isOpen());
    }

    void languageChangeRetranslates()
    {
        MainWindow w;
        QTRY_COMPARE(w.connectionLabel()->text(), QStringLiteral("Disconnect"));
        emit w.session()->rxCountChanged(5);
        FakeChinese zh;
        QCoreApplication::installTranslator(&zh);
        // The change event reaches the widgets through the event queue.
        QTRY_COMPARE(w.rxLabel()->text(), QStringLiteral("接收: 5 字节"));
        QCOMPARE(w.txLabel()->text(), QStringLiteral("发送: 0 字节"));
        QCOMPARE(w.versionLabel()->text(), QStringLiteral("版本: v5.6"));
        QCOMPARE(w.titleBar()->closeButton()->toolTip(), QStringLiteral("关闭"));
        // The session's status text is the session's to translate.
        QCOMPARE(w.connectionLabel()->text(), QStringLiteral("Disconnect"));
        QCoreApplication::removeTranslator(&zh);
        QTRY_COMPARE(w.rxLabel()->text(), QStringLiteral("Rx: 5 Bytes"));
        QCOMPARE(w.versionLabel()->text(), QStringLiteral("Version: v5.6"));
        QCOMPARE(w.titleBar()->closeButton()->toolTip(), QStringLiteral("Close"));
    }

    void startTextIsTranslated()
    {
        FakeChinese zh;
        QCoreApplication::installTranslator(&zh);
        {
            MainWindow w;
            QCOMPARE(w.connectionLabel()->text(), QStringLiteral("未连接"));
            QCOMPARE(w.rxLabel()->text(), QStringLiteral("接收: 0 字节"));
        }
        QCoreApplication::removeTranslator(&zh);
    }

    void catalogues()
    {
        QVERIFY(QFile::exists(QStringLiteral(":/resources/lang/tr_en.qm")));
        QVERIFY(QFile::exists(QStringLiteral(":/resources/lang/tr_zh.qm")));
        QVERIFY(CorvaneApp::loadLanguage(true));
        QVERIFY(CorvaneApp::loadLanguage(false));
        QVERIFY(CorvaneApp::translator());
        QCOMPARE(CorvaneApp::translator(), CorvaneApp::translator());
    }

    void applicationFontRendersChineseAndLatin()
    {
        const QFont font = CorvaneApp::applicationFont();
        QCOMPARE(font.pointSize(), 9);
        QCOMPARE(font.weight(), QFont::Normal);
        QVERIFY(!font.italic());
        const QFontInfo info(font);
        if (QFontDatabase::hasFamily(QStringLiteral("微软雅黑")))
            QCOMPARE(info.family(), QStringLiteral("微软雅黑"));
        else if (QFontDatabase::hasFamily(QStringLiteral("Noto Sans CJK SC")))
            QCOMPARE(info.family(), QStringLiteral("Noto Sans CJK SC"));
        else
            QSKIP("no CJK font installed (Debian: fonts-noto-cjk)");
        QVERIFY(QFontDatabase::writingSystems(info.family()).contains(QFontDatabase::SimplifiedChinese));
        const QFontMetrics fm(font);
        QVERIFY(fm.inFont(QChar(0x4E32))); // 串
        QVERIFY(fm.inFont(QChar(0x53E3))); // 口
        QVERIFY(fm.inFont(QLatin1Char('A')));
        QVERIFY(fm.inFont(QLatin1Char('0')));
    }

    void logFontIsMonospace()
    {
        CorvaneApp::registerMonoFont();
        const QFontInfo info(QFont(QStringLiteral("Roboto Mono"), 10));
        QVERIFY2(info.fixedPitch(), qPrintable(info.family()));
        const QFontMetrics fm(QFont(QStringLiteral("Roboto Mono"), 10));
        QCOMPARE(fm.horizontalAdvance(QStringLiteral("iiii")), fm.horizontalAdvance(QStringLiteral("WWWW")));
    }

    void centredOnScreen()
    {
        QScreen* screen = QGuiApplication::primaryScreen();
        QVERIFY(screen);
        const QRect area = screen->availableGeometry();
        QWidget small;
        small.setWindowFlag(Qt::FramelessWindowHint);
        small.resize(area.width() / 2, area.height() / 2);
        CorvaneApp::centreWindow(&small);
        QCOMPARE(small.frameGeometry().center(), area.center());

        // Larger than the screen: kept inside, title bar reachable.
        MainWindow big;
        big.resize(area.width() + 400, area.height() + 300);
        CorvaneApp::centreWindow(&big);
        QVERIFY(area.contains(big.frameGeometry()));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
