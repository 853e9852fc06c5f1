#include "ModemLines.h"
#include "PtyPair.h"
#include "SerialPortManager.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// Pseudo-terminals have no modem lines and no break, so the port manager's
// four line operations are the seam: this manager opens a real pty and
// records what the lines were asked to do, and reports status lines the
// test sets.
class LineRecorder : public SerialPortManager
{
public:
    struct Call
    {
        QString what;
        bool on;
        qint64 atMs;
    };
    QList<Call> calls;
    QSerialPort::PinoutSignals status = QSerialPort::NoSignal;
    bool statusReadable = true;
    int polls = 0;
    QElapsedTimer clock;

    LineRecorder() { clock.start(); }
    bool setDataTerminalReady(bool on) override { return record(QStringLiteral("DTR"), on); }
    bool setRequestToSend(bool on) override { return record(QStringLiteral("RTS"), on); }
    bool setBreakEnabled(bool on) override { return record(QStringLiteral("BREAK"), on); }
    QSerialPort::PinoutSignals pinoutSignals(bool* ok) override
    {
        ++polls;
        if (ok)
            *ok = isOpen() && statusReadable;
        return statusReadable ? status : QSerialPort::NoSignal;
    }
    // "DTR=0 RTS=1 ..." in call order.
    QString trace() const
    {
        QStringList out;
        for (const Call& c : calls)
            out << c.what + QLatin1Char('=') + QLatin1Char(c.on ? '1' : '0');
        return out.join(QLatin1Char(' '));
    }

private:
    bool record(const QString& what, bool on)
    {
        if (!isOpen())
            return false;
        calls << Call{what, on, clock.elapsed()};
        return true;
    }
};

class TestModemLines : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_links = 0;
    QString nextLink() { return m_dir.filePath(QStringLiteral("tty%1").arg(++m_links)); }
    bool open(SerialPortManager& m, PtyPair& pty)
    {
        return (pty.isOpen() || pty.open(nextLink())) &&
               m.openPort(pty.path(), "115200", "8", "None", "1", "None");
    }

