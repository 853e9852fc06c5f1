#include "HistoryDataManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

class TestHistoryDataManager : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString write(const QString& name, const QByteArray& data)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return {};
        f.write(data);
        return path;
    }

private Q_SLOTS:
    void roundTripKeepsOrder()
    {
        const QString path = m_dir.filePath(QStringLiteral("history.json"));
        const QStringList entries{QStringLiteral("AT+CSQ"), QStringLiteral("5A A5 01"),
                                  QStringLiteral("héllo 温度"), QString()};
        QVERIFY(HistoryDataManager::save(path, entries));
        QStringList loaded{QStringLiteral("stale")};
        QVERIFY(HistoryDataManager::load(path, loaded));
        QCOMPARE(loaded, entries);

        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll();
        QVERIFY(text.contains("\"history\""));
        QVERIFY(text.contains("\n    ")); // indented
    }

    void missingFileFailsWithEmptyList()
    {
        QStringList list{QStringLiteral("old")};
        QVERIFY(!HistoryDataManager::load(m_dir.filePath(QStringLiteral("nope.json")), list));
        QVERIFY(list.isEmpty());
    }

    void badShapesLoadNothing_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("string instead of array") << QByteArray("{\"history\":\"AT\"}");
        QTest::newRow("empty object") << QByteArray("{}");
        QTest::newRow("not json") << QByteArray("history: [1,2");
        QTest::newRow("root array") << QByteArray("[\"a\",\"b\"]");
        QTest::newRow("empty file") << QByteArray();
    }
    void badShapesLoadNothing()
    {
        QFETCH(QByteArray, json);
        const QString path = write(QStringLiteral("bad.json"), json);
        QStringList list{QStringLiteral("old")};
        QVERIFY(!HistoryDataManager::load(path, list));
        QVERIFY(list.isEmpty());
    }

    void nonStringElementsBecomeEmptyEntries()
    {
        const QString path =
            write(QStringLiteral("mixed.json"), "{\"other\":1,\"history\":[\"a\",42,null,{\"x\":1},\"b\"]}");
        QStringList list;
        QVERIFY(HistoryDataManager::load(path, list));
        QCOMPARE(list,
                 (QStringList{QStringLiteral("a"), QString(), QString(), QString(), QStringLiteral("b")}));
    }

    void failedSaveKeepsTheOldFile()
    {
        const QString path = m_dir.filePath(QStringLiteral("keep.json"));
        QVERIFY(HistoryDataManager::save(path, {QStringLiteral("first")}));
        // A path whose folder does not exist cannot be written.
        QVERIFY(!HistoryDataManager::save(m_dir.filePath(QStringLiteral("no/such/dir/h.json")),
                                          {QStringLiteral("x")}));
        // Replacing goes through a temporary file: no stray files left over.
        QVERIFY(HistoryDataManager::save(path, {QStringLiteral("second"), QStringLiteral("first")}));
        QStringList list;
        QVERIFY(HistoryDataManager::load(path, list));
        QCOMPARE(list, (QStringList{QStringLiteral("second"), QStringLiteral("first")}));
        const QStringList files =
            QDir(m_dir.path()).entryList(QStringList{QStringLiteral("keep.json*")}, QDir::Files);
        QCOMPARE(files, QStringList{QStringLiteral("keep.json")});
    }

    void readOnlyTargetFolderFailsAndKeepsContent()
    {
        if (geteuid() == 0)
            QSKIP("root writes into read-only folders");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("history.json"));
        QVERIFY(HistoryDataManager::save(path, {QStringLiteral("kept")}));
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QVERIFY(!HistoryDataManager::save(path, {QStringLiteral("lost")}));
        QFile::setPermissions(dir.path(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QStringList list;
        QVERIFY(HistoryDataManager::load(path, list));
        QCOMPARE(list, QStringList{QStringLiteral("kept")});
    }

    void defaultPathIsInTheUserFolder()
    {
        const QString path = HistoryDataManager::defaultPath();
        QVERIFY(path.endsWith(QStringLiteral("/CVN/history.json")));
        QVERIFY(QFileInfo(path).dir().exists());
    }
};

QTEST_GUILESS_MAIN(TestHistoryDataManager)
#include "tst_historydatamanager.moc"
