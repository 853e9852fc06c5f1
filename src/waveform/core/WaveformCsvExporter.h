#pragma once

#include "WaveformChannel.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFuture>
#include <QMap>
#include <QPromise>
#include <QString>

// What an export reports back to the GUI thread. The file has already been
// written (or left untouched) when this arrives, so `content` stays empty; it
// is kept for callers that want the bytes instead of a file.
struct CsvSaveResult
{
    QString fileName;
    QByteArray content;
    QString errorMessage; // empty on success
};

// Writes the channels as a waveform CSV file: a "Timestamp(ns)" header with
// every channel's name, then one line per distinct timestamp (merged over
// all channels) with each channel's value at exactly that time, or an empty
// field. The file goes through QSaveFile, so a failed or cancelled export
// never leaves a truncated file behind. Runs on the thread pool with its own
// copy of the channels (implicitly shared, never modified there).
class WaveformCsvExporter
{
    Q_DECLARE_TR_FUNCTIONS(WaveformCsvExporter)

public:
    // The task body: progress 0..100 by samples written, a cancel request
    // discards the partial file and reports no result.
    static void run(QPromise<CsvSaveResult>& promise, const QMap<int, WaveformChannel>& channels,
                    const QString& fileName);
    // run() started on the global thread pool.
    static QFuture<CsvSaveResult> start(const QMap<int, WaveformChannel>& channels, const QString& fileName);

    // The value text of a data field: shortest general notation, at most 10
    // significant digits ("1.5", "2", "0.1", "1e-12").
    static int formatValue(double v, char* out);
    // A channel name as a header field: line breaks become spaces, and it is
    // quoted (with doubled quotes) only when it holds a comma or a quote.
    static QByteArray headerField(const QString& name);
};
