#pragma once

#include "WaveformSample.h"

#include <QCoreApplication>
#include <QFuture>
#include <QList>
#include <QPromise>
#include <QString>
#include <QStringList>
#include <QVector>

#include <string_view>

// What the replay task hands back to the GUI thread: per data column its
// samples (sorted by timestamp) and value extremes, the time bounds and the
// sample rate found in the file.
struct CsvParseResult
{
    QList<QVector<WaveformSample>> columns;
    QList<double> minimums;
    QList<double> maximums;
    qint64 firstTimestamp = 0;
    qint64 lastTimestamp = 0;
    bool hasTimestamps = false;
    double sampleRate = 0.0;
    QString errorMessage; // empty on success
};

// The first line of a waveform CSV file, checked.
struct CsvReplayHeader
{
    bool ok = false;
    QString errorMessage; // why the file is refused (when !ok)
    QString unit;
    double unitFactor = 1.0;     // ns per file unit
    double unitsPerSecond = 1e9; // file units per second
    QStringList columnNames;     // trimmed, at most kMaxColumns
};

// Reads waveform CSV files, ours ("Timestamp(ns),...") and other tools'
// ("Time(ms),..."): UTF-8 BOM, CRLF and double-quoted fields are accepted,
// garbage lines are skipped. The file is streamed in blocks; memory grows
// with the samples kept, not with the file or its longest line.
class WaveformCsvParser
{
    Q_DECLARE_TR_FUNCTIONS(WaveformCsvParser)

public:
    static constexpr int kMaxColumns = 16;
    // A longer line is cut here; only its first fields matter anyway.
    static constexpr qsizetype kMaxLineBytes = 1 << 20;

    // Checks a header line (without its line feed).
    static CsvReplayHeader parseHeader(QByteArrayView line);
    // Reads and checks the first line of a file.
    static CsvReplayHeader readHeader(const QString& fileName);

    // The task body: parses every data line after the header into
    // `columnCount` columns. Timestamps are multiplied by `unitFactor` and
    // truncated to ns; a line whose time is not a number or does not fit in
    // 64-bit ns is skipped. Columns whose timestamps go backwards are sorted.
    // The sample rate is 1 s over the median positive spacing of consecutive
    // timestamps, `currentRate` when there is none. Progress 0..100 by file
    // position; a cancel request ends the task without a result.
    static void run(QPromise<CsvParseResult>& promise, const QString& fileName, double unitFactor,
                    double unitsPerSecond, int columnCount, double currentRate, qint64 fileSize);
    static QFuture<CsvParseResult> start(const QString& fileName, double unitFactor, double unitsPerSecond,
                                         int columnCount, double currentRate, qint64 fileSize);

    // Splits at commas outside double quotes, at most maxFields fields; quotes
    // are removed ("" inside quotes is one quote), spaces around fields trimmed.
    // `scratch` holds unescaped quoted fields. Returns the number of fields.
    static int splitFields(std::string_view line, std::string_view* fields, int maxFields,
                           std::string& scratch);
    // A decimal number (fractions, exponents, a leading sign; inf and nan
    // parse too and are left to the caller). False when not a number.
    static bool parseNumber(std::string_view field, double& out);
};
