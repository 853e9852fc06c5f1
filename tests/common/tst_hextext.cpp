#include "HexText.h"

#include <QtTest>

namespace {
QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}
} // namespace

class TestHexText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fromHexInput_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("spaced") << QStringLiteral("11 22 33") << bytes({0x11, 0x22, 0x33});
        QTest::newRow("packed") << QStringLiteral("1122334455") << bytes({0x11, 0x22, 0x33, 0x44, 0x55});
        QTest::newRow("high digit first") << QStringLiteral("A5 5A") << bytes({0xA5, 0x5A});
        QTest::newRow("lower and mixed case") << QStringLiteral("ab Cd eF") << bytes({0xAB, 0xCD, 0xEF});
        QTest::newRow("all byte values") << QStringLiteral("00 7F 80 FF") << bytes({0x00, 0x7F, 0x80, 0xFF});
        QTest::newRow("odd last char ignored") << QStringLiteral("11223") << bytes({0x11, 0x22});
        QTest::newRow("odd last char per group") << QStringLiteral("112 334 5") << bytes({0x11, 0x33});
        QTest::newRow("0x prefixes") << QStringLiteral("0x11 0x22") << bytes({0x11, 0x22});
        QTest::newRow("0X prefix packed") << QStringLiteral("0X1122") << bytes({0x11, 0x22});
        QTest::newRow("non-hex pairs skipped") << QStringLiteral("GG 11 zz 22") << bytes({0x11, 0x22});
        QTest::newRow("half-hex pair skipped") << QStringLiteral("1G 2H 33") << bytes({0x33});
        QTest::newRow("non-hex inside group") << QStringLiteral("11GG22") << bytes({0x11, 0x22});
        QTest::newRow("punctuation") << QStringLiteral("11,22;33") << bytes({0x11, 0x33});
        QTest::newRow("single char") << QStringLiteral("1") << QByteArray();
        QTest::newRow("single char padded") << QStringLiteral("   F  ") << QByteArray();
        QTest::newRow("one-char groups") << QStringLiteral("1 2 3") << QByteArray();
        QTest::newRow("empty") << QString() << QByteArray();
        QTest::newRow("only spaces") << QStringLiteral(" \t\n ") << QByteArray();
        QTest::newRow("whitespace runs")
            << QStringLiteral("\t 11 \n\n 22\t\t33  \r\n") << bytes({0x11, 0x22, 0x33});
        QTest::newRow("full-width chars") << QStringLiteral("１１ 22") << bytes({0x22});
        QTest::newRow("non-latin text") << QStringLiteral("你好 AB") << bytes({0xAB});
    }

    void fromHexInput()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, expected);
        QCOMPARE(HexText::fromHexInput(text), expected);
    }

    void fromHexInputLongText()
    {
        QString text;
        QByteArray expected;
        for (int i = 0; i < 4096; ++i) {
            const int b = (i * 37) & 0xFF;
            text += QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0'));
            text += (i % 5 == 0) ? QStringLiteral("  \n") : QStringLiteral(" ");
            expected.append(char(b));
        }
        QCOMPARE(HexText::fromHexInput(text), expected);
    }

    void toDisplay()
    {
        QCOMPARE(HexText::toDisplay(QByteArray()), QString());
        QCOMPARE(HexText::toDisplay(bytes({0x00})), QStringLiteral("00 "));
        QCOMPARE(HexText::toDisplay(bytes({0x00, 0xAB, 0x0F, 0xFF, 0x7a})),
                 QStringLiteral("00 AB 0F FF 7A "));
        QCOMPARE(HexText::toDisplay(QByteArray("\r\n", 2)), QStringLiteral("0D 0A "));
        // Every byte value round-trips through display and input.
        QByteArray all;
        for (int i = 0; i < 256; ++i)
            all.append(char(i));
        const QString shown = HexText::toDisplay(all);
        QCOMPARE(shown.size(), 256 * 3);
        QCOMPARE(HexText::fromHexInput(shown), all);
        QCOMPARE(shown, shown.toUpper());
    }

    void appendDisplayAppends()
    {
        QString out = QStringLiteral("[12:00:00.000] ");
        const QByteArray data = bytes({0xDE, 0xAD, 0xBE, 0xEF});
        HexText::appendDisplay(out, data.constData(), 2);
        QCOMPARE(out, QStringLiteral("[12:00:00.000] DE AD "));
        HexText::appendDisplay(out, data.constData() + 2, 2);
        QCOMPARE(out, QStringLiteral("[12:00:00.000] DE AD BE EF "));
        HexText::appendDisplay(out, data.constData(), 0);
        QCOMPARE(out, QStringLiteral("[12:00:00.000] DE AD BE EF "));
    }

    void dump_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("perLine");
        QTest::addColumn<QString>("expected");

        QTest::newRow("empty") << QByteArray() << 16 << QString();
        QTest::newRow("one byte") << bytes({0x0A}) << 16 << QStringLiteral("0A");
        QTest::newRow("no trailing separator") << bytes({1, 2, 3}) << 16 << QStringLiteral("01 02 03");
        QTest::newRow("wrap at 4") << bytes({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}) << 4
                                   << QStringLiteral("00 01 02 03\n04 05 06 07\n08 09");
        QTest::newRow("exact multiple, no trailing newline")
            << bytes({0, 1, 2, 3, 4, 5, 6, 7}) << 4 << QStringLiteral("00 01 02 03\n04 05 06 07");
        QTest::newRow("one per line") << bytes({0xAA, 0xBB, 0xCC}) << 1 << QStringLiteral("AA\nBB\nCC");
        QTest::newRow("upper case") << bytes({0xab, 0xcd}) << 8 << QStringLiteral("AB CD");
    }

    void dump()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, perLine);
        QFETCH(QString, expected);
        QCOMPARE(HexText::dump(data, perLine), expected);
    }

    void dumpNonPositivePerLineUsesSixteen()
    {
        QByteArray data;
        for (int i = 0; i < 20; ++i)
            data.append(char(i));
        const QString sixteen = HexText::dump(data, 16);
        QCOMPARE(sixteen, QStringLiteral("00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\n10 11 12 13"));
        QCOMPARE(HexText::dump(data, 0), sixteen);
        QCOMPARE(HexText::dump(data, -3), sixteen);
    }

    void dumpLineLengths()
    {
        QByteArray data(100, '\x5A');
        for (int perLine : {16, 32, 48, 96}) {
            const QStringList lines = HexText::dump(data, perLine).split(QLatin1Char('\n'));
            QCOMPARE(lines.size(), (100 + perLine - 1) / perLine);
            for (int i = 0; i < lines.size() - 1; ++i)
                QCOMPARE(lines.at(i).size(), perLine * 3 - 1);
            const int rest = 100 - perLine * (int(lines.size()) - 1);
            QCOMPARE(lines.last().size(), rest * 3 - 1);
        }
    }

    void isCleanHexInput()
    {
        QVERIFY(HexText::isCleanHexInput(QString()));
        QVERIFY(HexText::isCleanHexInput(QStringLiteral("11 22\tab\nCD")));
        QVERIFY(!HexText::isCleanHexInput(QStringLiteral("0x11")));
        QVERIFY(!HexText::isCleanHexInput(QStringLiteral("11 G2")));
        QVERIFY(!HexText::isCleanHexInput(QStringLiteral("11,22")));
    }
};

QTEST_GUILESS_MAIN(TestHexText)
#include "tst_hextext.moc"
