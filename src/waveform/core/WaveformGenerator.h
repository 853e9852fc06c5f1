#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

#include <functional>

// A copy of one generator item's settings.
struct WaveformInfo
{
    QString name;
    int period = 1000; // us
    double amplitude = 1.0;
    double offset = 0.0;
    double decayConstant = 10000.0; // us
    bool checked = false;
};

// The synthetic signals of the data generator as plain arithmetic: values of
// the ten kinds at a generator time, and the text frames ("{v1,v2}\n") of
// one timer tick. The widget only collects the settings and writes the
// bytes, so all of this is tested without a window or a port.
class WaveformGenerator
{
    Q_DECLARE_TR_FUNCTIONS(WaveformGenerator)

public:
    // List order is the kind's number.
    enum Kind
    {
        Square,
        Ecg,
        Sin,
        Cos,
        Sawtooth,
        Triangle,
        Pwm,
        SinNoise,
        SinDecay,
        Noise,
        KindCount
    };

    static constexpr int kLinesPerTick = 10;
    static constexpr quint64 kStepUs = 10; // generator time per line

    struct Wave
    {
        int kind = Sin;
        WaveformInfo info;
    };

    // The kinds' names (untranslated source texts) in kind order.
    static QStringList kindNames();
    // A period of 0 (every kind but ECG and Noise divides by it) or a decay
    // constant of 0 (Sin Decay) cannot give a value: the kind then outputs
    // its offset instead (see value()). Empty when the settings are usable,
    // else why not.
    static QString periodProblem(int kind, const WaveformInfo& info);
    static QString decayProblem(int kind, const WaveformInfo& info);
    static bool usesPeriod(int kind);
    static bool usesDecay(int kind) { return kind == SinDecay; }

    WaveformGenerator();

    // The value of a kind at generator time t (us). Unusable settings give
    // the kind's offset: O for Sin, Cos and Sin+Noise, 1.5 for Sin Decay,
    // 0 for the others.
    double value(int kind, const WaveformInfo& info, quint64 t) const;
    // The random term: -0.10 ... 0.39 in steps of 0.01.
    double noise() const;

    // The ten lines of one tick, each prefix + values (4 decimals, comma
    // separated, in the given order) + suffix + line feed, as Latin-1 bytes;
    // the generator time advances by 10 us per line.
    QByteArray nextTick(const QList<Wave>& waves);

    quint64 time() const { return m_time; }
    void reset() { m_time = 0; }
    void setPrefix(const QString& prefix) { m_prefix = prefix.toLatin1(); }
    void setSuffix(const QString& suffix) { m_suffix = suffix.toLatin1(); }
    // A draw of 100 ... 254; the process-wide generator unless replaced (tests).
    void setRandomSource(std::function<int()> source) { m_random = std::move(source); }

private:
    quint64 m_time = 0;
    QByteArray m_prefix = "{";
    QByteArray m_suffix = "}";
    std::function<int()> m_random;
};

Q_DECLARE_METATYPE(WaveformInfo)