private Q_SLOTS:
    void wantedLinesComeBackAtEveryOpen()
    {
        LineRecorder m;
        ModemLines lines(&m);
        lines.setDataTerminalReady(false); // closed: only remembered
        QVERIFY(m.calls.isEmpty());
        PtyPair pty;
        QVERIFY(open(m, pty));
        QCOMPARE(m.trace(), QStringLiteral("DTR=0 RTS=1"));
        lines.setRequestToSend(false);
        QCOMPARE(m.trace(), QStringLiteral("DTR=0 RTS=1 RTS=0"));
        // A reconnect is a close and a new open: the same states again.
        m.closePort();
        m.calls.clear();
        QVERIFY(open(m, pty));
        QCOMPARE(m.trace(), QStringLiteral("DTR=0 RTS=0"));
    }

    void statusIsPolledOnlyWhileOpen()
    {
        LineRecorder m;
        ModemLines lines(&m);
        QSignalSpy changed(&lines, &ModemLines::pinoutChanged);
        QTest::qWait(3 * ModemLines::kPollMs);
        QCOMPARE(m.polls, 0);
        QVERIFY(!lines.isPolling());

        PtyPair pty;
        QVERIFY(open(m, pty));
        QVERIFY(lines.isPolling());
        QVERIFY(lines.statusAvailable());
        m.status = QSerialPort::ClearToSendSignal | QSerialPort::RingIndicatorSignal;
        QTRY_COMPARE_WITH_TIMEOUT(lines.pinout(), m.status, 2000);
        QCOMPARE(changed.count(), 1);
        const int before = m.polls;
        QTRY_VERIFY_WITH_TIMEOUT(m.polls >= before + 3, 2000);

        m.closePort();
        QVERIFY(!lines.isPolling());
        QCOMPARE(lines.pinout(), QSerialPort::PinoutSignals(QSerialPort::NoSignal));
        QVERIFY(!lines.statusAvailable());
        const int atClose = m.polls;
        QTest::qWait(3 * ModemLines::kPollMs);
        QCOMPARE(m.polls, atClose);
    }

    void unreadableStatusStopsPolling()
    {
        LineRecorder m;
        m.statusReadable = false;
        ModemLines lines(&m);
        PtyPair pty;
        QVERIFY(open(m, pty));
        QVERIFY(!lines.statusAvailable());
        QVERIFY(!lines.isPolling());
        const int polls = m.polls;
        QTest::qWait(3 * ModemLines::kPollMs);
        QCOMPARE(m.polls, polls);
    }

    void pulseResetsThenRestoresTheUsersLines()
    {
        LineRecorder m;
        ModemLines lines(&m);
        QVERIFY(!lines.pulse()); // closed
        PtyPair pty;
        QVERIFY(open(m, pty));
        lines.setPulseMs(120);
        m.calls.clear();
        QSignalSpy active(&lines, &ModemLines::pulseActiveChanged);
        QVERIFY(lines.pulse());
        QVERIFY(!lines.pulse()); // one at a time
        QCOMPARE(m.trace(), QStringLiteral("DTR=0 RTS=1"));
        QTRY_COMPARE_WITH_TIMEOUT(active.count(), 2, 3000);
        QCOMPARE(m.trace(), QStringLiteral("DTR=0 RTS=1 DTR=1 RTS=1"));
        QVERIFY(m.calls.at(2).atMs - m.calls.at(0).atMs >= 115);
    }

    void breakHoldsForItsLength()
    {
        LineRecorder m;
        ModemLines lines(&m);
        QCOMPARE(lines.breakMs(), 250);
        QVERIFY(!lines.sendBreak()); // closed
        PtyPair pty;
        QVERIFY(open(m, pty));
        m.calls.clear();
        QSignalSpy active(&lines, &ModemLines::breakActiveChanged);
        QVERIFY(lines.sendBreak());
        QVERIFY(lines.isBreaking());
        QTRY_COMPARE_WITH_TIMEOUT(active.count(), 2, 3000);
        QCOMPARE(m.trace(), QStringLiteral("BREAK=1 BREAK=0"));
        QVERIFY(m.calls.at(1).atMs - m.calls.at(0).atMs >= 245);
    }

    void closingEndsBreakAndPulse()
    {
        LineRecorder m;
        ModemLines lines(&m);
        PtyPair pty;
        QVERIFY(open(m, pty));
        QVERIFY(lines.sendBreak());
        QVERIFY(lines.pulse());
        m.closePort();
        QVERIFY(!lines.isBreaking());
        QVERIFY(!lines.isPulsing());
        // A new open may break again at once.
        QVERIFY(open(m, pty));
        QVERIFY(lines.sendBreak());
    }

    void lengthsAreClamped_data()
    {
        QTest::addColumn<int>("asked");
        QTest::addColumn<int>("pulse");
        QTest::addColumn<int>("brk");
        QTest::newRow("negative") << -5 << ModemLines::kMinPulseMs << ModemLines::kMinBreakMs;
        QTest::newRow("usual") << 300 << 300 << 300;
        QTest::newRow("huge") << 1000000 << ModemLines::kMaxPulseMs << ModemLines::kMaxBreakMs;
    }
    void lengthsAreClamped()
    {
        QFETCH(int, asked);
        ModemLines lines(nullptr);
        lines.setPulseMs(asked);
        lines.setBreakMs(asked);
        QTEST(lines.pulseMs(), "pulse");
        QTEST(lines.breakMs(), "brk");
    }

    // The real line operations on a pty, which has none of them: the port
    // must stay open and no port error may reach the panel (which would
    // close the port and show a message).
    void missingLinesNeverCloseThePort()
    {
        SerialPortManager m;
        PtyPair pty;
        QVERIFY(open(m, pty));
        QSignalSpy errors(&m, &SerialPortManager::errorOccurred);
        ModemLines lines(&m);
        lines.setDataTerminalReady(false);
        lines.setRequestToSend(false);
        lines.poll();
        lines.sendBreak();
        QTest::qWait(3 * ModemLines::kPollMs);
        QVERIFY(m.isOpen());
        QCOMPARE(errors.count(), 0);
        // Data still flows.
        QSignalSpy rx(&m, &SerialPortManager::dataReceived);
        QVERIFY(pty.writeAll("ok"));
        QVERIFY(rx.wait(3000));
    }
};

QTEST_GUILESS_MAIN(TestModemLines)
#include "tst_modemlines.moc"
