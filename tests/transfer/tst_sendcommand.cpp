#include "MasterReader.h"
#include "PeerTools.h"
#include "PtyPair.h"
#include "SendCommand.h"
#include "SocatLink.h"
#include "TestData.h"
#include "ZMODEM.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSerialPort>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

#ifndef CORVANE_SEND
#error "CORVANE_SEND must name the corvane-send executable"
#endif

namespace {

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs `command` in `dir` reading the tty `in` and writing the tty `out`.
void startReceiver(QProcess* p, const QString& dir, const QString& command, const QString& in,
                   const QString& out)
{
    p->setWorkingDirectory(dir);
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->start(QStringLiteral("sh"),
             {QStringLiteral("-c"), QStringLiteral("exec %1 <\"$0\" >\"$1\"").arg(command), in, out});
}

struct Result
{
    int exitCode = -1;
    QProcess::ExitStatus status = QProcess::CrashExit;
    QByteArray out;
    QByteArray err;
};

} // namespace

class TestSendCommand : public QObject
{
    Q_OBJECT

private:
    static void startSend(QProcess* p, const QStringList& args)
    {
        p->start(QStringLiteral(CORVANE_SEND), args);
        QVERIFY(p->waitForStarted());
    }
    // Runs corvane-send to its end while the event loop keeps serving readers.
    static Result runSend(const QStringList& args, int timeoutMs = 60000)
    {
        QProcess p;
        Result r;
        p.start(QStringLiteral(CORVANE_SEND), args);
        if (!p.waitForStarted())
            return r;
        QSignalSpy done(&p, &QProcess::finished);
        if (!done.wait(timeoutMs)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.exitCode = p.exitCode();
        r.status = p.exitStatus();
        r.out = p.readAllStandardOutput();
        r.err = p.readAllStandardError();
        return r;
    }
    static bool have(const char* program)
    {
        return !QStandardPaths::findExecutable(QLatin1String(program)).isEmpty();
    }

private slots:
    void parseDefaults();
    void parseOptions();
    void parseRejects_data();
    void parseRejects();
    void helpAndVersion();
    void badUsageExitsTwo_data();
    void badUsageExitsTwo();
    void missingFileExitsThree();
    void missingPortExitsThree();
    void rawDeliversFileAndDrains();
    void textSendsLines();
    void protocolIntoLrzsz_data();
    void protocolIntoLrzsz();
    void silentReceiverFails();
    void unpluggedPortFails();
    void interruptCancelsOnTheLine();
    void skippedFileExitsFour();
    void stalledLineFails_data();
    void stalledLineFails();
    void debugLinesOnlyWhenVerbose_data();
    void debugLinesOnlyWhenVerbose();
    void portHeldByAnotherProgram();
    void portOpenErrorTexts_data();
    void portOpenErrorTexts();
};

void TestSendCommand::parseDefaults()
{
    SendCommand::Options o;
    QString error;
    QCOMPARE(SendCommand::parse({"corvane-send", "/dev/ttyS0", "file.bin"}, &o, &error),
             SendCommand::Parsed::Run);
    QCOMPARE(o.mode, 5);
    QCOMPARE(o.baudRate, 115200);
    QCOMPARE(o.blockSize, 1024);
    QCOMPARE(o.intervalMs, 0);
    QCOMPARE(o.timeoutMs, 10000);
    QCOMPARE(o.retries, 10);
    QVERIFY(!o.quiet);
    QCOMPARE(o.portName, QStringLiteral("/dev/ttyS0"));
    QCOMPARE(o.filePath, QStringLiteral("file.bin"));
}

void TestSendCommand::parseOptions()
{
    SendCommand::Options o;
    QString error;
    QCOMPARE(SendCommand::parse({"corvane-send", "--protocol", "XMODEM1K", "--baud", "9600", "--block-size",
                                 "8192", "--interval", "25", "--timeout", "1500", "--retries", "3", "-q",
                                 "COM3", "f"},
                                &o, &error),
             SendCommand::Parsed::Run);
    QCOMPARE(o.mode, 3);
    QCOMPARE(o.baudRate, 9600);
    QCOMPARE(o.blockSize, 8192);
    QCOMPARE(o.intervalMs, 25);
    QCOMPARE(o.timeoutMs, 1500);
    QCOMPARE(o.retries, 3);
    QVERIFY(o.quiet);
    const QStringList names = {"text", "raw", "xmodem", "xmodem1k", "ymodem", "zmodem"};
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(SendCommand::modeFromName(names.at(i)), i);
    QCOMPARE(SendCommand::modeFromName("kermit"), -1);
}

void TestSendCommand::parseRejects_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("nothing") << QStringList{};
    QTest::newRow("port only") << QStringList{"p"};
    QTest::newRow("three") << QStringList{"p", "f", "g"};
    QTest::newRow("protocol") << QStringList{"--protocol", "kermit", "p", "f"};
    QTest::newRow("block small") << QStringList{"--block-size", "10", "p", "f"};
    QTest::newRow("block big") << QStringList{"--block-size", "100000", "p", "f"};
    QTest::newRow("baud text") << QStringList{"--baud", "fast", "p", "f"};
    QTest::newRow("timeout") << QStringList{"--timeout", "500", "p", "f"};
    QTest::newRow("retries") << QStringList{"--retries", "0", "p", "f"};
    QTest::newRow("interval") << QStringList{"--interval", "-1", "p", "f"};
    QTest::newRow("unknown option") << QStringList{"--fast", "p", "f"};
    QTest::newRow("missing value") << QStringList{"p", "f", "--baud"};
}

