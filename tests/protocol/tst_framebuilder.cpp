#include "FrameBuilder.h"
#include "ProtocolFileReader.h"
#include "ProtocolRegistry.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

namespace {
QByteArray wrap(const QByteArray& fields)
{
    return "{\"name\":\"P\",\"fields\":[" + fields + "]}";
}
} // namespace

class TestFrameBuilder : public QObject
{
    Q_OBJECT

    static FrameProtocol load(const QByteArray& json)
    {
        QString error;
        const auto p = ProtocolFileReader::parseJson(json, &error);
        if (!p)
            qWarning() << "unexpected load failure" << error;
        return p.value_or(FrameProtocol{});
    }
    // Frame as lower-case hex, or "error: <message>".
    static QString build(const QByteArray& json, const FieldValues& values = {})
    {
        QString error = QStringLiteral("<untouched>");
        const QByteArray frame = ProtocolRegistry::buildFrame(load(json), values, &error);
        if (frame.isEmpty() && error != QLatin1String("<untouched>"))
            return QStringLiteral("error: ") + error;
        if (error != QLatin1String("<untouched>"))
            return QStringLiteral("error string touched on success: ") + error;
        return QString::fromLatin1(frame.toHex(' '));
    }

private Q_SLOTS:
    void exampleFrame()
    {
        const QByteArray json = wrap(R"({"name":"head","type":"constant","value":"AA 55","order":0},
            {"name":"len","type":"length_field","width":1,"over":["data"],"order":1},
            {"name":"data","type":"hex","order":2},
            {"name":"sum","type":"crc","algorithm":"sum8","over":["*"],"order":3})");
        QCOMPARE(build(json, {{"data", "01 02 03"}}), QStringLiteral("aa 55 03 01 02 03 08"));
    }

    void errorPointerMayBeNull()
    {
        const FrameProtocol p = load(wrap(R"({"name":"x","type":"hex","length":2})"));
        QVERIFY(ProtocolRegistry::buildFrame(p, {{"x", "01"}}, nullptr).isEmpty());
        QCOMPARE(ProtocolRegistry::buildFrame(p, {{"x", "01 02"}}, nullptr), QByteArray::fromHex("0102"));
    }

    void hexLengthMismatch()
    {
        const QByteArray json = wrap(R"({"name":"x","type":"hex","length":2})");
        QCOMPARE(build(json, {{"x", "01 02 03"}}), QStringLiteral("error: Field 'x' expects 2 bytes, got 3"));
        QCOMPARE(build(json, {{"x", ""}}), QStringLiteral("error: Field 'x' expects 2 bytes, got 0"));
        QCOMPARE(build(json, {{"x", "0102"}}), QStringLiteral("01 02"));
        // Stray characters do not fail by themselves; the converter drops the pair.
        QCOMPARE(build(json, {{"x", "01 zz 02"}}), QStringLiteral("01 02"));
    }

    // A field name is user text: a "%1" inside it must reach the message as
    // written, and the numbers must still land in their own places.
    void namesWithPlaceholdersKeepMessagesIntact_data()
    {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("hex length") << QByteArray(R"({"name":"x%1","type":"hex","length":2})") << "01 02 03"
                                    << "error: Field 'x%1' expects 2 bytes, got 3";
        QTest::newRow("bits max") << QByteArray(R"({"name":"%2%1","type":"bits","bitWidth":4})") << "0x10"
                                  << "error: Field '%2%1': value 16 exceeds 4-bit max (15)";
    }

    void namesWithPlaceholdersKeepMessagesIntact()
    {
        QFETCH(QByteArray, field);
        QFETCH(QString, value);
        QFETCH(QString, expected);
        const QString name = QJsonDocument::fromJson(field).object().value(QLatin1String("name")).toString();
        QCOMPARE(build(wrap(field), {{name, value}}), expected);
    }

    void hexDefaultUsedOnlyWhenKeyMissing()
    {
        const QByteArray json = wrap(R"({"name":"x","type":"hex","default":"ab cd"})");
        QCOMPARE(build(json), QStringLiteral("ab cd"));
        QCOMPARE(build(json, {{"x", "01"}}), QStringLiteral("01"));
    }

    void constantIgnoresValues()
    {
        QCOMPARE(build(wrap(R"({"name":"c","type":"constant","value":"de ad"})"), {{"c", "01"}}),
                 QStringLiteral("de ad"));
    }

