#include "FileSizeLimit.h"
#include "MultiLineDataManager.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using Line = MultiLineDataManager::Line;
using Group = MultiLineDataManager::Group;

class TestMultiLineDataManager : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString write(const QString& name, const QByteArray& data)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return {};
        f.write(data);
        return path;
    }

    static QByteArray readAll(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private Q_SLOTS:
    void savedInNameOrderAndReadBack()
    {
        const QString path = m_dir.filePath(QStringLiteral("order.json"));
        const QList<Group> groups{
            {QStringLiteral("modem"), {{QStringLiteral("reset"), QStringLiteral("ATZ"), 500}}},
            {QStringLiteral("Boot"), {{QStringLiteral("温度"), QStringLiteral("5A A5"), 0}}},
            {QStringLiteral("abc"),
             {{QString(), QStringLiteral("x"), 2147483647}, {QStringLiteral("y"), QStringLiteral("y"), 7}}}};
        QVERIFY(MultiLineDataManager::save(path, groups));
        QList<Group> loaded{{QStringLiteral("stale"), {}}};
        QString error;
        QVERIFY2(MultiLineDataManager::load(path, loaded, &error), qPrintable(error));
        QCOMPARE(loaded.size(), 3);
        // Ascending code-unit order, upper case first.
        QCOMPARE(loaded[0].name, QStringLiteral("Boot"));
        QCOMPARE(loaded[1].name, QStringLiteral("abc"));
        QCOMPARE(loaded[2].name, QStringLiteral("modem"));
        QCOMPARE(loaded[0].lines[0].label, QStringLiteral("温度"));
        QCOMPARE(loaded[0].lines[0].interval, 0);
        QCOMPARE(loaded[1].lines.size(), 2);
        QCOMPARE(loaded[1].lines[0].interval, 2147483647);
        QCOMPARE(loaded[1].lines[1].data, QStringLiteral("y"));

        const QJsonObject line = QJsonDocument::fromJson(readAll(path))
                                     .object()["groups"]
                                     .toArray()[2]
                                     .toObject()["group-content"]
                                     .toArray()[0]
                                     .toObject();
        QCOMPARE(line.keys(), (QStringList{"data", "decribe", "hexMode", "time"}));
        QCOMPARE(line["hexMode"], QJsonValue(false));
        QVERIFY(readAll(path).contains("\n    ")); // indented
    }

    void rowsWithoutDataAndEmptyGroupsAreLeftOut()
    {
        const QList<Group> groups{
            {QStringLiteral("blank"),
             {{QStringLiteral("a"), QString(), 1}, {QStringLiteral("b"), QString(), 2}}},
            {QStringLiteral("mixed"),
             {{QStringLiteral("a"), QString(), 1}, {QStringLiteral("b"), QStringLiteral("B"), 2}}},
            {QStringLiteral("none"), {}}};
        const QString path = m_dir.filePath(QStringLiteral("empty.json"));
        QVERIFY(MultiLineDataManager::save(path, groups));
        QList<Group> loaded;
        QVERIFY(MultiLineDataManager::load(path, loaded));
        QCOMPARE(loaded.size(), 1);
        QCOMPARE(loaded[0].name, QStringLiteral("mixed"));
        QCOMPARE(loaded[0].lines.size(), 1);
        QCOMPARE(loaded[0].lines[0].label, QStringLiteral("b"));
    }

    void malformedFilesLoadNothing_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("message");
        const QByteArray good =
            R"({"group-name":"g","group-content":[{"time":1,"hexMode":false,"data":"A"}]})";
        QTest::newRow("one line lacks hexMode")
            << (R"({"groups":[)" + good + R"(,{"group-name":"h","group-content":[{"time":1,"data":"B"}]}]})")
            << QString();
        QTest::newRow("line lacks time")
            << QByteArray(R"({"groups":[{"group-name":"g","group-content":[{"hexMode":false,"data":"A"}]}]})")
            << QString();
        QTest::newRow("line lacks data")
            << QByteArray(R"({"groups":[{"group-name":"g","group-content":[{"time":1,"hexMode":false}]}]})")
            << QString();
        QTest::newRow("line not an object")
            << QByteArray(R"({"groups":[{"group-name":"g","group-content":["ATZ"]}]})") << QString();
        QTest::newRow("group not an object") << (R"({"groups":[)" + good + R"(,7]})") << QString();
        QTest::newRow("group lacks name") << QByteArray(R"({"groups":[{"group-content":[]}]})") << QString();
        QTest::newRow("group lacks content") << QByteArray(R"({"groups":[{"group-name":"g"}]})") << QString();
        QTest::newRow("no groups") << QByteArray(R"({"group":[]})") << QString();
        QTest::newRow("root array") << QByteArray("[1,2]") << QStringLiteral("JSON 根节点必须是对象");
        QTest::newRow("truncated") << good.left(40) << QStringLiteral("JSON 解析错误: ");
        QTest::newRow("deep nesting")
            << (QByteArray(100000, '[') + QByteArray(100000, ']')) << QStringLiteral("JSON 解析错误: ");
        QTest::newRow("not json") << QByteArray("\x00\xff\xfe garbage", 12)
                                  << QStringLiteral("JSON 解析错误: ");
    }

    void malformedFilesLoadNothing()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, message);
        const QString path = write(QStringLiteral("bad.json"), json);
        QList<Group> loaded{{QStringLiteral("stale"), {}}};
        QString error;
        QVERIFY(!MultiLineDataManager::load(path, loaded, &error));
        QVERIFY(loaded.isEmpty());
        QVERIFY(!error.isEmpty());
        if (!message.isEmpty())
            QVERIFY2(error.startsWith(message), qPrintable(error));
    }

    void parseErrorNamesItsOffset()
    {
        const QString path = write(QStringLiteral("offset.json"), QByteArray(R"({"groups": [1,, 2]})"));
        QList<Group> loaded;
        QString error;
        QVERIFY(!MultiLineDataManager::load(path, loaded, &error));
        QVERIFY2(error.endsWith(QStringLiteral(" (偏移 15)")), qPrintable(error));
    }

    void lenientValuesInsideWellFormedLines()
    {
        // Wrong value types are read the forgiving way; only missing keys fail.
        const QString path =
            write(QStringLiteral("types.json"), QByteArray(R"({"groups":[{"group-name":"g","group-content":[
            {"time":"fast","hexMode":"yes","data":"A"},
            {"time":-5,"hexMode":true,"decribe":3,"data":"B"},
            {"time":1.5e12,"hexMode":false,"data":{"x":1}}]}]})"));
        QList<Group> loaded;
        QVERIFY(MultiLineDataManager::load(path, loaded));
        QCOMPARE(loaded.size(), 1);
        QCOMPARE(loaded[0].lines.size(), 3);
        QCOMPARE(loaded[0].lines[0].interval, 0);
        QCOMPARE(loaded[0].lines[0].label, QString());
        QCOMPARE(loaded[0].lines[1].interval, 0);
        QCOMPARE(loaded[0].lines[1].label, QString());
        QCOMPARE(loaded[0].lines[2].interval, 0);
        QCOMPARE(loaded[0].lines[2].data, QString());
    }

    void missingFileAndFolderFail()
    {
        QList<Group> loaded;
        QString error;
        QVERIFY(!MultiLineDataManager::load(m_dir.filePath(QStringLiteral("nope.json")), loaded, &error));
        QVERIFY2(error.startsWith(QStringLiteral("无法打开文件: ")), qPrintable(error));
        const QString folder = m_dir.filePath(QStringLiteral("folder.json"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(!MultiLineDataManager::load(folder, loaded, &error));
        QVERIFY(!MultiLineDataManager::save(folder, {{QStringLiteral("g"), {{{}, QStringLiteral("A"), 1}}}},
                                            &error));
        QVERIFY(QFileInfo(folder).isDir());
    }

    void hugeArrayIsRefused()
    {
        QJsonArray lines;
        const QJsonObject line{{"time", 1}, {"hexMode", false}, {"data", "A"}};
        for (int i = 0; i <= MultiLineDataManager::kMaxLines; ++i)
            lines.append(line);
        const QJsonObject root{
            {"groups", QJsonArray{QJsonObject{{"group-name", "g"}, {"group-content", lines}}}}};
        const QString path = write(QStringLiteral("huge.json"), QJsonDocument(root).toJson());
        QList<Group> loaded;
        QString error;
        QVERIFY(!MultiLineDataManager::load(path, loaded, &error));
        QVERIFY(loaded.isEmpty());
        QVERIFY(error.contains(QString::number(MultiLineDataManager::kMaxLines)));
    }

    void tenMegabyteTextRoundTrips()
    {
        QString text(10 * 1024 * 1024, QLatin1Char('7'));
        text[0] = QChar(0x6E29); // not only ASCII
        const QString path = m_dir.filePath(QStringLiteral("big.json"));
        QVERIFY(
            MultiLineDataManager::save(path, {{QStringLiteral("g"), {{QStringLiteral("big"), text, 5}}}}));
        QList<Group> loaded;
        QVERIFY(MultiLineDataManager::load(path, loaded));
        QCOMPARE(loaded.value(0).lines.value(0).data, text);
    }

    void fullDiskLeavesOldFileWhole()
    {
        const QString path = m_dir.filePath(QStringLiteral("full.json"));
        const QList<Group> small{{QStringLiteral("old"), {{QStringLiteral("a"), QStringLiteral("ATZ"), 1}}}};
        QVERIFY(MultiLineDataManager::save(path, small));
        const QByteArray before = readAll(path);
        const QList<Group> big{
            {QStringLiteral("new"), {{QStringLiteral("a"), QString(200000, QLatin1Char('x')), 1}}}};
        QString error;
        {
            FileSizeLimit limit(64 * 1024);
            QTest::ignoreMessage(QtWarningMsg,
                                 QRegularExpression(QStringLiteral("^mulit line data save failed")));
            QVERIFY(!MultiLineDataManager::save(path, big, &error));
        }
        QVERIFY(error == QStringLiteral("写入文件时数据不完整") ||
                error.startsWith(QStringLiteral("无法写入文件: ")));
        QCOMPARE(readAll(path), before);
        // No temporary file left behind.
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("full.json*")}, QDir::Files),
                 QStringList{QStringLiteral("full.json")});
    }

    void backupTakesTheFirstFreeName()
    {
        const QString path = write(QStringLiteral("kept.json"), "first");
        QCOMPARE(MultiLineDataManager::keepBackup(path), path + QStringLiteral(".bak"));
        // The same content again reuses its copy.
        QCOMPARE(MultiLineDataManager::keepBackup(path), path + QStringLiteral(".bak"));
        write(QStringLiteral("kept.json"), "second");
        QCOMPARE(MultiLineDataManager::keepBackup(path), path + QStringLiteral(".bak.1"));
        QCOMPARE(readAll(path + QStringLiteral(".bak")), QByteArray("first"));
        QCOMPARE(readAll(path + QStringLiteral(".bak.1")), QByteArray("second"));
        QString error;
        QVERIFY(MultiLineDataManager::keepBackup(m_dir.path(), &error).isEmpty());
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestMultiLineDataManager)
#include "tst_multilinedatamanager.moc"
