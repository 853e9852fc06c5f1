// Receive-path benchmark: a writer thread pushes N MB through a pseudo-terminal
// into the real SerialPortManager and Session (hex display, timestamps on,
// text reaching the log view) and reports throughput, CPU cost, the longest
// GUI-thread stall and the bytes lost; with the highlighter on, it checks
// that the lines in view at the end are coloured.
//
//   bench_receive [MB]            (default 32)
//   BENCH_TEXT=1 bench_receive    (text display instead of hex)
//   BENCH_HIGHLIGHT=0 bench_receive (log highlighter off; on by default, as in the program)
//   BENCH_HEX_DUMP=0 bench_receive (bare hex display instead of the dump layout with offset and characters)
//   BENCH_ANSI=1 bench_receive    (text display of a colour-heavy stream, "ANSI colours" on;
//                                  BENCH_ANSI_COLOURS=0 for the same stream with the codes removed)
//   bench/receive/compare_ansi.sh (both ANSI modes and plain text, alternating, medians)
//   bench_receive 2048            (the long soak: resident memory start, peak, end)

#include "AppConfig.h"
#include "CPlainTextEdit.h"
#include "CSyntaxHighlighter.h"
#include "LogWidget.h"
#include "PtyPair.h"
#include "SerialPortManager.h"
#include "Session.h"

#include "ProcessStats.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using bench::cpuSeconds;
using bench::residentMb;

// Byte i of the stream: a pattern the receiver can check without a copy.
inline char patternByte(qint64 i)
{
    return char((i * 131 + (i >> 9)) & 0xFF);
}

// A colour-heavy device log: every line carries several colour codes in the
// 16-colour, 256-colour and 24-bit forms. Repeated; byte i is ansiCycle()[i % size].
const QByteArray& ansiCycle()
{
    static const QByteArray cycle = [] {
        QByteArray out;
        for (int n = 0; out.size() < 60000; ++n) {
            out += "\x1b[32m[I]\x1b[0m t=" + QByteArray::number(n * 37) + " \x1b[38;5;" +
                   QByteArray::number(16 + n % 216) + "mtemp\x1b[0m=" + QByteArray::number(20 + n % 7) +
                   ".5 \x1b[1;31mERR\x1b[22m code \x1b[38;2;" + QByteArray::number(n % 256) + ";200;30m" +
                   QByteArray::number(n) + "\x1b[0m \x1b[44;97m rx \x1b[0m ok\r\n";
        }
        return out;
    }();
    return cycle;
}

bool g_ansi = false;

inline char streamByte(qint64 i)
{
    if (!g_ansi)
        return patternByte(i);
    const QByteArray& c = ansiCycle();
    return c.at(i % c.size());
}

} // namespace