    void bitsValues_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("endian");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("4-bit too big") << 4 << "little"
                                       << "0x10"
                                       << "error: Field 'x': value 16 exceeds 4-bit max (15)";
        QTest::newRow("4-bit empty") << 4 << "little"
                                     << ""
                                     << "00";
        QTest::newRow("4-bit blank") << 4 << "little"
                                     << "   "
                                     << "00";
        QTest::newRow("4-bit max") << 4 << "little"
                                   << "0x0F"
                                   << "0f";
        QTest::newRow("12 little") << 12 << "little"
                                   << "0xABC"
                                   << "bc 0a";
        QTest::newRow("12 big") << 12 << "big"
                                << "0xabc"
                                << "0a bc";
        QTest::newRow("12 upper prefix") << 12 << "big"
                                         << " 0XaBc "
                                         << "0a bc";
        QTest::newRow("decimal") << 16 << "big"
                                 << "1000"
                                 << "03 e8";
        QTest::newRow("digits then letters") << 16 << "big"
                                             << "12ab"
                                             << "error: Field 'x': invalid value '12ab'";
        QTest::newRow("hex letters") << 16 << "big"
                                     << "0x12ab"
                                     << "12 ab";
        QTest::newRow("bare prefix") << 16 << "big"
                                     << "0x"
                                     << "error: Field 'x': invalid value '0x'";
        QTest::newRow("negative") << 16 << "big"
                                  << "-1"
                                  << "error: Field 'x': invalid value '-1'";
        QTest::newRow("plus") << 16 << "big"
                              << "+1"
                              << "error: Field 'x': invalid value '+1'";
        QTest::newRow("double prefix") << 16 << "big"
                                       << "0x0x1"
                                       << "error: Field 'x': invalid value '0x0x1'";
        QTest::newRow("inner space") << 16 << "big"
                                     << "1 2"
                                     << "error: Field 'x': invalid value '1 2'";
        QTest::newRow("64-bit max") << 64 << "big"
                                    << "18446744073709551615"
                                    << "ff ff ff ff ff ff ff ff";
        QTest::newRow("64-bit overflow") << 64 << "big"
                                         << "18446744073709551616"
                                         << "error: Field 'x': invalid value '18446744073709551616'";
        QTest::newRow("64-bit hex overflow") << 64 << "big"
                                             << "0x10000000000000000"
                                             << "error: Field 'x': invalid value '0x10000000000000000'";
        QTest::newRow("72-bit") << 72 << "big"
                                << "0xFFFFFFFFFFFFFFFF"
                                << "00 ff ff ff ff ff ff ff ff";
        QTest::newRow("72-bit little") << 72 << "little"
                                       << "1"
                                       << "01 00 00 00 00 00 00 00 00";
        QTest::newRow("zero width, zero") << 0 << "big"
                                          << "0"
                                          << "";
        QTest::newRow("zero width, one") << 0 << "big"
                                         << "1"
                                         << "error: Field 'x': value 1 exceeds 0-bit max (0)";
        QTest::newRow("negative width") << -5 << "big"
                                        << "1"
                                        << "error: Field 'x': value 1 exceeds -5-bit max (0)";
        QTest::newRow("1-bit") << 1 << "big"
                               << "1"
                               << "01";
    }

    void bitsValues()
    {
        QFETCH(int, width);
        QFETCH(QString, endian);
        QFETCH(QString, value);
        QFETCH(QString, expected);
        const QByteArray json = wrap(QStringLiteral(R"({"name":"x","type":"bits","bitWidth":%1,"endian":"%2"},
                                                      {"name":"t","type":"constant","value":"EE"})")
                                         .arg(width)
                                         .arg(endian)
                                         .toUtf8());
        QString got = build(json, {{"x", value}});
        if (!got.startsWith("error"))
            got = got.chopped(2).trimmed(); // the trailing constant proves nothing was lost
        QCOMPARE(got, expected);
    }

    void bitGroupPacking()
    {
        const QByteArray json = wrap(R"({"name":"g","type":"bit_group","width":1,"bitFields":[
            {"name":"a","bitWidth":3},{"name":"b","bitWidth":5}]})");
        QCOMPARE(build(json, {{"g.a", "5"}, {"g.b", "3"}}), QStringLiteral("1d"));
        QCOMPARE(build(json, {{"g.a", ""}, {"g.b", ""}}), QStringLiteral("00"));
        QCOMPARE(build(json, {{"g.a", "8"}}),
                 QStringLiteral("error: Field 'g.a': value 8 exceeds 3-bit max (7)"));
        QCOMPARE(build(json, {{"g.b", "z"}}), QStringLiteral("error: Field 'g.b': invalid value 'z'"));
        // The group name alone is not a key of its sub-fields.
        QCOMPARE(build(json, {{"a", "7"}, {"g", "ff"}}), QStringLiteral("00"));
    }

    void bitGroupDefaultsAndOrder()
    {
        const QByteArray json = wrap(R"({"name":"g","type":"bit_group","width":2,"endian":"big","bitFields":[
            {"name":"lo","bitWidth":4,"default":"0xA"},{"name":"hi","bitWidth":8,"default":"0x5B"}]})");
        QCOMPARE(build(json), QStringLiteral("05 ba"));
        const QByteArray little = QByteArray(json).replace("\"big\"", "\"little\"");
        QCOMPARE(build(little), QStringLiteral("ba 05"));
    }

    void bitGroupOutsideTheAccumulator()
    {
        // 70-bit sub-field at offset 0, then one at offset 70 (dropped), then a
        // negative width moving the offset back below zero (dropped too).
        const QByteArray json = wrap(R"({"name":"g","type":"bit_group","width":10,"endian":"big","bitFields":[
            {"name":"w","bitWidth":70},{"name":"x","bitWidth":-80},{"name":"y","bitWidth":4}]})");
        QCOMPARE(build(json, {{"g.w", "0xFF"}, {"g.x", "0"}, {"g.y", "0"}}),
                 QStringLiteral("00 00 00 00 00 00 00 00 00 ff"));
        QCOMPARE(build(json, {{"g.w", "1"}, {"g.x", "0"}, {"g.y", "15"}}),
                 QStringLiteral("00 00 00 00 00 00 00 00 00 01"));
        QCOMPARE(build(json, {{"g.x", "1"}}),
                 QStringLiteral("error: Field 'g.x': value 1 exceeds -80-bit max (0)"));
    }

    void bitGroupZeroWidthWritesNothing()
    {
        const QByteArray json = wrap(R"({"name":"g","type":"bit_group","width":0,"bitFields":[{"name":"a"}]},
            {"name":"n","type":"bit_group","width":-4},{"name":"t","type":"constant","value":"01"})");
        QCOMPARE(build(json, {{"g.a", "1"}}), QStringLiteral("01"));
    }

    void lengthBeforeChecksumCountsZero()
    {
        const QByteArray json = wrap(R"({"name":"len","type":"length_field","width":1,"over":["d","c"]},
            {"name":"d","type":"hex"},{"name":"c","type":"crc","algorithm":"crc16_modbus"})");
        QCOMPARE(build(json, {{"d", "01 02"}}), QStringLiteral("02 01 02 ff ff"));
        // After the checksum it counts it.
        const QByteArray after =
            wrap(R"({"name":"d","type":"hex"},{"name":"c","type":"crc","algorithm":"xor8",
            "over":["d"]},{"name":"len","type":"length_field","width":2,"endian":"little","over":["d","c"]})");
        QCOMPARE(build(after, {{"d", "01 02"}}), QStringLiteral("01 02 03 03 00"));
    }

    void checksumOverOrder()
    {
        const QByteArray ab = wrap(R"({"name":"a","type":"hex"},{"name":"b","type":"hex"},
            {"name":"c","type":"crc","algorithm":"crc16_ccitt","over":["b","a"]})");
        const FieldValues values{{"a", "01"}, {"b", "02"}};
        const quint32 expected =
            ProtocolRegistry::checksum("crc16_ccitt")->compute((const quint8*)"\x02\x01", 2);
        QCOMPARE(build(ab, values), QStringLiteral("01 02 %1 %2")
                                        .arg(expected >> 8, 2, 16, QChar('0'))
                                        .arg(expected & 0xFF, 2, 16, QChar('0')));
        const quint32 wrong =
            ProtocolRegistry::checksum("crc16_ccitt")->compute((const quint8*)"\x01\x02", 2);
        QVERIFY(expected != wrong);
    }

    void checksumCoversEarlierChecksum()
    {
        const QByteArray json = wrap(R"({"name":"a","type":"hex"},
            {"name":"c1","type":"crc","algorithm":"xor8","over":["a"]},
            {"name":"c2","type":"crc","algorithm":"sum8","over":["*"]})");
        QCOMPARE(build(json, {{"a", "01 02"}}), QStringLiteral("01 02 03 06"));
    }

    void modbusLittleEndianOutput()
    {
        const QByteArray json = wrap(R"({"name":"pdu","type":"hex"},
            {"name":"crc","type":"crc","algorithm":"crc16_modbus","output":"little","over":["*"]})");
        QCOMPARE(build(json, {{"pdu", "01 03 00 00 00 0A"}}), QStringLiteral("01 03 00 00 00 0a c5 cd"));
        QCOMPARE(build(QByteArray(json).replace("little", "big"), {{"pdu", "01 03 00 00 00 0A"}}),
                 QStringLiteral("01 03 00 00 00 0a cd c5"));
    }

    void wideLengthField()
    {
        const QByteArray json = wrap(R"({"name":"len","type":"length_field","width":10,"over":["d"]},
            {"name":"d","type":"hex"})");
        QCOMPARE(build(json, {{"d", "aa"}}), QStringLiteral("00 00 00 00 00 00 00 00 00 01 aa"));
        QCOMPARE(build(QByteArray(json).replace("\"width\":10", "\"width\":10,\"endian\":\"little\""),
                       {{"d", "aa"}}),
                 QStringLiteral("01 00 00 00 00 00 00 00 00 00 aa"));
        QCOMPARE(build(QByteArray(json).replace("\"width\":10", "\"width\":0"), {{"d", "aa"}}),
                 QStringLiteral("aa"));
        QCOMPARE(build(QByteArray(json).replace("\"width\":10", "\"width\":-1"), {{"d", "aa"}}),
                 QStringLiteral("aa"));
    }

    void firstFailureWins()
    {
        const QByteArray json =
            wrap(R"({"name":"a","type":"bits","bitWidth":2},{"name":"b","type":"hex","length":1})");
        QCOMPARE(build(json, {{"a", "9"}, {"b", ""}}),
                 QStringLiteral("error: Field 'a': value 9 exceeds 2-bit max (3)"));
    }

    void unknownAlgorithmAtBuildTime()
    {
        FrameProtocol p = load(wrap(R"({"name":"c","type":"crc","algorithm":"sum8"})"));
        p.fields[0].algorithm = QStringLiteral("nope");
        QString error;
        QVERIFY(ProtocolRegistry::buildFrame(p, {}, &error).isEmpty());
        QCOMPARE(error, QStringLiteral("Unknown CRC algorithm: nope"));
    }

    void writeIntegerHelper()
    {
        QByteArray out;
        FrameBuilder::appendInteger(out, 0x0102030405060708ull, 8, true);
        QCOMPARE(out.toHex(), QByteArray("0102030405060708"));
        out.clear();
        FrameBuilder::appendInteger(out, 0x0102030405060708ull, 3, false);
        QCOMPARE(out.toHex(), QByteArray("080706"));
        QCOMPARE(FrameBuilder::maxForBits(64), ~quint64(0));
        QCOMPARE(FrameBuilder::maxForBits(63), (quint64(1) << 63) - 1);
        QCOMPARE(FrameBuilder::maxForBits(-7), quint64(0));
        QCOMPARE(FrameBuilder::maxForBits(INT_MAX), ~quint64(0));
    }

    // One folder per case: definition.json, values.json (name -> text) and
    // expected.txt holding the frame as hex, "build-error: <message>" or
    // "load-error: <message>".
    void casesFromFolders_data()
    {
        QTest::addColumn<QString>("dir");
        const QDir root(QStringLiteral(PROTOCOL_CASES_DIR));
        const auto entries = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        QVERIFY(entries.size() >= 8);
        for (const QString& e : entries)
            QTest::newRow(qPrintable(e)) << root.filePath(e);
    }

    void casesFromFolders()
    {
        QFETCH(QString, dir);
        QFile expectedFile(dir + "/expected.txt");
        QVERIFY(expectedFile.open(QIODevice::ReadOnly));
        const QString expected = QString::fromUtf8(expectedFile.readAll()).trimmed();

        QString error;
        const auto protocol = ProtocolFileReader::parseFile(dir + "/definition.json", &error);
        if (expected.startsWith("load-error:")) {
            QVERIFY(!protocol);
            QCOMPARE(error, expected.mid(11).trimmed());
            return;
        }
        QVERIFY2(protocol, qPrintable(error));

        FieldValues values;
        QFile valuesFile(dir + "/values.json");
        if (valuesFile.open(QIODevice::ReadOnly)) {
            const QJsonObject o = QJsonDocument::fromJson(valuesFile.readAll()).object();
            for (auto it = o.begin(); it != o.end(); ++it)
                values.insert(it.key(), it.value().toString());
        }
        const QByteArray frame = ProtocolRegistry::buildFrame(*protocol, values, &error);
        if (expected.startsWith("build-error:")) {
            QVERIFY(frame.isEmpty());
            QCOMPARE(error, expected.mid(12).trimmed());
            return;
        }
        QCOMPARE(frame, QByteArray::fromHex(expected.toLatin1()));
    }
};

QTEST_GUILESS_MAIN(TestFrameBuilder)
#include "tst_framebuilder.moc"
