// bench_lua: frame-parser throughput of the length-prefixed sample parser fed
// 64 KiB chunks through parseFrames, and the cvn_expect round trip against a
// pseudo-terminal peer that answers at once.
#include "AppPaths.h"
#include "CLuaScriptEngine.h"
#include "PtyPair.h"
#include "SerialPortManager.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr qsizetype kChunk = 64 * 1024;

QByteArray frameStream(qsizetype bytes)
{
    QByteArray out;
    out.reserve(bytes + 32);
    quint8 seq = 0;
    while (out.size() < bytes) {
        QByteArray f("\xAA\x55\x06", 3);
        for (int i = 0; i < 6; ++i)
            f.append(char(seq + i * 37));
        quint32 sum = 0;
        for (char c : f)
            sum += quint8(c);
        f.append(char(sum & 0xff));
        out.append(f);
        ++seq;
    }
    return out;
}

bool parserThroughput()
{
    CLuaScriptEngine engine;
    QEventLoop loop;
    bool loaded = false;
    QObject::connect(&engine, &CLuaScriptEngine::scriptLoadFinished, &loop, [&](bool ok) {
        loaded = ok;
        loop.quit();
    });
    const QString parser = AppPaths::dataPath(QStringLiteral("scripts/length_prefixed_parser.lua"));
    if (!engine.loadScript(parser)) {
        std::fprintf(stderr, "cannot load %s\n", qPrintable(parser));
        return false;
    }
    loop.exec();
    if (!loaded) {
        std::fprintf(stderr, "load failed: %s\n", qPrintable(engine.lastError()));
        return false;
    }
    engine.setEnabled(true);

    const QByteArray stream = frameStream(16 * kChunk);
    const qint64 expectedPerPass = stream.size() / 10;
    qint64 frames = 0;
    QElapsedTimer clock;
    clock.start();
    int passes = 0;
    while (clock.elapsed() < 3000 || passes < 2) {
        for (qsizetype at = 0; at < stream.size(); at += kChunk)
            frames += engine.parseFrames(stream.mid(at, kChunk)).size();
        ++passes;
    }
    const double seconds = clock.nsecsElapsed() / 1e9;
    std::printf("frame parser: %.0f frames/s (%lld frames of 10 bytes in 64 KiB chunks, %.2f s)\n",
                frames / seconds, static_cast<long long>(frames), seconds);
    if (frames < expectedPerPass * passes - passes) {
        std::fprintf(stderr, "lost frames: %lld of %lld\n", static_cast<long long>(frames),
                     static_cast<long long>(expectedPerPass * passes));
        return false;
    }
    return true;
}

bool roundTrip(int requests)
{
    PtyPair pty;
    if (!pty.open())
        return false;
    // The peer answers every line at once and notes when each request came:
    // the gap between two requests is one whole round trip of the script.
    std::vector<std::chrono::steady_clock::time_point> arrivals;
    arrivals.reserve(size_t(requests) + 1);
    std::atomic<bool> quit{false};
    const int fd = pty.masterFd();
    std::thread peer([&] {
        char buf[4096];
        while (!quit.load()) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            const ssize_t n = ::read(fd, buf, sizeof buf);
            for (ssize_t i = 0; i < n; ++i) {
                if (buf[i] != '\n')
                    continue;
                arrivals.push_back(std::chrono::steady_clock::now());
                [[maybe_unused]] const ssize_t w = ::write(fd, "OK\r\n", 4);
            }
        }
    });

    SerialPortManager port;
    bool ok = port.openPort(pty.slavePath(), QStringLiteral("115200"), QStringLiteral("8"),
                            QStringLiteral("None"), QStringLiteral("1"), QStringLiteral("None"));
    QTemporaryDir dir;
    const QString script = dir.filePath(QStringLiteral("rt.lua"));
    QFile f(script);
    ok = ok && f.open(QIODevice::WriteOnly) &&
         f.write(QStringLiteral(
                     "for i = 1, %1 do\n"
                     "  if not cvn_expect('AT\\n', 'OK', 1000) then cvn_report('answer', false, i) end\n"
                     "end\n")
                     .arg(requests + 1)
                     .toUtf8()) > 0;
    f.close();
    quint32 failures = 0;
    if (ok) {
        CLuaScriptEngine engine;
        engine.setSerialPortManager(&port);
        engine.setMode(1);
        QObject::connect(&port, &SerialPortManager::dataReceived, &engine, &CLuaScriptEngine::enqueueRxData,
                         Qt::DirectConnection);
        QEventLoop loop;
        QObject::connect(&engine, &CLuaScriptEngine::automationStateChanged, &loop, [&](bool running) {
            if (!running)
                loop.quit();
        });
        ok = engine.setScriptFile(script) && engine.startAutomation();
        if (ok)
            loop.exec();
        failures = engine.failCount();
    }
    quit = true;
    peer.join();
    if (!ok || failures > 0 || arrivals.size() < 2) {
        std::fprintf(stderr, "round trip failed (%u unanswered)\n", failures);
        return false;
    }
    std::vector<double> ms;
    for (size_t i = 1; i < arrivals.size(); ++i)
        ms.push_back(std::chrono::duration<double, std::milli>(arrivals[i] - arrivals[i - 1]).count());
    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2];
    const double p99 = ms[std::min(ms.size() - 1, size_t(double(ms.size()) * 0.99))];
    std::printf("cvn_expect round trip: median %.3f ms, p99 %.3f ms (%zu requests)\n", median, p99,
                ms.size());
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const bool parsed = parserThroughput();
    const bool answered = roundTrip(2000);
    return parsed && answered ? 0 : 1;
}
