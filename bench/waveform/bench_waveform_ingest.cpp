// Waveform ingest benchmark: brace frames of 4 and 16 fields pushed in
// received-size chunks through CsvProtocolParser::handleData, drained with
// FrameDrain into a WaveformStore. Prints frames/s for
//   - direct: parse and drain on one thread, one drain per chunk batch;
//   - threaded: the parser on its own thread fed by queued calls (a few
//     chunks in flight, as from a port that never pauses), drained every
//     100 ms on the main thread, as the session does;
// then the memory per stored sample and the cost of one column scan with
// 10 M samples in view.
//
//   bench_waveform_ingest [million frames]   (default 4)

#include "CsvProtocolParser.h"
#include "FrameDrain.h"
#include "WaveformStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <ctime>

namespace {

// CPU seconds of the whole process (all threads) and of the calling thread:
// the machine may be shared, so rates per CPU second are printed beside the
// wall-clock ones.
double processCpuSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

constexpr int kChunkBytes = 64 * 1024;
constexpr int kSampleRate = 1000000;

// About kChunkBytes of whole frames with realistic numbers: a few digits,
// signs, decimals, the odd space and line break.
QByteArray makeChunk(int fields, int& framesInChunk)
{
    QRandomGenerator rng{quint32(fields)};
    QByteArray chunk;
    framesInChunk = 0;
    while (chunk.size() < kChunkBytes) {
        chunk += '{';
        for (int f = 0; f < fields; ++f) {
            if (f)
                chunk += (rng.bounded(8) == 0) ? ", " : ",";
            chunk += QByteArray::number(rng.bounded(2000.0) - 1000.0, 'f', int(rng.bounded(1, 5)));
        }
        chunk += "}\r\n";
        ++framesInChunk;
    }
    return chunk;
}

WaveformStore* makeStore()
{
    auto* store = new WaveformStore;
    for (int i = 0; i < FrameDrain::kChannelCount; ++i)
        store->addChannel(QStringLiteral("Channel %1").arg(i));
    store->setWidgetSize(1600, 1000);
    store->startRecording();
    store->setSampleRate(kSampleRate);
    return store;
}

qint64 feedStore(WaveformStore& store, const FrameDrain::ChannelSamples& lists)
{
    for (int j = 0; j < FrameDrain::kChannelCount; ++j)
        store.appendChannelData(j, lists[j]);
    return lists[0].size();
}

double runDirect(int fields, qint64 frames, WaveformStore& store, double& perCpuSecond)
{
    int perChunk = 0;
    const QByteArray chunk = makeChunk(fields, perChunk);
    CsvProtocolParser parser;
    qint64 ts = 0, stored = 0;
    const double cpu0 = processCpuSeconds();
    QElapsedTimer timer;
    timer.start();
    // A drain tick after every few chunks, like 100 ms of a fast line.
    for (qint64 pushed = 0; pushed < frames;) {
        for (int k = 0; k < 4 && pushed < frames; ++k, pushed += perChunk)
            parser.handleData(chunk);
        stored += feedStore(store, FrameDrain::drain(parser, kSampleRate, ts));
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    perCpuSecond = stored / (processCpuSeconds() - cpu0);
    return stored / seconds;
}

double runThreaded(int fields, qint64 frames, WaveformStore& store, double& ticks, double& perCpuSecond)
{
    int perChunk = 0;
    const QByteArray chunk = makeChunk(fields, perChunk);
    QThread thread;
    auto* parser = new CsvProtocolParser;
    parser->moveToThread(&thread);
    QObject::connect(&thread, &QThread::finished, parser, &QObject::deleteLater);
    thread.start();

    const qint64 chunks = (frames + perChunk - 1) / perChunk;
    const qint64 expected = chunks * perChunk;
    std::atomic<int> inFlight{0};
    qint64 posted = 0, ts = 0, stored = 0;
    int tickCount = 0;
    const double cpu0 = processCpuSeconds();
    QElapsedTimer timer;
    timer.start();
    qint64 nextTick = 100;
    // The main thread plays the session's GUI thread: it hands chunks to the
    // parser thread by queued calls as fast as that thread takes them (a few
    // in flight, like a port that is never idle) and drains every 100 ms.
    while (stored < expected) {
        while (posted < chunks && inFlight.load() < 4) {
            ++inFlight;
            ++posted;
            QMetaObject::invokeMethod(
                parser,
                [parser, chunk, &inFlight]() {
                    parser->handleData(chunk);
                    --inFlight;
                },
                Qt::QueuedConnection);
        }
        if (timer.elapsed() < nextTick && posted < chunks) {
            QThread::usleep(200);
            continue;
        }
        if (posted == chunks && inFlight.load() > 0 && timer.elapsed() < nextTick) {
            QThread::usleep(200);
            continue;
        }
        nextTick += 100;
        QElapsedTimer work;
        work.start();
        const FrameDrain::ChannelSamples lists = FrameDrain::drain(*parser, kSampleRate, ts);
        const qint64 drained = work.nsecsElapsed();
        stored += feedStore(store, lists);
        if (qEnvironmentVariableIsSet("BENCH_VERBOSE"))
            std::printf("    tick at %5lld ms: %8lld frames, drain %6.1f ms, store %6.1f ms\n",
                        (long long)timer.elapsed(), (long long)lists[0].size(), drained / 1e6,
                        (work.nsecsElapsed() - drained) / 1e6);
        ++tickCount;
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    perCpuSecond = stored / (processCpuSeconds() - cpu0);
    thread.quit();
    thread.wait();
    ticks = tickCount;
    return stored / seconds;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const double millions = argc > 1 ? QByteArray(argv[1]).toDouble() : 4.0;
    const qint64 frames = qint64((millions > 0 ? millions : 4.0) * 1e6);

    std::printf("waveform ingest: %lld frames per run, %d-byte chunks\n", (long long)frames, kChunkBytes);
    for (int fields : {4, 16}) {
        WaveformStore* store = makeStore();
        double directCpu = 0;
        const double direct = runDirect(fields, frames, *store, directCpu);
        std::printf(
            "  %2d fields, direct   : %10.0f frames/s  (%6.1f M samples/s), %10.0f frames per CPU second\n",
            fields, direct, direct * fields / 1e6, directCpu);

        const qsizetype samples = store->channel(0)->samples.size() * fields;
        qsizetype minimal = 0;
        for (const WaveformChannel& ch : store->channels())
            minimal += ch.samples.size() * qsizetype(sizeof(WaveformSample)) + ch.summary.memoryBytes();
        std::printf("  %2d fields, memory   : %.2f bytes/sample allocated, %.2f bytes/sample "
                    "(sample %d + summaries) without growth slack\n",
                    fields, double(store->memoryBytes()) / double(samples), double(minimal) / double(samples),
                    int(sizeof(WaveformSample)));
        delete store;

        store = makeStore();
        double ticks = 0, threadedCpu = 0;
        const double threaded = runThreaded(fields, frames, *store, ticks, threadedCpu);
        std::printf(
            "  %2d fields, threaded : %10.0f frames/s  (%6.1f M samples/s), %10.0f frames per CPU second "
            "(both threads), %.0f drain ticks\n",
            fields, threaded, threaded * fields / 1e6, threadedCpu, ticks);
        delete store;
    }

    // Column scan: 10 M samples of one channel, all in view on 1000 and 2000
    // columns, and zoomed in to 1000 samples.
    WaveformStore store;
    store.addChannel(QStringLiteral("scan"));
    QVector<WaveformSample> batch;
    qint64 t = 0;
    for (int b = 0; b < 100; ++b) {
        batch.clear();
        for (int i = 0; i < 100000; ++i, t += 1000)
            batch.append({t, double((i * 7919) % 1000) - 500.0});
        store.appendChannelData(0, batch);
    }
    const qsizetype n = store.channel(0)->samples.size();
    for (int width : {1000, 2000}) {
        for (qint64 inView : {qint64(n), qint64(1000000), qint64(1000)}) {
            const double scale = double(inView) * 1000.0 / width;
            QElapsedTimer timer;
            timer.start();
            int calls = 0;
            int columns = 0;
            while (timer.elapsed() < 300 || calls < 3) {
                columns += store.scanColumns(0, 0, scale, width, 1e6).columnsWithData;
                ++calls;
            }
            std::printf("  column scan: %9lld samples in view, %d columns: %8.1f us per channel\n",
                        (long long)inView, width, timer.nsecsElapsed() / 1e3 / calls);
            Q_UNUSED(columns);
        }
    }
    std::printf("  column scan memory: %.2f bytes/sample\n", double(store.memoryBytes()) / double(n));
    return 0;
}
