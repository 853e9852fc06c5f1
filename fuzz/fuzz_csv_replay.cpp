// Waveform CSV replay: the first line as a header, the rest parsed as a file
// with the columns the header named; columns come back sorted by time with
// extremes that bound their values.
#include "FuzzSupport.h"
#include "WaveformCsvParser.h"

#include <string>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = fuzz::bytes(data, size);
    const qsizetype nl = input.indexOf('\n');
    const CsvReplayHeader header = WaveformCsvParser::parseHeader(nl < 0 ? input : input.left(nl));
    if (!header.ok && header.errorMessage.isEmpty())
        __builtin_trap();
    if (header.columnNames.size() > WaveformCsvParser::kMaxColumns)
        __builtin_trap();

    std::string_view fields[8];
    std::string scratch;
    const int n = WaveformCsvParser::splitFields(std::string_view(input.constData(), size_t(input.size())),
                                                 fields, 8, scratch);
    if (n < 0 || n > 8)
        __builtin_trap();
    double value = 0;
    for (int i = 0; i < n; ++i)
        WaveformCsvParser::parseNumber(fields[i], value);

    const QString path = fuzz::writeScratch(QStringLiteral("replay.csv"), input);
    const int columns = header.ok ? int(header.columnNames.size()) : int(size % 5);
    QPromise<CsvParseResult> promise;
    QFuture<CsvParseResult> future = promise.future();
    promise.start();
    WaveformCsvParser::run(promise, path, header.ok ? header.unitFactor : 1.0,
                           header.ok ? header.unitsPerSecond : 1e9, columns, 1000.0, input.size());
    promise.finish();
    if (future.resultCount() != 1)
        return 0;
    const CsvParseResult r = future.result();
    if (!r.errorMessage.isEmpty())
        return 0;
    if (r.columns.size() > WaveformCsvParser::kMaxColumns || r.minimums.size() != r.columns.size() ||
        r.maximums.size() != r.columns.size())
        __builtin_trap();
    for (int c = 0; c < r.columns.size(); ++c) {
        const QVector<WaveformSample>& col = r.columns.at(c);
        for (int i = 1; i < col.size(); ++i) {
            if (col.at(i).timestamp < col.at(i - 1).timestamp)
                __builtin_trap();
        }
    }
    return 0;
}
