// CSV export and replay benchmark: a store of 16 channels x N samples
// (1 us apart, 10-digit values) is exported to a file and replayed from it,
// each as the task the plot starts on the thread pool. Prints seconds, MB/s
// of CSV and the peak resident memory of each phase, and checks that the
// replay gives back every sample.
//
//   bench_csv [million samples per channel] [directory]   (default 1, /tmp)

#include "WaveformCsvExporter.h"
#include "WaveformCsvParser.h"
#include "WaveformCsvReplay.h"
#include "WaveformStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <cstdio>

namespace {

constexpr int kChannels = 16;

// Resident set size and its peak, in MiB, from /proc.
double procMiB(const char* key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qsizetype(qstrlen(key))).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

// Starts a new peak measurement (Linux: writing 5 to clear_refs resets VmHWM).
void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const qsizetype perChannel = qsizetype((argc > 1 ? std::atof(argv[1]) : 1.0) * 1e6);
    const QString dir = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QDir::tempPath();
    const QString file =
        QDir(dir).filePath(QStringLiteral("bench_csv_%1.csv").arg(QCoreApplication::applicationPid()));

    qint64 total = 0;
    {
        WaveformStore store;
        for (int c = 0; c < kChannels; ++c) {
            store.addChannel(QStringLiteral("Channel %1").arg(c));
            QVector<WaveformSample> s(perChannel);
            for (qsizetype i = 0; i < perChannel; ++i)
                s[i] = {qint64(i) * 1000, 1000.0 * std::sin(double(i) * 0.001 + c) + 0.001 * double(i % 97)};
            store.appendChannelData(c, s);
            total += perChannel;
        }
        std::printf("store: %d channels x %lld samples, RSS %.0f MiB\n", kChannels, qlonglong(perChannel),
                    procMiB("VmRSS:"));

        resetPeak();
        const double before = procMiB("VmRSS:");
        QElapsedTimer t;
        t.start();
        QFuture<CsvSaveResult> f = WaveformCsvExporter::start(store.channels(), file);
        f.waitForFinished();
        const double secs = double(t.nsecsElapsed()) / 1e9;
        if (f.resultCount() == 0 || !f.result().errorMessage.isEmpty()) {
            std::printf("export failed: %s\n",
                        f.resultCount() ? qPrintable(f.result().errorMessage) : "no result");
            return 1;
        }
        const double mb = double(QFileInfo(file).size()) / 1e6;
        std::printf("export: %.1f MB in %.2f s = %.0f MB/s, peak RSS %.0f MiB (+%.0f MiB over the store)\n",
                    mb, secs, mb / secs, procMiB("VmHWM:"), procMiB("VmHWM:") - before);
    }

    resetPeak();
    const double before = procMiB("VmRSS:");
    QElapsedTimer t;
    t.start();
    const CsvReplayHeader h = WaveformCsvParser::readHeader(file);
    const qint64 size = QFileInfo(file).size();
    QFuture<CsvParseResult> f =
        WaveformCsvParser::start(file, h.unitFactor, h.unitsPerSecond, int(h.columnNames.size()), 1e6, size);
    f.waitForFinished();
    const double secs = double(t.nsecsElapsed()) / 1e9;
    const CsvParseResult r = f.result();
    qint64 got = 0;
    for (const auto& col : r.columns)
        got += col.size();
    std::printf(
        "replay: %.1f MB in %.2f s = %.0f MB/s, peak RSS %.0f MiB (+%.0f MiB; samples kept %.0f MiB), "
        "%lld of %lld samples, rate %.0f/s\n",
        double(size) / 1e6, secs, double(size) / 1e6 / secs, procMiB("VmHWM:"), procMiB("VmHWM:") - before,
        double(got) * sizeof(WaveformSample) / 1048576.0, qlonglong(got), qlonglong(total), r.sampleRate);
    QFile::remove(file);
    return got == total ? 0 : 1;
}
