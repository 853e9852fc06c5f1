#include "../session/SessionTestUtil.h"

#include "AppConfig.h"
#include "AppPaths.h"
#include "CSideBar.h"
#include "MultiLineDataManager.h"
#include "MultiLineGroup.h"
#include "MultiLineGroupManager.h"
#include "MultiLineListWidget.h"
#include "SingleLineItem.h"
#include "TxSettingWidget.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QStackedWidget>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

#include <memory>

namespace {

// Everything the device end receives, each read stamped with its arrival time.
class TimedReader : public QObject
{
public:
    explicit TimedReader(int fd) : m_fd(fd), m_notifier(fd, QSocketNotifier::Read)
    {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        m_clock.start();
        connect(&m_notifier, &QSocketNotifier::activated, this, [this] {
            char buf[4096];
            ssize_t n;
            while ((n = ::read(m_fd, buf, sizeof buf)) > 0) {
                data.append(buf, int(n));
                stamps.append({m_clock.elapsed(), int(data.size())});
            }
        });
    }
    // When the byte at `offset` had arrived.
    qint64 arrivalOf(int offset) const
    {
        for (const auto& [ms, end] : stamps) {
            if (end > offset)
                return ms;
        }
        return -1;
    }
    QByteArray data;
    QList<QPair<qint64, int>> stamps;

private:
    int m_fd;
    QSocketNotifier m_notifier;
    QElapsedTimer m_clock;
};

QString groupFile()
{
    return AppPaths::userDataDir() + QStringLiteral("/multi_line.json");
}

} // namespace

class TestMultiLineSession : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DialogCatcher> m_dialogs;
    std::unique_ptr<PtyPair> m_pty;
    std::unique_ptr<Session> m_session;

    MultiLineGroup* addGroup(const QString& name, const QList<MultiLineDataManager::Line>& lines)
    {
        MultiLineGroup* g = m_session->multiLineManager()->addGroup(name);
        g->appendLines(lines);
        return g;
    }

