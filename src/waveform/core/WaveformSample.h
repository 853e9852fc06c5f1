#pragma once

#include <QMetaType>
#include <QtGlobal>

// One point of a channel: when it was taken (ns since the start of the
// recording) and what was measured.
struct WaveformSample
{
    qint64 timestamp = 0;
    double value = 0.0;
};

Q_DECLARE_TYPEINFO(WaveformSample, Q_PRIMITIVE_TYPE);
Q_DECLARE_METATYPE(WaveformSample)
