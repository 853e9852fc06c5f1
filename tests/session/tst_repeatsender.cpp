#include "RepeatSender.h"

#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

class TestRepeatSender : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void switching_data()
    {
        QTest::addColumn<bool>("on");
        QTest::addColumn<bool>("portOpen");
        QTest::addColumn<bool>("running");
        QTest::addColumn<int>("refused");
        QTest::newRow("on, port open") << true << true << true << 0;
        QTest::newRow("on, port closed") << true << false << false << 1;
        QTest::newRow("off, port open") << false << true << false << 0;
        QTest::newRow("off, port closed") << false << false << false << 0;
    }
    void switching()
    {
        QFETCH(bool, on);
        QFETCH(bool, portOpen);
        QFETCH(bool, running);
        QFETCH(int, refused);
        RepeatSender sender(1000);
        QSignalSpy refusals(&sender, &RepeatSender::refused);
        sender.setEnabled(on, portOpen);
        QCOMPARE(sender.isActive(), running);
        QCOMPARE(refusals.count(), refused);
        if (running) {
            sender.setEnabled(false, portOpen);
            QVERIFY(!sender.isActive());
        }
    }

    void ticksUntilStoppedAndTakesANewInterval()
    {
        RepeatSender sender(10);
        QSignalSpy due(&sender, &RepeatSender::due);
        sender.setEnabled(true, true);
        QTRY_VERIFY(due.count() >= 3);

        // A new interval applies to the running timer; set while stopped it
        // waits for the next start.
        sender.setInterval(40);
        QVERIFY(sender.isActive());
        QCOMPARE(sender.timer()->interval(), 40);
        sender.stop();
        sender.setInterval(15);
        QVERIFY(!sender.isActive());
        sender.setEnabled(true, true);
        QCOMPARE(sender.timer()->interval(), 15);

        sender.stop();
        const int seen = int(due.count());
        QTest::qWait(50);
        QCOMPARE(int(due.count()), seen);
    }
};

QTEST_GUILESS_MAIN(TestRepeatSender)
#include "tst_repeatsender.moc"
