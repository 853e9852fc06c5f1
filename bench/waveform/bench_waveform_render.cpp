// Frame time of the waveform plot: 16 visible channels at 1200 x 800, fully
// zoomed out, mid zoom and zoomed in, while wheel-zooming (one notch per
// frame from fully zoomed in to fully out) and while flinging (inertia), at
// 200,000 and 2,000,000 samples per channel (or the counts given as
// arguments); then the cost of one range-statistics recomputation over
// 10,000,000 samples. Each frame is one synchronous
// render (grabFramebuffer); the time covers paintGL up to glFinish, so all GL
// work is in it but the read-back is not. Run under Xvfb with Mesa:
//   xvfb-run -a -s "-screen 0 1600x1000x24" build/bin/bench_waveform_render [samples...]
// CVN_BENCH_SAMPLES=n sets the multisample count (the program uses 3);
// CVN_BENCH_SHOT=prefix saves the first frame of each case as prefix-N.png.
#include "MultiChannelWaveformWidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QSurfaceFormat>
#include <QTextStream>
#include <QThread>
#include <QWheelEvent>
#include <QWindow>

#include <functional>

#include <algorithm>
#include <cmath>
#include <ctime>

namespace {

// CPU time of the whole process (this thread and Mesa's raster threads):
// what a frame costs, independent of how long the shared machine made it wait.
double processCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

class TimedPlot : public MultiChannelWaveformWidget
{
public:
    QVector<double> frameMs;
    QVector<double> cpuMs;

protected:
    void paintGL() override
    {
        QElapsedTimer t;
        const double cpu0 = processCpuMs();
        t.start();
        MultiChannelWaveformWidget::paintGL();
        glFinish();
        frameMs.append(t.nsecsElapsed() / 1e6);
        cpuMs.append(processCpuMs() - cpu0);
    }
};

constexpr int kChannels = 16;
constexpr int kFrames = 50;
constexpr double kRate = 1000000.0; // 1 MS/s: 2,000,000 samples are 2 s of signal

// The same picture for every sample count: channel c runs 10 * (c + 1)
// cycles over the whole recording (a sine, or a square for every third
// channel) with 5 % noise, so that zoomed-out frames of 200,000 and
// 2,000,000 samples differ only in the amount of data behind them.
QVector<WaveformSample> makeSignal(int channel, qint64 count)
{
    QVector<WaveformSample> out;
    out.reserve(count);
    QRandomGenerator rng(quint32(channel + 1));
    const qint64 period = qint64(1e9 / kRate);
    const double cycles = 10.0 * (channel + 1);
    for (qint64 k = 0; k < count; ++k) {
        double v = std::sin(2 * M_PI * cycles * double(k) / double(count));
        if (channel % 3 == 1)
            v = v >= 0 ? 1.0 : -1.0;
        v += 0.05 * (rng.generateDouble() - 0.5);
        out.append({k * period, v});
    }
    return out;
}

double scanMs = 0;
// CVN_BENCH_SHOT=prefix saves each case's first frame as prefix-N.png.
QString shotPrefix;
int shotCount = 0;

struct Figures
{
    double median = 0;
    double p90 = 0;
    double worst = 0;
    double cpuMedian = 0;
};

// panNs > 0: the view moves every frame (nothing drawn before can be
// reused); panNs == 0: the view stays and the pointer moves over the plot,
// as when reading values off a paused recording.
Figures measure(TimedPlot& w, double scale, qint64 start, qint64 panNs)
{
    w.store().setTimeScale(scale);
    w.store().setViewStart(start);
    w.refreshView();
    const QImage first = w.grabFramebuffer(); // warm-up: glyph cache, buffers
    if (!shotPrefix.isEmpty())
        first.save(QStringLiteral("%1-%2.png").arg(shotPrefix).arg(++shotCount));
    w.frameMs.clear();
    w.cpuMs.clear();
    for (int i = 0; i < kFrames; ++i) {
        if (panNs > 0) {
            w.store().setViewStart(start + (i % 2 ? panNs : 0));
            w.refreshView();
        } else {
            const QRect plot = w.plotRect();
            const QPoint pos(plot.left() + 20 + (i * 37) % (plot.width() - 40),
                             plot.top() + 30 + (i * 53) % 300);
            QMouseEvent move(QEvent::MouseMove, QPointF(pos), w.mapToGlobal(QPointF(pos)), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(&w, &move);
        }
        (void)w.grabFramebuffer();
    }
    if (panNs == 0) {
        // The pointer leaves, and the crosshair with it, for the next case.
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&w, &leave);
    }
    // The data part of a frame alone: the column scans of the drawn bands.
    QElapsedTimer scanTimer;
    scanTimer.start();
    constexpr int kScanRounds = 20;
    for (int round = 0; round < kScanRounds; ++round) {
        for (int id : w.store().channelIds())
            (void)w.store().scanColumns(id);
    }
    scanMs = scanTimer.nsecsElapsed() / 1e6 / kScanRounds;

    QVector<double> v = w.frameMs;
    std::sort(v.begin(), v.end());
    Figures f;
    if (!v.isEmpty()) {
        f.median = v.at(v.size() / 2);
        f.p90 = v.at(v.size() * 9 / 10);
        f.worst = v.constLast();
    }
    QVector<double> cpu = w.cpuMs;
    std::sort(cpu.begin(), cpu.end());
    if (!cpu.isEmpty())
        f.cpuMedian = cpu.at(cpu.size() / 2);
    return f;
}

// Frames driven by `step` (called before each frame with the frame number;
// false ends the case), at most `maxFrames`.
Figures measureSequence(TimedPlot& w, int maxFrames, const std::function<bool(int)>& step)
{
    (void)w.grabFramebuffer();
    w.frameMs.clear();
    w.cpuMs.clear();
    for (int i = 0; i < maxFrames && step(i); ++i)
        (void)w.grabFramebuffer();
    QVector<double> v = w.frameMs;
    std::sort(v.begin(), v.end());
    Figures f;
    if (!v.isEmpty()) {
        f.median = v.at(v.size() / 2);
        f.p90 = v.at(v.size() * 9 / 10);
        f.worst = v.constLast();
    }
    QVector<double> cpu = w.cpuMs;
    std::sort(cpu.begin(), cpu.end());
    if (!cpu.isEmpty())
        f.cpuMedian = cpu.at(cpu.size() / 2);
    scanMs = 0;
    return f;
}

void sendMouse(QWidget& w, QEvent::Type type, const QPoint& pos, Qt::MouseButtons buttons)
{
    QMouseEvent ev(type, QPointF(pos), w.mapToGlobal(QPointF(pos)),
                   type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(&w, &ev);
}

// One notch per frame at the plot's centre, from the finest scale out until
// the coarsest limit refuses the next notch.
Figures wheelZoom(TimedPlot& w, int& frames)
{
    w.store().setTimeScale(w.store().zoomLimits().finest);
    w.store().setViewStart((w.store().firstTime() + w.store().lastTime()) / 2);
    w.refreshView();
    const QRect plot = w.plotRect();
    const QPoint centre(plot.left() + plot.width() / 2, plot.top() + 40);
    double last = 0;
    const Figures f = measureSequence(w, 400, [&](int) {
        last = w.store().timeScale();
        QWheelEvent ev(QPointF(centre), w.mapToGlobal(QPointF(centre)), QPoint(), QPoint(0, -120),
                       Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&w, &ev);
        return w.store().timeScale() != last;
    });
    frames = int(w.frameMs.size());
    return f;
}

// A real drag flung to the left; each frame is one inertia tick (the timer's
// work, called directly so no tick is lost or doubled).
Figures fling(TimedPlot& w, double scale, qint64 start, int& frames)
{
    w.store().setTimeScale(scale);
    w.store().setViewStart(start);
    w.refreshView();
    const QRect plot = w.plotRect();
    const int y = plot.top() + 40;
    int x = plot.left() + plot.width() - 40;
    sendMouse(w, QEvent::MouseButtonPress, QPoint(x, y), Qt::LeftButton);
    for (int i = 0; i < 8; ++i) {
        QThread::msleep(4);
        x -= 30;
        sendMouse(w, QEvent::MouseMove, QPoint(x, y), Qt::LeftButton);
    }
    sendMouse(w, QEvent::MouseButtonRelease, QPoint(x, y), Qt::NoButton);
    const Figures f = measureSequence(w, 400, [&](int) {
        if (!w.isInertiaRunning())
            return false;
        w.updateInertia();
        return true;
    });
    frames = int(w.frameMs.size());
    return f;
}

// Microseconds per range-statistics recomputation over a channel of
// 10,000,000 samples, ranges of random position and length.
void rangeStatistics(QTextStream& out)
{
    constexpr qint64 kSamples = 10000000;
    WaveformStore store;
    const int id = store.addChannel(QStringLiteral("a"));
    QVector<WaveformSample> samples;
    samples.reserve(kSamples);
    QRandomGenerator rng(5);
    for (qint64 k = 0; k < kSamples; ++k)
        samples.append({k * 1000, rng.generateDouble()});
    store.appendChannelData(id, samples);
    samples = {};
    QVector<double> us;
    double sink = 0;
    for (int round = 0; round < 2000; ++round) {
        const qint64 a = qint64(rng.bounded(quint32(kSamples))) * 1000;
        const qint64 b = qint64(rng.bounded(quint32(kSamples))) * 1000;
        QElapsedTimer t;
        t.start();
        const WaveformStore::RangeStats s = store.rangeStatistics(id, a, b);
        us.append(t.nsecsElapsed() / 1e3);
        sink += s.average;
    }
    std::sort(us.begin(), us.end());
    out << QStringLiteral(
               "range statistics over %1 samples: median %2 us, 90th percentile %3 us, worst %4 us "
               "per recomputation (%5)\n")
               .arg(kSamples)
               .arg(us.at(us.size() / 2), 0, 'f', 2)
               .arg(us.at(us.size() * 9 / 10), 0, 'f', 2)
               .arg(us.constLast(), 0, 'f', 2)
               .arg(sink > 0 ? QStringLiteral("ok") : QStringLiteral("empty"));
    out.flush();
}

void printCase(QTextStream& out, qint64 n, int height, const QString& name, double scale, const Figures& f)
{
    out << QStringLiteral("%1 samples/channel, band %2 px, %3 (%4 ns/px): median %5 ms, 90th "
                          "percentile %9 ms, "
                          "worst %6 ms; CPU median %8 ms; scans of all 16 channels %7 ms\n")
               .arg(n)
               .arg(height)
               .arg(name, -26)
               .arg(scale, 0, 'f', 1)
               .arg(f.median, 0, 'f', 2)
               .arg(f.worst, 0, 'f', 2)
               .arg(scanMs, 0, 'f', 3)
               .arg(f.cpuMedian, 0, 'f', 2)
               .arg(f.p90, 0, 'f', 2);
    out.flush();
}

} // namespace

int main(int argc, char** argv)
{
    QSurfaceFormat format;
    format.setVersion(4, 1);
    format.setProfile(QSurfaceFormat::CoreProfile);
    // The program's own surface asks for 3 samples; CVN_BENCH_SAMPLES
    // overrides that to separate rasterisation cost from the rest.
    format.setSamples(qEnvironmentVariableIsSet("CVN_BENCH_SAMPLES")
                          ? qEnvironmentVariableIntValue("CVN_BENCH_SAMPLES")
                          : 3);
    QSurfaceFormat::setDefaultFormat(format);
    QApplication app(argc, argv);
    shotPrefix = qEnvironmentVariable("CVN_BENCH_SHOT");
    QTextStream out(stdout);

    QList<qint64> sizes = {200000, 2000000};
    if (argc > 1) {
        sizes.clear();
        for (int i = 1; i < argc; ++i)
            sizes.append(QByteArray(argv[i]).toLongLong());
    }

    out << "waveform render: 1200 x 800, " << kChannels << " visible channels, " << kFrames
        << " repaints per case, paintGL + glFinish\n";
    for (qint64 n : sizes) {
        TimedPlot w;
        for (int i = 0; i < kChannels; ++i)
            w.addChannel(QStringLiteral("Channel %1").arg(i));
        w.resize(1200, 800);
        w.show();
        QElapsedTimer wait;
        wait.start();
        while ((!w.windowHandle() || !w.windowHandle()->isExposed()) && wait.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (!w.windowHandle() || !w.windowHandle()->isExposed()) {
            out << "no window\n";
            return 1;
        }
        w.setSampleRate(kRate);
        for (int i = 0; i < kChannels; ++i)
            w.appendChannelData(i, makeSignal(i, n));

        const int plotW = w.store().plotWidth();
        const qint64 spanNs = w.store().lastTime() - w.store().firstTime();
        const double fit = double(spanNs) / plotW;
        struct Case
        {
            const char* name;
            double scale;
            qint64 start;
            bool pan;
        };
        // Zoomed in: one sample period spans 10 pixels (sample dots on).
        const Case cases[] = {{"zoomed out", fit, 0, true},
                              {"mid zoom", fit / 50.0, spanNs / 3, true},
                              {"zoomed in", 1e9 / kRate / 10.0, spanNs / 2, true},
                              {"zoomed out, pointer moving", fit, 0, false}};
        // Two layouts: the default 100-pixel bands (16 channels in a
        // scrolled stack, the bands in view drawn) and bands shrunk so that
        // all 16 are on screen at once.
        for (int layout = 0; layout < 2; ++layout) {
            const int height = layout == 0 ? 100 : (800 - 8 - 35) / kChannels - 2;
            for (int i = 0; i < kChannels; ++i)
                w.store().setChannelHeight(i, height);
            w.store().setScrollOffset(0);
            for (const Case& c : cases) {
                const Figures f = measure(w, c.scale, c.start, c.pan ? qint64(3 * c.scale) : 0);
                printCase(out, n, height, QLatin1String(c.name), c.scale, f);
            }
            int frames = 0;
            const double finest = w.store().zoomLimits().finest;
            Figures f = wheelZoom(w, frames);
            printCase(out, n, height, QStringLiteral("wheel zoom, %1 notches").arg(frames), finest, f);
            f = fling(w, fit / 50.0, spanNs / 3, frames);
            printCase(out, n, height, QStringLiteral("fling, %1 ticks").arg(frames), fit / 50.0, f);
        }
    }
    rangeStatistics(out);
    return 0;
}
