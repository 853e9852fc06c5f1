#include "DebugLog.h"

#include <QRegularExpression>
#include <QTemporaryFile>
#include <QtTest>

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

#include <sys/syscall.h>
#include <unistd.h>

namespace {

// Sends standard output into a temporary file for as long as it lives, the
// way a terminal or a pipe would receive the log.
class StdoutCapture
{
public:
    bool start()
    {
        if (!m_file.open())
            return false;
        std::fflush(stdout);
        m_saved = ::dup(STDOUT_FILENO);
        return m_saved >= 0 && ::dup2(m_file.handle(), STDOUT_FILENO) >= 0;
    }
    QByteArray stop()
    {
        std::fflush(stdout);
        if (m_saved >= 0) {
            ::dup2(m_saved, STDOUT_FILENO);
            ::close(m_saved);
            m_saved = -1;
        }
        QFile in(m_file.fileName());
        if (!in.open(QIODevice::ReadOnly))
            return QByteArray();
        return in.readAll();
    }
    ~StdoutCapture() { stop(); }

private:
    QTemporaryFile m_file;
    int m_saved = -1;
};

// The program issues its messages without a source location.
void emitPlain(QtMsgType type, const QString& text)
{
    QMessageLogger logger(nullptr, 0, nullptr);
    switch (type) {
    case QtDebugMsg:
        logger.debug().noquote() << text;
        break;
    case QtInfoMsg:
        logger.info().noquote() << text;
        break;
    case QtWarningMsg:
        logger.warning().noquote() << text;
        break;
    case QtCriticalMsg:
        logger.critical().noquote() << text;
        break;
    case QtFatalMsg:
        break; // would abort
    }
}

QStringList linesOf(const QByteArray& captured)
{
    QStringList lines = QString::fromUtf8(captured).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// "%{time} %{type} [%{threadid}] [%{function}: %{line}] %{message}" with an
// empty function and line 0.
const QRegularExpression
    kLine(QStringLiteral("^(\\S.*) (debug|info|warning|critical) \\[(\\d+)\\] \\[: 0\\] (.*)$"));

qint64 currentTid()
{
    return qint64(::syscall(SYS_gettid));
}

} // namespace

class TestDebugLog : public QObject
{
    Q_OBJECT

private:
    QtMessageHandler m_previous = nullptr;

private Q_SLOTS:
    void init()
    {
        // Remember the test framework's own handler to put it back afterwards.
        m_previous = qInstallMessageHandler(nullptr);
        qInstallMessageHandler(m_previous);
        DebugLog::instance().install();
    }

    void cleanup()
    {
        qInstallMessageHandler(m_previous);
        qSetMessagePattern(QStringLiteral("%{if-category}%{category}: %{endif}%{message}"));
        DebugLog::instance().setThreshold(5);
        DebugLog::instance().setConsoleEnabled(true);
    }

    void severityMapping()
    {
        QCOMPARE(DebugLog::severity(QtDebugMsg), 5);
        QCOMPARE(DebugLog::severity(QtInfoMsg), 4);
        QCOMPARE(DebugLog::severity(QtWarningMsg), 3);
        QCOMPARE(DebugLog::severity(QtCriticalMsg), 2);
        QCOMPARE(DebugLog::severity(QtFatalMsg), 1);
    }

    void installSetsConsoleAndThresholdFive()
    {
        DebugLog& log = DebugLog::instance();
        log.setConsoleEnabled(false);
        log.setThreshold(1);
        log.install();
        QVERIFY(log.consoleEnabled());
        QCOMPARE(log.threshold(), 5);
        for (QtMsgType t : {QtDebugMsg, QtInfoMsg, QtWarningMsg, QtCriticalMsg, QtFatalMsg})
            QVERIFY(log.passes(t));
    }

    void passesFollowsThreshold()
    {
        DebugLog& log = DebugLog::instance();
        log.setThreshold(3);
        QVERIFY(!log.passes(QtDebugMsg));
        QVERIFY(!log.passes(QtInfoMsg));
        QVERIFY(log.passes(QtWarningMsg));
        QVERIFY(log.passes(QtCriticalMsg));
        QVERIFY(log.passes(QtFatalMsg));
        log.setThreshold(4);
        QVERIFY(!log.passes(QtDebugMsg));
        QVERIFY(log.passes(QtInfoMsg));
        log.setThreshold(0);
        QVERIFY(!log.passes(QtFatalMsg));
        log.setThreshold(5);
        log.setConsoleEnabled(false);
        QVERIFY(!log.passes(QtCriticalMsg));
    }

