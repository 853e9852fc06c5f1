#include "CsvProtocolParser.h"
#include "DialogCatcher.h"
#include "FrameDrain.h"
#include "MasterReader.h"
#include "PtyPair.h"
#include "SerialPortManager.h"
#include "WaveFormInfoItem.h"
#include "WaveformDataGeneratorWidget.h"
#include "WaveformListWidget.h"
#include "WaveformStore.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QWheelEvent>

#include <cmath>
#include <memory>

// The generator panel with a real port manager on a pseudo-terminal: what it
// writes goes through the frame parser into a waveform store.
class TestWaveformDataGenerator : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<SerialPortManager> m_manager;
    std::unique_ptr<WaveformDataGeneratorWidget> m_gen;
    std::unique_ptr<PtyPair> m_pty;

    bool openPort()
    {
        m_pty = std::make_unique<PtyPair>();
        return m_pty->open() &&
               m_manager->openPort(m_pty->slavePath(), QStringLiteral("115200"), QStringLiteral("8"),
                                   QStringLiteral("None"), QStringLiteral("1"), QStringLiteral("None"));
    }
    WaveFormInfoItem* item(int kind) const { return m_gen->list()->items().at(kind); }

private Q_SLOTS:
    void init()
    {
        m_manager = std::make_unique<SerialPortManager>();
        m_gen = std::make_unique<WaveformDataGeneratorWidget>(m_manager.get());
        m_gen->show();
    }
    void cleanup()
    {
        m_gen.reset();
        if (m_manager->isOpen())
            m_manager->closePort();
        m_manager.reset();
        m_pty.reset();
    }

    void startWithThePortClosedStaysStoppedSilently()
    {
        item(WaveformGenerator::Sin)->setChecked(true);
        DialogCatcher catcher;
        QSignalSpy status(m_gen.get(), &WaveformDataGeneratorWidget::statusChanged);
        m_gen->startButton()->click();
        QVERIFY(!m_gen->isRunning());
        QVERIFY(!m_gen->startButton()->isChecked());
        QCOMPARE(m_gen->startButton()->text(), QStringLiteral("Start"));
        QCOMPARE(status.count(), 0);
        QCOMPARE(catcher.texts, QStringList());
    }

    void startWithNothingSelectedWarns()
    {
        QVERIFY(openPort());
        DialogCatcher catcher;
        m_gen->startButton()->click();
        QVERIFY(!m_gen->isRunning());
        QVERIFY(!m_gen->startButton()->isChecked());
        QCOMPARE(catcher.titles, QStringList{QStringLiteral("Warning")});
        QCOMPARE(catcher.texts, QStringList{QStringLiteral("Please select waveform!")});
    }

    void selectAllAndZeroPeriodMarking()
    {
        m_gen->selectAllButton()->click();
        QCOMPARE(m_gen->list()->checkedItems().size(), int(WaveformGenerator::KindCount));
        m_gen->selectAllButton()->click();
        QCOMPARE(m_gen->list()->checkedItems().size(), 0);
        WaveFormInfoItem* sin = item(WaveformGenerator::Sin);
        sin->periodBox()->setValue(0);
        QCOMPARE(sin->periodBox()->property("style").toString(), QStringLiteral("invalid"));
        QVERIFY(!sin->periodBox()->toolTip().isEmpty());
        sin->periodBox()->setValue(5);
        QVERIFY(sin->periodBox()->property("style").toString().isEmpty());
    }

    // Scrolling the list over a field must not change a period by accident.
    void wheelOverAFieldLeavesItsValue()
    {
        QSpinBox* period = item(WaveformGenerator::Sin)->periodBox();
        const QPoint at = period->rect().center();
        QWheelEvent wheel(QPointF(at), QPointF(period->mapToGlobal(at)), QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(period, &wheel);
        QCOMPARE(period->value(), 1000);
    }

    void framesThroughThePtyReachTheStore()
    {
        QVERIFY(openPort());
        MasterReader reader(m_pty->masterFd());
        item(WaveformGenerator::Cos)->setChecked(true);
        item(WaveformGenerator::Sin)->setChecked(true);
        QSignalSpy status(m_gen.get(), &WaveformDataGeneratorWidget::statusChanged);
        m_gen->startButton()->click();
        QVERIFY(m_gen->isRunning());
        QCOMPARE(m_gen->startButton()->text(), QStringLiteral("Stop"));
        QCOMPARE(status.count(), 1);
        QCOMPARE(status.at(0).at(0).toBool(), true);
        // Selections made while running wait for the next start.
        item(WaveformGenerator::Pwm)->setChecked(true);
        QTRY_VERIFY_WITH_TIMEOUT(reader.data.count('\n') >= 30, 10000);
        m_gen->startButton()->click();
        QVERIFY(!m_gen->isRunning());
        QCOMPARE(status.count(), 2);
        QCOMPARE(status.at(1).at(0).toBool(), false);
        reader.drain();
        // Ticks are written whole: ten lines each.
        QCOMPARE(reader.data.count('\n') % WaveformGenerator::kLinesPerTick, 0);
        // List order, not the order of checking.
        QVERIFY(reader.data.startsWith("{0.0000,1.0000}\n{0.0628,0.9980}\n"));

        CsvProtocolParser parser;
        parser.handleData(reader.data);
        qint64 ts = 0;
        const FrameDrain::ChannelSamples samples = FrameDrain::drain(parser, 1000, ts);
        WaveformStore store;
        for (int id = 0; id < 2; ++id) {
            store.addChannel(QStringLiteral("ch%1").arg(id));
            store.appendChannelData(id, samples[id]);
        }
        QVERIFY(samples[2].isEmpty());
        const int lines = int(reader.data.count('\n'));
        for (int id = 0; id < 2; ++id)
            QCOMPARE(int(store.channel(id)->samples.size()), lines);
        // The frame parser reads single precision.
        QVERIFY(std::fabs(store.channel(0)->samples.at(1).value - 0.0628) < 1e-6);
        QVERIFY(std::fabs(store.channel(1)->samples.at(1).value - 0.998) < 1e-6);
        QCOMPARE(store.channel(1)->samples.at(1).timestamp, qint64(1000000));
    }

    void closedPortStopsTheRun()
    {
        QVERIFY(openPort());
        MasterReader reader(m_pty->masterFd());
        item(WaveformGenerator::Noise)->setChecked(true);
        QSignalSpy status(m_gen.get(), &WaveformDataGeneratorWidget::statusChanged);
        m_gen->startButton()->click();
        QVERIFY(m_gen->isRunning());
        m_manager->closePort();
        QVERIFY(status.count() == 2 || status.wait(2000));
        QCOMPARE(status.at(1).at(0).toBool(), false);
        QVERIFY(!m_gen->startButton()->isChecked());
    }
};

QTEST_MAIN(TestWaveformDataGenerator)
#include "tst_waveformdatagenerator.moc"
