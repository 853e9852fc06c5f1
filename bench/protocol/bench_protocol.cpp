// Checksum throughput over 64 MiB and frames built per second for the sample
// protocols. Prints figures only; run a release-type build:
//   bench_protocol [protocols-folder]
#include "ChecksumCatalogue.h"
#include "ProtocolRegistry.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);

    constexpr qint32 kSize = 64 * 1024 * 1024;
    QByteArray data(kSize, Qt::Uninitialized);
    QRandomGenerator rng(42);
    rng.fillRange(reinterpret_cast<quint32*>(data.data()), kSize / 4);
    const auto* bytes = reinterpret_cast<const quint8*>(data.constData());

    out << "Checksum throughput over 64 MiB (best of 3)\n";
    for (const QString& name : ChecksumCatalogue::names()) {
        const ChecksumAlgorithm* algo = ChecksumCatalogue::find(name);
        qint64 best = -1;
        quint32 result = 0;
        for (int round = 0; round < 3; ++round) {
            QElapsedTimer t;
            t.start();
            result ^= algo->compute(bytes, kSize);
            const qint64 ns = t.nsecsElapsed();
            if (best < 0 || ns < best)
                best = ns;
        }
        const double mbps = (double(kSize) / (1024.0 * 1024.0)) / (double(best) / 1e9);
        out << QStringLiteral("  %1 %2 MB/s  (%3)\n")
                   .arg(name, -13)
                   .arg(mbps, 8, 'f', 1)
                   .arg(result, 8, 16, QLatin1Char('0'));
        out.flush();
    }

    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(PROTOCOL_SAMPLES_DIR);
    ProtocolRegistry& registry = ProtocolRegistry::instance();
    registry.loadFolder(folder);
    out << "\nFrames built per second (defaults, 1 s per protocol)\n";
    for (const FrameProtocol& p : registry.protocols()) {
        QElapsedTimer t;
        t.start();
        qint64 frames = 0;
        qsizetype bytesOut = 0;
        while (t.elapsed() < 1000) {
            for (int i = 0; i < 1000; ++i)
                bytesOut += ProtocolRegistry::buildFrame(p, {}).size();
            frames += 1000;
        }
        const double perSecond = double(frames) / (double(t.nsecsElapsed()) / 1e9);
        out << QStringLiteral("  %1 %2 frames/s  (%3 bytes each)\n")
                   .arg(p.name, -36)
                   .arg(perSecond, 10, 'f', 0)
                   .arg(frames ? bytesOut / frames : 0);
        out.flush();
    }
    return 0;
}
