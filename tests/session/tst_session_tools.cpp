#include "AppConfig.h"
#include "CSideBar.h"
#include "CSwitch.h"
#include "CsvProtocolParser.h"
#include "FileTransimisionWidget.h"
#include "FileTransmission.h"
#include "MultiChannelWaveformWidget.h"
#include "SerialParamWidget.h"
#include "SessionTestUtil.h"
#include "WaveformManagerWidget.h"
#include "WaveformStore.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// The session's wiring of the file transfer panel and the waveform: bytes go
// out once, received chunks reach the transfer, brace frames reach the plot
// only while recording, and the record key never eats typed text.
class TestSessionTools : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DialogCatcher> m_dialogs;
    std::unique_ptr<PtyPair> m_pty;
    std::unique_ptr<Session> m_session;

    const WaveformStore& store() const { return m_session->waveformPlot()->store(); }

    qsizetype sampleCount(int id) const
    {
        const WaveformChannel* ch = store().channel(id);
        return ch ? ch->samples.size() : -1;
    }

    void enableWaveform()
    {
        WaveformManagerWidget* manager = m_session->waveformManager();
        if (!manager->isWaveformEnabled())
            manager->enableSwitch()->click();
        QVERIFY(manager->isWaveformEnabled());
    }

private Q_SLOTS:
    void init()
    {
        AppConfig::resetToDefaults();
        m_dialogs = std::make_unique<DialogCatcher>();
        m_pty = std::make_unique<PtyPair>();
        QVERIFY(m_pty->open());
        m_session = std::make_unique<Session>();
        m_session->resize(1200, 740);
        m_session->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_session.get()));
        QVERIFY(openOnPty(m_session.get(), *m_pty));
    }

    void cleanup()
    {
        m_session.reset();
        m_pty.reset();
        QVERIFY2(m_dialogs->texts.isEmpty(), qPrintable(m_dialogs->texts.join(QLatin1Char('|'))));
        m_dialogs.reset();
    }

    void sixteenHiddenChannels()
    {
        // No OpenGL widget in the window until the waveform is wanted.
        QVERIFY(!m_session->waveformPlot());
        QVERIFY(m_session->findChildren<MultiChannelWaveformWidget*>().isEmpty());
        m_session->waveformManager()->channelButton(12)->click();
        QVERIFY(m_session->ensureWaveformPlot());
        QCOMPARE(m_session->ensureWaveformPlot(), m_session->waveformPlot());
        for (int id = 0; id < Session::kWaveformChannels; ++id) {
            const WaveformChannel* ch = store().channel(id);
            QVERIFY(ch);
            QCOMPARE(ch->name, QStringLiteral("Channel %1").arg(id));
            // A channel picked before the plot existed is shown once it does.
            QCOMPARE(ch->visible, id == 12);
        }
        QVERIFY(!m_session->waveformArea()->isVisible());
        m_session->waveformManager()->channelButton(3)->click();
        QVERIFY(store().channel(3)->visible);
    }

    void switchShowsPlotAndChannels()
    {
        enableWaveform();
        QVERIFY(m_session->waveformArea()->isVisible());
        QVERIFY(!m_session->sendArea()->isVisible());
        QVERIFY(m_session->sideBar()->isIndicatorEnabled(2));
        for (int id = 0; id < 8; ++id)
            QVERIFY(store().channel(id)->visible);
        QVERIFY(!store().channel(8)->visible);

        m_session->waveformManager()->enableSwitch()->click();
        QVERIFY(!m_session->waveformArea()->isVisible());
        QVERIFY(m_session->sendArea()->isVisible());
        QVERIFY(!m_session->sideBar()->isIndicatorEnabled(2));
    }

    void framesReachPlotOnlyWhileRecording()
    {
        enableWaveform();
        // Received bytes reach the parser when the receive tick hands them
        // on; wait for that rather than for a fixed time (a loaded machine
        // can hold them past any sleep and into the recording).
        QSignalSpy chunks(m_session.get(), &Session::dataReceived);
        auto handedOn = [&chunks](const QByteArray& text) {
            for (const QList<QVariant>& args : std::as_const(chunks)) {
                if (args.at(0).toByteArray().contains(text))
                    return true;
            }
            return false;
        };
        // Before recording: nothing may be kept for later.
        QVERIFY(m_pty->writeAll("boot ok {9,9}\n"));
        QTRY_VERIFY_WITH_TIMEOUT(handedOn("{9,9}"), 5000);
        QTest::qWait(200);
        QCOMPARE(sampleCount(0), 0);

        m_session->recordButton()->click();
        QVERIFY(m_session->recordButton()->isChecked());
        QVERIFY(m_session->waveformPlot()->isRecording());
        QVERIFY(m_session->drainTimer()->isActive());
        QVERIFY(m_pty->writeAll("[I] temp {1.5,-3,20}\n{2.5,-4,21}\nnoise {3.5, -5 ,22}\n"));
        QTRY_COMPARE_WITH_TIMEOUT(sampleCount(0), 3, 3000);
        const WaveformChannel* ch0 = store().channel(0);
        const WaveformChannel* ch2 = store().channel(2);
        QCOMPARE(ch0->samples[0].value, 1.5);
        QCOMPARE(ch0->samples[2].value, 3.5);
        QCOMPARE(ch2->samples[1].value, 21.0);
        // Default sample rate 100000/s: frames 10 us apart from 0.
        const qint64 step = 1000000000LL / m_session->waveformManager()->sampleRate();
        QCOMPARE(ch0->samples[0].timestamp, 0);
        QCOMPARE(ch0->samples[1].timestamp, step);
        QCOMPARE(ch2->samples[2].timestamp, 2 * step);

        m_session->recordButton()->click();
        QVERIFY(!m_session->waveformPlot()->isRecording());
        QVERIFY(!m_session->drainTimer()->isActive());
        QVERIFY(m_pty->writeAll("{7,7,7}\n"));
        QTRY_VERIFY_WITH_TIMEOUT(handedOn("{7,7,7}"), 5000);
        QTest::qWait(300);
        QCOMPARE(sampleCount(0), 3);

        // Recording again starts from time 0 with an empty store.
        m_session->recordButton()->click();
        QCOMPARE(sampleCount(0), 0);
        QVERIFY(m_pty->writeAll("{8}\n"));
        QTRY_COMPARE_WITH_TIMEOUT(sampleCount(0), 1, 3000);
        QCOMPARE(store().channel(0)->samples[0].timestamp, 0);
        QCOMPARE(store().channel(0)->samples[0].value, 8.0);
    }

    void switchOffStopsFeeding()
    {
        enableWaveform();
        m_session->recordButton()->click();
        m_session->waveformManager()->enableSwitch()->click();
        QVERIFY(!m_session->waveformManager()->isWaveformEnabled());
        QSignalSpy chunks(m_session.get(), &Session::dataReceived);
        QVERIFY(m_pty->writeAll("{1,2}\n"));
        // The frame reached the session and was handed on...
        QTRY_VERIFY_WITH_TIMEOUT(!chunks.isEmpty() && chunks.last().at(0).toByteArray().contains("{1,2}"),
                                 5000);
        // ...and, with the waveform on again, only a later frame arrives: the
        // parser and the drain keep their order, so {1,2} would come first.
        m_session->waveformManager()->enableSwitch()->click();
        QVERIFY(m_session->waveformManager()->isWaveformEnabled());
        QVERIFY(m_pty->writeAll("{5,6}\n"));
        QTRY_COMPARE_WITH_TIMEOUT(sampleCount(0), 1, 5000);
        QCOMPARE(store().channel(0)->samples[0].value, 5.0);
    }

    void recordKeyNeverEatsTypedText()
    {
        enableWaveform();
        m_session->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_session.get()));
        m_session->waveformPlot()->setFocus();
        QTRY_VERIFY(m_session->waveformPlot()->hasFocus());
        QTest::keyClick(m_session->waveformPlot(), Qt::Key_R);
        QVERIFY(m_session->recordButton()->isChecked());
        QTest::keyClick(m_session->waveformPlot(), Qt::Key_R);
        QVERIFY(!m_session->recordButton()->isChecked());

        // Typing a port path into the editable port box keeps its R.
        QComboBox* port = m_session->paramWidget()->findChild<QComboBox*>();
        QLineEdit* edit = nullptr;
        for (QComboBox* box : m_session->paramWidget()->findChildren<QComboBox*>()) {
            if (box->isEditable() && box->lineEdit()) {
                edit = box->lineEdit();
                break;
            }
        }
        Q_UNUSED(port);
        QVERIFY(edit);
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("r"));
        QTest::keyClick(edit, Qt::Key_R);
        QVERIFY(edit->text().contains(QLatin1Char('r'), Qt::CaseInsensitive));
        QVERIFY(!m_session->recordButton()->isChecked());

        // With the waveform hidden the key does nothing.
        m_session->waveformManager()->enableSwitch()->click();
        m_session->waveformPlot()->setFocus();
        QTest::keyClick(m_session.get(), Qt::Key_R);
        QVERIFY(!m_session->recordButton()->isChecked());
    }

    void rawTransferSendsEveryByteOnce()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QByteArray content(10000, Qt::Uninitialized);
        QRandomGenerator rng(42);
        for (char& c : content)
            c = char(rng.bounded(256));
        const QString path = dir.filePath(QStringLiteral("blob.bin"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();

        FileTransimisionWidget* panel = m_session->fileTransferPanel();
        QVERIFY(panel->transmission()->openFilePath(path));
        QSignalSpy status(panel, &FileTransimisionWidget::statusChanged);
        auto* protocol = panel->findChild<QComboBox*>();
        QVERIFY(protocol);
        protocol->setCurrentIndex(FileTransmission::RawBinary);
        QPushButton* start = nullptr;
        for (QPushButton* b : panel->findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("Start") ||
                b->text() == QCoreApplication::translate("FileTransimisionWidget", "Start"))
                start = b;
        QVERIFY(start);
        start->click();
        QVERIFY(panel->transmission()->isActive());
        QVERIFY(m_session->sideBar()->isIndicatorEnabled(1));

        const QByteArray got = readFromDevice(*m_pty, int(content.size()) + 1, 4000);
        QCOMPARE(got.size(), content.size());
        QVERIFY(got == content);
        QTRY_VERIFY_WITH_TIMEOUT(!panel->transmission()->isActive(), 3000);
        QVERIFY(!m_session->sideBar()->isIndicatorEnabled(1));
        QVERIFY(!status.isEmpty());
        QCOMPARE(m_session->txCount(), qulonglong(content.size()));
    }

    void receivedChunksReachTheTransfer()
    {
        // An XMODEM transfer waits for the receiver's "C"; it only gets it
        // through the session's receive path.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("small.txt"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("hello xmodem\n");
        f.close();
        FileTransimisionWidget* panel = m_session->fileTransferPanel();
        QVERIFY(panel->transmission()->openFilePath(path));
        panel->findChild<QComboBox*>()->setCurrentIndex(FileTransmission::XModem);
        for (QPushButton* b : panel->findChildren<QPushButton*>())
            if (b->text() == QCoreApplication::translate("FileTransimisionWidget", "Start"))
                b->click();
        QVERIFY(panel->transmission()->isActive());
        QVERIFY(m_pty->writeAll("C"));
        const QByteArray block = readFromDevice(*m_pty, 133, 3000);
        QCOMPARE(block.size(), 133);
        QCOMPARE(quint8(block[0]), quint8(0x01));
        QCOMPARE(quint8(block[1]), quint8(1));
        QVERIFY(block.mid(3, 13) == "hello xmodem\n");
        panel->transmission()->stopTransmission();
        QVERIFY(!panel->transmission()->isActive());
    }
};

QTEST_MAIN(TestSessionTools)
#include "tst_session_tools.moc"
