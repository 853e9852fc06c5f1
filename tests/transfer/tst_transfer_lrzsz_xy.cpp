// XMODEM and YMODEM against the lrzsz receivers `rx` and `rb`: our engine
// writes through a real QSerialPort on one pseudo-terminal, the receiver sits
// on another, and NoisyRelay copies between them (clean, or with noise on the
// way to the receiver). Each round trip waits on the receiver, so several
// transfers run side by side to keep the test short.

#include "NoisyRelay.h"
#include "PeerTools.h"
#include "TestData.h"
#include "XMODEM.h"
#include "YMODEM.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

constexpr char SUB = 0x1A;

enum class Kind
{
    Xmodem128,
    Xmodem1K,
    Ymodem,
    XmodemChecksum // rx without -c asks with NAK
};

// One transfer: engine, line, receiver process. The writer side reports the
// port's queue to the engine after every write and on every bytes-written,
// as the transfer panel does.
class TransferRun : public QObject
{
public:
    TransferRun(Kind kind, qint64 size, const QString& baseDir, double corrupt = 0, double drop = 0)
        : m_kind(kind), m_size(size)
    {
        const QString tag = QStringLiteral("%1-%2").arg(int(kind)).arg(size);
        m_sendDir = baseDir + "/send-" + tag;
        m_recvDir = baseDir + "/recv-" + tag;
        QDir().mkpath(m_sendDir);
        QDir().mkpath(m_recvDir);
        m_content = randomBytes(size, quint32(size * 3 + int(kind) + 1));
        m_source = m_sendDir + QStringLiteral("/data%1.bin").arg(size);
        QFile f(m_source);
        if (f.open(QIODevice::WriteOnly)) {
            f.write(m_content);
            f.close();
        }
        // A whole second in the past: the receiver's copy can only get it from us.
        m_mtime = 1300000000 + size;
        if (f.open(QIODevice::ReadWrite))
            f.setFileTime(QDateTime::fromSecsSinceEpoch(m_mtime), QFileDevice::FileModificationTime);

        m_relay.setSeed(quint32(0x5EED + size + int(kind)));
        m_relay.setNoise(corrupt, drop);
        if (kind == Kind::Ymodem) {
            m_engine = std::make_unique<YMODEM>();
        } else {
            auto x = std::make_unique<XMODEM>();
            x->setUse1K(kind == Kind::Xmodem1K);
            m_engine = std::move(x);
        }
        static_cast<XMODEM*>(m_engine.get())->setTimeout(3000);
    }

    ~TransferRun() override
    {
        stop();
        if (m_lineFd >= 0)
            ::close(m_lineFd);
    }

    QString label() const
    {
        static const char* names[] = {"XMODEM", "XMODEM-1K", "YMODEM", "XMODEM checksum"};
        return QStringLiteral("%1 %2 bytes").arg(names[int(m_kind)]).arg(m_size);
    }

