#include "TimeAxis.h"
#include "SaturatedInt64.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr qint64 kNsPerUs = 1000;
constexpr qint64 kNsPerMs = 1000000;
constexpr qint64 kNsPerS = 1000000000;

QString threeDigits(qint64 v)
{
    return QStringLiteral("%1").arg(v, 3, 10, QLatin1Char('0'));
}

int pixelOf(qint64 t, qint64 viewStart, double timeScale, int labelColumnWidth)
{
    const double px = differenceAsDouble(t, viewStart) / timeScale;
    // Anything this far off is outside every plot; keeps the int sane.
    if (px > 1.0e9)
        return int(1.0e9);
    if (px < -1.0e9)
        return int(-1.0e9);
    return labelColumnWidth + int(px);
}

qint64 floorToStep(qint64 t, qint64 step)
{
    return t - t % step;
}

// Advances t by step; false when that would leave the 64-bit range, which
// ends every loop over the axis instead of wrapping around.
bool advance(qint64& t, qint64 step)
{
    return !__builtin_add_overflow(t, step, &t);
}

// The largest step the scale alone picks (the fit check may enlarge it to
// 2 or 5 x 10^18).
constexpr qint64 kMaxStep = 1000000000000000000LL; // 10^18 ns
// No axis needs more grid lines than this; a guard against a degenerate scale.
constexpr int kMaxLines = 4096;

} // namespace

qint64 TimeAxis::majorStep(double timeScale)
{
    const double h = 600.0 * timeScale;
    if (!(h > 0.0) || !std::isfinite(h))
        return 10;
    const double p = std::pow(10.0, std::floor(std::log10(h)));
    const double ratio = h / p;
    double step;
    if (ratio <= 1.000000001)
        step = p;
    else if (ratio <= 2.000000001)
        step = 2.0 * p;
    else
        step = 10.0 * p;
    if (step >= double(kMaxStep))
        return kMaxStep;
    return std::max<qint64>(10, std::llround(step));
}

qint64 TimeAxis::enlargeStep(qint64 step)
{
    if (step < 1)
        return 10;
    qint64 q = 1;
    while (q <= step / 10)
        q *= 10;
    const double ratio = double(step) / double(q);
    if (ratio < 1.5)
        return 2 * q;
    if (ratio < 3.5)
        return 5 * q;
    // 10 x 10^18 no longer fits: the step stays where it is.
    if (q > std::numeric_limits<qint64>::max() / 10)
        return step;
    return 10 * q;
}

TimeAxis::Unit TimeAxis::unitFor(qint64 step)
{
    if (step < kNsPerUs)
        return Nanoseconds;
    if (step < kNsPerMs)
        return Microseconds;
    if (step < kNsPerS)
        return Milliseconds;
    if (step < 1000 * kNsPerS)
        return Seconds;
    return Kiloseconds;
}

qint64 TimeAxis::unitDivisor(Unit unit)
{
    switch (unit) {
    case Nanoseconds:
        return 1;
    case Microseconds:
        return kNsPerUs;
    case Milliseconds:
        return kNsPerMs;
    case Seconds:
        return kNsPerS;
    case Kiloseconds:
        return 1000 * kNsPerS;
    }
    return 1;
}

QString TimeAxis::unitText(Unit unit)
{
    switch (unit) {
    case Nanoseconds:
        return tr(" ns");
    case Microseconds:
        return tr(" μs");
    case Milliseconds:
        return tr(" ms");
    case Seconds:
        return tr(" s");
    case Kiloseconds:
        return tr(" ks");
    }
    return QString();
}

QString TimeAxis::offsetUnitText(Unit unit)
{
    if (unit == Nanoseconds)
        return tr("ns");
    return unitText(unit);
}

int TimeAxis::decimalsFor(double amount, double divisor)
{
    const double x = amount / divisor;
    if (x >= 1.0)
        return 0;
    if (!(x > 0.0))
        return 3;
    const double d = std::ceil(-std::log10(x) - 1e-9);
    return int(std::clamp(d, 0.0, 3.0));
}

