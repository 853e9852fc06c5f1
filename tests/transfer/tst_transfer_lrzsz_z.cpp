// End to end: our ZMODEM sender against the real lrzsz `rz`, over pseudo-
// terminals and a real QSerialPort, clean and through a noisy line.
#include "NoisyRelay.h"
#include "PeerTools.h"
#include "TestData.h"
#include "ZMODEM.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSerialPort>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

namespace {

struct RunResult
{
    bool success = false;
    QString message;
    QByteArray received;
    qint64 sourceMtime = -1;
    qint64 receivedMtime = -2;
    int rzExitCode = -1;
    int zrposCount = 0;
    QString rzLog;
};

} // namespace

class TestTransferLrzszZ : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanTransfer_data();
    void cleanTransfer();
    void noisyTransfer_data();
    void noisyTransfer();

private:
    // Sends `data` as `name` through `relay` to a fresh rz; waits for both ends.
    RunResult run(NoisyRelay& relay, const QString& name, const QByteArray& data, int subpacket);

    QTemporaryDir m_dir;
    QString m_rz;
};

void TestTransferLrzszZ::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_rz = QStandardPaths::findExecutable(QStringLiteral("rz"));
    REQUIRE_PEERS(QStringLiteral("rz"));
}

RunResult TestTransferLrzszZ::run(NoisyRelay& relay, const QString& name, const QByteArray& data,
                                  int subpacket)
{
    RunResult result;
    static int runNo = 0;
    const QString work = m_dir.filePath(QStringLiteral("run%1").arg(++runNo));
    QDir().mkpath(work + QStringLiteral("/in"));
    QDir().mkpath(work + QStringLiteral("/out"));
    const QString source = work + QStringLiteral("/in/") + name;
    {
        QFile f(source);
        if (!f.open(QIODevice::WriteOnly))
            return result;
        f.write(data);
        f.close();
        // A whole-second time in the past, so the copy's time can only come from ZFILE.
        const QDateTime when = QDateTime::fromSecsSinceEpoch(1234567890 + data.size());
        f.open(QIODevice::ReadWrite);
        f.setFileTime(when, QFileDevice::FileModificationTime);
        result.sourceMtime = when.toSecsSinceEpoch();
    }

    // rz with the receiver side of the line as its stdin and stdout.
    QProcess rz;
    rz.setProgram(m_rz);
    rz.setArguments({QStringLiteral("-y"), QStringLiteral("-vv")});
    rz.setWorkingDirectory(work + QStringLiteral("/out"));
    rz.setStandardErrorFile(work + QStringLiteral("/rz.log"));
    const QByteArray tty = QFile::encodeName(relay.receiverPath());
    rz.setChildProcessModifier([tty] {
        const int fd = ::open(tty.constData(), O_RDWR | O_NOCTTY);
        if (fd < 0)
            ::_exit(126);
        ::dup2(fd, 0);
        ::dup2(fd, 1);
        if (fd > 1)
            ::close(fd);
    });
    rz.start();
    if (!rz.waitForStarted(5000))
        return result;

    QSerialPort port;
    port.setPortName(relay.senderPath());
    port.setBaudRate(115200);
    if (!port.open(QIODevice::ReadWrite)) {
        rz.kill();
        rz.waitForFinished();
        return result;
    }

    ZMODEM z;
    z.setSubpacketLength(subpacket);
    z.setTimeout(2000);
    z.setRetryLimit(10);
    // The writer's side of the pacing contract: write synchronously, report the queue.
    connect(&z, &Protocol::writeRequested, &port, [&](const QByteArray& bytes) {
        port.write(bytes);
        z.setPendingOutput(port.bytesToWrite());
    });
    connect(&port, &QSerialPort::bytesWritten, &z, [&] { z.setPendingOutput(port.bytesToWrite()); });
    connect(&port, &QSerialPort::readyRead, &z, [&] { z.handleReceivedData(port.readAll()); });
    connect(&z, &Protocol::statusMessage, &z, [&](const QString& s) {
        if (s.startsWith(QStringLiteral("Receiver requests data from offset")))
            ++result.zrposCount;
    });

    QSignalSpy finished(&z, &Protocol::finished);
    z.start(source);
    if (finished.isEmpty())
        finished.wait(90000);
    if (!finished.isEmpty()) {
        result.success = finished[0][0].toBool();
        result.message = finished[0][1].toString();
    }
    // rz leaves after "OO"; give it a moment to close the file.
    QElapsedTimer t;
    t.start();
    while (rz.state() != QProcess::NotRunning && t.elapsed() < 15000) {
        QTest::qWait(20);
    }
    if (rz.state() != QProcess::NotRunning) {
        rz.kill();
        rz.waitForFinished();
    } else {
        result.rzExitCode = rz.exitCode();
    }
    port.close();

    QFile received(work + QStringLiteral("/out/") + name);
    if (received.open(QIODevice::ReadOnly)) {
        result.received = received.readAll();
        result.receivedMtime = QFileInfo(received).lastModified().toSecsSinceEpoch();
    }
    QFile log(work + QStringLiteral("/rz.log"));
    if (log.open(QIODevice::ReadOnly))
        result.rzLog = QString::fromLocal8Bit(log.readAll().right(2000));
    return result;
}