void TestSendCommand::parseRejects()
{
    QFETCH(QStringList, args);
    SendCommand::Options o;
    QString error;
    QCOMPARE(SendCommand::parse(QStringList{"corvane-send"} + args, &o, &error), SendCommand::Parsed::Error);
    QVERIFY(!error.isEmpty());
}

void TestSendCommand::helpAndVersion()
{
    Result r = runSend({"--help"});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.contains("Usage: corvane-send"));
    QVERIFY(r.out.contains("--protocol"));
    r = runSend({"--version"});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.startsWith("corvane-send "));
}

void TestSendCommand::badUsageExitsTwo_data()
{
    parseRejects_data();
}

void TestSendCommand::badUsageExitsTwo()
{
    QFETCH(QStringList, args);
    const Result r = runSend(args);
    QCOMPARE(r.status, QProcess::NormalExit);
    QCOMPARE(r.exitCode, 2);
    QVERIFY(r.err.contains("corvane-send:"));
}

void TestSendCommand::missingFileExitsThree()
{
    PtyPair pty;
    QVERIFY(pty.open());
    QTemporaryDir dir;
    const Result r = runSend({"--protocol", "raw", pty.slavePath(), dir.filePath("absent.bin")});
    QCOMPARE(r.exitCode, 3);
    QVERIFY(r.err.contains("absent.bin"));
    const Result d = runSend({"--protocol", "raw", pty.slavePath(), dir.path()});
    QCOMPARE(d.exitCode, 3);
}

void TestSendCommand::missingPortExitsThree()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("f.bin");
    QVERIFY(writeFile(file, "abc"));
    const Result r = runSend({"--protocol", "raw", dir.filePath("no-such-tty"), file});
    QCOMPARE(r.exitCode, 3);
    QVERIFY(r.err.contains("cannot open port"));
}

void TestSendCommand::rawDeliversFileAndDrains()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("f.bin");
    const QByteArray content = randomBytes(700001, 11);
    QVERIFY(writeFile(file, content));
    PtyPair pty;
    QVERIFY(pty.open());
    MasterReader reader(pty.masterFd());

    const Result r = runSend({"--protocol", "raw", "--block-size", "8192", pty.slavePath(), file});
    QCOMPARE(r.exitCode, 0);
    // Everything had left the port when the sender exited.
    reader.drain();
    QCOMPARE(reader.data.size(), content.size());
    QVERIFY(reader.data == content);
    // Not a tty: plain progress lines with the percentage, then the summary.
    QVERIFY(r.err.contains("100%"));
    QVERIFY(r.err.contains("683.59 KB/683.59 KB"));
    QVERIFY(r.err.contains("sent 700001 bytes"));
}

