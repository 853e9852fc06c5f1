#include "MultiChannelWaveformWidget.h"
#include "StyleWatcher.h"
#include "TimingItem.h"
#include "TimingWidget.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <cmath>
#include <memory>

// Mouse, wheel and key handling of the real plot (runs under Xvfb): zoom,
// pan and fling, layout drags, renaming, cursor pairs, range measurements,
// menus and the timing-marker list fed by the plot's signals.
class TestWaveformInteraction : public QObject
{
    Q_OBJECT

private:
    // 800 x 600: label column 50, header 35, bands of 100 px and 2 px gaps,
    // so channel 0 spans y 35..134, channel 1 137..236, channel 2 239..338.
    static constexpr int kBand0Y = 80;
    static constexpr int kBand2Y = 290;
    static constexpr qint64 kMs = 1000000;

    // Three channels of 3000 samples at 1000 samples/s; 10 000 ns per pixel,
    // so one sample every 100 px and x = 150 is 1 ms after the view start.
    static std::unique_ptr<MultiChannelWaveformWidget> makePlot(qint64 viewStart = 0)
    {
        auto w = std::make_unique<MultiChannelWaveformWidget>();
        for (int i = 0; i < 3; ++i)
            w->addChannel(QStringLiteral("ch%1").arg(i));
        w->resize(800, 600);
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()))
            return nullptr;
        // The Ctrl+T / Ctrl+G shortcuts work in an active window.
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w.get()))
            return nullptr;
        w->setFocus();
        w->setSampleRate(1000.0);
        for (int id = 0; id < 3; ++id) {
            QVector<WaveformSample> samples;
            for (int k = 0; k < 3000; ++k)
                samples.append({k * kMs, std::sin(k * 0.3) + id});
            w->appendChannelData(id, samples);
        }
        w->store().setTimeScale(10000.0);
        w->store().setViewStart(viewStart);
        w->refreshView();
        return w;
    }

    static void move(QWidget* w, const QPoint& pos, Qt::MouseButtons buttons = Qt::NoButton)
    {
        QMouseEvent ev(QEvent::MouseMove, QPointF(pos), w->mapToGlobal(QPointF(pos)), Qt::NoButton, buttons,
                       Qt::NoModifier);
        QApplication::sendEvent(w, &ev);
    }

    static void drag(QWidget* w, const QPoint& from, const QPoint& to)
    {
        QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, from);
        move(w, to, Qt::LeftButton);
        QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, to);
    }

    static void wheel(QWidget* w, const QPoint& pos, int delta, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QWheelEvent ev(QPointF(pos), w->mapToGlobal(QPointF(pos)), QPoint(), QPoint(0, delta), Qt::NoButton,
                       mods, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &ev);
    }

    static void click(QWidget* w, const QPoint& pos)
    {
        move(w, pos);
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, pos);
    }

    // Ctrl+T, then two clicks in channel 0's band.
    static void makePair(MultiChannelWaveformWidget* w, int x1, int x2)
    {
        move(w, QPoint(x1, kBand0Y));
        QTest::keyClick(w, Qt::Key_T, Qt::ControlModifier);
        click(w, QPoint(x1, kBand0Y));
        click(w, QPoint(x2, kBand0Y));
    }

