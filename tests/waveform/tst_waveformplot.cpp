#include "MultiChannelWaveformWidget.h"
#include "SkinManager.h"
#include "StyleWatcher.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QSurfaceFormat>
#include <QTest>

#include <cmath>
#include <memory>

// Drawing of the waveform plot, checked on the pixels of its GL frame buffer
// (runs under Xvfb with Mesa).
class TestWaveformPlot : public QObject
{
    Q_OBJECT

private:
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 600;

    static std::unique_ptr<MultiChannelWaveformWidget> makePlot(int channels)
    {
        auto w = std::make_unique<MultiChannelWaveformWidget>();
        for (int i = 0; i < channels; ++i)
            w->addChannel(QStringLiteral("ch%1").arg(i));
        w->resize(kWidth, kHeight);
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()))
            return nullptr;
        return w;
    }

    static bool near(const QColor& a, const QColor& b, int tol)
    {
        return std::abs(a.red() - b.red()) <= tol && std::abs(a.green() - b.green()) <= tol &&
               std::abs(a.blue() - b.blue()) <= tol;
    }

    static int countNear(const QImage& img, const QRect& area, const QColor& c, int tol)
    {
        int n = 0;
        const QRect r = area.intersected(img.rect());
        for (int y = r.top(); y <= r.bottom(); ++y) {
            for (int x = r.left(); x <= r.right(); ++x)
                n += near(img.pixelColor(x, y), c, tol) ? 1 : 0;
        }
        return n;
    }

    // Any pixel within `radius` of p close to c.
    static bool hasNear(const QImage& img, const QPoint& p, const QColor& c, int radius = 1, int tol = 40)
    {
        return countNear(img, QRect(p - QPoint(radius, radius), QSize(2 * radius + 1, 2 * radius + 1)), c,
                         tol) > 0;
    }

    static QVector<WaveformSample> series(int count, qint64 period, const std::function<double(int)>& f)
    {
        QVector<WaveformSample> out;
        for (int k = 0; k < count; ++k)
            out.append({k * period, f(k)});
        return out;
    }

    static void moveMouse(QWidget* w, const QPoint& pos)
    {
        QMouseEvent ev(QEvent::MouseMove, QPointF(pos), w->mapToGlobal(QPointF(pos)), Qt::NoButton,
                       Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &ev);
    }

    static QColor palette(int i) { return WaveformStore::paletteColor(i); }