int main(int argc, char* argv[])
{
    // The session holds the OpenGL waveform plot, which the offscreen platform
    // cannot show: run on a display (xvfb-run on a headless machine).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
        fprintf(stderr, "bench_receive needs a display: xvfb-run -a build/bin/bench_receive\n");
        return 2;
    }
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    const qint64 megabytes = argc > 1 ? qMax(1, atoi(argv[1])) : 32;
    const qint64 total = megabytes * 1024 * 1024;
    g_ansi = qEnvironmentVariableIntValue("BENCH_ANSI") != 0;
    const bool textMode = g_ansi || qEnvironmentVariableIntValue("BENCH_TEXT") != 0;

    AppConfig::loadConfiguration();
    AppConfig::HexRxMode = !textMode;
    AppConfig::ShowTime = true;
    AppConfig::HexBytesPerLine = 32;
    AppConfig::HexDumpColumns =
        qEnvironmentVariable("BENCH_HEX_DUMP", QStringLiteral("1")) != QLatin1String("0");
    AppConfig::LogHighlight =
        qEnvironmentVariable("BENCH_HIGHLIGHT", QStringLiteral("1")) != QLatin1String("0");
    AppConfig::LogAnsiColours =
        g_ansi && qEnvironmentVariable("BENCH_ANSI_COLOURS", QStringLiteral("1")) != QLatin1String("0");
    const bool ansiColours = AppConfig::LogAnsiColours;

    // Keep the debug log quiet: the bench measures the data path, not stdout.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});

    Session session;
    session.resize(1200, 740);
    session.show();

    PtyPair pty;
    if (!pty.open()) {
        std::fprintf(stderr, "cannot open a pseudo-terminal\n");
        return 1;
    }
    if (!session.openPortAtStart(pty.slavePath(), QStringLiteral("3000000"))) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(pty.slavePath()));
        return 1;
    }

    qint64 delivered = 0;
    qint64 corrupt = 0;
    qint64 displayedChars = 0;
    QObject::connect(&session, &Session::dataReceived, &session,
                     [&](const QByteArray& data, bool, bool, bool, int) {
                         for (qsizetype i = 0; i < data.size(); ++i) {
                             if (data[i] != streamByte(delivered + i))
                                 ++corrupt;
                         }
                         delivered += data.size();
                     });
    QObject::connect(&session, &Session::stringReceived, &session,
                     [&](const QString& text) { displayedChars += text.size(); });

    // The GUI thread's heartbeat: the longest gap between two 5 ms ticks is the
    // longest stall a user would feel.
    QElapsedTimer beat;
    qint64 lastBeat = 0;
    qint64 worstStall = 0;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    heartbeat.setInterval(5);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 now = beat.nsecsElapsed();
        worstStall = qMax(worstStall, now - lastBeat);
        lastBeat = now;
    });

    std::atomic<qint64> written{0};
    std::atomic<bool> writeFailed{false};
    QThread* writer = QThread::create([&] {
        QByteArray block(16384, Qt::Uninitialized);
        qint64 pos = 0;
        while (pos < total) {
            const qint64 n = qMin<qint64>(block.size(), total - pos);
            for (qint64 i = 0; i < n; ++i)
                block[i] = streamByte(pos + i);
            if (!pty.writeAll(QByteArray::fromRawData(block.constData(), n))) {
                writeFailed = true;
                return;
            }
            pos += n;
            written = pos;
        }
    });

    // Resident memory every 500 ms: start, peak, and the peak over the last
    // half of the run (flat once the log view's cap is reached).
    const double rssStart = residentMb();
    double rssPeak = rssStart;
    double rssPeakFirstHalf = rssStart;
    double rssPeakSecondHalf = 0;
    QTimer rssProbe;
    QObject::connect(&rssProbe, &QTimer::timeout, [&] {
        const double rss = residentMb();
        rssPeak = qMax(rssPeak, rss);
        if (delivered < total / 2)
            rssPeakFirstHalf = qMax(rssPeakFirstHalf, rss);
        else
            rssPeakSecondHalf = qMax(rssPeakSecondHalf, rss);
    });
    rssProbe.start(500);

    const double cpu0 = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    beat.start();
    heartbeat.start();
    writer->start();

    // Done when every written byte reached the display pipeline and the worker's
    // text came back to the log, or when nothing has moved for 5 s.
    qint64 lastProgress = 0;
    qint64 lastDelivered = -1;
    QElapsedTimer idle;
    idle.start();
    while (true) {
        app.processEvents(QEventLoop::AllEvents, 50);
        if (delivered != lastDelivered) {
            lastDelivered = delivered;
            idle.restart();
        }
        if (writer->isFinished() && delivered >= written && displayedChars > 0) {
            // Let the worker's last text arrive and the log view flush.
            QElapsedTimer settle;
            settle.start();
            while (settle.elapsed() < 200)
                app.processEvents(QEventLoop::AllEvents, 20);
            break;
        }
        if (idle.elapsed() > 5000 || writeFailed)
            break;
        lastProgress = delivered;
    }
    Q_UNUSED(lastProgress);
    const double seconds = double(clock.nsecsElapsed()) / 1e9 - 0.2;
    const double cpu = cpuSeconds() - cpu0;
    heartbeat.stop();
    writer->wait();
    delete writer;

    // The lines in view must carry their colours. The log may still be taking
    // in its backlog, and lines are coloured when painted: wait for the last
    // of the text and a paint after it.
    CPlainTextEdit* log = session.logWidget()->textArea();
    QElapsedTimer drain;
    drain.start();
    while (drain.elapsed() < 20000 && (log->pendingLength() > 0 || !log->viewport()->updatesEnabled()))
        app.processEvents(QEventLoop::AllEvents, 10);
    const double drainSeconds = double(drain.elapsed()) / 1000.0;
    log->viewport()->repaint();
    int inView = 0;
    int colouredInView = 0;
    const int viewLines = log->viewport()->height() / log->fontMetrics().lineSpacing();
    QTextBlock b = log->cursorForPosition(QPoint(1, 1)).block();
    for (int i = 0; i < viewLines && b.isValid(); ++i, b = b.next()) {
        if (b.text().isEmpty())
            continue;
        ++inView;
        colouredInView += CSyntaxHighlighter::isColoured(b) && !b.layout()->formats().isEmpty() ? 1 : 0;
    }
    const bool viewOk = !(AppConfig::LogHighlight || ansiColours) || (inView > 0 && colouredInView == inView);

    const double mb = double(written) / (1024.0 * 1024.0);
    std::printf("receive path (%s display%s, timestamps on, highlighter %s, %lld MB through a pty)\n",
                textMode ? "text" : "hex",
                g_ansi ? (ansiColours ? ", colour-heavy stream, ANSI colours on"
                                      : ", colour-heavy stream, ANSI colours off")
                       : "",
                AppConfig::LogHighlight ? "on" : "off", static_cast<long long>(megabytes));
    std::printf("  throughput        %8.2f MB/s\n", mb / seconds);
    std::printf("  cpu per MB        %8.4f s\n", cpu / mb);
    std::printf("  longest GUI stall %8.1f ms\n", double(worstStall) / 1e6);
    std::printf("  bytes written     %10lld\n", static_cast<long long>(written.load()));
    std::printf("  bytes received    %10llu (Rx counter)\n",
                static_cast<unsigned long long>(session.rxCount()));
    std::printf("  bytes displayed   %10lld\n", static_cast<long long>(delivered));
    std::printf("  bytes lost        %10lld\n", static_cast<long long>(written - delivered));
    std::printf("  bytes corrupted   %10lld\n", static_cast<long long>(corrupt));
    std::printf("  log text (chars)  %10lld\n", static_cast<long long>(displayedChars));
    std::printf("  log caught up in  %8.2f s (after the last byte)\n", drainSeconds);
    std::printf("  lines in view     %10d (%d coloured)\n", inView, colouredInView);
    std::printf("  resident memory   %8.1f MB start, %.1f MB peak, %.1f MB end\n", rssStart, rssPeak,
                residentMb());
    std::printf("                    %8.1f MB peak in the first half, %.1f MB in the second\n",
                rssPeakFirstHalf, rssPeakSecondHalf);
    session.shutdown();
    return (written - delivered) == 0 && corrupt == 0 && !writeFailed && viewOk ? 0 : 2;
}
