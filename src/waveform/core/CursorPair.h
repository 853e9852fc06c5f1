#pragma once

#include <QColor>
#include <QtGlobal>

// Two vertical time lines on the plot, snapped to samples, with a read-out of
// their time difference and frequency.
struct CursorPair
{
    int index = 0; // from a counter that only grows
    qint64 time1 = 0;
    qint64 time2 = 0;
    QColor color;
    bool selected = false;
    bool draggingLine1 = false;
    bool draggingLine2 = false;

    qint64 earlier() const { return qMin(time1, time2); }
    qint64 later() const { return qMax(time1, time2); }

    // The next colour of the seven-colour cycle shared by every plot of the
    // process; never reset.
    static QColor nextColor();
};

// A time range on one channel with the statistics of its samples.
struct RangeMeasure
{
    int channel = -1;
    qint64 time1 = 0;
    qint64 time2 = 0;
    bool selected = false;
    double minimum = 0.0;
    double maximum = 0.0;
    double average = 0.0;
    double peakToPeak = 0.0;
    qint64 count = 0;

    qint64 earlier() const { return qMin(time1, time2); }
    qint64 later() const { return qMax(time1, time2); }
};
