#pragma once

#include <QCoreApplication>
#include <QRect>
#include <QString>
#include <QVector>
#include <QtGlobal>

#include <functional>

// Arithmetic and texts of the plot's time axis: the major step, its unit, the
// label formats, the fit check against a caller-supplied text measure, and the
// placement of major and offset labels with overlap dropping. The plot only
// paints what layout() returns.
class TimeAxis
{
    Q_DECLARE_TR_FUNCTIONS(TimeAxis)

public:
    enum Unit
    {
        Nanoseconds,
        Microseconds,
        Milliseconds,
        Seconds,
        Kiloseconds
    };

    // Width in pixels of a label text (font metrics of the plot).
    using WidthMeasure = std::function<int(const QString&)>;

    struct Label
    {
        qint64 time = 0;
        int x = 0; // centre, widget pixels
        QString text;
        QRect box; // where the text is drawn (centred on x)
    };

    struct Layout
    {
        bool valid = false; // false when the time scale is not positive or there is no plot width
        qint64 viewStart = 0;
        qint64 viewEnd = 0;
        qint64 step = 0; // major step in ns after the fit check
        Unit unit = Nanoseconds;
        qint64 minorStep = 0;
        qint64 firstMajor = 0;
        int majorRowTop = 0;
        int offsetRowTop = 0;
        QVector<int> minorLineX; // dashed minor grid lines
        QVector<int> majorLineX; // dashed major grid lines (one per major label)
        QVector<Label> majorLabels;
        QVector<Label> offsetLabels; // accepted ones only
    };

    // Step from the time 600 pixels cover, rounded up to 1, 2 or 10 x 10^n, >= 10 ns.
    static qint64 majorStep(double timeScale);
    // One enlargement of the fit check: 2q, 5q or 10q with q = 10^floor(log10 step).
    static qint64 enlargeStep(qint64 step);
    static Unit unitFor(qint64 step);
    static qint64 unitDivisor(Unit unit);
    // " ns", " μs", " ms", " s", " ks"
    static QString unitText(Unit unit);
    // "ns", " μs", " ms", " s", " ks"
    static QString offsetUnitText(Unit unit);

    static QString majorLabel(qint64 t, Unit unit, qint64 step);
    // Label of the time `labelled` = major tick + `offset`: "+offset", or the
    // absolute time with "-" when `labelled` is negative.
    static QString offsetLabel(qint64 labelled, qint64 offset, Unit unit, qint64 step);
    // Decimals for a quantity of `amount` in units of `divisor`: 0 when it is
    // at least 1, else ceil(-log10(amount / divisor) - 1e-9) limited to 0..3.
    static int decimalsFor(double amount, double divisor);

    // The step after at most three enlargements until the widest major label
    // from the first major tick to viewEnd fits into step / timeScale - 10 px.
    static qint64 fittedStep(qint64 viewStart, qint64 viewEnd, double timeScale, const WidthMeasure& measure);

    // Everything the header band shows. plotWidth = width - 8 - label column.
    static Layout layout(qint64 viewStart, double timeScale, int labelColumnWidth, int plotWidth,
                         int headerHeight, int fontHeight, const WidthMeasure& measure);
};
