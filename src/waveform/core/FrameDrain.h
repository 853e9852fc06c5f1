#pragma once

#include "WaveformSample.h"

#include <QByteArray>
#include <QVector>

#include <array>

class ProtocolParser;

// Turns queued frames into samples: splits each frame at commas, converts
// the fields, and stamps all fields of a frame with one synthetic time.
class FrameDrain
{
public:
    static constexpr int kChannelCount = 16;
    static constexpr int kMinBudget = 100;

    using ChannelSamples = std::array<QVector<WaveformSample>, kChannelCount>;

    // Takes up to max(queued, 100) frames; field j of a frame goes to list j
    // (fields beyond the sixteenth are ignored). Every frame advances the
    // running timestamp by 1e9 / sampleRate ns (truncated); a rate <= 0
    // counts as 1 sample/s.
    static ChannelSamples drain(ProtocolParser& parser, int sampleRate, qint64& runningTimestamp);

    // Appends the samples of the given frames to `out` (same rules as drain).
    static void appendFrames(const QList<QByteArray>& frames, int sampleRate, qint64& runningTimestamp,
                             ChannelSamples& out);
    // One frame's fields [begin, end), all stamped with `timestamp`.
    static void appendFrame(const char* begin, const char* end, qint64 timestamp, ChannelSamples& out);

    // Time step per frame in ns for a rate in samples/s (rate <= 0 counts as 1).
    static qint64 timeStep(int sampleRate);

    // A C-locale number (optional sign, digits, optional point and fraction,
    // optional exponent) read into single precision and widened; anything
    // else (empty, text, hex, nan, inf, out of float range) gives 0.
    static double parseField(const char* begin, const char* end);
    static double parseField(const QByteArray& field)
    {
        return parseField(field.constData(), field.constData() + field.size());
    }
};
