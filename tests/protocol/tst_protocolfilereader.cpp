#include "ProtocolFileReader.h"
#include "ProtocolRegistry.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
QStringList g_warnings;
QtMessageHandler g_previous = nullptr;
void capture(QtMsgType type, const QMessageLogContext& ctx, const QString& msg)
{
    if (type == QtWarningMsg)
        g_warnings << msg;
    if (g_previous)
        g_previous(type, ctx, msg);
}

QByteArray wrap(const QByteArray& fields)
{
    return "{\"name\":\"P\",\"fields\":[" + fields + "]}";
}
} // namespace

class TestProtocolFileReader : public QObject
{
    Q_OBJECT

    static QString errorOf(const QByteArray& json)
    {
        QString error;
        const auto p = ProtocolFileReader::parseJson(json, &error);
        return p ? QStringLiteral("<loaded>") : error;
    }
    static FrameProtocol load(const QByteArray& json)
    {
        QString error;
        const auto p = ProtocolFileReader::parseJson(json, &error);
        if (!p)
            qWarning() << "unexpected failure" << error;
        return p.value_or(FrameProtocol{});
    }
    static QStringList names(const FrameProtocol& p)
    {
        QStringList out;
        for (const FrameField& f : p.fields)
            out << f.name;
        return out;
    }
    static void writeFile(const QString& path, const QByteArray& content)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

private Q_SLOTS:
    void initTestCase() { g_previous = qInstallMessageHandler(capture); }
    void init()
    {
        g_warnings.clear();
        ProtocolRegistry::instance().clear();
    }