    bool begin(QString* error)
    {
        if (!m_relay.open()) {
            *error = "no pty for the relay";
            return false;
        }
        m_port.setPortName(m_relay.senderPath());
        if (!m_port.open(QIODevice::ReadWrite)) {
            *error = "cannot open sender pty: " + m_port.errorString();
            return false;
        }
        Protocol* engine = m_engine.get();
        connect(engine, &Protocol::writeRequested, this, [this, engine](const QByteArray& data) {
            m_port.write(data);
            engine->setPendingOutput(m_port.bytesToWrite());
        });
        connect(&m_port, &QSerialPort::bytesWritten, this,
                [this, engine](qint64) { engine->setPendingOutput(m_port.bytesToWrite()); });
        connect(&m_port, &QSerialPort::readyRead, this,
                [this, engine] { engine->handleReceivedData(m_port.readAll()); });
        connect(engine, &Protocol::finished, this, [this](bool ok, const QString& message) {
            m_engineDone = true;
            m_success = ok;
            m_message = message;
        });
        connect(engine, &Protocol::statusMessage, this, [this](const QString& message) {
            if (message.contains("NAK") || message.contains("Timeout"))
                ++m_engineErrors;
        });
        engine->start(m_source);

        // The receiver writes its answers straight to its pty but reads the
        // line through a pipe we feed from that pty. lrzsz exits with
        // tcdrain() + tcflush(TCIOFLUSH) on its input; on a pty tcdrain()
        // doesn't wait for the other side, so with the pty as its stdin the
        // flush would throw away its own last ACK before the relay took it.
        // (On a real serial line tcdrain() waits and nothing is lost.)
        m_receiver.setWorkingDirectory(m_recvDir);
        m_receiver.setStandardOutputFile(m_relay.receiverPath());
        m_lineFd =
            ::open(QFile::encodeName(m_relay.receiverPath()).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_lineFd < 0) {
            *error = "cannot open receiver pty";
            return false;
        }
        m_lineReadable = new QSocketNotifier(m_lineFd, QSocketNotifier::Read, this);
        connect(m_lineReadable, &QSocketNotifier::activated, this, [this] {
            char buf[4096];
            for (;;) {
                const ssize_t n = ::read(m_lineFd, buf, sizeof buf);
                if (n <= 0)
                    break;
                if (m_receiver.state() == QProcess::Running)
                    m_receiver.write(buf, n);
            }
        });
        if (m_kind == Kind::Ymodem)
            m_receiver.start("rb", {"-b", "-y", "-q"});
        else if (m_kind == Kind::XmodemChecksum)
            m_receiver.start("rx", {"-b", "-q", "out.bin"});
        else
            m_receiver.start("rx", {"-c", "-b", "-q", "out.bin"});
        if (!m_receiver.waitForStarted(5000)) {
            *error = "cannot start the receiver";
            return false;
        }
        return true;
    }

    bool settled() const { return m_engineDone && m_receiver.state() == QProcess::NotRunning; }

    void stop()
    {
        if (m_engine && m_engine->isActive())
            m_engine->cancel();
        if (m_receiver.state() != QProcess::NotRunning) {
            m_receiver.kill();
            m_receiver.waitForFinished(3000);
        } else if (!m_receiverExited) {
            m_receiverExited = true;
            m_exitCode = m_receiver.exitStatus() == QProcess::NormalExit ? m_receiver.exitCode() : -1;
        }
        if (m_lineReadable)
            m_lineReadable->setEnabled(false);
        m_port.close();
        m_relay.close();
    }

    // Empty when the file arrived as sent.
    QString verdict()
    {
        const QString log = QString::fromLocal8Bit(m_receiver.readAllStandardError()).right(800);
        const QString where = label() + QStringLiteral(": ");
        if (!m_engineDone || !m_success)
            return where + QStringLiteral("engine done=%1 message '%2'; receiver: %3")
                               .arg(m_engineDone)
                               .arg(m_message, log);
        if (!m_receiverExited || m_exitCode != 0)
            return where + QStringLiteral("receiver exit %1: %2").arg(m_exitCode).arg(log);

        if (m_kind == Kind::Ymodem) {
            QFile f(m_recvDir + "/" + QFileInfo(m_source).fileName());
            if (!f.open(QIODevice::ReadOnly))
                return where + "no received file";
            const QByteArray got = f.readAll();
            if (got != m_content)
                return where + QStringLiteral("received %1 bytes, different").arg(got.size());
            const qint64 mtime = QFileInfo(f).lastModified().toSecsSinceEpoch();
            if (mtime != m_mtime)
                return where + QStringLiteral("received file dated %1, sent %2").arg(mtime).arg(m_mtime);
            return QString();
        }
        // XMODEM has no length: the last block arrives padded with SUB.
        QFile f(m_recvDir + "/out.bin");
        QByteArray got;
        if (f.open(QIODevice::ReadOnly))
            got = f.readAll();
        else if (m_size != 0)
            return where + "no received file";
        const int block = m_kind == Kind::Xmodem1K ? 1024 : 128;
        if (!got.startsWith(m_content))
            return where + QStringLiteral("prefix differs (%1 bytes received)").arg(got.size());
        const QByteArray tail = got.mid(m_content.size());
        if (tail.size() >= block || got.size() % block != 0 || tail.count(SUB) != tail.size())
            return where + QStringLiteral("bad padding of %1 bytes").arg(tail.size());
        return QString();
    }

