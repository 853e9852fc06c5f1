#include "ConfirmDialog.h"
#include "DialogCatcher.h"
#include "FileSizeLimit.h"
#include "GroupNameDialog.h"
#include "MultiLineDataManager.h"
#include "MultiLineGroup.h"
#include "MultiLineGroupManager.h"
#include "MultiLineListWidget.h"
#include "SingleLineItem.h"

#include "TestTiming.h"
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <QtTest>

#include <functional>
#include <memory>

class TestMultiLineGroup : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<DialogCatcher> m_dialogs;

    // A group with one row per text, every interval 0, nothing ticked.
    static std::unique_ptr<MultiLineGroup> makeGroup(const QStringList& texts, int interval = 0)
    {
        auto group = std::make_unique<MultiLineGroup>(QStringLiteral("g"));
        QList<MultiLineDataManager::Line> lines;
        for (const QString& t : texts)
            lines.append({t, t, interval});
        group->appendLines(lines);
        return group;
    }

    // Answers the next modal dialog of type T with `act` once it is up.
    template <typename T> static void whenDialog(std::function<void(T*)> act)
    {
        auto* timer = new QTimer;
        QObject::connect(timer, &QTimer::timeout, timer, [timer, act] {
            if (auto* dlg = qobject_cast<T*>(QApplication::activeModalWidget())) {
                timer->deleteLater();
                act(dlg);
            }
        });
        timer->start(10);
    }

    static QByteArray readAll(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QString writeFile(const QString& name, const QByteArray& data)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(data);
        return path;
    }