private Q_SLOTS:
    void init() { StyleWatcher::instance()->notifySkinChanged(1); }

    void colourBarCoversEachBand()
    {
        auto w = makePlot(3);
        QVERIFY(w);
        const QImage img = w->grabFramebuffer();
        QCOMPARE(img.size(), QSize(kWidth, kHeight));
        for (int id = 0; id < 3; ++id) {
            const QRect band = w->bandRect(id);
            QVERIFY(!band.isNull());
            QVERIFY(band.bottom() < kHeight - 8);
            // Inner rows only: the separator of the previous band may touch the top row.
            for (int y = band.top() + 1; y < band.bottom(); ++y) {
                for (int x = 0; x < 5; ++x)
                    QVERIFY2(img.pixelColor(x, y) == palette(id),
                             qPrintable(QStringLiteral("ch %1 at %2,%3").arg(id).arg(x).arg(y)));
            }
            // The bar is 5 pixels wide; the band's right of it (outside the
            // "CHn" text) shows the background.
            QCOMPARE(img.pixelColor(7, band.top() + 3), w->bgColor());
            // "CHn" in the channel colour in x 5..50.
            QVERIFY(countNear(img, QRect(5, band.top(), 45, band.height()), palette(id), 60) > 5);
        }
        // Below the last band nothing is drawn.
        const int below = w->bandRect(2).bottom() + 4;
        QCOMPARE(img.pixelColor(2, below), w->bgColor());
        QCOMPARE(img.pixelColor(300, below + 20), w->bgColor());
    }

    void waveformGoesThroughSamples()
    {
        auto w = makePlot(3);
        QVERIFY(w);
        // One sample every 2 pixels at the default 10 us per pixel; the
        // default rate of 1 MS/s keeps the sample dots off.
        const auto samples = series(400, 20000, [](int k) { return std::sin(2 * M_PI * k / 100.0); });
        w->appendChannelData(2, samples);
        const QImage img = w->grabFramebuffer();
        const QRect band = w->bandRect(2);
        const WaveformChannel* ch = w->store().channel(2);
        QVERIFY(ch);
        QVERIFY(ch->displayMin < -1.0 && ch->displayMax > 1.0);
        for (int k : {37, 75, 150, 212, 260, 333}) {
            const int x = w->store().timeToX(samples[k].timestamp);
            const int y = WaveformStore::valueToY(samples[k].value, band.top(), band.height(), ch->displayMin,
                                                  ch->displayMax);
            QVERIFY(x > w->plotRect().left() && x < w->plotRect().right());
            QVERIFY2(hasNear(img, QPoint(x, y), palette(2)),
                     qPrintable(QStringLiteral("sample %1 at %2,%3").arg(k).arg(x).arg(y)));
            // Far from the trace the band is empty.
            const int away = (y > band.center().y()) ? y - 30 : y + 30;
            QVERIFY(!hasNear(img, QPoint(x, away), palette(2), 1, 40));
        }
        // The trace stays inside its band: nothing of its colour in band 0 or 1.
        const QRect plot = w->plotRect();
        QCOMPARE(
            countNear(img, QRect(plot.left(), w->bandRect(0).top(), plot.width(), 2 * 102), palette(2), 30),
            0);
        // Samples stop at 8 ms: right of the last one's column (and its
        // lead) the band holds no trace.
        const int lastX = w->store().timeToX(samples.constLast().timestamp);
        if (lastX < plot.right() - 40)
            QCOMPARE(countNear(img, QRect(lastX + 5, band.top(), plot.right() - lastX - 40, band.height()),
                               palette(2), 30),
                     0);
    }

    void hiddenBandsAreNotDrawn()
    {
        auto w = makePlot(3);
        QVERIFY(w);
        for (int id = 0; id < 3; ++id)
            w->appendChannelData(id, series(300, 20000, [id](int k) { return (k % 50) * (id + 1); }));
        QImage img = w->grabFramebuffer();
        QVERIFY(countNear(img, img.rect(), palette(1), 6) > 100);
        const QRect firstBand = w->bandRect(0);

        QSignalSpy spy(w.get(), &MultiChannelWaveformWidget::channelVisibleChanged);
        w->setChannelVisible(1, false);
        QCOMPARE(spy.count(), 1);
        w->setChannelVisible(1, false);
        QCOMPARE(spy.count(), 1);
        QVERIFY(w->bandRect(1).isNull());
        // Channel 2 moved up into the space channel 1 left.
        QCOMPARE(w->bandRect(2).top(), firstBand.top() + firstBand.height() + 2);

        img = w->grabFramebuffer();
        QCOMPARE(countNear(img, img.rect(), palette(1), 6), 0);
        QCOMPARE(img.pixelColor(2, w->bandRect(2).center().y()), palette(2));
        // Where channel 2 was before, there is nothing now.
        QCOMPARE(img.pixelColor(2, firstBand.top() + 2 * 102 + 50), w->bgColor());

        w->setChannelVisible(1, true);
        img = w->grabFramebuffer();
        QVERIFY(countNear(img, img.rect(), palette(1), 6) > 100);
    }

    void lightThemeDarkensGreyChannels()
    {
        auto w = makePlot(9);
        QVERIFY(w);
        QVERIFY(!w->isLightTheme());
        QImage img = w->grabFramebuffer();
        const int y0 = w->bandRect(0).center().y();
        const int y1 = w->bandRect(1).center().y();
        QCOMPARE(img.pixelColor(2, y0), palette(0));

        StyleWatcher::instance()->notifySkinChanged(0);
        QVERIFY(w->isLightTheme());
        img = w->grabFramebuffer();
        const QColor dark = palette(0).darker(250);
        QCOMPARE(img.pixelColor(2, y0).rgb(), dark.rgb());
        QVERIFY(img.pixelColor(2, y0).lightness() < palette(0).lightness() / 2);
        QCOMPARE(img.pixelColor(2, y1), palette(1));
        QCOMPARE(w->traceColor(8), dark);
        QCOMPARE(w->traceColor(9), QColor());

        // Channel 8 sits below the fold; scroll it into view.
        w->store().setScrollOffset(w->store().bandOffset(8));
        w->refreshView();
        img = w->grabFramebuffer();
        const QRect band8 = w->bandRect(8);
        QVERIFY(band8.top() >= w->store().headerHeight());
        QCOMPARE(img.pixelColor(2, band8.center().y()).rgb(), dark.rgb());

        StyleWatcher::instance()->notifySkinChanged(3);
        QVERIFY(!w->isLightTheme());
        img = w->grabFramebuffer();
        QCOMPARE(img.pixelColor(2, band8.center().y()), palette(0));
    }

    void denseColumnsSpanMinimumToMaximum()
    {
        auto w = makePlot(1);
        QVERIFY(w);
        // 400 samples per pixel column alternating between -1 and +1, with
        // one spike to 5 in a single sample: zoomed out, every column is a
        // solid bar from the lowest to the highest value, and the spike keeps
        // its own column.
        const int count = 200000;
        const int spikeAt = 123457;
        const auto samples =
            series(count, 1000, [](int k) { return k == spikeAt ? 5.0 : (k % 2 ? 1.0 : -1.0); });
        w->appendChannelData(0, samples);
        QVERIFY(w->store().setTimeScale(400000.0));
        w->store().setViewStart(0);
        w->refreshView();
        const QImage img = w->grabFramebuffer();
        const QRect band = w->bandRect(0);
        const WaveformChannel* ch = w->store().channel(0);
        auto yOf = [&](double v) {
            return WaveformStore::valueToY(v, band.top(), band.height(), ch->displayMin, ch->displayMax);
        };
        const int yTop = yOf(1.0), yBottom = yOf(-1.0), ySpike = yOf(5.0);
        QVERIFY(yBottom - yTop > 20);
        const int spikeX = w->store().timeToX(samples[spikeAt].timestamp);
        for (int x = w->plotRect().left() + 70; x < w->plotRect().left() + 480; x += 7) {
            if (std::abs(x - spikeX) <= 1)
                continue;
            QCOMPARE(countNear(img, QRect(x, yTop, 1, yBottom - yTop + 1), palette(0), 40),
                     yBottom - yTop + 1);
            QCOMPARE(countNear(img, QRect(x, band.top() + 2, 1, yTop - 3 - band.top()), palette(0), 40), 0);
        }
        QVERIFY(countNear(img, QRect(spikeX, ySpike, 1, yTop - ySpike), palette(0), 40) >= yTop - ySpike - 1);
        QCOMPARE(countNear(img, QRect(spikeX - 3, ySpike, 2, 4), palette(0), 40), 0);
        QCOMPARE(countNear(img, QRect(spikeX + 2, ySpike, 2, 4), palette(0), 40), 0);
    }

    void traceFollowsNewDataAndClearing()
    {
        auto w = makePlot(2);
        QVERIFY(w);
        const QRect plot = w->plotRect();
        const QRect band = w->bandRect(1);
        // Constant 1.0 for the first 2 ms of view (200 px at 10 us/px).
        w->appendChannelData(1, series(100, 20000, [](int) { return 1.0; }));
        QImage img = w->grabFramebuffer();
        const QRect right(plot.left() + 300, band.top() + 2, 200, band.height() - 4);
        QCOMPARE(countNear(img, right, palette(1), 30), 0);
        const int before =
            countNear(img, QRect(plot.left() + 60, band.top(), 100, band.height()), palette(1), 30);
        QVERIFY(before > 50);

        // A repaint for the pointer alone (its read-out in the other band)
        // draws the same trace.
        moveMouse(w.get(), QPoint(plot.left() + 100, w->bandRect(0).center().y()));
        QVERIFY(w->isCrosshairVisible());
        img = w->grabFramebuffer();
        QCOMPARE(countNear(img, QRect(plot.left() + 60, band.top(), 100, band.height()), palette(1), 30),
                 before);

        // More samples further right appear on the next frame.
        QVector<WaveformSample> more;
        for (int k = 100; k < 250; ++k)
            more.append({k * 20000LL, 1.0});
        w->appendChannelData(1, more);
        img = w->grabFramebuffer();
        QVERIFY(countNear(img, right, palette(1), 30) > 50);

        // Cleared: nothing of the channel's colour right of the label column.
        w->clearData();
        img = w->grabFramebuffer();
        QCOMPARE(countNear(img, QRect(plot.left() + 60, band.top(), plot.width() - 100, band.height()),
                           palette(1), 30),
                 0);
    }

    void traceSurvivesMoveToAnotherWindow()
    {
        auto w = makePlot(1);
        QVERIFY(w);
        w->appendChannelData(0, series(100, 20000, [](int) { return 1.0; }));
        const QRect area(w->plotRect().left() + 60, w->bandRect(0).top(), 100, w->bandRect(0).height());
        const int before = countNear(w->grabFramebuffer(), area, palette(0), 30);
        QVERIFY(before > 50);
        // A new top-level window means a new GL context: the trace's
        // objects are made again there.
        QWidget window;
        window.resize(kWidth, kHeight);
        w->setParent(&window);
        w->move(0, 0);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(countNear(w->grabFramebuffer(), area, palette(0), 30), before);
        w->setParent(nullptr);
    }

    void sampleDotsWhenZoomedIn()
    {
        auto w = makePlot(3);
        QVERIFY(w);
        w->setSampleRate(1000);
        // 1 ms per sample; constant value, so the trace is one flat line.
        w->appendChannelData(2, series(400, 1000000, [](int) { return 3.0; }));
        const QRect band = w->bandRect(2);
        const WaveformChannel* ch = w->store().channel(2);
        const int y = WaveformStore::valueToY(3.0, band.top(), band.height(), ch->displayMin, ch->displayMax);
        QCOMPARE(y, band.top() + band.height() / 2);

        // 10 us per pixel: a sample period spans 100 pixels, dots are drawn.
        QImage img = w->grabFramebuffer();
        for (int k = 1; k <= 6; ++k) {
            const int x = w->store().timeToX(k * 1000000LL);
            // A 4-pixel dot on the sample covers rows y - 1 .. y + 1 at least.
            QVERIFY(hasNear(img, QPoint(x, y + 1), palette(2), 0, 60));
            QVERIFY(hasNear(img, QPoint(x, y - 1), palette(2), 0, 60));
            // Between two samples only the 1-pixel line.
            QVERIFY(hasNear(img, QPoint(x + 50, y), palette(2), 0, 60));
            QVERIFY(!hasNear(img, QPoint(x + 50, y + 1), palette(2), 0, 60));
            QVERIFY(!hasNear(img, QPoint(x + 50, y - 1), palette(2), 0, 60));
        }

        // 400 us per pixel: a period spans 2.5 pixels, no dots, just the line.
        QVERIFY(w->store().setTimeScale(400000));
        w->refreshView();
        img = w->grabFramebuffer();
        const QRect plot = w->plotRect();
        // Right of the value labels.
        QVERIFY(countNear(img, QRect(plot.left() + 60, y, 120, 1), palette(2), 30) > 100);
        QCOMPARE(countNear(img, QRect(plot.left() + 60, y + 1, 120, 2), palette(2), 60), 0);
        QCOMPARE(countNear(img, QRect(plot.left() + 60, y - 2, 120, 2), palette(2), 60), 0);
    }

    void timeAxisHasLabels()
    {
        auto w = makePlot(2);
        QVERIFY(w);
        w->setAxisLabelColor(QColor(255, 255, 0));
        const QImage img = w->grabFramebuffer();
        const QRect plot = w->plotRect();
        const int header = w->store().headerHeight();
        // Both label rows carry text in the label colour.
        const QRect majorRow(plot.left() + 1, 1, plot.width() - 2, header / 2 - 1);
        const QRect offsetRow(plot.left() + 1, header / 2, plot.width() - 2, header / 2 - 1);
        QVERIFY(countNear(img, majorRow, QColor(255, 255, 0), 100) > 20);
        QVERIFY(countNear(img, offsetRow, QColor(255, 255, 0), 100) > 20);
        // Labels are clipped to the plot side: the label column's header is empty.
        QCOMPARE(countNear(img, QRect(2, 2, plot.left() - 4, header - 4), QColor(255, 255, 0), 100), 0);
        // The header's bottom line in the grid colour.
        QCOMPARE(img.pixelColor(plot.left() + 7, header).rgb(), w->gridLineColor().rgb());
    }

    void crosshairOnlyWhenNotRecording()
    {
        auto w = makePlot(2);
        QVERIFY(w);
        const QColor dot(255, 0, 255);
        const QColor line(0, 255, 255);
        w->setMarkerColor(dot);
        w->setMarkerLineColor(line);
        const auto ramp = series(300, 20000, [](int k) { return double(k); });
        w->appendChannelData(0, ramp);

        const QRect band = w->bandRect(0);
        const QPoint pos(300, band.center().y());
        moveMouse(w.get(), pos);
        QVERIFY(w->isCrosshairVisible());
        QCOMPARE(w->crosshairChannel(), 0);
        QImage img = w->grabFramebuffer();
        const WaveformChannel* ch = w->store().channel(0);
        const qint64 t = w->store().snapTime(0, w->store().xToTime(pos.x()));
        const double value = ch->samples.at(w->store().findSample(0, t)).value;
        const int dotY =
            WaveformStore::valueToY(value, band.top(), band.height(), ch->displayMin, ch->displayMax);
        QVERIFY(hasNear(img, QPoint(pos.x(), dotY), dot, 1, 30));
        // A half-pixel dashed line: blended with the background, but cyan.
        QVERIFY(countNear(img, QRect(pos.x() - 1, band.top(), 3, band.height()), line, 130) > 5);
        // The value read-out box sits left of the line.
        QVERIFY(countNear(img, QRect(pos.x() - 80, dotY, 72, 20), dot, 100) > 5);

        // Past the channel's last sample there is nothing to read.
        const int pastX = w->store().timeToX(ramp.constLast().timestamp) + 20;
        QVERIFY(pastX < w->plotRect().right());
        moveMouse(w.get(), QPoint(pastX, band.center().y()));
        img = w->grabFramebuffer();
        QCOMPARE(countNear(img, img.rect(), dot, 30), 0);

        // Outside the plot area: hidden.
        moveMouse(w.get(), QPoint(20, band.center().y()));
        QVERIFY(!w->isCrosshairVisible());

        w->startRecording();
        QVERIFY(w->isRecording());
        QVERIFY(!w->store().hasData());
        w->appendChannelData(0, ramp);
        moveMouse(w.get(), pos);
        QVERIFY(w->isCrosshairVisible());
        img = w->grabFramebuffer();
        QCOMPARE(countNear(img, img.rect(), dot, 30), 0);
        QCOMPARE(countNear(img, QRect(pos.x() - 1, band.top(), 3, band.height()), line, 130), 0);

        w->stopRecording();
        img = w->grabFramebuffer();
        QVERIFY(countNear(img, img.rect(), dot, 30) > 0);
    }

    void fitButtonFollowsTheme()
    {
        auto w = makePlot(1);
        QVERIFY(w);
        const QRect r = w->fitButtonRect(0);
        QCOMPARE(r.size(), QSize(25, 25));
        QCOMPARE(r.right(), kWidth - 8 - 6 - 1);
        QImage img = w->grabFramebuffer();
        // Inside the square, away from the glyph.
        const QPoint inner(r.left() + 4, r.center().y());
        QColor fill = w->bgColor().lighter(130);
        QVERIFY(near(img.pixelColor(inner), fill, 2));
        StyleWatcher::instance()->notifySkinChanged(0);
        img = w->grabFramebuffer();
        fill = w->bgColor().darker(130);
        QVERIFY(near(img.pixelColor(inner), fill, 2));
    }

    void coloursComeFromTheSheets()
    {
        auto w = makePlot(1);
        QVERIFY(w);
        QCOMPARE(w->bgColor(), QColor(27, 27, 28));
        QCOMPARE(w->gridLineColor(), QColor(85, 85, 85));
        QCOMPARE(w->axisLabelBgColor(), QColor(23, 23, 25, 100));
        QCOMPARE(w->markerLineColor(), QColor(0x88, 0x88, 0x88));

        w->setStyleSheet(QStringLiteral("MultiChannelWaveformWidget { qproperty-bgColor: #102030; "
                                        "qproperty-axisLabelBgColor: rgba(1, 2, 3, 50); }"));
        w->ensurePolished();
        QCOMPARE(w->bgColor(), QColor(0x10, 0x20, 0x30));
        QCOMPARE(w->axisLabelBgColor(), QColor(1, 2, 3, 50));
        QImage img = w->grabFramebuffer();
        QCOMPARE(img.pixelColor(400, 300), QColor(0x10, 0x20, 0x30));
        w->setStyleSheet(QString());

        // Every theme gives the plot its own colours: light ones for the
        // light theme, dark ones elsewhere.
        for (int skin = 0; skin < SkinManager::kSkinCount; ++skin) {
            SkinManager::instance()->setSkin(skin);
            QCOMPARE(w->isLightTheme(), skin == 0);
            const QColor bg = w->bgColor();
            QVERIFY2(bg != QColor(27, 27, 28), qPrintable(SkinManager::styleSheetPath(skin)));
            QCOMPARE(bg.alpha(), 255);
            if (skin == 0)
                QVERIFY(bg.lightness() > 200);
            else
                QVERIFY(bg.lightness() < 60);
            // Labels and names contrast with the background.
            QVERIFY(std::abs(w->axisLabelColor().lightness() - bg.lightness()) > 120);
            QVERIFY(std::abs(w->channelNameColor().lightness() - bg.lightness()) > 120);
            QVERIFY(std::abs(w->markerColor().lightness() - bg.lightness()) > 120);
            QVERIFY(w->gridLineColor() != bg);
            img = w->grabFramebuffer();
            QCOMPARE(img.pixelColor(400, 300), bg);
        }
        qApp->setStyleSheet(QString());
    }
};

int main(int argc, char** argv)
{
    // The surface the program itself asks for at start-up.
    QSurfaceFormat format;
    format.setVersion(4, 1);
    format.setProfile(QSurfaceFormat::CoreProfile);
    format.setSamples(3);
    QSurfaceFormat::setDefaultFormat(format);
    QApplication app(argc, argv);
    TestWaveformPlot test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_waveformplot.moc"
