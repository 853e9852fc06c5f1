// cvn_send_hex's text: separators and "0x" prefixes ignored, odd digit counts
// and stray characters refused.

#include "LuaHexText.h"

#include <QtTest>

class TstLuaHexText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("result");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("plain") << QByteArray("AA5501") << int(LuaHexText::Ok)
                               << QByteArray("\xAA\x55\x01", 3);
        QTest::newRow("separators") << QByteArray("aa 55,01-02;03_04\t\r\n\v\f") << int(LuaHexText::Ok)
                                    << QByteArray("\xAA\x55\x01\x02\x03\x04", 6);
        QTest::newRow("prefixes") << QByteArray("0xAA 0X0f") << int(LuaHexText::Ok)
                                  << QByteArray("\xAA\x0F", 2);
        QTest::newRow("empty") << QByteArray() << int(LuaHexText::Ok) << QByteArray();
        QTest::newRow("trailing zero") << QByteArray("0") << int(LuaHexText::OddLength) << QByteArray();
        QTest::newRow("odd") << QByteArray("AA5") << int(LuaHexText::OddLength) << QByteArray("\xAA", 1);
        QTest::newRow("stray") << QByteArray("AA G1") << int(LuaHexText::BadCharacter)
                               << QByteArray("\xAA", 1);
        QTest::newRow("nul") << QByteArray("A\0A", 3) << int(LuaHexText::BadCharacter) << QByteArray();
    }

    void parse()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, result);
        QFETCH(QByteArray, bytes);
        QByteArray out("stale");
        QCOMPARE(int(LuaHexText::parse(text, &out)), result);
        QCOMPARE(out, bytes);
    }
};

QTEST_MAIN(TstLuaHexText)
#include "tst_luahextext.moc"