    void lineFormat()
    {
        StdoutCapture cap;
        QVERIFY(cap.start());
        emitPlain(QtDebugMsg, QStringLiteral("[SerialPortManager] Serial port closed"));
        emitPlain(QtInfoMsg, QStringLiteral("[session] 你好 ünïcode"));
        emitPlain(QtWarningMsg, QStringLiteral("[ZMODEM] timeout"));
        emitPlain(QtCriticalMsg, QStringLiteral("critical one"));
        const QStringList lines = linesOf(cap.stop());

        QCOMPARE(lines.size(), 4);
        const QStringList types{QStringLiteral("debug"), QStringLiteral("info"), QStringLiteral("warning"),
                                QStringLiteral("critical")};
        const QStringList texts{QStringLiteral("[SerialPortManager] Serial port closed"),
                                QStringLiteral("[session] 你好 ünïcode"), QStringLiteral("[ZMODEM] timeout"),
                                QStringLiteral("critical one")};
        for (int i = 0; i < 4; ++i) {
            const auto m = kLine.match(lines.at(i));
            QVERIFY2(m.hasMatch(), qPrintable(lines.at(i)));
            QCOMPARE(m.captured(2), types.at(i));
            QCOMPARE(m.captured(3).toLongLong(), currentTid());
            QCOMPARE(m.captured(4), texts.at(i));
            QVERIFY(!m.captured(1).trimmed().isEmpty());
        }
    }

    void sourceLocationIsFilledIn()
    {
        StdoutCapture cap;
        QVERIFY(cap.start());
        QMessageLogger("file.cpp", 42, "void Foo::bar(int)").debug().noquote() << "located";
        const QStringList lines = linesOf(cap.stop());
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.at(0).endsWith(QStringLiteral(" [Foo::bar: 42] located")), qPrintable(lines.at(0)));
    }

    void thresholdFiltersOutput()
    {
        DebugLog& log = DebugLog::instance();
        StdoutCapture cap;
        QVERIFY(cap.start());
        log.setThreshold(3);
        emitPlain(QtDebugMsg, QStringLiteral("d3"));
        emitPlain(QtInfoMsg, QStringLiteral("i3"));
        emitPlain(QtWarningMsg, QStringLiteral("w3"));
        emitPlain(QtCriticalMsg, QStringLiteral("c3"));
        log.setThreshold(4);
        emitPlain(QtDebugMsg, QStringLiteral("d4"));
        emitPlain(QtInfoMsg, QStringLiteral("i4"));
        log.setThreshold(1);
        emitPlain(QtCriticalMsg, QStringLiteral("c1"));
        log.setThreshold(5);
        log.setConsoleEnabled(false);
        emitPlain(QtCriticalMsg, QStringLiteral("off"));
        log.setConsoleEnabled(true);
        emitPlain(QtDebugMsg, QStringLiteral("d5"));
        const QStringList lines = linesOf(cap.stop());

        QStringList messages;
        for (const QString& line : lines) {
            const auto m = kLine.match(line);
            QVERIFY2(m.hasMatch(), qPrintable(line));
            messages << m.captured(4);
        }
        QCOMPARE(messages, (QStringList{QStringLiteral("w3"), QStringLiteral("c3"), QStringLiteral("i4"),
                                        QStringLiteral("d5")}));
    }

    void threadsDoNotInterleave()
    {
        constexpr int kThreads = 4;
        constexpr int kPerThread = 400;
        const QString padding(300, QLatin1Char('x'));
        StdoutCapture cap;
        QVERIFY(cap.start());
        std::vector<qint64> tids(kThreads, 0);
        std::atomic<int> ready{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&, t] {
                tids[size_t(t)] = currentTid();
                ++ready;
                while (ready.load() < kThreads) {
                }
                for (int i = 0; i < kPerThread; ++i)
                    emitPlain(QtDebugMsg, QStringLiteral("T%1 #%2 %3 end").arg(t).arg(i).arg(padding));
            });
        }
        for (auto& th : threads)
            th.join();
        const QStringList lines = linesOf(cap.stop());

        QCOMPARE(lines.size(), kThreads * kPerThread);
        std::vector<int> next(kThreads, 0);
        const QRegularExpression payload(QStringLiteral("^T(\\d) #(\\d+) x{300} end$"));
        for (const QString& line : lines) {
            const auto m = kLine.match(line);
            QVERIFY2(m.hasMatch(), qPrintable(line.left(120)));
            const auto p = payload.match(m.captured(4));
            QVERIFY2(p.hasMatch(), qPrintable(line.left(120)));
            const int t = p.captured(1).toInt();
            QVERIFY(t >= 0 && t < kThreads);
            // Each thread's lines arrive whole, in its own order, with its id.
            QCOMPARE(p.captured(2).toInt(), next[size_t(t)]);
            ++next[size_t(t)];
            QCOMPARE(m.captured(3).toLongLong(), tids[size_t(t)]);
        }
        for (int t = 0; t < kThreads; ++t)
            QCOMPARE(next[size_t(t)], kPerThread);
    }
};

QTEST_GUILESS_MAIN(TestDebugLog)
#include "tst_debuglog.moc"