QString TimeAxis::majorLabel(qint64 t, Unit unit, qint64 step)
{
    const QString sign = t < 0 ? QStringLiteral("-") : QString();
    // Magnitude as unsigned so the most negative time has one too.
    const quint64 m = t < 0 ? quint64(0) - quint64(t) : quint64(t);
    const qint64 s = qint64(m / kNsPerS);
    const qint64 ms = qint64((m / kNsPerMs) % 1000);
    const qint64 us = qint64((m / kNsPerUs) % 1000);
    const qint64 ns = qint64(m % 1000);

    auto plain = [&]() {
        return tr("%1%2%3").arg(sign, QString::number(double(m) / double(unitDivisor(unit)), 'f', 0),
                                unitText(unit));
    };
    auto fine = [&]() {
        QString text = sign + tr("%1s").arg(s);
        if (ms != 0 || us != 0 || ns != 0)
            text += tr(":%1ms").arg(threeDigits(ms));
        if (us != 0 || ns != 0) {
            const int d = decimalsFor(double(step), double(kNsPerUs));
            text += tr(":%1us").arg(QString::number(double(us) + double(ns) / 1000.0, 'f', d));
        }
        return text;
    };

    if (m < quint64(kNsPerS)) {
        if (unit == Microseconds && m >= quint64(kNsPerMs)) {
            QString text = tr("%1%2 ms").arg(sign, QString::number(ms));
            if (us != 0 || ns != 0)
                text += tr(" : %1 us").arg(threeDigits(us));
            return text;
        }
        return plain();
    }
    switch (unit) {
    case Kiloseconds:
        return plain();
    case Seconds:
        if (step < kNsPerS && ms != 0)
            return tr("%1%2 s : %3 ms").arg(sign, QString::number(s), threeDigits(ms));
        return tr("%1%2 s").arg(sign, QString::number(s));
    case Milliseconds:
        if (step < kNsPerMs)
            return fine();
        if (us != 0 || ns != 0)
            return tr("%1%2 s : %3 ms : %4 us")
                .arg(sign, QString::number(s), threeDigits(ms), threeDigits(us));
        if (ms != 0)
            return tr("%1%2 s : %3 ms").arg(sign, QString::number(s), threeDigits(ms));
        return tr("%1%2 s").arg(sign, QString::number(s));
    case Nanoseconds:
    case Microseconds:
        return fine();
    }
    return plain();
}

QString TimeAxis::offsetLabel(qint64 labelled, qint64 offset, Unit unit, qint64 step)
{
    const double divisor = double(unitDivisor(unit));
    const int d = decimalsFor(double(step / 10), divisor);
    QString sign = QStringLiteral("+");
    double magnitude = double(offset);
    if (labelled < 0) {
        sign = QStringLiteral("-");
        magnitude = -double(labelled);
    }
    return tr("%1%2%3").arg(sign, QString::number(magnitude / divisor, 'f', d), offsetUnitText(unit));
}

qint64 TimeAxis::fittedStep(qint64 viewStart, qint64 viewEnd, double timeScale, const WidthMeasure& measure)
{
    qint64 step = majorStep(timeScale);
    if (!measure || !(timeScale > 0.0))
        return step;
    for (int enlargements = 0; enlargements < 3; ++enlargements) {
        const Unit unit = unitFor(step);
        int widest = 0;
        qint64 t = floorToStep(viewStart, step);
        for (int n = 0; t <= viewEnd && n < kMaxLines; ++n) {
            widest = std::max(widest, measure(majorLabel(t, unit, step)));
            if (!advance(t, step))
                break;
        }
        if (double(widest) <= double(step) / timeScale - 10.0)
            break;
        step = enlargeStep(step);
    }
    return step;
}

