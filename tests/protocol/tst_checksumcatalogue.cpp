#include "ChecksumCatalogue.h"
#include "ProtocolRegistry.h"

#include <QRandomGenerator>
#include <QtTest>

class TestChecksumCatalogue : public QObject
{
    Q_OBJECT

    static quint32 run(const QString& name, const QByteArray& data)
    {
        const ChecksumAlgorithm* algo = ChecksumCatalogue::find(name);
        Q_ASSERT(algo);
        return algo->compute(reinterpret_cast<const quint8*>(data.constData()), qint32(data.size()));
    }

    // Straightforward bit-at-a-time references, independent of the tables.
    static quint32 crcBitwise(const QByteArray& data, int bits, quint32 poly, quint32 init, bool reflected,
                              quint32 xorOut)
    {
        const quint32 top = 1u << (bits - 1);
        const quint32 mask = bits == 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
        quint32 crc = init;
        for (const char ch : data) {
            const quint8 b = quint8(ch);
            if (reflected) {
                crc ^= b;
                for (int i = 0; i < 8; ++i)
                    crc = (crc & 1u) ? (crc >> 1) ^ poly : crc >> 1;
            } else {
                crc ^= quint32(b) << (bits - 8);
                for (int i = 0; i < 8; ++i)
                    crc = (crc & top) ? ((crc << 1) ^ poly) & mask : (crc << 1) & mask;
            }
        }
        return (crc ^ xorOut) & mask;
    }

private Q_SLOTS:
    void checkAndEmptyValues_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("width");
        QTest::addColumn<quint32>("check");
        QTest::addColumn<quint32>("empty");
        QTest::newRow("sum8") << "sum8" << 1 << 0xDDu << 0x00u;
        QTest::newRow("xor8") << "xor8" << 1 << 0x31u << 0x00u;
        QTest::newRow("crc8_itu") << "crc8_itu" << 1 << 0xF4u << 0x00u;
        QTest::newRow("crc8_rohc") << "crc8_rohc" << 1 << 0xD0u << 0xFFu;
        QTest::newRow("crc8_maxim") << "crc8_maxim" << 1 << 0xA1u << 0x00u;
        QTest::newRow("crc16_ccitt") << "crc16_ccitt" << 2 << 0x29B1u << 0xFFFFu;
        QTest::newRow("crc16_modbus") << "crc16_modbus" << 2 << 0x4B37u << 0xFFFFu;
        QTest::newRow("crc16_maxim") << "crc16_maxim" << 2 << 0xBB3Du << 0x0000u;
        QTest::newRow("crc16_usb") << "crc16_usb" << 2 << 0xB4C8u << 0x0000u;
        QTest::newRow("crc32_ieee") << "crc32_ieee" << 4 << 0xCBF43926u << 0x00000000u;
    }

    void checkAndEmptyValues()
    {
        QFETCH(QString, name);
        QFETCH(int, width);
        QFETCH(quint32, check);
        QFETCH(quint32, empty);
        const ChecksumAlgorithm* algo = ProtocolRegistry::checksum(name);
        QVERIFY(algo);
        QCOMPARE(algo->name, name);
        QCOMPARE(algo->width, width);
        QCOMPARE(run(name, QByteArray("123456789")), check);
        QCOMPARE(run(name, QByteArray()), empty);
        // A negative length reads nothing.
        const quint8 junk = 0x42;
        QCOMPARE(algo->compute(&junk, -5), empty);
        QCOMPARE(algo->compute(nullptr, 0), empty);
    }

    void catalogueHoldsExactlyTheTen()
    {
        const auto& map = ProtocolRegistry::checksums();
        QCOMPARE(map.size(), 10);
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            QCOMPARE(it.key(), it->name);
        QCOMPARE(ChecksumCatalogue::names().size(), 10);
        for (const QString& n : ChecksumCatalogue::names())
            QVERIFY(map.contains(n));
    }

    void lookupIsCaseSensitive()
    {
        QVERIFY(ChecksumCatalogue::find(QStringLiteral("crc16_modbus")));
        QVERIFY(!ChecksumCatalogue::find(QStringLiteral("CRC16_MODBUS")));
        QVERIFY(!ChecksumCatalogue::find(QStringLiteral("Sum8")));
        QVERIFY(!ChecksumCatalogue::find(QStringLiteral("default")));
        QVERIFY(!ChecksumCatalogue::find(QString()));
    }

    void modbusVector()
    {
        const QByteArray req = QByteArray::fromHex("01030000000A");
        QCOMPARE(run(QStringLiteral("crc16_modbus"), req), 0xCDC5u);
        QCOMPARE(run(QStringLiteral("crc16_usb"), req), quint32(~0xCDC5u & 0xFFFF));
    }

    // Every length from 0 to 70 and a random block, against bitwise references,
    // so the multi-byte paths of xor8 and CRC-32 are covered at all offsets.
    void tablesMatchBitwiseReferences()
    {
        QRandomGenerator rng(1234);
        QByteArray block(4099, Qt::Uninitialized);
        for (char& c : block)
            c = char(rng.bounded(256));
        QList<QByteArray> inputs;
        for (int n = 0; n <= 70; ++n)
            inputs << block.left(n);
        inputs << block << block.mid(3);
        for (const QByteArray& in : inputs) {
            quint32 sum = 0, x = 0;
            for (const char c : in) {
                sum += quint8(c);
                x ^= quint8(c);
            }
            QCOMPARE(run("sum8", in), sum & 0xFF);
            QCOMPARE(run("xor8", in), x);
            QCOMPARE(run("crc8_itu", in), crcBitwise(in, 8, 0x07, 0x00, false, 0));
            QCOMPARE(run("crc8_rohc", in), crcBitwise(in, 8, 0xE0, 0xFF, true, 0));
            QCOMPARE(run("crc8_maxim", in), crcBitwise(in, 8, 0x8C, 0x00, true, 0));
            QCOMPARE(run("crc16_ccitt", in), crcBitwise(in, 16, 0x1021, 0xFFFF, false, 0));
            QCOMPARE(run("crc16_modbus", in), crcBitwise(in, 16, 0xA001, 0xFFFF, true, 0));
            QCOMPARE(run("crc16_maxim", in), crcBitwise(in, 16, 0xA001, 0x0000, true, 0));
            QCOMPARE(run("crc16_usb", in), crcBitwise(in, 16, 0xA001, 0xFFFF, true, 0xFFFF));
            QCOMPARE(run("crc32_ieee", in), crcBitwise(in, 32, 0xEDB88320u, 0xFFFFFFFFu, true, 0xFFFFFFFFu));
        }
    }

    void resultsStayWithinWidth()
    {
        QRandomGenerator rng(99);
        for (int round = 0; round < 200; ++round) {
            QByteArray in(rng.bounded(1, 40), Qt::Uninitialized);
            for (char& c : in)
                c = char(rng.bounded(256));
            for (const ChecksumAlgorithm& a : ProtocolRegistry::checksums()) {
                const quint32 v =
                    a.compute(reinterpret_cast<const quint8*>(in.constData()), qint32(in.size()));
                if (a.width < 4)
                    QVERIFY2(v >> (8 * a.width) == 0, qPrintable(a.name));
            }
            QCOMPARE(run("crc16_usb", in), ~run("crc16_modbus", in) & 0xFFFFu);
        }
    }
};

QTEST_APPLESS_MAIN(TestChecksumCatalogue)
#include "tst_checksumcatalogue.moc"
