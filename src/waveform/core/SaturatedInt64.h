#pragma once

#include <QtGlobal>

#include <limits>

// double -> qint64 without undefined behaviour for values out of range
// (zoom arithmetic can overflow at extreme scales); NaN gives 0.
inline qint64 saturatedInt64(double v)
{
    if (!(v == v))
        return 0;
    if (v >= 9.2e18)
        return std::numeric_limits<qint64>::max();
    if (v <= -9.2e18)
        return std::numeric_limits<qint64>::min();
    return qint64(v);
}
