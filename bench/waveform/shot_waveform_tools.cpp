// Screenshots of the plot's measuring tools, driven through the real widgets
// with real mouse, wheel and key events on synthetic data:
//   xvfb-run -a -s "-screen 0 1600x1000x24" build/bin/shot_waveform_tools docs/screenshots [skin]
// writes waveform-cursor-pairs.png, waveform-range.png,
// waveform-timing-markers.png and waveform-glitch.png into the folder, taken
// from the screen with ImageMagick's import, as a user would see them.
#include "MultiChannelWaveformWidget.h"
#include "SkinManager.h"
#include "TimingWidget.h"
#include "WaveformManagerWidget.h"

#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QProcess>
#include <QRandomGenerator>
#include <QSurfaceFormat>
#include <QTextStream>
#include <QWheelEvent>
#include <QWindow>

#include <cmath>

namespace {

constexpr double kRate = 10000.0;  // samples/s
constexpr qint64 kPeriod = 100000; // ns
constexpr qint64 kCount = 20000;   // 2 s
constexpr qint64 kGlitch = 12320;  // sample index of the glitch on channel 1

void settle(int ms = 200)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void mouse(QWidget* w, QEvent::Type type, const QPoint& pos, Qt::MouseButtons buttons = Qt::NoButton)
{
    QMouseEvent ev(type, QPointF(pos), w->mapToGlobal(QPointF(pos)),
                   type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &ev);
}

void click(QWidget* w, const QPoint& pos)
{
    mouse(w, QEvent::MouseMove, pos);
    mouse(w, QEvent::MouseButtonPress, pos, Qt::LeftButton);
    mouse(w, QEvent::MouseButtonRelease, pos);
}

void key(QWidget* w, int k, Qt::KeyboardModifiers mods)
{
    QKeyEvent press(QEvent::KeyPress, k, mods);
    QApplication::sendEvent(w, &press);
}

QVector<WaveformSample> signal(int channel)
{
    QVector<WaveformSample> out;
    QRandomGenerator rng(quint32(channel + 7));
    for (qint64 k = 0; k < kCount; ++k) {
        const double t = double(k) / kRate;
        double v = 0;
        switch (channel) {
        case 0:
            v = 1.5 * std::sin(2 * M_PI * 50 * t);
            break;
        case 1:
            v = std::fmod(t * 100, 1.0) < 0.5 ? 3.3 : 0.0;
            if (k >= kGlitch && k < kGlitch + 3)
                v = 3.3 - v; // a 300 us dropout
            break;
        case 2:
            v = 20 + 5 * std::fmod(t * 25, 1.0) + 0.3 * (rng.generateDouble() - 0.5);
            break;
        default:
            v = std::abs(std::fmod(t * 40, 2.0) - 1.0) * 2 - 1;
            break;
        }
        out.append({k * kPeriod, v});
    }
    return out;
}

// The widget as it is on screen.
void shoot(QWidget* w, const QString& file)
{
    settle(400);
    const QRect r(w->mapToGlobal(QPoint(0, 0)), w->size());
    QProcess::execute(QStringLiteral("import"),
                      {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("-crop"),
                       QStringLiteral("%1x%2+%3+%4").arg(r.width()).arg(r.height()).arg(r.x()).arg(r.y()),
                       QStringLiteral("+repage"), file});
}

} // namespace

