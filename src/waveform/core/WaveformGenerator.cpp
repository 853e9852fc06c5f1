#include "WaveformGenerator.h"

#include <QRandomGenerator>

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

double gauss(double m, double c, double w)
{
    const double d = (m - c) / w;
    return std::exp(-0.5 * d * d);
}

} // namespace

QStringList WaveformGenerator::kindNames()
{
    static const char* const kNames[] = {QT_TRANSLATE_NOOP("WaveformGenerator", "Square"),
                                         QT_TRANSLATE_NOOP("WaveformGenerator", "ECG"),
                                         QT_TRANSLATE_NOOP("WaveformGenerator", "Sin"),
                                         QT_TRANSLATE_NOOP("WaveformGenerator", "Cos"),
                                         QT_TRANSLATE_NOOP("WaveformGenerator", "Sawtooth"),
                                         QT_TRANSLATE_NOOP("WaveformGenerator", "Triangle"),
                                         QT_TRANSLATE_NOOP("WaveformGenerator", "PWM"),
                                         QT_TRANSLATE_NOOP("WaveformGenerator", "Sin+Noise"),
                                         QT_TRANSLATE_NOOP("WaveformGenerator", "Sin Decay"),
                                         QT_TRANSLATE_NOOP("WaveformGenerator", "Noise")};
    QStringList names;
    for (const char* name : kNames)
        names.append(QString::fromLatin1(name));
    return names;
}

bool WaveformGenerator::usesPeriod(int kind)
{
    return kind != Ecg && kind != Noise && kind >= 0 && kind < KindCount;
}

QString WaveformGenerator::periodProblem(int kind, const WaveformInfo& info)
{
    if (usesPeriod(kind) && info.period <= 0)
        return tr("The period must be greater than 0.");
    return QString();
}

QString WaveformGenerator::decayProblem(int kind, const WaveformInfo& info)
{
    if (usesDecay(kind) && !(info.decayConstant > 0.0))
        return tr("The decay constant must be greater than 0.");
    return QString();
}

WaveformGenerator::WaveformGenerator()
    : m_random([] { return int(QRandomGenerator::global()->bounded(100, 255)); })
{
}

double WaveformGenerator::noise() const
{
    const int r = m_random();
    return double((r % 50) - 10) * 0.1 / 10.0;
}

double WaveformGenerator::value(int kind, const WaveformInfo& info, quint64 t) const
{
    const double A = info.amplitude;
    const double O = info.offset;
    if (!periodProblem(kind, info).isEmpty() || !decayProblem(kind, info).isEmpty()) {
        // Nothing to divide by: hold the kind's resting level.
        switch (kind) {
        case Sin:
        case Cos:
        case SinNoise:
            return O;
        case SinDecay:
            return 1.5;
        default:
            return 0.0;
        }
    }
    const quint64 P = usesPeriod(kind) ? quint64(info.period) : 1;
    const double p = double(t % P);
    const double phase = 2.0 * kPi * p / double(P);

    switch (kind) {
    case Square: {
        double sum = 0.0;
        for (int k = 1; k <= 11; k += 2)
            sum += std::sin(k * 2.0 * kPi / double(P) * p) / k;
        return 4.0 / kPi * sum;
    }
    case Ecg: {
        const double m = double(t % 5000) / 5000.0;
        return 0.25 * gauss(m, 0.2, 0.018) - 0.05 - 0.12 * gauss(m, 0.42, 0.008) +
               1.05 * gauss(m, 0.45, 0.01) - 0.25 * gauss(m, 0.48, 0.01) + 0.32 * gauss(m, 0.7, 0.045);
    }
    case Sin:
        return A * std::sin(phase) + O;
    case Cos:
        return A * std::cos(phase) + O;
    case Sawtooth:
        return 2.0 * std::fabs(A) * p / double(P) - std::fabs(A);
    case Triangle: {
        const double m = p / double(P);
        const double v = 0.5 * A > m ? m : A - m;
        return 4.0 * v - 1.0;
    }
    case Pwm:
        return p < double(qint64(double(P) * 0.5)) ? 1.0 : 0.0;
    case SinNoise:
        return A * std::sin(phase) + O + noise();
    case SinDecay:
        return std::sin(phase) * 4.0 * std::exp(-double(t) / info.decayConstant) + 1.5;
    case Noise:
        return noise();
    default:
        return 0.0;
    }
}

QByteArray WaveformGenerator::nextTick(const QList<Wave>& waves)
{
    QByteArray out;
    out.reserve(kLinesPerTick * (m_prefix.size() + m_suffix.size() + 1 + waves.size() * 12));
    for (int line = 0; line < kLinesPerTick; ++line) {
        out.append(m_prefix);
        for (int i = 0; i < waves.size(); ++i) {
            if (i > 0)
                out.append(',');
            const QByteArray text =
                QByteArray::number(value(waves.at(i).kind, waves.at(i).info, m_time), 'f', 4);
            // A value that rounds to zero from below reads 0.0000, not -0.0000.
            out.append(text == "-0.0000" ? QByteArray("0.0000") : text);
        }
        m_time += kStepUs;
        out.append(m_suffix);
        out.append('\n');
    }
    return out;
}