private Q_SLOTS:
    void init()
    {
        AppConfig::resetToDefaults();
        QDir(AppPaths::userDataDir()).removeRecursively();
        m_dialogs = std::make_unique<DialogCatcher>();
        m_pty = std::make_unique<PtyPair>();
        QVERIFY(m_pty->open());
        m_session = std::make_unique<Session>();
    }

    void cleanup()
    {
        m_session.reset();
        m_pty.reset();
        m_dialogs.reset();
    }

    void panelIsToolPageZero()
    {
        QCOMPARE(m_session->toolStack()->widget(0), static_cast<QWidget*>(m_session->multiLineManager()));
    }

    void loopTimingAndOrderAtTheDevice()
    {
        QVERIFY(openOnPty(m_session.get(), *m_pty));
        TimedReader reader(m_pty->masterFd());
        // Each interval is the pause before its own row.
        const int pause[] = {300, 120, 200};
        MultiLineGroup* g =
            addGroup(QStringLiteral("poll"), {{QStringLiteral("a"), QStringLiteral("<1>"), pause[0]},
                                              {QStringLiteral("b"), QStringLiteral("<2>"), pause[1]},
                                              {QStringLiteral("c"), QStringLiteral("<3>"), pause[2]}});
        g->selectAll();
        g->loopButton()->click();
        const QByteArray expected("<1><2><3><1><2><3><1>");
        QTRY_VERIFY_WITH_TIMEOUT(reader.data.size() >= expected.size(), 5000);
        g->loopButton()->click();
        QCOMPARE(reader.data.left(expected.size()), expected);
        QStringList gaps;
        for (int k = 1; k < 7; ++k) {
            const qint64 gap = reader.arrivalOf(3 * k) - reader.arrivalOf(3 * (k - 1));
            const int want = pause[k % 3];
            gaps << QStringLiteral("%1/%2").arg(gap).arg(want);
            QVERIFY2(qAbs(gap - want) <= 20,
                     qPrintable(QStringLiteral("line %1: %2 ms, set %3 ms").arg(k).arg(gap).arg(want)));
        }
        qInfo().noquote() << "gaps measured/set (ms):" << gaps.join(QLatin1Char(' '));
    }

    void sentWithTheTxSettings()
    {
        QVERIFY(openOnPty(m_session.get(), *m_pty));
        m_session->txSettings()->hexButton()->click();
        MultiLineGroup* g = addGroup(QStringLiteral("hex"), {{QString(), QStringLiteral("AA 01"), 0}});
        g->list()->lineAt(0)->sendButton()->click();
        QCOMPARE(readFromDevice(*m_pty, 2, 2000), QByteArray("\xAA\x01"));
    }

    void closedPortStopsEveryLoopAndSaysSo()
    {
        QSignalSpy messages(m_session.get(), &Session::messageRequested);
        MultiLineGroup* a = addGroup(QStringLiteral("a"), {{QString(), QStringLiteral("A"), 0}});
        MultiLineGroup* b = addGroup(QStringLiteral("b"), {{QString(), QStringLiteral("B"), 60000}});
        b->selectAll();
        b->loopSendStart(true);
        a->selectAll();
        a->loopButton()->click();
        QVERIFY(m_session->sideBar()->isIndicatorEnabled(0));
        QTRY_VERIFY(!a->isLooping());
        QVERIFY(!b->isLooping());
        QVERIFY(!m_session->sideBar()->isIndicatorEnabled(0));
        QTest::qWait(50); // no further attempts
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0][0].toString(), QStringLiteral("Please open serial port!"));
    }

    void indicatorFollowsTheLoopAndDisconnectStopsIt()
    {
        QVERIFY(openOnPty(m_session.get(), *m_pty));
        MultiLineGroup* g = addGroup(QStringLiteral("g"), {{QString(), QStringLiteral("x"), 50}});
        g->selectAll();
        g->loopButton()->click();
        QVERIFY(m_session->sideBar()->isIndicatorEnabled(0));
        g->loopButton()->click();
        QVERIFY(!m_session->sideBar()->isIndicatorEnabled(0));
        g->loopButton()->click();
        QVERIFY(m_session->sideBar()->isIndicatorEnabled(0));
        m_pty->closeMaster(); // the device goes away
        QTRY_VERIFY_WITH_TIMEOUT(!m_session->portManager()->isOpen(), 5000);
        QVERIFY(!g->isLooping());
        QVERIFY(!m_session->sideBar()->isIndicatorEnabled(0));
    }

    void shutdownStopsAndSaves()
    {
        MultiLineGroup* g =
            addGroup(QStringLiteral("kept"), {{QStringLiteral("l"), QStringLiteral("AT"), 5}});
        g->selectAll();
        g->loopSendStart(true);
        m_session->shutdown();
        QVERIFY(!g->isLooping());
        QList<MultiLineDataManager::Group> stored;
        QVERIFY(MultiLineDataManager::load(groupFile(), stored));
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored[0].name, QStringLiteral("kept"));

        // The next session finds them.
        m_session = std::make_unique<Session>();
        QCOMPARE(m_session->multiLineManager()->groupNames(), QStringList{QStringLiteral("kept")});
    }

    void brokenFileIsKeptAndTheUserTold()
    {
        m_session.reset();
        const QByteArray broken =
            R"({"groups":[{"group-name":"x","group-content":[{"time":1,"data":"AT"}]}]})";
        QVERIFY(AppPaths::ensureUserDataDir());
        QFile f(groupFile());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(broken);
        f.close();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("did not load")));
        m_session = std::make_unique<Session>();
        QSignalSpy messages(m_session.get(), &Session::messageRequested);
        QVERIFY(messages.wait(2000));
        QVERIFY(messages[0][0].toString().contains(groupFile() + QStringLiteral(".bak")));
        m_session->shutdown();
        QFile bak(groupFile() + QStringLiteral(".bak"));
        QVERIFY(bak.open(QIODevice::ReadOnly));
        QCOMPARE(bak.readAll(), broken);
        QTest::qWait(20);
        QCOMPARE(messages.size(), 1);
    }

    void folderInPlaceOfTheFile()
    {
        m_session.reset();
        QVERIFY(QDir().mkpath(groupFile()));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("did not load")));
        m_session = std::make_unique<Session>();
        QVERIFY(m_session->multiLineManager()->groupNames().isEmpty());
        addGroup(QStringLiteral("g"), {{QString(), QStringLiteral("A"), 1}});
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("^mulit line data save failed")));
        m_session->shutdown();
        QVERIFY(QFileInfo(groupFile()).isDir());
    }
};

QTEST_MAIN(TestMultiLineSession)
#include "tst_multiline_session.moc"
