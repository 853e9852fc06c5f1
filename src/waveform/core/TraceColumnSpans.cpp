#include "TraceColumnSpans.h"

#include <algorithm>
#include <cmath>

void TraceColumnSpans::compute(const QVector<float>& xy, int left, int width, float* spans)
{
    if (width <= 0)
        return;
    for (int k = 0; k < width; ++k) {
        spans[2 * k] = kNoTop;
        spans[2 * k + 1] = kNoBottom;
    }
    auto extend = [spans](int k, double y) {
        const float v = float(y);
        float& top = spans[2 * k];
        float& bottom = spans[2 * k + 1];
        top = std::min(top, v);
        bottom = std::max(bottom, v);
    };
    const double lo = left;
    const double hi = double(left) + width; // exclusive
    const qsizetype points = xy.size() / 2;

    if (points == 1) {
        const double x = xy[0];
        if (std::isfinite(x) && std::isfinite(xy[1]) && x >= lo && x < hi)
            extend(int(std::floor(x) - lo), xy[1]);
        return;
    }
    for (qsizetype i = 0; i + 1 < points; ++i) {
        double xa = xy[2 * i];
        double ya = xy[2 * i + 1];
        double xb = xy[2 * i + 2];
        double yb = xy[2 * i + 3];
        if (!std::isfinite(xa) || !std::isfinite(xb) || !std::isfinite(ya) || !std::isfinite(yb))
            continue;
        if (xb < xa) {
            std::swap(xa, xb);
            std::swap(ya, yb);
        }
        if (xb < lo || xa >= hi)
            continue;
        if (xa == xb) {
            const int k = int(std::floor(xa) - lo);
            extend(k, ya);
            extend(k, yb);
            continue;
        }
        const double slope = (yb - ya) / (xb - xa);
        const int k0 = int(std::max(0.0, std::floor(xa) - lo));
        const int k1 = int(std::min(double(width - 1), std::floor(xb) - lo));
        for (int k = k0; k <= k1; ++k) {
            const double xl = std::max(xa, lo + k);
            const double xr = std::min(xb, lo + k + 1);
            extend(k, ya + (xl - xa) * slope);
            extend(k, ya + (xr - xa) * slope);
        }
    }
}

QVector<float> TraceColumnSpans::compute(const QVector<float>& xy, int left, int width)
{
    QVector<float> spans(2 * qMax(0, width));
    compute(xy, left, width, spans.data());
    return spans;
}