void TestSendCommand::textSendsLines()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("f.txt");
    QVERIFY(writeFile(file, "first\r\nsecond\r\nlast"));
    PtyPair pty;
    QVERIFY(pty.open());
    MasterReader reader(pty.masterFd());
    const Result r = runSend({"--protocol", "text", "-q", pty.slavePath(), file});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.err.isEmpty()); // quiet
    reader.drain();
    QCOMPARE(reader.data, QByteArray("first\nsecond\nlast\n"));
}

void TestSendCommand::protocolIntoLrzsz_data()
{
    QTest::addColumn<QString>("protocol");
    QTest::addColumn<QString>("receiver");
    QTest::addColumn<QString>("outName");
    QTest::addColumn<int>("size");
    // XMODEM pads the last block: whole blocks keep the file identical.
    QTest::newRow("zmodem") << "zmodem"
                            << "rz -y"
                            << "payload.bin" << 300007;
    QTest::newRow("zmodem 8k") << "zmodem"
                               << "rz -y"
                               << "payload.bin" << 200000;
    QTest::newRow("ymodem") << "ymodem"
                            << "rb -y"
                            << "payload.bin" << 100003;
    QTest::newRow("xmodem") << "xmodem"
                            << "rx -c got.bin"
                            << "got.bin" << 128 * 300;
    QTest::newRow("xmodem1k") << "xmodem1k"
                              << "rx -c got.bin"
                              << "got.bin" << 1024 * 60;
}

void TestSendCommand::protocolIntoLrzsz()
{
    QFETCH(QString, protocol);
    QFETCH(QString, receiver);
    QFETCH(QString, outName);
    QFETCH(int, size);
    REQUIRE_PEERS(QStringLiteral("socat"), receiver.section(' ', 0, 0));
    QTemporaryDir dir;
    QTemporaryDir recvDir;
    const QString file = dir.filePath("payload.bin");
    const QByteArray content = randomBytes(size, quint32(size));
    QVERIFY(writeFile(file, content));

    SocatLink link;
    QVERIFY(link.start(dir.path()));

    QStringList args = {"--protocol", protocol, "--timeout", "5000"};
    if (QByteArray(QTest::currentDataTag()) == "zmodem 8k")
        args << "--block-size"
             << "8192";
    QProcess send;
    startSend(&send, args + QStringList{link.ours, file});
    QSignalSpy sendDone(&send, &QProcess::finished);
    // The usual order: the sender waits, then the user starts the receiver.
    QTest::qWait(300);
    QProcess rx;
    QSignalSpy rxDone(&rx, &QProcess::finished);
    startReceiver(&rx, recvDir.path(), receiver, link.theirsIn, link.theirsOut);
    QVERIFY(rx.waitForStarted());

    QVERIFY(sendDone.wait(120000));
    const QByteArray err = send.readAllStandardError();
    QVERIFY2(send.exitStatus() == QProcess::NormalExit && send.exitCode() == 0,
             (QByteArray::number(send.exitCode()) + " " + err.right(400)).constData());
    QVERIFY(!rxDone.isEmpty() || rxDone.wait(30000));
    QCOMPARE(rx.exitStatus(), QProcess::NormalExit);
    QCOMPARE(rx.exitCode(), 0);
    const QByteArray got = readFile(recvDir.filePath(outName));
    QCOMPARE(got.size(), content.size());
    QVERIFY(got == content);
}

void TestSendCommand::silentReceiverFails()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("f.bin");
    QVERIFY(writeFile(file, randomBytes(4096, 12)));
    PtyPair pty;
    QVERIFY(pty.open());
    MasterReader reader(pty.masterFd());
    const Result r = runSend(
        {"--protocol", "xmodem", "--timeout", "1000", "--retries", "2", pty.slavePath(), file}, 60000);
    QCOMPARE(r.status, QProcess::NormalExit);
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.err.contains("transfer failed"));
}