private Q_SLOTS:
    void init() { m_dialogs = std::make_unique<DialogCatcher>(); }
    void cleanup() { m_dialogs.reset(); }

    // ---- rows -----------------------------------------------------------------

    void sendButtonSendsOnlyText()
    {
        auto group = makeGroup({QStringLiteral("ATI"), QString()});
        QSignalSpy writes(group.get(), &MultiLineGroup::writeRequest);
        group->list()->lineAt(1)->sendButton()->click();
        QCOMPARE(writes.size(), 0);
        group->list()->lineAt(0)->sendButton()->click();
        QCOMPARE(writes.size(), 1);
        QCOMPARE(writes[0][0].toString(), QStringLiteral("ATI"));
    }

    void newRowDefaultsAndLongText()
    {
        auto group = makeGroup({});
        group->addLineButton()->click();
        SingleLineItem* line = group->list()->lineAt(0);
        QVERIFY(line);
        QCOMPARE(line->label(), QStringLiteral("Channel"));
        QCOMPARE(line->data(), QString());
        QCOMPARE(line->interval(), 1000);
        QVERIFY(!line->isChecked());
        // Longer than a line edit keeps by default.
        const QString text(100000, QLatin1Char('A'));
        line->setData(text);
        QCOMPARE(line->data(), text);
    }

    void doubleClickTogglesTick()
    {
        auto group = makeGroup({QStringLiteral("A")});
        group->show();
        QVERIFY(QTest::qWaitForWindowExposed(group.get()));
        SingleLineItem* line = group->list()->lineAt(0);
        // The row's own margin: the click reaches the list, not a control.
        QTest::mouseDClick(line, Qt::LeftButton, {}, QPoint(1, 1));
        QVERIFY(line->isChecked());
        QTest::mouseDClick(line, Qt::LeftButton, {}, QPoint(1, 1));
        QVERIFY(!line->isChecked());
    }

    void contextMenuOperations()
    {
        auto group = makeGroup({QStringLiteral("A"), QStringLiteral("B")});
        group->insertLineAt(1);
        QCOMPARE(group->list()->lineAt(1)->label(), QStringLiteral("Channel"));
        group->clearLine(0);
        QCOMPARE(group->list()->lineAt(0)->data(), QString());
        group->deleteLine(1);
        QCOMPARE(group->list()->count(), 2);
        QCOMPARE(group->list()->lineAt(1)->data(), QStringLiteral("B"));

        whenDialog<ConfirmDialog>([](ConfirmDialog* d) { d->noButton()->click(); });
        QVERIFY(!group->deleteAll());
        QCOMPARE(group->list()->count(), 2);
        whenDialog<ConfirmDialog>([](ConfirmDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Tips"));
            QCOMPARE(d->text(), QStringLiteral("Are you sure you want to delete all record?"));
            d->yesButton()->click();
        });
        QVERIFY(group->deleteAll());
        QCOMPARE(group->list()->count(), 0);
    }

    // ---- loop -----------------------------------------------------------------

    void tickedRowsGoInListOrder()
    {
        auto group = makeGroup({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
        group->list()->lineAt(2)->setChecked(true);
        group->list()->lineAt(0)->setChecked(true);
        QSignalSpy writes(group.get(), &MultiLineGroup::writeRequest);
        group->loopButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(writes.size() >= 5, 2000);
        QStringList sent;
        for (int i = 0; i < 5; ++i)
            sent << writes[i][0].toString();
        QCOMPARE(sent, (QStringList{"1", "3", "1", "3", "1"}));
    }

    void loopFollowsDraggedOrder()
    {
        auto group = makeGroup({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
        group->selectAll();
        // What a drop inside the list does: the row moves, its widget with it.
        QVERIFY(group->list()->model()->moveRow(QModelIndex(), 0, QModelIndex(), 3));
        QCOMPARE(group->list()->lineAt(2)->data(), QStringLiteral("1"));
        QSignalSpy writes(group.get(), &MultiLineGroup::writeRequest);
        group->loopButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(writes.size() >= 3, 2000);
        QCOMPARE(writes[0][0].toString() + writes[1][0].toString() + writes[2][0].toString(),
                 QStringLiteral("231"));
        QCOMPARE(group->lineData()[2].data, QStringLiteral("1"));
    }

    void tickingStopsTheLoop()
    {
        auto group = makeGroup({QStringLiteral("1"), QStringLiteral("2")}, 1000);
        group->list()->lineAt(0)->setChecked(true);
        QSignalSpy status(group.get(), &MultiLineGroup::loopSendStatusChanged);
        group->loopButton()->click();
        QVERIFY(group->isLooping());
        QCOMPARE(group->list()->property("selectable").toBool(), true);
        group->list()->lineAt(1)->setChecked(true);
        QVERIFY(!group->isLooping());
        QVERIFY(!group->loopButton()->isChecked());
        QVERIFY(!group->loopTimer()->isActive());
        QCOMPARE(group->list()->property("selectable").toBool(), false);
        QCOMPARE(status.size(), 2);
        QCOMPARE(status[1][1].toBool(), false);
        QCOMPARE(group->loopSelectionSize(), 2);
    }

    void zeroIntervalRunsThroughTheEventLoop()
    {
        auto group = makeGroup({QStringLiteral("a"), QStringLiteral("b")});
        group->selectAll();
        QSignalSpy writes(group.get(), &MultiLineGroup::writeRequest);
        bool otherWorkRan = false;
        group->loopButton()->click();
        QTimer::singleShot(0, [&] { otherWorkRan = true; });
        QTRY_VERIFY_WITH_TIMEOUT(writes.size() >= 200, 5000);
        QVERIFY(otherWorkRan);
        QVERIFY(group->isLooping());
    }

    void emptySelectionWarns()
    {
        auto group = makeGroup({QStringLiteral("a")});
        QSignalSpy status(group.get(), &MultiLineGroup::loopSendStatusChanged);
        group->loopButton()->click();
        QVERIFY(!group->loopButton()->isChecked());
        QCOMPARE(status.size(), 1);
        QCOMPARE(status[0][1].toBool(), false);
        QTRY_COMPARE(m_dialogs->texts, QStringList{QStringLiteral("Please select line!")});
        QCOMPARE(m_dialogs->titles, QStringList{QStringLiteral("Warning")});
    }

    void deletingALoopedRowStopsTheLoop()
    {
        auto group = makeGroup({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        group->selectAll();
        QSignalSpy writes(group.get(), &MultiLineGroup::writeRequest);
        group->loopButton()->click();
        QTRY_VERIFY(writes.size() >= 2);
        group->deleteLine(1);
        QVERIFY(!group->isLooping());
        QCOMPARE(group->loopSelectionSize(), 2);
        // An unticked row may go without disturbing a running loop.
        group->list()->lineAt(0)->setChecked(false);
        group->loopButton()->click();
        QVERIFY(group->isLooping());
        group->deleteLine(0);
        QVERIFY(group->isLooping());
    }

    void stopFromTheReceiverSticks()
    {
        // The session stops every loop when the port is closed; the tick that
        // asked must not start the timer again.
        MultiLineGroupManager manager;
        MultiLineGroup* group = manager.addGroup(QStringLiteral("g"));
        group->appendLines({{QString(), QStringLiteral("x"), 0}});
        group->selectAll();
        int writes = 0;
        connect(&manager, &MultiLineGroupManager::writeRequest, &manager, [&] {
            ++writes;
            manager.stopAll();
        });
        group->loopButton()->click();
        QTRY_COMPARE(writes, 1);
        QTest::qWait(50);
        QCOMPARE(writes, 1);
        QVERIFY(!group->loopTimer()->isActive());
        QVERIFY(!manager.isLoopRunning());
    }

    // ---- manager --------------------------------------------------------------

    void groupsAndTheirNames()
    {
        MultiLineGroupManager manager;
        QVERIFY(manager.addGroup(QStringLiteral("b")));
        QVERIFY(manager.addGroup(QStringLiteral("a")));
        QVERIFY(!manager.addGroup(QStringLiteral("a")));
        QVERIFY(!manager.addGroup(QString()));
        QVERIFY(manager.addGroup(QStringLiteral("A"))); // exact comparison
        QCOMPARE(manager.groupNames(), (QStringList{"b", "a", "A"}));
        QCOMPARE(manager.currentGroup()->name(), QStringLiteral("A"));

        whenDialog<GroupNameDialog>([](GroupNameDialog* d) {
            QCOMPARE(d->size(), QSize(300, 140));
            d->nameEdit()->setText(QStringLiteral("new"));
            d->okButton()->click();
        });
        manager.addGroupButton()->click();
        QCOMPARE(manager.currentGroup()->name(), QStringLiteral("new"));

        whenDialog<ConfirmDialog>([](ConfirmDialog* d) {
            QCOMPARE(d->text(), QStringLiteral("Are you sure you want to delete [new] group?"));
            d->yesButton()->click();
        });
        manager.deleteGroupButton()->click();
        QCOMPARE(manager.groupNames(), (QStringList{"b", "a", "A"}));
        QVERIFY(!manager.group(QStringLiteral("new")));
    }

    void runningStateIsAggregated()
    {
        MultiLineGroupManager manager;
        MultiLineGroup* a = manager.addGroup(QStringLiteral("a"));
        MultiLineGroup* b = manager.addGroup(QStringLiteral("b"));
        for (MultiLineGroup* g : {a, b}) {
            g->appendLines({{QString(), QStringLiteral("x"), 1000}});
            g->selectAll();
        }
        QSignalSpy status(&manager, &MultiLineGroupManager::loopSendStatusChanged);
        a->loopButton()->click();
        b->loopButton()->click();
        a->loopButton()->click();
        QCOMPARE(status.size(), 1); // only when "any running" changes
        QCOMPARE(status[0][0].toBool(), true);
        manager.stopAll();
        QCOMPARE(status.size(), 2);
        QCOMPARE(status[1][0].toBool(), false);
        QVERIFY(!b->isLooping());
        QVERIFY(!b->loopTimer()->isActive());
        QCOMPARE(b->list()->property("selectable").toBool(), false);

        // A looping group that is deleted takes its mark with it.
        b->loopButton()->click();
        QVERIFY(manager.isLoopRunning());
        QVERIFY(manager.removeGroup(QStringLiteral("b")));
        QVERIFY(!manager.isLoopRunning());
        QCOMPARE(status.last()[0].toBool(), false);
    }

    void restartBringsGroupsBackUnticked()
    {
        const QString path = m_dir.filePath(QStringLiteral("restart.json"));
        {
            MultiLineGroupManager manager;
            manager.addGroup(QStringLiteral("zeta"))
                ->appendLines({{QStringLiteral("l"), QStringLiteral("Z"), 30}});
            manager.addGroup(QStringLiteral("empty"))->appendLines({{QStringLiteral("l"), QString(), 30}});
            MultiLineGroup* alpha = manager.addGroup(QStringLiteral("alpha"));
            alpha->appendLines({{QStringLiteral("one"), QStringLiteral("1"), 10},
                                {QStringLiteral("two"), QStringLiteral("2"), 20}});
            alpha->selectAll();
            QVERIFY(manager.saveFile(path));
        }
        MultiLineGroupManager manager;
        QVERIFY(manager.importFile(path));
        QCOMPARE(manager.groupNames(), (QStringList{"alpha", "zeta"}));
        MultiLineGroup* alpha = manager.group(QStringLiteral("alpha"));
        QCOMPARE(alpha->list()->count(), 2);
        QCOMPARE(alpha->list()->lineAt(1)->label(), QStringLiteral("two"));
        QCOMPARE(alpha->list()->lineAt(1)->interval(), 20);
        for (const SingleLineItem* line : alpha->list()->lines())
            QVERIFY(!line->isChecked());
        QVERIFY(manager.takeLoadNotice().isEmpty());
    }

    void duplicateNameStopsTheImport()
    {
        const QString path = writeFile(QStringLiteral("dup.json"), R"({"groups":[
            {"group-name":"a","group-content":[{"time":1,"hexMode":false,"data":"A"}]},
            {"group-name":"b","group-content":[{"time":1,"hexMode":false,"data":"B"}]},
            {"group-name":"a","group-content":[]},
            {"group-name":"c","group-content":[{"time":1,"hexMode":false,"data":"C"}]}]})");
        MultiLineGroupManager manager;
        QTest::ignoreMessage(QtWarningMsg, "import multi line data failed!");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("did not load")));
        QVERIFY(!manager.importFile(path));
        QCOMPARE(manager.groupNames(), (QStringList{"a", "b"}));
        // Group "c" would be lost by the next save: the file is kept.
        QCOMPARE(readAll(path + QStringLiteral(".bak")), readAll(path));
    }

    void failedLoadIsKeptBeforeItIsWrittenOver()
    {
        const QByteArray broken =
            R"({"groups":[{"group-name":"mine","group-content":[{"time":1,"data":"precious"}]}]})";
        const QString path = writeFile(QStringLiteral("broken.json"), broken);
        for (int start = 0; start < 2; ++start) {
            MultiLineGroupManager manager;
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("did not load")));
            QVERIFY(!manager.importFile(path));
            QVERIFY(manager.groupNames().isEmpty());
            const QString notice = manager.takeLoadNotice();
            QVERIFY2(notice.contains(path + QStringLiteral(".bak")), qPrintable(notice));
            QVERIFY(manager.takeLoadNotice().isEmpty()); // said once
            QVERIFY(manager.saveFile(path));
            writeFile(QStringLiteral("broken.json"), broken); // the user breaks it again
        }
        QCOMPARE(readAll(path + QStringLiteral(".bak")), broken);
        QVERIFY(!QFile::exists(path + QStringLiteral(".bak.1"))); // the same content is kept once
    }

    void unreadableAndUncopyableFileIsNeverWrittenOver()
    {
        const QByteArray broken = "{\"groups\": [" + QByteArray(100000, ' ') + "{\"group-name\":\"x\"}]}";
        const QString path = writeFile(QStringLiteral("stuck.json"), broken);
        MultiLineGroupManager manager;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("did not load.*no copy")));
        {
            FileSizeLimit limit(64 * 1024); // the copy cannot be written
            QVERIFY(!manager.importFile(path));
        }
        QVERIFY(manager.takeLoadNotice().contains(QStringLiteral("will not be written over")));
        manager.addGroup(QStringLiteral("g"))->appendLines({{QString(), QStringLiteral("A"), 1}});
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("^mulit line data save failed")));
        QVERIFY(!manager.saveFile(path));
        QCOMPARE(readAll(path), broken);
    }

    void hostileFilesStartEmpty_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("fails");
        QTest::newRow("deep nesting") << QByteArray(R"({"groups":)") + QByteArray(5000, '[') << true;
        QTest::newRow("null root") << QByteArray("null") << true;
        QTest::newRow("groups not an array") << QByteArray(R"({"groups":{"group-name":1}})") << false;
    }

    void hostileFilesStartEmpty()
    {
        QFETCH(QByteArray, json);
        QFETCH(bool, fails);
        const QString path = writeFile(QStringLiteral("hostile.json"), json);
        MultiLineGroupManager manager;
        if (fails)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("did not load")));
        QCOMPARE(manager.importFile(path), !fails);
        QVERIFY(manager.groupNames().isEmpty());
    }

    void tenMegabyteTextLoadsWhole()
    {
        const QString text(10 * 1024 * 1024, QLatin1Char('5'));
        const QString path = m_dir.filePath(QStringLiteral("ten.json"));
        QVERIFY(
            MultiLineDataManager::save(path, {{QStringLiteral("big"), {{QStringLiteral("b"), text, 1}}}}));
        MultiLineGroupManager manager;
        QElapsedTimer t;
        t.start();
        QVERIFY(manager.importFile(path));
        QVERIFY2(t.elapsed() < scaledMs(3000), "a huge row must not freeze the window");
        SingleLineItem* line = manager.group(QStringLiteral("big"))->list()->lineAt(0);
        QVERIFY(line->isDataPreview());
        QCOMPARE(line->data(), text);
        QSignalSpy writes(line, &SingleLineItem::submitRequest);
        line->sendButton()->click();
        QCOMPARE(writes.value(0).value(0).toString(), text);
        QVERIFY(manager.saveFile(path));
        QCOMPARE(QFileInfo(path).size() > text.size(), true);
    }
};

QTEST_MAIN(TestMultiLineGroup)
#include "tst_multilinegroup.moc"