    void defaultsOfEveryKey()
    {
        const FrameProtocol p = load(wrap(R"({"name":"h","type":"hex"},{"name":"c","type":"constant"},
            {"name":"l","type":"length_field"},{"name":"b","type":"bits"},{"name":"g","type":"bit_group"},
            {"name":"k","type":"crc","algorithm":"sum8"})"));
        QCOMPARE(p.fields.size(), 6);
        QCOMPARE(p.version, QStringLiteral("1.0"));
        QCOMPARE(p.description, QString());
        const FrameField& h = p.fields.at(0);
        QCOMPARE(h.type, FieldType::Hex);
        QCOMPARE(h.label, QStringLiteral("h"));
        QCOMPARE(h.tooltip, QString());
        QCOMPARE(h.length, -1);
        QCOMPARE(h.defaultValue, QString());
        QCOMPARE(h.order, 0);
        QCOMPARE(p.fields.at(1).constantBytes, QByteArray());
        const FrameField& l = p.fields.at(2);
        QCOMPARE(l.width, 2);
        QVERIFY(l.bigEndian);
        const FrameField& b = p.fields.at(3);
        QCOMPARE(b.type, FieldType::Bits);
        QCOMPARE(b.width, 8);
        QVERIFY(!b.bigEndian);
        const FrameField& g = p.fields.at(4);
        QCOMPARE(g.width, 2);
        QVERIFY(!g.bigEndian);
        QVERIFY(g.bitFields.isEmpty());
        const FrameField& k = p.fields.at(5);
        QVERIFY(k.outputBigEndian);
        QCOMPARE(k.algorithm, QStringLiteral("sum8"));
    }

    void explicitKeys()
    {
        const FrameProtocol p = load(R"({"name":"N","description":"D","version":"2","fields":[
            {"name":"h","label":"Head","tooltip":"tip","type":"hex","length":3,"default":"ab"},
            {"name":"c","type":"constant","value":"aa 55 0102"},
            {"name":"l","type":"length_field","width":4,"endian":"little","over":["h"]},
            {"name":"b","type":"bits","bitWidth":12,"endian":"big","default":"0x1"},
            {"name":"k","type":"crc","algorithm":"crc32_ieee","output":"LITTLE","over":["h"]}]})");
        QCOMPARE(p.name, QStringLiteral("N"));
        QCOMPARE(p.description, QStringLiteral("D"));
        QCOMPARE(p.version, QStringLiteral("2"));
        QCOMPARE(p.fields.at(0).label, QStringLiteral("Head"));
        QCOMPARE(p.fields.at(0).tooltip, QStringLiteral("tip"));
        QCOMPARE(p.fields.at(0).length, 3);
        QCOMPARE(p.fields.at(0).defaultValue, QStringLiteral("ab"));
        QCOMPARE(p.fields.at(1).constantBytes, QByteArray::fromHex("aa550102"));
        QCOMPARE(p.fields.at(2).width, 4);
        QVERIFY(!p.fields.at(2).bigEndian);
        QCOMPARE(p.fields.at(2).over, QStringList{QStringLiteral("h")});
        QCOMPARE(p.fields.at(3).width, 12);
        QVERIFY(p.fields.at(3).bigEndian);
        // Anything but "big" is little-endian, including other spellings.
        QVERIFY(!p.fields.at(4).outputBigEndian);
    }

    void nonStringOverElementIsEmptyName()
    {
        QCOMPARE(errorOf(wrap(R"({"name":"a","type":"crc","algorithm":"xor8","over":[7]})")),
                 QStringLiteral("Field 'a' references unknown field ''"));
    }

    void wrongTypesCountAsAbsent()
    {
        const FrameProtocol p = load(R"({"name":"N","version":3,"fields":[
            {"name":"h","label":4,"type":"hex","length":"5","order":1.5},
            {"name":"l","type":"length_field","width":"x","endian":true},
            {"name":"b","type":"bits","bitWidth":"16"}]})");
        QCOMPARE(p.version, QStringLiteral("1.0"));
        QCOMPARE(p.fields.at(0).label, QStringLiteral("h"));
        QCOMPARE(p.fields.at(0).length, -1);
        QCOMPARE(p.fields.at(0).order, 0);
        QCOMPARE(p.fields.at(1).width, 2);
        QVERIFY(p.fields.at(1).bigEndian);
        QCOMPARE(p.fields.at(2).width, 8);
        QCOMPARE(errorOf(R"({"name":5,"fields":[{"name":"a","type":"hex"}]})"),
                 QStringLiteral("Protocol name is required"));
    }

    void failureMessages_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("message");
        QTest::newRow("top-level array") << QByteArray(R"([{"name":"x"}])") << "Protocol name is required";
        QTest::newRow("empty name") << QByteArray(R"({"name":"","fields":[]})")
                                    << "Protocol name is required";
        QTest::newRow("no fields") << QByteArray(R"({"name":"x"})") << "Protocol has no fields defined";
        QTest::newRow("fields not array")
            << QByteArray(R"({"name":"x","fields":{"a":1}})") << "Protocol has no fields defined";
        QTest::newRow("empty fields")
            << QByteArray(R"({"name":"x","fields":[]})") << "Protocol has no fields defined";
        QTest::newRow("capital type")
            << wrap(R"({"name":"f","type":"HEX"})") << "Unknown field type: HEX in field f";
        QTest::newRow("unknown type")
            << wrap(R"({"name":"f","type":"blob"})") << "Unknown field type: blob in field f";
        QTest::newRow("non-object field")
            << wrap(R"({"name":"f","type":"hex"}, 42)") << "Unknown field type:  in field ";
        QTest::newRow("duplicate") << wrap(R"({"name":"a","type":"hex"},{"name":"a","type":"bits"})")
                                   << "Duplicate field name: a";
        QTest::newRow("unknown crc") << wrap(R"({"name":"c","type":"crc","algorithm":"CRC16_MODBUS"})")
                                     << "Unknown CRC algorithm: CRC16_MODBUS";
        QTest::newRow("crc without algorithm")
            << wrap(R"({"name":"c","type":"crc"})") << "Unknown CRC algorithm: ";
        QTest::newRow("dangling over") << wrap(R"({"name":"l","type":"length_field","over":["nope"]})")
                                       << "Field 'l' references unknown field 'nope'";
        QTest::newRow("sub-field is no field name")
            << wrap(R"({"name":"g","type":"bit_group","bitFields":[{"name":"s"}]},
                       {"name":"c","type":"crc","algorithm":"sum8","over":["s"]})")
            << "Field 'c' references unknown field 's'";
        QTest::newRow("huge length width") << wrap(R"({"name":"l","type":"length_field","width":2147483647})")
                                           << "Field 'l': width 2147483647 is too large";
        QTest::newRow("huge group width") << wrap(R"({"name":"g","type":"bit_group","width":100000})")
                                          << "Field 'g': width 100000 is too large";
        QTest::newRow("huge bit width") << wrap(R"({"name":"b","type":"bits","bitWidth":40000})")
                                        << "Field 'b': width 40000 is too large";
    }

    void failureMessages()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, message);
        QCOMPARE(errorOf(json), message);
    }

    void jsonErrorMessage()
    {
        const QString e = errorOf("{\"name\": ");
        QVERIFY2(e.startsWith(QStringLiteral("JSON error: ")) && e.size() > 12, qPrintable(e));
    }

    void deepNestingFailsCleanly()
    {
        const QByteArray deep =
            "{\"name\":\"x\",\"fields\":" + QByteArray(200000, '[') + QByteArray(200000, ']') + "}";
        QVERIFY(errorOf(deep).startsWith(QStringLiteral("JSON error: ")));
    }

    void manyFieldsWithWildcards()
    {
        QByteArray fields;
        const int n = 1400;
        for (int i = 0; i < n; ++i) {
            if (i)
                fields += ',';
            fields +=
                QStringLiteral(R"({"name":"f%1","type":"crc","algorithm":"xor8","order":%1,"over":["*"]})")
                    .arg(i)
                    .toUtf8();
        }
        const FrameProtocol p = load(wrap(fields));
        QCOMPARE(p.fields.size(), n);
        QCOMPARE(p.fields.last().over.size(), n - 1);
        QCOMPARE(ProtocolRegistry::buildFrame(p, {}).size(), n);

        // Past the cap the file is refused instead of growing without bound.
        QByteArray more = fields;
        for (int i = n; i < 1500; ++i)
            more += QStringLiteral(
                        R"(,{"name":"g%1","type":"crc","algorithm":"xor8","order":%1,"over":["*","*"]})")
                        .arg(i)
                        .toUtf8();
        QVERIFY(errorOf(wrap(more)).endsWith(QStringLiteral("'over' covers too many fields")));
    }

    void zeroAndNegativeWidthsLoad()
    {
        const FrameProtocol p = load(wrap(R"({"name":"l","type":"length_field","width":0},
            {"name":"g","type":"bit_group","width":-3,"bitFields":[{"name":"a","bitWidth":-2},{"name":"b"}]},
            {"name":"b","type":"bits","bitWidth":-1},{"name":"w","type":"bits","bitWidth":64})"));
        QCOMPARE(p.fields.size(), 4);
        QCOMPARE(p.fields.at(1).bitFields.at(1).order, -2);
    }

    void sortIsStable()
    {
        const FrameProtocol p = load(wrap(R"({"name":"first","type":"hex","order":2},
            {"name":"second","type":"hex","order":1},{"name":"third","type":"hex","order":1})"));
        QCOMPARE(names(p), (QStringList{"second", "third", "first"}));
    }

    void wildcardExpansion()
    {
        const FrameProtocol p = load(wrap(R"({"name":"a","type":"hex","order":0},
            {"name":"len","type":"length_field","order":1,"over":["*","z"]},
            {"name":"b","type":"hex","order":2},
            {"name":"z","type":"hex","order":9},
            {"name":"all","type":"crc","algorithm":"sum8","order":5,"over":["*"]},
            {"name":"most","type":"crc","algorithm":"sum8","order":6,"over":["*!a"]},
            {"name":"twice","type":"crc","algorithm":"sum8","order":7,"over":["b","*!len","a"]},
            {"name":"none","type":"crc","algorithm":"sum8","order":8,"over":["*!nothing"]})"));
        QCOMPARE(names(p), (QStringList{"a", "len", "b", "all", "most", "twice", "none", "z"}));
        QCOMPARE(p.fields.at(1).over, (QStringList{"a", "z"})); // later fields only when named
        QCOMPARE(p.fields.at(3).over, (QStringList{"a", "len", "b"}));
        QCOMPARE(p.fields.at(4).over, (QStringList{"len", "b", "all"}));
        QCOMPARE(p.fields.at(5).over, (QStringList{"b", "a", "b", "all", "most", "a"}));
        QCOMPARE(p.fields.at(6).over, (QStringList{"a", "len", "b", "all", "most", "twice"}));
    }

    void wildcardOnFirstFieldIsEmpty()
    {
        const FrameProtocol p = load(wrap(R"({"name":"c","type":"crc","algorithm":"xor8","over":["*"]},
                                            {"name":"a","type":"hex","order":1})"));
        QVERIFY(p.fields.at(0).over.isEmpty());
    }

    void bitGroupOffsets()
    {
        const FrameProtocol p = load(wrap(R"({"name":"g","type":"bit_group","bitFields":[
            {"name":"a","bitWidth":3,"label":"A","default":"5","extra":1},{"name":"b","bitWidth":5},
            {"name":"c","bitWidth":8}, 17]})"));
        const auto& subs = p.fields.at(0).bitFields;
        QCOMPARE(subs.size(), 4);
        QCOMPARE(subs.at(0).order, 0);
        QCOMPARE(subs.at(1).order, 3);
        QCOMPARE(subs.at(2).order, 8);
        QCOMPARE(subs.at(3).order, 16);
        QCOMPARE(subs.at(0).label, QStringLiteral("A"));
        QCOMPARE(subs.at(0).defaultValue, QStringLiteral("5"));
        QCOMPARE(subs.at(1).label, QStringLiteral("b"));
        QCOMPARE(subs.at(1).defaultValue, QStringLiteral("0"));
        QCOMPARE(subs.at(3).width, 1);
        QCOMPARE(subs.at(3).type, FieldType::Bits);
    }

    void bitGroupIgnoresOver()
    {
        const FrameProtocol p = load(wrap(R"({"name":"g","type":"bit_group","over":["nope"]})"));
        QVERIFY(p.fields.at(0).over.isEmpty());
    }

    void cannotOpenFile()
    {
        QString error;
        QVERIFY(!ProtocolFileReader::parseFile(QStringLiteral("/nonexistent/x.json"), &error));
        QCOMPARE(error, QStringLiteral("Cannot open file: /nonexistent/x.json"));
    }

    void missingFolder()
    {
        QCOMPARE(ProtocolRegistry::instance().loadFolder(QStringLiteral("/nonexistent/protocols")), 0);
        QCOMPARE(g_warnings.size(), 1);
        QVERIFY(g_warnings.first().contains(
            QStringLiteral("Protocol directory not found: /nonexistent/protocols")));
    }

    void folderLoadSkipsBadFiles()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("b_good.json"), R"({"name":"B","fields":[{"name":"x","type":"hex"}]})");
        writeFile(dir.filePath("A_good.json"), R"({"name":"A","fields":[{"name":"x","type":"hex"}]})");
        writeFile(dir.filePath("c_dup.json"), wrap(R"({"name":"x","type":"hex"},{"name":"x","type":"hex"})"));
        writeFile(dir.filePath("d_garbage.json"), "not json at all");
        writeFile(dir.filePath("e_same_name.json"), R"({"name":"A","fields":[{"name":"y","type":"bits"}]})");
        writeFile(dir.filePath("readme.txt"), R"({"name":"T","fields":[{"name":"x","type":"hex"}]})");
        QDir(dir.path()).mkdir("sub.json");

        ProtocolRegistry& reg = ProtocolRegistry::instance();
        QCOMPARE(reg.loadFolder(dir.path()), 3);
        QCOMPARE(reg.count(), 3);
        QCOMPARE(reg.protocols().at(0).name, QStringLiteral("A"));
        QCOMPARE(reg.protocols().at(1).name, QStringLiteral("B"));
        QCOMPARE(reg.protocols().at(2).name, QStringLiteral("A"));
        QCOMPARE(reg.protocols().at(2).fields.at(0).name, QStringLiteral("y"));
        QCOMPARE(g_warnings.size(), 2);
        QVERIFY(g_warnings.at(0).contains("Skipping protocol file: c_dup.json - Duplicate field name: x"));
        QVERIFY(g_warnings.at(1).contains("Skipping protocol file: d_garbage.json - JSON error: "));
        QVERIFY(g_warnings.at(0).startsWith("[ProtocolRegistry]"));

        // Loading appends; clear empties.
        QCOMPARE(reg.loadFolder(dir.path()), 3);
        QCOMPARE(reg.count(), 6);
        reg.clear();
        QCOMPARE(reg.count(), 0);
    }

    void samplesLoadWithoutWarnings()
    {
        ProtocolRegistry& reg = ProtocolRegistry::instance();
        const int n = reg.loadFolder(QStringLiteral(PROTOCOL_SAMPLES_DIR));
        QVERIFY(n >= 3);
        QCOMPARE(reg.count(), n);
        QVERIFY2(g_warnings.isEmpty(), qPrintable(g_warnings.join('\n')));
        QStringList algorithms;
        for (const FrameProtocol& p : reg.protocols()) {
            QString error;
            const QByteArray frame = ProtocolRegistry::buildFrame(p, {}, &error);
            QVERIFY2(!frame.isEmpty(), qPrintable(p.name + ": " + error));
            QVERIFY(!p.description.isEmpty());
            for (const FrameField& f : p.fields) {
                if (f.type == FieldType::Crc)
                    algorithms << f.algorithm;
            }
        }
        QVERIFY(algorithms.contains("crc16_modbus"));
        QVERIFY(algorithms.contains("sum8"));
        QVERIFY(algorithms.contains("crc32_ieee"));
    }

    void cleanupTestCase() { ProtocolRegistry::instance().clear(); }
};

QTEST_GUILESS_MAIN(TestProtocolFileReader)
#include "tst_protocolfilereader.moc"
