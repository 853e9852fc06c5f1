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

// a + b and a - b clamped to the qint64 range: timestamps may sit anywhere in
// it, and a view span can be wider than the whole range.
inline qint64 saturatedAdd(qint64 a, qint64 b)
{
    qint64 r;
    if (!__builtin_add_overflow(a, b, &r))
        return r;
    return b > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
}

inline qint64 saturatedSub(qint64 a, qint64 b)
{
    qint64 r;
    if (!__builtin_sub_overflow(a, b, &r))
        return r;
    return b < 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
}

// a - b as a double: exact for the usual nearby times, and still right in
// magnitude when the difference does not fit in 64 bits.
inline double differenceAsDouble(qint64 a, qint64 b)
{
    qint64 r;
    if (!__builtin_sub_overflow(a, b, &r))
        return double(r);
    return double(a) - double(b);
}
