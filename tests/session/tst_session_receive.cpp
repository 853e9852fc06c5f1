#include "AppConfig.h"
#include "CIndicatorButton.h"
#include "CMenu.h"
#include "CPlainTextEdit.h"
#include "LogWidget.h"
#include "RxSettingWidget.h"
#include "SerialParamWidget.h"
#include "SessionTestUtil.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QThread>
#include <QtTest>

#include <memory>

class TestSessionReceive : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DialogCatcher> m_dialogs;
    std::unique_ptr<PtyPair> m_pty;
    std::unique_ptr<Session> m_session;

    void setHex(int perLineIndex)
    {
        m_session->rxSettings()->hexButton()->click();
        m_session->rxSettings()->bytesPerLineBox()->setCurrentIndex(perLineIndex);
    }

    bool sessionReadData(const QByteArray& data)
    {
        return QMetaObject::invokeMethod(m_session.get(), "readData", Qt::DirectConnection,
                                         Q_ARG(QByteArray, data));
    }

private Q_SLOTS:
    void init()
    {
        AppConfig::resetToDefaults();
        AppConfig::ShowTime = true;
        // The bare hex layout; the dump layout has its own tests.
        AppConfig::HexDumpColumns = false;
        m_dialogs = std::make_unique<DialogCatcher>();
        m_pty = std::make_unique<PtyPair>();
        QVERIFY(m_pty->open());
        m_session = std::make_unique<Session>();
        QVERIFY(openOnPty(m_session.get(), *m_pty));
    }

    void cleanup()
    {
        m_session.reset();
        m_pty.reset();
        QVERIFY2(m_dialogs->texts.isEmpty(), qPrintable(m_dialogs->texts.join(QLatin1Char('|'))));
        m_dialogs.reset();
    }

    void textIsShownWithTimestampAndCounted()
    {
        QSignalSpy rx(m_session.get(), &Session::rxCountChanged);
        QVERIFY(m_pty->writeAll("hello\n"));
        QTRY_COMPARE(logLines(m_session.get()).size(), 1);
        const QString line = logLines(m_session.get()).first();
        QVERIFY2(line.contains(stampPattern(QLatin1Char('R'))), qPrintable(line));
        QCOMPARE(unstamped(line), QStringLiteral("hello"));
        QCOMPARE(m_session->rxCount(), 6ULL);
        QCOMPARE(rx.last().at(0).toULongLong(), 6ULL);

        QVERIFY(m_pty->writeAll("abc"));
        QTRY_COMPARE(m_session->rxCount(), 9ULL);
        QCOMPARE(rx.last().at(0).toULongLong(), 9ULL);
    }

    // Colour codes from the device, split over arrivals, colour the log.
    void ansiColoursReachTheLog()
    {
        QVERIFY(m_pty->writeAll("plain \x1b[31mred\x1b[0m \x1b[38;5"));
        QTest::qWait(30);
        QVERIFY(m_pty->writeAll(";46mcyan\x1b[0m\n"));
        CPlainTextEdit* view = m_session->logWidget()->textArea();
        QTRY_VERIFY(view->toPlainText().endsWith(QStringLiteral("cyan\n")));
        QTRY_COMPARE(view->pendingLength(), 0);
        view->colourVisibleBlocks();
        const QTextBlock b = view->document()->firstBlock();
        QCOMPARE(unstamped(b.text()), QStringLiteral("plain red cyan"));
        const int red = int(b.text().indexOf(QStringLiteral("red")));
        const int cyan = int(b.text().indexOf(QStringLiteral("cyan")));
        QStringList found;
        for (const QTextLayout::FormatRange& r : b.layout()->formats()) {
            if (r.start <= red && red < r.start + r.length)
                found << r.format.foreground().color().name();
            if (r.start <= cyan && cyan < r.start + r.length)
                found << r.format.foreground().color().name();
        }
        QCOMPARE(found, (QStringList{QStringLiteral("#cd0000"), QStringLiteral("#00ff00")}));
    }

    void lineInTwoChunksGetsOneTimestamp()
    {
        QVERIFY(m_pty->writeAll("first "));
        QTRY_VERIFY(logText(m_session.get()).contains(QStringLiteral("first")));
        QTest::qWait(30); // a later tick, so the rest is a chunk of its own
        QVERIFY(m_pty->writeAll("half\n"));
        QTRY_VERIFY(logText(m_session.get()).contains(QStringLiteral("half")));
        const QStringList lines = logLines(m_session.get());
        QCOMPARE(lines.size(), 1);
        QCOMPARE(unstamped(lines.first()), QStringLiteral("first half"));
        QCOMPARE(lines.first().count(QRegularExpression(QStringLiteral("\\]R "))), 1);
    }

    void crLfIsOneLineEnd()
    {
        QVERIFY(m_pty->writeAll("one\r\ntwo\r\n"));
        QTRY_COMPARE(logLines(m_session.get()).size(), 2);
        QTest::qWait(50);
        const QStringList lines = logLines(m_session.get());
        QCOMPARE(lines.size(), 2);
        QCOMPARE(unstamped(lines[0]), QStringLiteral("one"));
        QCOMPARE(unstamped(lines[1]), QStringLiteral("two"));
    }

    void crLfSplitBetweenChunksIsOneLineEnd()
    {
        QVERIFY(m_pty->writeAll("one\r"));
        QTRY_VERIFY(logText(m_session.get()).contains(QStringLiteral("one")));
        QTest::qWait(30);
        QVERIFY(m_pty->writeAll("\ntwo\n"));
        QTRY_VERIFY(logText(m_session.get()).contains(QStringLiteral("two")));
        const QStringList lines = logLines(m_session.get());
        QCOMPARE(lines.size(), 2);
        QCOMPARE(unstamped(lines[0]), QStringLiteral("one"));
        QVERIFY(lines[1].contains(stampPattern(QLatin1Char('R'))));
        QCOMPARE(unstamped(lines[1]), QStringLiteral("two"));
    }

    void splitUtf8IsShownWhole()
    {
        QSignalSpy chunks(m_session.get(), &Session::dataReceived);
        QVERIFY(m_pty->writeAll("price \xE2\x82"));
        QTRY_VERIFY(chunks.count() >= 1);
        QTRY_VERIFY(logText(m_session.get()).contains(QStringLiteral("price")));
        QVERIFY(m_pty->writeAll("\xAC 5\n"));
        QTRY_VERIFY(chunks.count() >= 2);
        QTRY_VERIFY(logText(m_session.get()).contains(QStringLiteral(" 5")));
        const QString text = logText(m_session.get());
        QVERIFY2(text.contains(QStringLiteral("price \u20AC 5")), qPrintable(text));
        QVERIFY(!text.contains(QChar::ReplacementCharacter));
    }

    void hexLinesStartAfreshAfterAPause()
    {
        setHex(0); // 16 per line
        QByteArray first;
        for (int i = 0; i < 5; ++i)
            first.append(char(i));
        QVERIFY(m_pty->writeAll(first));
        QTRY_VERIFY(logText(m_session.get()).contains(QStringLiteral("00 01 02 03 04 ")));
        QTest::qWait(30);
        QByteArray second;
        for (int i = 5; i < 25; ++i)
            second.append(char(i));
        QVERIFY(m_pty->writeAll(second));
        QTRY_COMPARE(logLines(m_session.get()).size(), 3);
        const QStringList lines = logLines(m_session.get());
        QCOMPARE(unstamped(lines[0]), QStringLiteral("00 01 02 03 04 "));
        QCOMPARE(unstamped(lines[1]), QStringLiteral("05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13 14 "));
        QCOMPARE(unstamped(lines[2]), QStringLiteral("15 16 17 18 "));
        for (const QString& line : lines)
            QVERIFY(line.contains(stampPattern(QLatin1Char('R'))));
    }

    void hexChunksWithoutAPauseContinueTheLine()
    {
        // Bytes still arriving after the close are cut at once; with no pause
        // between them, the second chunk completes the first one's line.
        setHex(0);
        m_session->portManager()->closePort();
        QByteArray first;
        for (int i = 0; i < 5; ++i)
            first.append(char(i));
        QByteArray second;
        for (int i = 5; i < 25; ++i)
            second.append(char(i));
        QVERIFY(sessionReadData(first));
        QVERIFY(sessionReadData(second));
        QTRY_COMPARE(logLines(m_session.get()).size(), 3);
        QStringList lines = logLines(m_session.get());
        QCOMPARE(unstamped(lines[0]).size(), 5 * 3);
        QCOMPARE(unstamped(lines[1]).size(), 11 * 3);
        QCOMPARE(unstamped(lines[2]).size(), 9 * 3);

        // After a pause the next bytes start a line of their own.
        QTest::qWait(30);
        QVERIFY(sessionReadData(second));
        QTRY_COMPARE(logLines(m_session.get()).size(), 5);
        lines = logLines(m_session.get());
        QCOMPARE(unstamped(lines[3]).size(), 16 * 3);
        QCOMPARE(unstamped(lines[4]).size(), 4 * 3);
    }

    void bufferedBytesAreShownWhenThePortCloses()
    {
        // Close right after the session buffered the bytes, before its tick cut them.
        SerialPortManager* pm = m_session->portManager();
        QObject ctx;
        connect(
            pm, &SerialPortManager::dataReceived, &ctx, [pm](const QByteArray&) { pm->closePort(); },
            Qt::QueuedConnection);
        QVERIFY(m_pty->writeAll("last words\n"));
        QTRY_VERIFY(!pm->isOpen());
        QTRY_VERIFY(logText(m_session.get()).contains(QStringLiteral("last words")));
        QCOMPARE(unstamped(logLines(m_session.get()).first()), QStringLiteral("last words"));
    }

    void bytesQueuedAfterTheCloseAreShown()
    {
        // Closed while the chunk is still on its way to the session.
        SerialPortManager* pm = m_session->portManager();
        QObject ctx;
        connect(
            pm, &SerialPortManager::rxLengthChanged, &ctx, [pm](qulonglong) { pm->closePort(); },
            Qt::DirectConnection);
        QVERIFY(m_pty->writeAll("queued\n"));
        QTRY_VERIFY(!pm->isOpen());
        QTRY_VERIFY(logText(m_session.get()).contains(QStringLiteral("queued")));
    }

    void lastBytesBeforeAnUnplugAreShown()
    {
        SerialPortManager* pm = m_session->portManager();
        QObject ctx;
        PtyPair* pty = m_pty.get();
        connect(
            pm, &SerialPortManager::rxLengthChanged, &ctx, [pty](qulonglong) { pty->unplug(); },
            Qt::DirectConnection);
        QVERIFY(m_pty->writeAll("bye\n"));
        QTRY_VERIFY(logText(m_session.get()).contains(QStringLiteral("bye")));
        QTRY_VERIFY(!pm->isOpen());
        QVERIFY(!m_session->settingsToggleButton()->indicatorColor().alpha());
    }

    void clearLogResetsCountersAndLineStart()
    {
        QSignalSpy rx(m_session.get(), &Session::rxCountChanged);
        QSignalSpy tx(m_session.get(), &Session::txCountChanged);
        QVERIFY(m_pty->writeAll("unfinished"));
        QTRY_VERIFY(logText(m_session.get()).contains(QStringLiteral("unfinished")));
        QVERIFY(m_session->portManager()->write(QByteArray("xy")));
        QCOMPARE(m_session->txCount(), 2ULL);
        QVERIFY(m_session->rxCount() > 0);

        rx.clear();
        tx.clear();
        m_session->logWidget()->clearButton()->click();
        QCOMPARE(rx.count(), 1);
        QCOMPARE(rx.at(0).at(0).toULongLong(), 0ULL);
        QCOMPARE(tx.count(), 1);
        QCOMPARE(tx.at(0).at(0).toULongLong(), 0ULL);
        QCOMPARE(m_session->rxCount(), 0ULL);
        QCOMPARE(m_session->txCount(), 0ULL);
        QVERIFY(logText(m_session.get()).isEmpty());

        // The next text starts a line of its own, with its timestamp.
        QVERIFY(m_pty->writeAll("fresh\n"));
        QTRY_COMPARE(logLines(m_session.get()).size(), 1);
        QVERIFY(logLines(m_session.get()).first().contains(stampPattern(QLatin1Char('R'))));
        QCOMPARE(m_session->rxCount(), 6ULL);
    }

    void clearLogActionFromTheContextMenu()
    {
        QVERIFY(m_pty->writeAll("some\n"));
        QTRY_VERIFY(!logText(m_session.get()).isEmpty());
        QSignalSpy rx(m_session.get(), &Session::rxCountChanged);
        QVERIFY(
            QMetaObject::invokeMethod(m_session.get(), "showTxtBrwContextMenu", Q_ARG(QPoint, QPoint(5, 5))));
        CMenu* menu = m_session->findChild<CMenu*>();
        QVERIFY(menu);
        QAction* clear = menu->actions().value(0);
        QVERIFY(clear);
        clear->trigger();
        menu->close();
        QCOMPARE(rx.count(), 1);
        QCOMPARE(rx.at(0).at(0).toULongLong(), 0ULL);
        QVERIFY(logText(m_session.get()).isEmpty());
    }

    void timestampsCanBeSwitchedOff()
    {
        m_session->rxSettings()->showTimestampBox()->setChecked(false);
        QVERIFY(m_pty->writeAll("plain\n"));
        QTRY_COMPARE(logText(m_session.get()), QStringLiteral("plain\n"));
    }

    void showLogOffKeepsTheViewQuiet()
    {
        // The capture file proves the formatted text came back to the
        // session: it is written in the same step that feeds the view.
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        AppConfig::LogSavePath = dir.path();
        AppConfig::LogFileName = QStringLiteral("capture.log");
        m_session->rxSettings()->saveToFileBox()->setChecked(true);
        QVERIFY(m_session->logFile()->isOpen());
        QSignalSpy shown(m_session.get(), &Session::stringReceived);
        m_session->rxSettings()->showLogBox()->setChecked(false);
        QVERIFY(m_pty->writeAll("hidden\n"));
        auto captured = [&dir] {
            QFile f(dir.filePath(QStringLiteral("capture.log")));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        QTRY_VERIFY_WITH_TIMEOUT(captured().endsWith("R hidden\n"), 5000);
        QCOMPARE(shown.count(), 0);
        QVERIFY(logText(m_session.get()).isEmpty());
    }

    void bareCarriageReturnLinesAreStamped()
    {
        QVERIFY(m_pty->writeAll("progress 10%\rprogress 50%\r\n"));
        QTRY_COMPARE_WITH_TIMEOUT(logLines(m_session.get()).size(), 2, 5000);
        const QStringList lines = logLines(m_session.get());
        for (const QString& line : lines)
            QVERIFY2(line.contains(stampPattern(QLatin1Char('R'))), qPrintable(line));
        QCOMPARE(unstamped(lines[0]), QStringLiteral("progress 10%"));
        QCOMPARE(unstamped(lines[1]), QStringLiteral("progress 50%"));
    }

    void connectionStatusAndIndicator()
    {
        // A session that opens through its port settings panel.
        QSignalSpy status(m_session.get(), &Session::connectStatusChanged);
        m_session->portManager()->closePort();
        QCOMPARE(status.last().at(0).toString(), QStringLiteral("Disconnect"));
        QVERIFY(!m_session->settingsToggleButton()->indicatorColor().alpha());

        QVERIFY(m_session->openPortAtStart(m_pty->slavePath(), QStringLiteral("57600")));
        QCOMPARE(status.last().at(0).toString(),
                 m_pty->slavePath() + QStringLiteral(", 57600, 8, None, 1, None"));
        QCOMPARE(m_session->settingsToggleButton()->indicatorColor(), QColor(Qt::red));
        QCOMPARE(m_session->portManager()->port()->baudRate(), 57600);

        m_session->paramWidget()->flowControlBox()->setCurrentText(QStringLiteral("Software"));
        QCOMPARE(status.last().at(0).toString(),
                 m_pty->slavePath() + QStringLiteral(", 57600, 8, None, 1, Software"));
        m_session->paramWidget()->flowControlBox()->setCurrentText(QStringLiteral("None"));

        m_session->publishStatus();
        QVERIFY(status.last().at(0).toString().startsWith(m_pty->slavePath()));

        // Data still flows after opening this way.
        QVERIFY(m_pty->writeAll("via panel\n"));
        QTRY_VERIFY(logText(m_session.get()).contains(QStringLiteral("via panel")));
    }

    void openPortAtStartWithAnUnknownPort()
    {
        m_session->portManager()->closePort();
        QSignalSpy messages(m_session.get(), &Session::messageRequested);
        QVERIFY(!m_session->openPortAtStart(QStringLiteral("ttyNoSuchPort42"), QString()));
        QCOMPARE(messages.count(), 1);
        QVERIFY(messages.at(0).at(0).toString().contains(QStringLiteral("ttyNoSuchPort42")));
        QVERIFY(!m_session->portManager()->isOpen());
    }

    void openPortAtStartWithAPathThatIsNoTty()
    {
        m_session->portManager()->closePort();
        QVERIFY(!m_session->openPortAtStart(QStringLiteral("/nonexistent/ttyGone"), QStringLiteral("9600")));
        QVERIFY(!m_session->portManager()->isOpen());
        // The panel reports the failed open itself.
        QTRY_COMPARE(m_dialogs->texts.size(), 1);
        m_dialogs->texts.clear();
    }

    void shutdownClosesThePortAndShowsWhatWasBuffered()
    {
        SerialPortManager* pm = m_session->portManager();
        Session* session = m_session.get();
        QObject ctx;
        connect(
            pm, &SerialPortManager::dataReceived, &ctx, [session](const QByteArray&) { session->shutdown(); },
            Qt::QueuedConnection);
        QVERIFY(m_pty->writeAll("at exit\n"));
        QTRY_VERIFY(!pm->isOpen());
        QTRY_VERIFY(logText(m_session.get()).contains(QStringLiteral("at exit")));
    }

    void destroyedWhileDataFlows()
    {
        QByteArray burst(2048, 'z');
        QVERIFY(m_pty->writeAll(burst));
        QTRY_VERIFY(m_session->rxCount() > 0);
        m_session.reset(); // must neither crash nor hang
    }

    void fastStreamLosesNothing()
    {
        setHex(1);
        qulonglong received = 0;
        connect(m_session.get(), &Session::dataReceived, this,
                [&received](const QByteArray& data, bool, bool, bool, int) { received += data.size(); });
        const QByteArray block(16 * 1024, '\x5A');
        PtyPair* pty = m_pty.get();
        bool ok = true;
        // The pty holds little; the writer blocks until the session reads.
        std::unique_ptr<QThread> writer(QThread::create([pty, &block, &ok] {
            for (int i = 0; i < 64 && ok; ++i)
                ok = pty->writeAll(block);
        }));
        writer->start();
        QTRY_COMPARE_WITH_TIMEOUT(received, qulonglong(64 * block.size()), 20000);
        QVERIFY(writer->wait(5000));
        QVERIFY(ok);
        QCOMPARE(m_session->rxCount(), received);
        // Everything reached the view (no line is dropped below the caps).
        QTRY_COMPARE(logText(m_session.get()).count(QStringLiteral("5A ")), qsizetype(received));
    }
};

QTEST_MAIN(TestSessionReceive)
#include "tst_session_receive.moc"