int main(int argc, char** argv)
{
    QSurfaceFormat format;
    format.setVersion(4, 1);
    format.setProfile(QSurfaceFormat::CoreProfile);
    format.setSamples(3);
    QSurfaceFormat::setDefaultFormat(format);
    QApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(dir);
    SkinManager::instance()->setSkin(argc > 2 ? QByteArray(argv[2]).toInt() : 1);

    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* plot = new MultiChannelWaveformWidget(&window);
    auto* panel = new WaveformManagerWidget(&window);
    panel->setFixedWidth(330);
    layout->addWidget(plot, 1);
    layout->addWidget(panel);
    QObject::connect(plot, &MultiChannelWaveformWidget::cursorPairChanged, panel->timingWidget(),
                     &TimingWidget::onCursorPairChanged);
    QObject::connect(plot, &MultiChannelWaveformWidget::cursorPairRemoved, panel->timingWidget(),
                     &TimingWidget::onCursorPairRemoved);
    const QStringList names = {QStringLiteral("Motor current"), QStringLiteral("Enable line"),
                               QStringLiteral("Temperature"), QStringLiteral("Position")};
    for (int i = 0; i < 4; ++i)
        plot->addChannel(names.at(i));
    window.setGeometry(0, 0, 1450, 720);
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    window.activateWindow();
    for (int i = 0; i < 4; ++i)
        panel->setItemChecked(i, true);
    plot->setSampleRate(kRate);
    for (int i = 0; i < 4; ++i)
        plot->appendChannelData(i, signal(i));
    for (int i = 0; i < 4; ++i)
        plot->store().setChannelHeight(i, 150);
    plot->store().setLabelColumnWidth(140);
    plot->refreshView();
    settle();

    // Cursor pairs on channel 0: 40 ms in view.
    const QRect area = plot->plotRect();
    plot->store().setTimeScale(40e6 / area.width());
    plot->store().setViewStart(300 * 1000000);
    plot->refreshView();
    const int y0 = plot->bandRect(0).center().y();
    auto xAt = [&](double ms) { return plot->store().timeToX(qint64(ms * 1e6)); };
    auto makePair = [&](double a, double b) {
        mouse(plot, QEvent::MouseMove, QPoint(xAt(a), y0));
        key(plot, Qt::Key_T, Qt::ControlModifier);
        click(plot, QPoint(xAt(a), y0));
        click(plot, QPoint(xAt(b), y0));
    };
    makePair(305, 325); // one period of 50 Hz
    makePair(310.2, 312.1);
    makePair(330, 330);
    click(plot, QPoint(xAt(318), y0 + 40));                        // selects pair 0
    mouse(plot, QEvent::MouseMove, QPoint(xAt(325) + 2, y0 + 40)); // its read-out
    shoot(&window, dir + QStringLiteral("/waveform-cursor-pairs.png"));
    shoot(panel, dir + QStringLiteral("/waveform-timing-markers.png"));

    // A range measurement on channel 2.
    const int y2 = plot->bandRect(2).center().y();
    mouse(plot, QEvent::MouseMove, QPoint(xAt(315), y2));
    key(plot, Qt::Key_G, Qt::ControlModifier);
    mouse(plot, QEvent::MouseButtonPress, QPoint(xAt(315), y2), Qt::LeftButton);
    mouse(plot, QEvent::MouseMove, QPoint(xAt(333), y2), Qt::LeftButton);
    mouse(plot, QEvent::MouseButtonRelease, QPoint(xAt(333), y2));
    mouse(plot, QEvent::MouseMove, QPoint(xAt(340), plot->bandRect(3).center().y()));
    shoot(&window, dir + QStringLiteral("/waveform-range.png"));

    // Zoomed in on the dropout of channel 1 with the wheel.
    plot->clearCursorPairs();
    plot->clearRangeMeasures();
    plot->fitView();
    const int y1 = plot->bandRect(1).center().y();
    for (int i = 0; i < 40; ++i) {
        const QPoint at(plot->store().timeToX(kGlitch * kPeriod), y1);
        QWheelEvent ev(QPointF(at), plot->mapToGlobal(QPointF(at)), QPoint(), QPoint(0, 120), Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(plot, &ev);
    }
    mouse(plot, QEvent::MouseMove, QPoint(plot->store().timeToX((kGlitch + 1) * kPeriod), y1));
    shoot(&window, dir + QStringLiteral("/waveform-glitch.png"));
    QTextStream(stdout) << "saved to " << dir << "\n";
    return 0;
}
