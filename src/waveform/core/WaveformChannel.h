#pragma once

#include "WaveformBlockSummary.h"
#include "WaveformSample.h"

#include <QColor>
#include <QString>
#include <QVector>

// One plot channel. The store keeps `samples` and `summary` in step; code
// outside the store may change the name, height (through the store, which
// recomputes the content height), the display range and the auto range flag,
// but must not touch samples or summary.
struct WaveformChannel
{
    QString name;
    QColor color;
    int height = 100;
    bool visible = true;
    QVector<WaveformSample> samples;
    double displayMin = 0.0;
    double displayMax = 1.0;
    double dataMin = 0.0;
    double dataMax = 1.0;
    bool autoRange = true;

    // Block min/max of `samples`, maintained on append.
    WaveformBlockSummary summary;
    // Changes whenever `samples` do, so that views can keep what they
    // computed from them.
    quint64 revision = 0;
};