private Q_SLOTS:
    void init() { StyleWatcher::instance()->notifySkinChanged(1); }

    void wheelZoomsAboutPointerDownToTheLimit()
    {
        auto w = makePlot(500 * kMs);
        QVERIFY(w);
        w->store().setTimeScale(100000.0);
        w->refreshView();
        const QPoint at(400, kBand0Y);
        const qint64 under = w->store().xToTime(at.x());
        wheel(w.get(), at, 120);
        QCOMPARE(w->store().timeScale(), 100000.0 / 1.4);
        QVERIFY(qAbs(w->store().xToTime(at.x()) - under) <= 100000);
        for (int i = 0; i < 20; ++i)
            wheel(w.get(), at, 120);
        // 1000 samples/s: a sample period spans at most 50 pixels.
        QCOMPARE(w->store().timeScale(), 20000.0);
        // Over the scroll-bar strip nothing happens.
        wheel(w.get(), QPoint(w->width() - 3, kBand0Y), -120);
        QCOMPARE(w->store().timeScale(), 20000.0);
        // Over the label column the wheel scrolls the band stack instead.
        w->resize(800, 250);
        QTRY_COMPARE(w->height(), 250);
        wheel(w.get(), QPoint(20, kBand0Y), -120);
        QCOMPARE(w->store().scrollOffset(), 3 * 100 + 2 * 2 - (250 - 8 - 35)); // stops at the end
        wheel(w.get(), QPoint(20, kBand0Y), 240);
        QCOMPARE(w->store().scrollOffset(), 0);
        QCOMPARE(w->store().timeScale(), 20000.0);
    }

    void ctrlWheelZoomsChannelUnderPointer()
    {
        auto w = makePlot();
        QVERIFY(w);
        const WaveformChannel* ch = w->store().channel(2);
        const double span = ch->displayMax - ch->displayMin;
        wheel(w.get(), QPoint(300, kBand2Y), 120, Qt::ControlModifier);
        QVERIFY(qAbs((ch->displayMax - ch->displayMin) - 0.8 * span) < 1e-9);
        QVERIFY(!ch->autoRange);
        QVERIFY(w->store().channel(0)->autoRange);
        // The band's fit button brings the data range back.
        const QRect fit = w->fitButtonRect(2);
        click(w.get(), fit.center());
        QVERIFY(ch->autoRange);
        QVERIFY(qAbs((ch->displayMax - ch->displayMin) - span) < 1e-9);
    }

    void flingCarriesTheViewOn()
    {
        auto w = makePlot(1000 * kMs);
        QVERIFY(w);
        const qint64 start = w->store().viewStart();
        QTest::mousePress(w.get(), Qt::LeftButton, Qt::NoModifier, QPoint(600, kBand0Y));
        QVERIFY(w->isPanning());
        // Plain sleeps: waiting with the event loop would repaint between
        // moves, which on a loaded machine slows the fling below its threshold.
        for (int i = 1; i <= 5; ++i) {
            QTest::qSleep(4);
            move(w.get(), QPoint(600 - 60 * i, kBand0Y), Qt::LeftButton);
        }
        QTest::mouseRelease(w.get(), Qt::LeftButton, Qt::NoModifier, QPoint(300, kBand0Y));
        const qint64 dragged = w->store().viewStart();
        QCOMPARE(dragged, start + 300 * 10000);
        QVERIFY(w->isInertiaRunning());
        QVERIFY(w->inertia().velocityX() < 0);
        QTRY_VERIFY_WITH_TIMEOUT(!w->isInertiaRunning(), 10000);
        QVERIFY(w->store().viewStart() > dragged);
    }

    void dragAfterRestHasNoFling()
    {
        auto w = makePlot(1000 * kMs);
        QVERIFY(w);
        QTest::mousePress(w.get(), Qt::LeftButton, Qt::NoModifier, QPoint(600, kBand0Y));
        move(w.get(), QPoint(400, kBand0Y), Qt::LeftButton);
        QTest::qWait(150);
        QTest::mouseRelease(w.get(), Qt::LeftButton, Qt::NoModifier, QPoint(400, kBand0Y));
        QVERIFY(!w->isInertiaRunning());
    }

    void bandAndLabelColumnResize()
    {
        auto w = makePlot();
        QVERIFY(w);
        const int border = w->bandRect(0).bottom() + 1;
        drag(w.get(), QPoint(20, border), QPoint(20, border - 50));
        QCOMPARE(w->store().channel(0)->height, 100); // 50 is not enough
        drag(w.get(), QPoint(20, border), QPoint(20, border - 49));
        QCOMPARE(w->store().channel(0)->height, 51);

        drag(w.get(), QPoint(52, kBand2Y), QPoint(700, kBand2Y));
        QCOMPARE(w->store().labelColumnWidth(), 300);
        QCOMPARE(w->plotRect().left(), 300);
        drag(w.get(), QPoint(298, kBand2Y), QPoint(0, kBand2Y));
        QCOMPARE(w->store().labelColumnWidth(), 50);
    }

    void renameInPlace()
    {
        auto w = makePlot();
        QVERIFY(w);
        w->store().setLabelColumnWidth(200);
        w->refreshView();
        QLineEdit* editor = w->nameEditor();
        QTest::mouseClick(w.get(), Qt::LeftButton, Qt::NoModifier, w->nameRect(1).center());
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->text(), QStringLiteral("ch1"));
        QCOMPARE(editor->maxLength(), 64);
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("  Pump  "));
        QTest::keyClick(editor, Qt::Key_Return);
        QVERIFY(!editor->isVisible());
        QCOMPARE(w->store().channel(1)->name, QStringLiteral("Pump"));

        // Blank keeps the name; Escape cancels.
        QTest::mouseClick(w.get(), Qt::LeftButton, Qt::NoModifier, w->nameRect(1).center());
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("   "));
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(w->store().channel(1)->name, QStringLiteral("Pump"));
        QTest::mouseClick(w.get(), Qt::LeftButton, Qt::NoModifier, w->nameRect(1).center());
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("Valve"));
        QTest::keyClick(editor, Qt::Key_Escape);
        QVERIFY(!editor->isVisible());
        QCOMPARE(w->store().channel(1)->name, QStringLiteral("Pump"));
    }

    void cursorPairsAndReadout()
    {
        auto w = makePlot();
        QVERIFY(w);
        TimingWidget timing;
        connect(w.get(), &MultiChannelWaveformWidget::cursorPairChanged, &timing,
                &TimingWidget::onCursorPairChanged);
        connect(w.get(), &MultiChannelWaveformWidget::cursorPairRemoved, &timing,
                &TimingWidget::onCursorPairRemoved);
        QSignalSpy changed(w.get(), &MultiChannelWaveformWidget::cursorPairChanged);
        QSignalSpy removed(w.get(), &MultiChannelWaveformWidget::cursorPairRemoved);

        makePair(w.get(), 148, 253); // snapped to 1 ms and 2 ms
        QCOMPARE(w->cursorPairs().size(), 1);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.at(0).at(1).toLongLong(), 1 * kMs);
        QCOMPARE(changed.at(0).at(2).toLongLong(), 2 * kMs);
        QCOMPARE(w->selectedCursorPair(), 0);
        QVERIFY(!w->isCreatingCursorPair());
        QCOMPARE(w->cursorReadoutAt(QPoint(150, kBand0Y)),
                 QStringLiteral("T = 1 ms\n∆t = 1 ms\nFreq = 1.00 KHz"));
        QCOMPARE(w->cursorReadoutAt(QPoint(200, kBand0Y)), QString()); // not near a line
        QCOMPARE(timing.rowCount(), 1);
        QCOMPARE(timing.itemFor(0)->title(), QStringLiteral("P0 -> ∆ = 1 ms (1 KHz)"));
        QCOMPARE(timing.itemFor(0)->time1Text(), QStringLiteral("T1 = 1 ms"));

        // Right to left: time1 stays the first click.
        makePair(w.get(), 450, 350);
        QCOMPARE(w->cursorPairs().at(1).time1, 4 * kMs);
        QCOMPARE(w->cursorPairs().at(1).time2, 3 * kMs);
        QCOMPARE(w->cursorReadoutAt(QPoint(450, kBand0Y)),
                 QStringLiteral("T = 4 ms\n∆t = 1 ms\nFreq = 1.00 KHz"));

        // Dragging a line moves it from sample to sample and refills its row.
        drag(w.get(), QPoint(352, kBand0Y), QPoint(548, kBand0Y));
        QCOMPARE(w->cursorPairs().at(1).time2, 5 * kMs);
        QCOMPARE(changed.constLast().at(2).toLongLong(), 5 * kMs);
        QCOMPARE(timing.rowCount(), 2);
        QCOMPARE(timing.itemFor(1)->title(), QStringLiteral("P1 -> ∆ = 1 ms (1 KHz)"));

        // Equal times.
        makePair(w.get(), 650, 650);
        QCOMPARE(w->cursorReadoutAt(QPoint(650, kBand0Y)), QStringLiteral("T = 6 ms\n\n∆t = 0s"));
        QCOMPARE(timing.itemFor(2)->title(), QStringLiteral("P2 -> ∆ = 0 ns (0Hz)"));

        // Escape ends a creation without a pair.
        QTest::keyClick(w.get(), Qt::Key_T, Qt::ControlModifier);
        QVERIFY(w->isCreatingCursorPair());
        QTest::keyClick(w.get(), Qt::Key_Escape);
        QVERIFY(!w->isCreatingCursorPair());
        QCOMPARE(w->cursorPairs().size(), 3);

        // Delete all: last pair first.
        w->clearCursorPairs();
        QCOMPARE(removed.size(), 3);
        QCOMPARE(removed.at(0).at(0).toInt(), 2);
        QCOMPARE(removed.at(1).at(0).toInt(), 1);
        QCOMPARE(removed.at(2).at(0).toInt(), 0);
        QVERIFY(w->cursorPairs().isEmpty());
        QCOMPARE(timing.rowCount(), 0);
    }

    void rangeMeasurement()
    {
        // View from 0.999 s: x = 150 is 1.000 s, x = 350 is 1.002 s.
        auto w = makePlot(999 * kMs);
        QVERIFY(w);
        move(w.get(), QPoint(150, kBand2Y));
        QTest::keyClick(w.get(), Qt::Key_G, Qt::ControlModifier);
        QVERIFY(w->isRangeCreationArmed());
        drag(w.get(), QPoint(150, kBand2Y), QPoint(350, kBand2Y));
        QVERIFY(!w->isRangeCreationArmed());
        QCOMPARE(w->rangeMeasures().size(), 1);
        const RangeMeasure& r = w->rangeMeasures().at(0);
        QCOMPARE(r.channel, 2);
        QCOMPARE(r.count, qint64(3));
        const double v[3] = {std::sin(1000 * 0.3) + 2, std::sin(1001 * 0.3) + 2, std::sin(1002 * 0.3) + 2};
        QCOMPARE(r.maximum, std::max({v[0], v[1], v[2]}));
        QCOMPARE(r.minimum, std::min({v[0], v[1], v[2]}));
        QVERIFY(qAbs(r.average - (v[0] + v[1] + v[2]) / 3) < 1e-12);
        QCOMPARE(w->rangeReadout().size(), 2);
        QVERIFY(w->rangeReadout().at(1).endsWith(QStringLiteral("N: 3")));

        // Dragging the right edge one sample further recomputes.
        drag(w.get(), QPoint(351, kBand2Y), QPoint(450, kBand2Y));
        QCOMPARE(w->rangeMeasures().at(0).count, qint64(4));

        // A click where no range lies deselects; Escape then removes them all.
        click(w.get(), QPoint(250, kBand0Y));
        QCOMPARE(w->selectedRange(), -1);
        QVERIFY(!w->rangeMeasures().at(0).selected);
        QTest::keyClick(w.get(), Qt::Key_Escape);
        QVERIFY(w->rangeMeasures().isEmpty());
    }

    void toolsRefusedWhileRecording()
    {
        auto w = makePlot();
        QVERIFY(w);
        w->startRecording();
        QTest::keyClick(w.get(), Qt::Key_T, Qt::ControlModifier);
        QTest::keyClick(w.get(), Qt::Key_G, Qt::ControlModifier);
        QVERIFY(!w->isCreatingCursorPair());
        QVERIFY(!w->isRangeCreationArmed());
        QMenu* menu = w->menuFor(QPoint(300, kBand0Y));
        QCOMPARE(menu, w->plotMenu());
        const QList<QAction*> actions = menu->actions();
        QStringList enabled;
        for (QAction* a : actions) {
            if (!a->isSeparator() && a->isEnabled())
                enabled << a->text();
        }
        QCOMPARE(enabled,
                 (QStringList{QStringLiteral("Fit View"), QStringLiteral("Resize All Channels To Match"),
                              QStringLiteral("Restore Y Axis Range")}));
        w->stopRecording();
        menu = w->menuFor(QPoint(300, kBand0Y));
        QVERIFY(actions.at(8)->isEnabled()); // Delete Data
    }

    void menusAndDeleteData()
    {
        auto w = makePlot();
        QVERIFY(w);
        makePair(w.get(), 150, 350);
        QCOMPARE(w->menuFor(QPoint(250, kBand2Y)), w->cursorPairMenu());
        QCOMPARE(w->menuFor(QPoint(500, kBand2Y)), w->plotMenu());

        QSignalSpy removed(w.get(), &MultiChannelWaveformWidget::cursorPairRemoved);
        // Answer the question with Yes as soon as it is up.
        QTimer answer;
        QStringList asked;
        connect(&answer, &QTimer::timeout, this, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                asked << box->windowTitle() << box->text();
                box->button(QMessageBox::Yes)->click();
            }
        });
        answer.start(10);
        w->deleteDataWithConfirmation();
        QCOMPARE(asked, (QStringList{QStringLiteral("Warning"),
                                     QStringLiteral("Are you sure you want to delete all data?")}));
        QCOMPARE(removed.size(), 1);
        QVERIFY(w->cursorPairs().isEmpty());
        QVERIFY(!w->store().hasData());
    }
};

QTEST_MAIN(TestWaveformInteraction)
#include "tst_waveforminteraction.moc"
