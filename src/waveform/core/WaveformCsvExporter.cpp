#include "WaveformCsvExporter.h"

#include <QSaveFile>
#include <QtConcurrent/QtConcurrentRun>

#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

namespace {

// The file is written in pieces of this size; memory does not grow with
// the recording.
constexpr qsizetype kChunkBytes = 0x500000; // 5 MiB

} // namespace

QByteArray WaveformCsvExporter::headerField(const QString& name)
{
    // Lines are read one by one, so a line break in a name would split the
    // header: it becomes a space. A comma or quote would shift the columns'
    // names: such a name is quoted. Any other name is written as it is.
    QByteArray field = name.toUtf8();
    field.replace('\r', ' ').replace('\n', ' ');
    if (field.contains(',') || field.contains('"'))
        field = '"' + field.replace('"', "\"\"") + '"';
    return field;
}

int WaveformCsvExporter::formatValue(double v, char* out)
{
    // The store never holds non-finite values; should one slip in, it is
    // written as 0 so that the file replays.
    if (!std::isfinite(v))
        v = 0.0;
    // 32 bytes hold any %.10g text.
    const auto r = std::to_chars(out, out + 32, v, std::chars_format::general, 10);
    return int(r.ptr - out);
}

void WaveformCsvExporter::run(QPromise<CsvSaveResult>& promise, const QMap<int, WaveformChannel>& channels,
                              const QString& fileName)
{
    CsvSaveResult result;
    result.fileName = fileName;

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        result.errorMessage =
            tr("Can't open file %1!").arg(fileName) + QLatin1Char('\n') + file.errorString();
        promise.addResult(result);
        return;
    }

    QByteArray buf;
    buf.reserve(kChunkBytes + 4096);
    buf.append("Timestamp(ns)");
    std::vector<const WaveformChannel*> chans;
    chans.reserve(size_t(channels.size()));
    qint64 total = 0;
    for (const WaveformChannel& ch : channels) {
        buf.append(',');
        buf.append(headerField(ch.name));
        chans.push_back(&ch);
        total += ch.samples.size();
    }
    buf.append('\n');

    promise.setProgressRange(0, 100);
    std::vector<qsizetype> pos(chans.size(), 0);
    qint64 written = 0;
    int lastPercent = -1;
    bool writeFailed = false;
    char num[40];

    for (quint64 line = 0;; ++line) {
        qint64 t = std::numeric_limits<qint64>::max();
        bool any = false;
        for (size_t c = 0; c < chans.size(); ++c) {
            if (pos[c] < chans[c]->samples.size()) {
                t = std::min(t, chans[c]->samples.at(pos[c]).timestamp);
                any = true;
            }
        }
        if (!any)
            break;

        const auto end = std::to_chars(num, num + sizeof num, t);
        buf.append(num, end.ptr - num);
        for (size_t c = 0; c < chans.size(); ++c) {
            buf.append(',');
            const QVector<WaveformSample>& s = chans[c]->samples;
            if (pos[c] < s.size() && s.at(pos[c]).timestamp == t) {
                buf.append(num, formatValue(s.at(pos[c]).value, num));
                ++pos[c];
                ++written;
            }
        }
        buf.append('\n');

        if (buf.size() >= kChunkBytes) {
            if (file.write(buf) != buf.size()) {
                writeFailed = true;
                break;
            }
            buf.resize(0); // keeps the capacity, unlike clear()
        }
        if ((line & 1023) == 0) {
            if (promise.isCanceled())
                break;
            const int percent = total > 0 ? int(written * 100 / total) : 100;
            if (percent != lastPercent) {
                lastPercent = percent;
                promise.setProgressValue(percent);
            }
        }
    }

    if (promise.isCanceled()) {
        file.cancelWriting();
        return;
    }
    if (!writeFailed && !buf.isEmpty() && file.write(buf) != buf.size())
        writeFailed = true;
    if (writeFailed) {
        result.errorMessage =
            tr("Failed to write file:\n%1").arg(fileName) + QLatin1Char('\n') + file.errorString();
        file.cancelWriting();
    } else if (!file.commit()) {
        result.errorMessage =
            tr("Failed to write file:\n%1").arg(fileName) + QLatin1Char('\n') + file.errorString();
    }
    promise.setProgressValue(100);
    promise.addResult(result);
}

QFuture<CsvSaveResult> WaveformCsvExporter::start(const QMap<int, WaveformChannel>& channels,
                                                  const QString& fileName)
{
    return QtConcurrent::run(&WaveformCsvExporter::run, channels, fileName);
}
