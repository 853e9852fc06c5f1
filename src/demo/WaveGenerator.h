#pragma once

#include <QByteArray>
#include <QtGlobal>

// The demo device's measurement signals. A frame depends only on its index,
// so a stream can be checked value by value and dropped frames show as gaps.
class WaveGenerator
{
public:
    static constexpr int Channels = 4;
    static constexpr int SinePeriod = 100;   // frames
    static constexpr int SquarePeriod = 100; // frames
    static constexpr int SawPeriod = 50;     // frames
    static constexpr double SineAmplitude = 10.0;
    static constexpr double SquareLevel = 5.0;
    static constexpr double SpikeLevel = 8.0;
    static constexpr double SawAmplitude = 10.0;
    static constexpr double NoiseAmplitude = 2.0;

    // Channel values of frame `index`: sine, square with a spike after each
    // edge, sawtooth, noise.
    static double sine(quint64 index);
    static double square(quint64 index);
    static double sawtooth(quint64 index);
    static double noise(quint64 index);

    // "{sine,square,saw,noise}\r\n" with at most three decimals.
    static QByteArray frame(quint64 index);
    // Appends `count` frames starting at `first`.
    static void appendFrames(QByteArray& out, quint64 first, int count);
    // A short decimal text: rounded to three decimals, no trailing zeros.
    static void appendNumber(QByteArray& out, double value);
};
