#include "CDialog.h"
#include "DialogCatcher.h"
#include "MultiChannelWaveformWidget.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

static bool operator==(const WaveformSample& a, const WaveformSample& b)
{
    return a.timestamp == b.timestamp && a.value == b.value;
}

// The plot's file entries driven through its menu, as a user would: the
// file dialogs are answered, the tasks run on the pool and their results
// land in the store (runs under Xvfb for the GL frame buffer).
class TestWaveformCsvWidget : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MultiChannelWaveformWidget> m_plot;
    QTemporaryDir m_dir;

    // Answers the next file dialog with `path` (and a replay question with
    // Yes); the dialogs' titles are kept.
    struct Answerer
    {
        QTimer timer;
        QStringList titles;
    };
    std::unique_ptr<Answerer> answerWith(const QString& path)
    {
        auto a = std::make_unique<Answerer>();
        Answerer* raw = a.get();
        QObject::connect(&a->timer, &QTimer::timeout, [raw, path] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                raw->titles << box->windowTitle();
                box->button(QMessageBox::Yes)->click();
            } else if (auto* dlg = qobject_cast<QFileDialog*>(modal)) {
                raw->titles << dlg->windowTitle();
                dlg->selectFile(path);
                static_cast<QDialog*>(dlg)->accept();
            }
        });
        a->timer.start(10);
        return a;
    }

    void trigger(const QString& text)
    {
        QMenu* menu = m_plot->menuFor(QPoint(400, 300));
        QCOMPARE(menu, m_plot->plotMenu());
        for (QAction* action : menu->actions()) {
            if (action->text() == text) {
                QVERIFY(action->isEnabled());
                action->trigger();
                return;
            }
        }
        QFAIL(qPrintable(QStringLiteral("no menu entry ") + text));
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }

    static void writeFile(const QString& name, const QByteArray& content)
    {
        QFile f(name);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

private Q_SLOTS:
    void init()
    {
        m_plot = std::make_unique<MultiChannelWaveformWidget>();
        m_plot->resize(800, 600);
        m_plot->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_plot.get()));
    }

    void cleanup() { m_plot.reset(); }

    void savedCsvReplaysToTheSameSamples()
    {
        m_plot->addChannel(QStringLiteral("Volts"));
        m_plot->addChannel(QStringLiteral("Amps"));
        m_plot->addChannel(QStringLiteral("Idle"));
        m_plot->appendChannelData(0, {{0, 1.5}, {10, 2}, {20, 0.1}});
        m_plot->appendChannelData(1, {{10, 3}, {30, -1e-12}});
        const auto before = m_plot->store().channels();

        {
            auto answer = answerWith(path(QStringLiteral("rec.csv")));
            QSignalSpy saved(m_plot->saveWatcher(), &QFutureWatcherBase::finished);
            trigger(QStringLiteral("Save CSV"));
            QCOMPARE(answer->titles, QStringList{QStringLiteral("Export CSV")});
            QVERIFY(saved.count() == 1 || saved.wait(10000));
        }
        QVERIFY(!m_plot->saveProgressDialog());
        QFile f(path(QStringLiteral("rec.csv")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(),
                 QByteArray("Timestamp(ns),Volts,Amps,Idle\n0,1.5,,\n10,2,3,\n20,0.1,,\n30,,-1e-12,\n"));

        // The store holds data: the replay asks before clearing it.
        DialogCatcher catcher;
        auto answer = answerWith(path(QStringLiteral("rec.csv")));
        QSignalSpy replayed(m_plot->replayWatcher(), &QFutureWatcherBase::finished);
        QSignalSpy visible(m_plot.get(), &MultiChannelWaveformWidget::channelVisibleChanged);
        trigger(QStringLiteral("Replay CSV"));
        QCOMPARE(answer->titles, (QStringList{QStringLiteral("Warning"), QStringLiteral("Replay CSV")}));
        QVERIFY(replayed.count() == 1 || replayed.wait(10000));
        QVERIFY(!m_plot->replayProgressDialog());
        QCOMPARE(catcher.texts, QStringList());
        for (int id = 0; id < 3; ++id) {
            QCOMPARE(m_plot->store().channel(id)->name, before.value(id).name);
            QCOMPARE(m_plot->store().channel(id)->samples, before.value(id).samples);
            QVERIFY(m_plot->store().channel(id)->visible);
        }
    }

    void refusedHeaderSaysWhy()
    {
        m_plot->addChannel(QStringLiteral("A"));
        writeFile(path(QStringLiteral("min.csv")), "Timestamp(min),A\n1,2\n");
        DialogCatcher catcher;
        QVERIFY(!m_plot->replayFromCSV(path(QStringLiteral("min.csv"))));
        QCOMPARE(catcher.titles, QStringList{QStringLiteral("Warning")});
        QVERIFY2(catcher.texts.value(0).contains(QLatin1String("\"min\"")),
                 qPrintable(catcher.texts.value(0)));
        QVERIFY(!m_plot->isReplaying());
        QVERIFY(!m_plot->store().hasData());
    }

    void replayFromAnotherToolHidesUnnamedChannels()
    {
        for (int i = 0; i < 4; ++i)
            m_plot->addChannel(QStringLiteral("c%1").arg(i));
        writeFile(path(QStringLiteral("ms.csv")), "\xEF\xBB\xBFTime(ms),A,B\r\n1.5,3,\r\n2.5,4,5\r\n");
        QSignalSpy replayed(m_plot->replayWatcher(), &QFutureWatcherBase::finished);
        QVERIFY(m_plot->replayFromCSV(path(QStringLiteral("ms.csv"))));
        // A second replay while one runs is refused.
        QVERIFY(m_plot->isReplaying());
        QVERIFY(!m_plot->replayFromCSV(path(QStringLiteral("ms.csv"))));
        QVERIFY(replayed.count() == 1 || replayed.wait(10000));
        const WaveformStore& store = m_plot->store();
        QCOMPARE(store.channel(0)->name, QStringLiteral("A"));
        QCOMPARE(store.channel(0)->samples, (QVector<WaveformSample>{{1500000, 3}, {2500000, 4}}));
        QCOMPARE(store.channel(1)->samples, (QVector<WaveformSample>{{2500000, 5}}));
        QVERIFY(store.channel(1)->visible);
        QVERIFY(!store.channel(2)->visible);
        QVERIFY(!store.channel(3)->visible);
        QCOMPARE(store.sampleRate(), 1000.0);
    }

    void saveCsvWithoutDataWarns()
    {
        m_plot->addChannel(QStringLiteral("A"));
        DialogCatcher catcher;
        trigger(QStringLiteral("Save CSV"));
        QCOMPARE(catcher.texts, QStringList{QStringLiteral("Have no data to save!")});
        QVERIFY(!m_plot->exportToCSV(QString()));
        QCOMPARE(catcher.texts.value(1), QStringLiteral("file name is invalid!"));
    }

    void imageIsThePlotAsShown()
    {
        m_plot->addChannel(QStringLiteral("A"));
        m_plot->appendChannelData(0, {{0, 1}, {1000000, 2}});
        auto answer = answerWith(path(QStringLiteral("shot")));
        QSignalSpy done(m_plot->imageWatcher(), &QFutureWatcherBase::finished);
        trigger(QStringLiteral("Save Waveform To Image"));
        QCOMPARE(answer->titles, QStringList{QStringLiteral("Save Waveform")});
        QVERIFY(done.count() == 1 || done.wait(10000));
        QImage image(path(QStringLiteral("shot.png")), "PNG");
        QCOMPARE(image.size(), m_plot->size() * m_plot->devicePixelRatio());
    }

    void imageToUnwritableFolderWarns()
    {
        m_plot->addChannel(QStringLiteral("A"));
        DialogCatcher catcher;
        QSignalSpy done(m_plot->imageWatcher(), &QFutureWatcherBase::finished);
        const QString target = path(QStringLiteral("no-such-dir/x.png"));
        QVERIFY(m_plot->saveImage(target));
        QVERIFY(done.count() == 1 || done.wait(10000));
        QTRY_COMPARE_WITH_TIMEOUT(catcher.titles.size(), 1, 5000);
        QVERIFY2(catcher.texts.value(0).contains(target), qPrintable(catcher.texts.value(0)));
        QVERIFY(!QFile::exists(target));
    }

    void fileSizeTexts()
    {
        QCOMPARE(MultiChannelWaveformWidget::fileSizeText(1023), QStringLiteral("1023 B"));
        QCOMPARE(MultiChannelWaveformWidget::fileSizeText(1536), QStringLiteral("1.5 KB"));
        QCOMPARE(MultiChannelWaveformWidget::fileSizeText(3 << 20), QStringLiteral("3 MB"));
        QCOMPARE(MultiChannelWaveformWidget::fileSizeText(qint64(5) << 29), QStringLiteral("2.5 GB"));
    }
};

QTEST_MAIN(TestWaveformCsvWidget)
#include "tst_waveformcsvwidget.moc"
