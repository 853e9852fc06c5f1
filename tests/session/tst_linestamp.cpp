#include "LinePrefixer.h"
#include "LineStamp.h"

#include <QtTest>

class TestLineStamp : public QObject
{
    Q_OBJECT

    static QDateTime at(int secs, int ms)
    {
        return QDateTime(QDate(2026, 3, 9), QTime(14, 5, secs, ms), Qt::OffsetFromUTC, 3600);
    }

private Q_SLOTS:
    void formats_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QStringList>("stamps"); // lines at :01.250, :01.250, :03.007
        QTest::newRow("time of day") << int(LineStamp::TimeOfDay)
                                     << QStringList{"[2026-03-09 14:05:01.250]", "[2026-03-09 14:05:01.250]",
                                                    "[2026-03-09 14:05:03.007]"};
        QTest::newRow("ISO 8601") << int(LineStamp::Iso8601)
                                  << QStringList{"[2026-03-09T14:05:01.250+01:00]",
                                                 "[2026-03-09T14:05:01.250+01:00]",
                                                 "[2026-03-09T14:05:03.007+01:00]"};
        QTest::newRow("since open") << int(LineStamp::SinceOpen)
                                    << QStringList{"[     1.250]", "[     1.250]", "[     3.007]"};
        QTest::newRow("delta") << int(LineStamp::Delta) << QStringList{"[+0.000]", "[+0.000]", "[+1.757]"};
        QTest::newRow("out of range is time of day")
            << 9
            << QStringList{"[2026-03-09 14:05:01.250]", "[2026-03-09 14:05:01.250]",
                           "[2026-03-09 14:05:03.007]"};
    }
    void formats()
    {
        QFETCH(int, format);
        QFETCH(QStringList, stamps);
        LineStamp stamp;
        stamp.setFormat(format);
        stamp.markOpened(at(0, 0));
        QCOMPARE(stamp.stamp(at(1, 250)), stamps.at(0));
        QCOMPARE(stamp.stamp(at(1, 250)), stamps.at(1));
        QCOMPARE(stamp.stamp(at(3, 7)), stamps.at(2));
    }

    void deltaNeverGoesNegativeAndStartsOverAtOpen()
    {
        LineStamp stamp;
        stamp.setFormat(LineStamp::Delta);
        QCOMPARE(stamp.stamp(at(5, 0)), QStringLiteral("[+0.000]"));
        QCOMPARE(stamp.stamp(at(4, 0)), QStringLiteral("[+0.000]")); // clock set back
        QCOMPARE(stamp.stamp(at(4, 500)), QStringLiteral("[+0.500]"));
        stamp.markOpened(at(10, 0));
        QCOMPARE(stamp.stamp(at(12, 0)), QStringLiteral("[+0.000]"));
    }

    // The room a line's stamp needs is the length of the stamp itself; asking
    // for it leaves the delta's previous line alone.
    void width_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<int>("width");
        const QDateTime utc(QDate(2026, 3, 9), QTime(14, 5, 1, 250), Qt::UTC);
        QTest::newRow("time of day") << int(LineStamp::TimeOfDay) << at(1, 250) << 25;
        QTest::newRow("ISO 8601 with offset") << int(LineStamp::Iso8601) << at(1, 250) << 31;
        QTest::newRow("ISO 8601 in UTC") << int(LineStamp::Iso8601) << utc << 26;
        QTest::newRow("since open") << int(LineStamp::SinceOpen) << at(3, 7) << 12;
        QTest::newRow("since open, days later") << int(LineStamp::SinceOpen) << at(0, 0).addDays(20) << 13;
        QTest::newRow("delta") << int(LineStamp::Delta) << at(3, 7) << 8;
        QTest::newRow("delta after a long gap") << int(LineStamp::Delta) << at(0, 0).addSecs(125) << 10;
    }
    void width()
    {
        QFETCH(int, format);
        QFETCH(QDateTime, when);
        QFETCH(int, width);
        LineStamp stamp;
        stamp.setFormat(format);
        stamp.markOpened(at(0, 0));
        stamp.stamp(at(1, 250));
        QCOMPARE(stamp.width(when), width);
        QCOMPARE(stamp.stamp(when).size(), width);
    }

    // Each line asks for its own stamp as it starts, also across pieces.
    void prefixerAsksOncePerLine()
    {
        LinePrefixer prefixer;
        int asked = 0;
        const std::function<QString()> next = [&asked] { return QStringLiteral("<%1>").arg(++asked); };
        QCOMPARE(prefixer.apply(QStringLiteral("a\nb"), next), QStringLiteral("<1>a\n<2>b"));
        QCOMPARE(prefixer.apply(QStringLiteral("c\r\nd\n"), next), QStringLiteral("c\n<3>d\n"));
        QCOMPARE(prefixer.apply(QStringLiteral("e"), next), QStringLiteral("<4>e"));
        QCOMPARE(asked, 4);
    }
};

QTEST_GUILESS_MAIN(TestLineStamp)
#include "tst_linestamp.moc"
