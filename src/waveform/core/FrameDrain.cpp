#include "FrameDrain.h"

#include "ProtocolParser.h"

#include <charconv>
#include <cmath>
#include <cstring>

qint64 FrameDrain::timeStep(int sampleRate)
{
    // The settings panel accepts 0; a division by it must never happen.
    const qint64 rate = sampleRate > 0 ? sampleRate : 1;
    return qint64(1000000000) / rate;
}

double FrameDrain::parseField(const char* begin, const char* end)
{
    if (begin == end)
        return 0.0;
    // std::from_chars takes no leading '+', but the C locale does.
    if (*begin == '+') {
        ++begin;
        if (begin == end || *begin == '+' || *begin == '-')
            return 0.0;
    }
    // from_chars would accept "inf" and "nan"; they are not numbers a device
    // reports, and either would poison the range arithmetic and the drawing.
    const char first = *begin == '-' && begin + 1 != end ? begin[1] : *begin;
    if (first != '.' && (first < '0' || first > '9'))
        return 0.0;
    float value = 0.0f;
    const auto result = std::from_chars(begin, end, value, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != end)
        return 0.0; // trailing text, hex, or outside the float range
    if (!std::isfinite(value))
        return 0.0;
    return double(value);
}

void FrameDrain::appendFrame(const char* begin, const char* end, qint64 timestamp, ChannelSamples& out)
{
    const char* p = begin;
    for (int j = 0; j < kChannelCount; ++j) {
        const char* comma = static_cast<const char*>(std::memchr(p, ',', size_t(end - p)));
        const char* fieldEnd = comma ? comma : end;
        out[j].append(WaveformSample{timestamp, parseField(p, fieldEnd)});
        if (!comma)
            return;
        p = comma + 1;
    }
    // Fields beyond the sixteenth have no channel.
}

void FrameDrain::appendFrames(const QList<QByteArray>& frames, int sampleRate, qint64& runningTimestamp,
                              ChannelSamples& out)
{
    const qint64 step = timeStep(sampleRate);
    for (const QByteArray& frame : frames) {
        appendFrame(frame.constData(), frame.constData() + frame.size(), runningTimestamp, out);
        runningTimestamp += step;
    }
}

FrameDrain::ChannelSamples FrameDrain::drain(ProtocolParser& parser, int sampleRate, qint64& runningTimestamp)
{
    ChannelSamples out;
    const int queued = parser.pendingFrameCount();
    const int budget = queued > kMinBudget ? queued : kMinBudget;
    const ProtocolParser::FrameBlock block = parser.takeFrameBlock(budget);
    const int count = block.count();
    if (count == 0)
        return out;
    out[0].reserve(count); // every frame has a first field
    const qint64 step = timeStep(sampleRate);
    for (int i = 0; i < count; ++i) {
        appendFrame(block.frameBegin(i), block.frameEnd(i), runningTimestamp, out);
        runningTimestamp += step;
    }
    return out;
}
