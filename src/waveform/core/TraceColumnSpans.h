#pragma once

#include <QVector>

// The vertical extent of a polyline in each pixel column of the plot: what a
// 1-pixel line along it would cover there. The plot hands the trace to the
// GPU in this form, one top/bottom pair per column, so drawing a band costs
// one rectangle whatever the number of segments; a software rasteriser spent
// most of a frame setting up thousands of tiny multisampled line segments.
class TraceColumnSpans
{
public:
    // Marks a column the polyline does not cross: top > bottom.
    static constexpr float kNoTop = 1e30f;
    static constexpr float kNoBottom = -1e30f;

    // `xy` holds x0, y0, x1, y1, ... in widget pixels (pixel centres at +0.5,
    // y growing downwards). Columns are [left + k, left + k + 1) for k in
    // [0, width). Writes 2 * width floats to `spans`: per column the smallest
    // and the largest y the polyline reaches inside it, or kNoTop/kNoBottom.
    // Segments are clipped to the columns first, so a vertex far outside
    // (a lead-in sample after a long pause) costs nothing extra.
    static void compute(const QVector<float>& xy, int left, int width, float* spans);
    static QVector<float> compute(const QVector<float>& xy, int left, int width);

    static bool isEmpty(float top, float bottom) { return top > bottom; }
};
