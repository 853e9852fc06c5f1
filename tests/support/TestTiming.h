#pragma once

#include <QtGlobal>

// Time bounds in tests are there to catch a freeze, not to measure speed. A
// sanitizer build runs several times slower, so its test preset sets
// CORVANE_TEST_TIME_SCALE and every bound stretches with it.
inline qint64 scaledMs(qint64 ms)
{
    const int scale = qEnvironmentVariableIntValue("CORVANE_TEST_TIME_SCALE");
    return scale > 1 ? ms * scale : ms;
}