void TestSendCommand::unpluggedPortFails()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("f.bin");
    QVERIFY(writeFile(file, randomBytes(64 * 1000, 14)));
    PtyPair pty;
    QVERIFY(pty.open());
    MasterReader reader(pty.masterFd());

    QProcess p;
    startSend(&p, {"--protocol", "raw", "--interval", "20", "--block-size", "64", pty.slavePath(), file});
    QTRY_VERIFY_WITH_TIMEOUT(reader.data.size() >= 256, 10000);
    pty.closeMaster();
    QSignalSpy done(&p, &QProcess::finished);
    QVERIFY(done.wait(20000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 1);
    QVERIFY(p.readAllStandardError().contains("transfer failed"));
}

void TestSendCommand::interruptCancelsOnTheLine()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("f.bin");
    QVERIFY(writeFile(file, randomBytes(4096, 13)));
    PtyPair pty;
    QVERIFY(pty.open());
    MasterReader reader(pty.masterFd());

    QProcess p;
    startSend(&p, {"--protocol", "zmodem", "--timeout", "30000", pty.slavePath(), file});
    // The ZMODEM sender opens with its ZRQINIT header; then nobody answers.
    QTRY_VERIFY_WITH_TIMEOUT(reader.data.contains("**\x18"
                                                  "B00"),
                             10000);
    const int before = reader.data.size();
    ::kill(pid_t(p.processId()), SIGINT);
    QSignalSpy done(&p, &QProcess::finished);
    QVERIFY(done.wait(10000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 130);
    reader.drain();
    const QByteArray after = reader.data.mid(before);
    QVERIFY2(after.contains(QByteArray(5, '\x18')), after.toHex().constData());
    QVERIFY(p.readAllStandardError().contains("cancelled"));
}

void TestSendCommand::skippedFileExitsFour()
{
    // rz without -y refuses a name that is taken: ZSKIP, and nothing was sent.
    REQUIRE_PEERS(QStringLiteral("socat"), QStringLiteral("rz"));
    QTemporaryDir dir;
    QTemporaryDir recvDir;
    const QString file = dir.filePath("payload.bin");
    QVERIFY(writeFile(file, randomBytes(50000, 40)));
    const QByteArray existing("the receiver's own file");
    QVERIFY(writeFile(recvDir.filePath("payload.bin"), existing));
    SocatLink link;
    QVERIFY(link.start(dir.path()));

    QProcess send;
    startSend(&send, {"--protocol", "zmodem", "--timeout", "5000", link.ours, file});
    QSignalSpy sendDone(&send, &QProcess::finished);
    QProcess rz;
    QSignalSpy rzDone(&rz, &QProcess::finished);
    startReceiver(&rz, recvDir.path(), QStringLiteral("rz"), link.theirsIn, link.theirsOut);
    QVERIFY(rz.waitForStarted());
    QVERIFY(sendDone.wait(60000));
    const QByteArray err = send.readAllStandardError();
    QCOMPARE(send.exitStatus(), QProcess::NormalExit);
    QVERIFY2(send.exitCode() == 4, err.right(400).constData());
    QVERIFY(err.contains("corvane-send: the receiver skipped the file"));
    QVERIFY(!err.contains("sent 50000 bytes"));
    QVERIFY(!rzDone.isEmpty() || rzDone.wait(30000));
    QCOMPARE(readFile(recvDir.filePath("payload.bin")), existing);
}

void TestSendCommand::stalledLineFails_data()
{
    QTest::addColumn<QString>("protocol");
    QTest::newRow("zmodem") << "zmodem";
    QTest::newRow("raw") << "raw";
}