void TestTransferLrzszZ::cleanTransfer_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("subpacket");
    for (int size : {0, 1, 127, 128, 129, 1023, 1024, 1025})
        QTest::addRow("%d bytes", size) << size << 1024;
    QTest::addRow("300 KB") << 300 * 1024 << 1024;
    QTest::addRow("2 MB") << 2 * 1024 * 1024 << 8192;
}

void TestTransferLrzszZ::cleanTransfer()
{
    QFETCH(int, size);
    QFETCH(int, subpacket);
    NoisyRelay relay;
    relay.setNoise(0, 0);
    QVERIFY(relay.open());
    const QByteArray data = randomBytes(size, quint32(size) + 1);
    const RunResult r = run(relay, QStringLiteral("clean_%1.bin").arg(size), data, subpacket);
    QVERIFY2(r.success, qPrintable(r.message + QLatin1Char('\n') + r.rzLog));
    QCOMPARE(r.rzExitCode, 0);
    QCOMPARE(r.received.size(), data.size());
    QVERIFY(r.received == data);
    QCOMPARE(relay.corruptedBytes(), 0);
    QCOMPARE(r.zrposCount, 1);                // the receiver's first request only
    QCOMPARE(r.receivedMtime, r.sourceMtime); // the octal time in ZFILE was understood
}

void TestTransferLrzszZ::noisyTransfer_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("subpacket");
    QTest::addColumn<quint32>("seed");
    QTest::addRow("300 KB") << 300 * 1024 << 1024 << 11u;
    QTest::addRow("2 MB") << 2 * 1024 * 1024 << 1024 << 12u;
}

void TestTransferLrzszZ::noisyTransfer()
{
    QFETCH(int, size);
    QFETCH(int, subpacket);
    QFETCH(quint32, seed);
    NoisyRelay relay;
    relay.setNoise(1.0 / 10000, 1.0 / 50000);
    relay.setSeed(seed);
    relay.setCleanPrefix(512); // the handshake; the noise is for the data
    QVERIFY(relay.open());
    const QByteArray data = randomBytes(size, seed);
    const RunResult r = run(relay, QStringLiteral("noisy_%1.bin").arg(size), data, subpacket);
    qInfo().noquote() << "corrupted" << relay.corruptedBytes() << "dropped" << relay.droppedBytes()
                      << "relayed" << relay.forwardedBytes() << "ZRPOS" << r.zrposCount;
    QVERIFY2(r.success, qPrintable(r.message + QLatin1Char('\n') + r.rzLog));
    QVERIFY(relay.corruptedBytes() > 0);
    QVERIFY(r.zrposCount > 1); // recoveries really happened
    QCOMPARE(r.received.size(), data.size());
    QVERIFY(r.received == data);
}

QTEST_GUILESS_MAIN(TestTransferLrzszZ)
#include "tst_transfer_lrzsz_z.moc"
