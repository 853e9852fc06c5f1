#include "WaveGenerator.h"

#include <cmath>

namespace {
constexpr double Pi = 3.14159265358979323846;
}

double WaveGenerator::sine(quint64 index)
{
    return SineAmplitude * std::sin(2.0 * Pi * double(index % SinePeriod) / SinePeriod);
}

double WaveGenerator::square(quint64 index)
{
    const int phase = int(index % SquarePeriod);
    const int half = SquarePeriod / 2;
    // Overshoot on the first frame after each edge, like a badly terminated line.
    if (phase == 0)
        return SpikeLevel;
    if (phase == half)
        return -SpikeLevel;
    return phase < half ? SquareLevel : -SquareLevel;
}

double WaveGenerator::sawtooth(quint64 index)
{
    const int phase = int(index % SawPeriod);
    return -SawAmplitude + 2.0 * SawAmplitude * phase / (SawPeriod - 1);
}

double WaveGenerator::noise(quint64 index)
{
    // A hash of the index instead of a random generator: the same index gives
    // the same value, so a test can recompute any frame.
    quint64 x = index + 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    x ^= x >> 31;
    const double unit = double(x >> 11) / double(1ULL << 53); // [0, 1)
    return NoiseAmplitude * (2.0 * unit - 1.0);
}

void WaveGenerator::appendNumber(QByteArray& out, double value)
{
    qint64 milli = qint64(std::llround(value * 1000.0));
    if (milli < 0) {
        out.append('-');
        milli = -milli;
    }
    out.append(QByteArray::number(milli / 1000));
    int frac = int(milli % 1000);
    if (frac == 0)
        return;
    char digits[4] = {char('0' + frac / 100), char('0' + frac / 10 % 10), char('0' + frac % 10), 0};
    int len = 3;
    while (digits[len - 1] == '0')
        --len;
    out.append('.');
    out.append(digits, len);
}

QByteArray WaveGenerator::frame(quint64 index)
{
    QByteArray out;
    appendFrames(out, index, 1);
    return out;
}

void WaveGenerator::appendFrames(QByteArray& out, quint64 first, int count)
{
    for (int i = 0; i < count; ++i) {
        const quint64 index = first + quint64(i);
        out.append('{');
        appendNumber(out, sine(index));
        out.append(',');
        appendNumber(out, square(index));
        out.append(',');
        appendNumber(out, sawtooth(index));
        out.append(',');
        appendNumber(out, noise(index));
        out.append("}\r\n");
    }
}
