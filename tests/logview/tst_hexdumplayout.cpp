// The hexdump -C layout of received bytes: columns, offsets, lines continued
// across chunks, a pause starting a fresh line, widths.
#include "HexDumpLayout.h"

#include <QTest>

namespace {

QString dump(HexDumpLayout& layout, const QByteArray& bytes, int perLine)
{
    QString out;
    layout.append(out, bytes.constData(), bytes.size(), perLine);
    return out;
}

} // namespace

class TestHexDumpLayout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void layout_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("partial line")
            << QByteArray("hello\n")
            << "00000000  68 65 6C 6C 6F 0A                                 |hello.|\n";
        QTest::newRow("two lines, groups")
            << QByteArray("0123456789abcdef\x00\x7f\xff", 19)
            << "00000000  30 31 32 33 34 35 36 37  38 39 61 62 63 64 65 66  |0123456789abcdef|\n"
               "00000010  00 7F FF                                          |...|\n";
    }
    void layout()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        HexDumpLayout l;
        QCOMPARE(dump(l, bytes, 16), expected);
        QCOMPARE(dump(l, QByteArray(), 16), QString());
    }

    // The byte keeps the column its offset gives it: the next chunk continues
    // the unfinished line on a new line of the same offset.
    void chunkContinuesItsLine()
    {
        HexDumpLayout l;
        dump(l, QByteArray("abc"), 16);
        QCOMPARE(
            dump(l, QByteArray("defghijklmnopqrs"), 16),
            QStringLiteral("00000000           64 65 66 67 68  69 6A 6B 6C 6D 6E 6F 70  |   defghijklmnop|\n"
                           "00000010  71 72 73                                          |qrs|\n"));
        QCOMPARE(l.offset(), 19);
    }

    void pauseStartsAFreshLine()
    {
        HexDumpLayout l;
        dump(l, QByteArray("abc"), 8);
        l.newLine();
        QCOMPARE(dump(l, QByteArray("d"), 8), QStringLiteral("00000003  64                       |d|\n"));
        l.reset();
        QCOMPARE(dump(l, QByteArray("e"), 8).left(10), QStringLiteral("00000000  "));
    }

    void everyLineHasTheWidth_data()
    {
        QTest::addColumn<int>("perLine");
        for (int n : {8, 16, 24, 96})
            QTest::addRow("%d", n) << n;
    }
    void everyLineHasTheWidth()
    {
        QFETCH(int, perLine);
        HexDumpLayout l;
        const QStringList lines =
            dump(l, QByteArray(perLine * 3, 'x'), perLine).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        for (const QString& line : lines)
            QCOMPARE(line.size(), HexDumpLayout::lineWidth(perLine));
        QVERIFY(HexDumpLayout::lineWidth(perLine) <= HexDumpLayout::lineWidth(perLine + 8) - 33);
    }

    void bytesPerLineFollowTheWidth_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("expected");
        QTest::newRow("narrow") << 10 << 8;
        QTest::newRow("exactly 16") << HexDumpLayout::lineWidth(16) << 16;
        QTest::newRow("one short of 24") << HexDumpLayout::lineWidth(24) - 1 << 16;
        QTest::newRow("huge") << 100000 << HexDumpLayout::kMaxBytesPerLine;
    }
    void bytesPerLineFollowTheWidth()
    {
        QFETCH(int, columns);
        QFETCH(int, expected);
        QCOMPARE(HexDumpLayout::bytesPerLineForColumns(columns), expected);
    }
};

QTEST_GUILESS_MAIN(TestHexDumpLayout)
#include "tst_hexdumplayout.moc"
