#include "MeasureFormat.h"

#include <limits>

namespace {

QString fraction(quint64 whole, quint64 part, int digits)
{
    return MeasureFormat::trimFraction(
        QStringLiteral("%1.%2").arg(whole).arg(part, digits, 10, QLatin1Char('0')));
}

} // namespace

QString MeasureFormat::trimFraction(QString text)
{
    if (!text.contains(QLatin1Char('.')) || text.contains(QLatin1Char('e')))
        return text;
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

QString MeasureFormat::timeText(qint64 ns)
{
    const QString sign = ns < 0 ? QStringLiteral("-") : QString();
    // Unsigned magnitude, so the most negative time has one too.
    const quint64 m = ns < 0 ? quint64(0) - quint64(ns) : quint64(ns);
    if (m <= 999)
        return sign + QString::number(m) + tr(" ns");
    if (m <= 999999)
        return sign + fraction(m / 1000, m % 1000, 3) + tr(" us");
    if (m >= 1000000000ULL)
        return sign + fraction(m / 1000000000ULL, m % 1000000000ULL, 9) + tr(" s");
    return sign + fraction(m / 1000000, m % 1000000, 6) + tr(" ms");
}

QString MeasureFormat::readoutFrequency(qint64 deltaNs)
{
    if (deltaNs <= 0)
        return QString();
    const double f = 1e9 / double(deltaNs);
    if (f >= 1e9)
        return QString::number(f / 1e9, 'f', 2) + tr(" GHz");
    if (f >= 1e6)
        return QString::number(f / 1e6, 'f', 2) + tr(" MHz");
    if (f >= 1e3)
        return QString::number(f / 1e3, 'f', 2) + tr(" KHz");
    return QString::number(f, 'f', 2) + tr(" Hz");
}

QString MeasureFormat::markerFrequency(double f)
{
    if (f < 1e3)
        return trimFraction(QString::number(f, 'g', 6)) + tr(" Hz");
    if (f < 1e6)
        return trimFraction(QString::number(f / 1e3, 'f', 3)) + tr(" KHz");
    if (f < 1e9)
        return trimFraction(QString::number(f / 1e6, 'f', 3)) + tr(" MHz");
    return trimFraction(QString::number(f / 1e9, 'f', 6)) + tr(" GHz");
}

qint64 MeasureFormat::absoluteDifference(qint64 a, qint64 b)
{
    const quint64 d = a > b ? quint64(a) - quint64(b) : quint64(b) - quint64(a);
    return d > quint64(std::numeric_limits<qint64>::max()) ? std::numeric_limits<qint64>::max() : qint64(d);
}

QString MeasureFormat::cursorReadout(qint64 t, qint64 deltaNs)
{
    if (deltaNs == 0)
        return tr("T = %1\n\n∆t = 0s").arg(timeText(t));
    return tr("T = %1\n∆t = %3\nFreq = %4").arg(timeText(t), timeText(deltaNs), readoutFrequency(deltaNs));
}

QString MeasureFormat::markerTitle(int index, qint64 time1, qint64 time2)
{
    const qint64 delta = absoluteDifference(time1, time2);
    QString title = tr("P%1 -> ").arg(index) + tr("∆ = ") + timeText(delta);
    if (delta == 0)
        return title + tr(" (0Hz)");
    return title + QStringLiteral(" (") + markerFrequency(1e9 / double(delta)) + QStringLiteral(")");
}

QStringList MeasureFormat::rangeReadout(double min, double max, double average, double peakToPeak,
                                        qint64 count)
{
    return {tr("Min: %1  Max: %2  Avg: %3")
                .arg(QString::number(min, 'f', 4), QString::number(max, 'f', 4),
                     QString::number(average, 'f', 4)),
            tr("Pk-Pk: %1  N: %2").arg(QString::number(peakToPeak, 'f', 4)).arg(count)};
}
