#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// Texts of the plot's measuring tools: times and frequencies of cursor pairs
// (the read-out on the plot and the timing-marker rows) and the statistics of
// a range measurement. Times are split in integer arithmetic, so every
// nanosecond of a 64-bit timestamp survives the formatting.
class MeasureFormat
{
    Q_DECLARE_TR_FUNCTIONS(MeasureFormat)

public:
    // "-" for negative times, then ns up to 999, us up to 999 999 ns, s from
    // 10^9 ns on, ms between; trailing zeros of the fraction dropped
    // ("1.5 us", "2 ms", "0 ns").
    static QString timeText(qint64 ns);
    // Read-out frequency of a time difference (> 0 ns): 2 decimals, Hz, KHz,
    // MHz or GHz ("1.00 KHz").
    static QString readoutFrequency(qint64 deltaNs);
    // Timing-marker frequency of f hertz: 6 significant digits below 1 kHz,
    // else 3 decimals (6 for GHz); trailing zeros dropped ("1 KHz").
    static QString markerFrequency(double hz);
    // Cursor read-out of the line at time t in a pair `delta` ns apart.
    static QString cursorReadout(qint64 t, qint64 deltaNs);
    // Timing-marker card title of pair `index`.
    static QString markerTitle(int index, qint64 time1, qint64 time2);
    // |b - a| without overflow (saturates at the largest qint64).
    static qint64 absoluteDifference(qint64 a, qint64 b);
    // The two lines of a range read-out.
    static QStringList rangeReadout(double min, double max, double average, double peakToPeak, qint64 count);
    // Drops trailing zeros of a fraction and then a trailing point.
    static QString trimFraction(QString text);
};