void TestSendCommand::stalledLineFails()
{
    // The far end takes the start of the file and then stops reading: no
    // byte drains, none arrives, and the sender must give up on its own.
    QFETCH(QString, protocol);
    QTemporaryDir dir;
    const QString file = dir.filePath("f.bin");
    QVERIFY(writeFile(file, randomBytes(4 << 20, 41)));
    PtyPair pty;
    QVERIFY(pty.open());
    QProcess p;
    QSignalSpy done(&p, &QProcess::finished);
    startSend(&p,
              {"--protocol", protocol, "--timeout", "1000", "--block-size", "8192", pty.slavePath(), file});
    if (protocol == QLatin1String("zmodem")) {
        // Answer the wake-up and the file offer as a receiver would, then
        // read no more.
        auto reader = std::make_unique<MasterReader>(pty.masterFd());
        QTRY_VERIFY_WITH_TIMEOUT(reader->data.contains("\x18"
                                                       "B00"),
                                 10000);
        QVERIFY(pty.writeAll(ZMODEM::hexHeader(ZMODEM::ZRINIT, 0x23000000u)));
        QTRY_VERIFY_WITH_TIMEOUT(reader->data.contains("\x18"
                                                       "C\x04"),
                                 10000);
        reader.reset();
        QVERIFY(pty.writeAll(ZMODEM::hexHeader(ZMODEM::ZRPOS, 0)));
    }
    QVERIFY(done.wait(30000));
    const QByteArray err = p.readAllStandardError();
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QVERIFY2(p.exitCode() == 1, err.right(400).constData());
    QVERIFY2(err.contains("Transfer stalled: no progress for 1 s"), err.right(400).constData());
}

void TestSendCommand::debugLinesOnlyWhenVerbose_data()
{
    QTest::addColumn<bool>("verbose");
    QTest::newRow("plain") << false;
    QTest::newRow("verbose") << true;
}

void TestSendCommand::debugLinesOnlyWhenVerbose()
{
    QFETCH(bool, verbose);
    QTemporaryDir dir;
    const QString file = dir.filePath("f.bin");
    QVERIFY(writeFile(file, randomBytes(1000, 42)));
    PtyPair pty;
    QVERIFY(pty.open());
    MasterReader reader(pty.masterFd());
    QStringList args = {"--protocol", "zmodem", "--timeout", "1000", "--retries", "1", pty.slavePath(), file};
    if (verbose)
        args.prepend("--verbose");
    const Result r = runSend(args);
    QCOMPARE(r.exitCode, 1);
    // The user's lines are there either way.
    QVERIFY(r.err.contains("Sending ZRQINIT, waiting for receiver"));
    QVERIFY(r.err.contains("corvane-send: transfer failed"));
    QCOMPARE(r.err.contains("[ZMODEM]"), verbose);
}

void TestSendCommand::portHeldByAnotherProgram()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("f.bin");
    QVERIFY(writeFile(file, "abc"));
    PtyPair pty;
    QVERIFY(pty.open());
    QSerialPort other;
    other.setPortName(pty.slavePath());
    QVERIFY(other.open(QIODevice::ReadWrite));
    const Result r = runSend({"--protocol", "raw", pty.slavePath(), file});
    QCOMPARE(r.exitCode, 3);
    QVERIFY2(r.err.contains("port is in use by another program"), r.err.constData());
}

void TestSendCommand::portOpenErrorTexts_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("text");
    QTest::newRow("lock file") << int(QSerialPort::PermissionError)
                               << "Permission error while locking the device"
                               << "port is in use by another program";
    QTest::newRow("exclusive") << int(QSerialPort::PermissionError) << "Device or resource busy"
                               << "port is in use by another program";
    QTest::newRow("no access") << int(QSerialPort::PermissionError) << "Permission denied"
                               << "Permission denied (join the dialout group: sudo usermod -aG dialout "
                                  "$USER, then log in again)";
    QTest::newRow("absent") << int(QSerialPort::DeviceNotFoundError) << "No such file or directory"
                            << "No such file or directory";
}

void TestSendCommand::portOpenErrorTexts()
{
    QFETCH(int, error);
    QFETCH(QString, reason);
    QFETCH(QString, text);
    QCOMPARE(SendCommand::portOpenError(QSerialPort::SerialPortError(error), reason), text);
}

QTEST_GUILESS_MAIN(TestSendCommand)
#include "tst_sendcommand.moc"