    int engineErrors() const { return m_engineErrors; }
    qint64 damagedBytes() const { return m_relay.corruptedBytes() + m_relay.droppedBytes(); }

private:
    Kind m_kind;
    qint64 m_size;
    qint64 m_mtime = 0;
    QString m_sendDir;
    QString m_recvDir;
    QString m_source;
    QByteArray m_content;
    NoisyRelay m_relay;
    QSerialPort m_port;
    std::unique_ptr<Protocol> m_engine;
    QProcess m_receiver;
    int m_lineFd = -1;
    QSocketNotifier* m_lineReadable = nullptr;
    bool m_engineDone = false;
    bool m_success = false;
    QString m_message;
    bool m_receiverExited = false;
    int m_exitCode = -1;
    int m_engineErrors = 0;
};

} // namespace

class TestTransferLrzszXY : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_batch = 0;

    // Starts all runs, waits until each has settled (or the time is up) and
    // checks every received file.
    void runAll(const std::vector<std::unique_ptr<TransferRun>>& runs, int timeoutMs)
    {
        for (const auto& run : runs) {
            QString error;
            QVERIFY2(run->begin(&error), qPrintable(run->label() + ": " + error));
        }
        const bool settled = QTest::qWaitFor(
            [&] { return std::all_of(runs.begin(), runs.end(), [](const auto& r) { return r->settled(); }); },
            timeoutMs);
        QStringList failures;
        for (const auto& run : runs) {
            run->stop();
            const QString v = run->verdict();
            if (!v.isEmpty())
                failures << v;
        }
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join("\n")));
        QVERIFY(settled);
    }

    QString batchDir()
    {
        const QString dir = m_dir.filePath(QString::number(++m_batch));
        QDir().mkpath(dir);
        return dir;
    }

    static std::vector<std::unique_ptr<TransferRun>> sizes(Kind kind, const QString& dir, qint64 large)
    {
        std::vector<std::unique_ptr<TransferRun>> runs;
        for (const qint64 size : {qint64(0), qint64(1), qint64(127), qint64(128), qint64(129), qint64(1023),
                                  qint64(1024), qint64(1025), large})
            runs.push_back(std::make_unique<TransferRun>(kind, size, dir));
        return runs;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        REQUIRE_PEERS(QStringLiteral("rx"), QStringLiteral("rb"));
    }

    // 40,000 bytes are 313 blocks of 128: the block number wraps.
    void xmodem128() { runAll(sizes(Kind::Xmodem128, batchDir(), 40000), 90000); }

    // 300 KB are 300 blocks of 1024: past 255 as well.
    void xmodem1K() { runAll(sizes(Kind::Xmodem1K, batchDir(), 300 * 1024), 90000); }

    void ymodem() { runAll(sizes(Kind::Ymodem, batchDir(), 300 * 1024), 90000); }

    // The classic receiver: 128-byte blocks with the arithmetic checksum.
    void xmodemChecksum() { runAll(sizes(Kind::XmodemChecksum, batchDir(), 40000), 90000); }

    // Through a noisy line all three recover by NAK (or time-out) and the
    // files still arrive identical; the relay's counters prove the noise.
    void throughNoise()
    {
        const QString dir = batchDir();
        std::vector<std::unique_ptr<TransferRun>> runs;
        runs.push_back(std::make_unique<TransferRun>(Kind::Xmodem128, 30000, dir, 1.0 / 2500, 1.0 / 20000));
        runs.push_back(
            std::make_unique<TransferRun>(Kind::Xmodem1K, 60 * 1024, dir, 1.0 / 8000, 1.0 / 40000));
        runs.push_back(std::make_unique<TransferRun>(Kind::Ymodem, 60 * 1024, dir, 1.0 / 8000, 1.0 / 40000));
        runAll(runs, 110000);
        for (const auto& run : runs) {
            QVERIFY2(run->damagedBytes() > 0, qPrintable(run->label() + ": the relay applied no noise"));
            QVERIFY2(run->engineErrors() > 0, qPrintable(run->label() + ": no NAK or time-out was needed"));
        }
    }
};

QTEST_GUILESS_MAIN(TestTransferLrzszXY)
#include "tst_transfer_lrzsz_xy.moc"