TimeAxis::Layout TimeAxis::layout(qint64 viewStart, double timeScale, int labelColumnWidth, int plotWidth,
                                  int headerHeight, int fontHeight, const WidthMeasure& measure)
{
    Layout out;
    out.viewStart = viewStart;
    if (!(timeScale > 0.0) || !std::isfinite(timeScale) || plotWidth <= 0)
        return out;
    out.valid = true;
    out.viewEnd = saturatedAdd(viewStart, saturatedInt64(double(plotWidth) * timeScale));
    out.step = fittedStep(viewStart, out.viewEnd, timeScale, measure);
    out.unit = unitFor(out.step);
    out.minorStep = std::max<qint64>(1, out.step / 10);
    out.firstMajor = floorToStep(viewStart, out.step);
    out.majorRowTop = std::clamp(headerHeight - 2 * fontHeight - 4, 2, 10);
    out.offsetRowTop = headerHeight - fontHeight - 2;

    const int left = labelColumnWidth;
    const int right = labelColumnWidth + plotWidth;
    auto xOf = [&](qint64 t) { return pixelOf(t, viewStart, timeScale, labelColumnWidth); };
    auto widthOf = [&](const QString& text) { return measure ? measure(text) : 0; };

    const qint64 minorEnd = saturatedAdd(out.viewEnd, out.step);
    qint64 t = saturatedSub(out.firstMajor, out.step);
    for (int n = 0; t <= minorEnd && n < 12 * kMaxLines; ++n) {
        if (t % out.step != 0) {
            const int x = xOf(t);
            if (x >= left && x <= right)
                out.minorLineX.append(x);
        }
        if (!advance(t, out.minorStep))
            break;
    }

    QVector<qint64> ticks;
    t = out.firstMajor;
    for (int n = 0; t <= out.viewEnd && n < kMaxLines; ++n) {
        const qint64 tick = t;
        const bool more = advance(t, out.step);
        const int x = xOf(tick);
        if (x < left || x > right) {
            if (!more)
                break;
            continue;
        }
        Label label;
        label.time = tick;
        label.x = x;
        label.text = majorLabel(tick, out.unit, out.step);
        const int w = widthOf(label.text);
        label.box = QRect(x - w / 2, out.majorRowTop, w, fontHeight);
        out.majorLabels.append(label);
        out.majorLineX.append(x);
        ticks.append(tick);
        if (!more)
            break;
    }

    // Anchors beyond either end of the 64-bit range have no offset labels.
    QVector<qint64> anchors;
    auto addAnchor = [&](qint64 base, qint64 delta) {
        qint64 a;
        if (!__builtin_add_overflow(base, delta, &a))
            anchors.append(a);
    };
    if (ticks.isEmpty()) {
        addAnchor(out.firstMajor, -out.step);
        anchors.append(out.firstMajor);
        addAnchor(out.firstMajor, out.step);
    } else {
        addAnchor(ticks.constFirst(), -out.step);
        anchors += ticks;
        addAnchor(ticks.constLast(), out.step);
    }
    const qint64 tenth = out.step / 10;
    for (qint64 anchor : anchors) {
        for (int k = 1; k <= 9; ++k) {
            const qint64 offset = k * tenth;
            Label label;
            if (__builtin_add_overflow(anchor, offset, &label.time))
                break;
            label.x = xOf(label.time);
            label.text = offsetLabel(label.time, offset, out.unit, out.step);
            const int w = widthOf(label.text);
            label.box = QRect(label.x - w / 2, out.offsetRowTop, w, fontHeight);
            const QRect widened = label.box.adjusted(-3, 0, 3, 0);
            bool overlaps = false;
            for (const Label& major : std::as_const(out.majorLabels)) {
                if (widened.intersects(major.box)) {
                    overlaps = true;
                    break;
                }
            }
            for (int i = 0; !overlaps && i < out.offsetLabels.size(); ++i)
                overlaps = widened.intersects(out.offsetLabels[i].box);
            if (!overlaps)
                out.offsetLabels.append(label);
        }
    }
    return out;
}
