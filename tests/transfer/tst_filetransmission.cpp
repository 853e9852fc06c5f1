#include "FileTransmission.h"
#include "XMODEM.h"
#include "YMODEM.h"
#include "ZMODEM.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {
constexpr char ACK = 0x06;
constexpr char EOT = 0x04;
constexpr char CAN = 0x18;

QStringList texts(const QSignalSpy& spy)
{
    QStringList out;
    for (const auto& args : spy)
        out << args.at(0).toString();
    return out;
}

QList<QByteArray> chunks(const QSignalSpy& spy)
{
    QList<QByteArray> out;
    for (const auto& args : spy)
        out << args.at(0).toByteArray();
    return out;
}
} // namespace

class TestFileTransmission : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString writeFile(const QString& name, const QByteArray& content)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return QString();
        file.write(content);
        return path;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void defaults()
    {
        FileTransmission ft;
        QVERIFY(!ft.isActive());
        QVERIFY(!ft.isFileOpen());
        QCOMPARE(ft.transferMode(), int(FileTransmission::PlainText));
        QCOMPARE(ft.fileName(), QStringLiteral("No file selected…"));
        QCOMPARE(ft.blockSize(), 1024);
        QCOMPARE(ft.maxRetries(), 10);
        QCOMPARE(ft.protocolTimeout(), 10000);
        QCOMPARE(ft.lineTransmissionInterval(), 100);
        QCOMPARE(ft.errorCount(), 0);
        QCOMPARE(ft.bytesSent(), 0);
        QCOMPARE(ft.bytesTotal(), 0);
        QCOMPARE(ft.transmissionProgress(), 0);
        QVERIFY(!ft.runtimeAccessAllowed());
        QVERIFY(ft.logEntries().isEmpty());
        QCOMPARE(ft.transferModes(),
                 QStringList({"Plain Text", "Raw Binary", "XMODEM-CRC", "XMODEM-1K", "YMODEM", "ZMODEM"}));
        QVERIFY(ft.xmodem() && ft.ymodem() && ft.zmodem());
        QCOMPARE(ft.xmodem()->parent(), &ft);
        // Properties are reachable by name, as the panel binds them.
        QCOMPARE(ft.property("blockSize").toInt(), 1024);
        QCOMPARE(ft.property("transferModes").toStringList().size(), 6);
    }

    void settersClampAndSignalOnlyOnChange()
    {
        FileTransmission ft;
        QSignalSpy block(&ft, &FileTransmission::blockSizeChanged);
        ft.setBlockSize(10);
        QCOMPARE(ft.blockSize(), 64);
        ft.setBlockSize(64);
        QCOMPARE(block.count(), 1);
        ft.setBlockSize(100000);
        QCOMPARE(ft.blockSize(), 8192);
        ft.setBlockSize(8192);
        QCOMPARE(block.count(), 2);
        ft.setBlockSize(65);
        QCOMPARE(ft.blockSize(), 65);
        QCOMPARE(block.count(), 3);

        QSignalSpy timeout(&ft, &FileTransmission::protocolTimeoutChanged);
        ft.setProtocolTimeout(500);
        QCOMPARE(ft.protocolTimeout(), 1000);
        ft.setProtocolTimeout(1000);
        QCOMPARE(timeout.count(), 1);
        ft.setProtocolTimeout(1001);
        QCOMPARE(ft.protocolTimeout(), 1001);
        QCOMPARE(timeout.count(), 2);

        QSignalSpy retries(&ft, &FileTransmission::maxRetriesChanged);
        ft.setMaxRetries(0);
        QCOMPARE(ft.maxRetries(), 1);
        ft.setMaxRetries(1);
        QCOMPARE(retries.count(), 1);
        ft.setMaxRetries(2);
        QCOMPARE(ft.maxRetries(), 2);
        QCOMPARE(retries.count(), 2);

        QSignalSpy interval(&ft, &FileTransmission::lineTransmissionIntervalChanged);
        ft.setLineTransmissionInterval(-5);
        QCOMPARE(ft.lineTransmissionInterval(), 0);
        ft.setLineTransmissionInterval(0);
        QCOMPARE(interval.count(), 1);
        ft.setLineTransmissionInterval(250);
        QCOMPARE(ft.lineTransmissionInterval(), 250);
        QCOMPARE(interval.count(), 2);

        QSignalSpy access(&ft, &FileTransmission::runtimeAccessAllowedChanged);
        ft.setRuntimeAccessAllowed(false);
        QCOMPARE(access.count(), 0);
        ft.setRuntimeAccessAllowed(true);
        QVERIFY(ft.runtimeAccessAllowed());
        QCOMPARE(access.count(), 1);

        QSignalSpy mode(&ft, &FileTransmission::transferModeChanged);
        ft.setTransferMode(-3);
        QCOMPARE(ft.transferMode(), 0);
        QCOMPARE(mode.count(), 0);
        ft.setTransferMode(42);
        QCOMPARE(ft.transferMode(), 5);
        ft.setTransferMode(5);
        QCOMPARE(mode.count(), 1);
    }

    void plainTextLines()
    {
        const QString path = writeFile("plain.txt", QByteArray("first\nsecond line\n\nlast without end"));
        FileTransmission ft;
        ft.setLineTransmissionInterval(60000); // ticks are driven by hand
        QSignalSpy writes(&ft, &FileTransmission::writeRequest);
        QSignalSpy log(&ft, &FileTransmission::statusTextChanged2);
        QVERIFY(ft.openFilePath(path));
        QCOMPARE(texts(log).last(), QStringLiteral("File selected: plain.txt (35 bytes)"));
        ft.beginTransmission();
        QVERIFY(ft.isActive());
        QCOMPARE(texts(log).last(), QStringLiteral("Starting Plain Text transfer…"));
        for (int i = 0; i < 4; ++i)
            ft.sendLine();
        QCOMPARE(chunks(writes), QList<QByteArray>({"first\n", "second line\n", "\n", "last without end\n"}));
        QCOMPARE(ft.bytesSent(), 35);
        QCOMPARE(ft.transmissionProgress(), 100);
        QVERIFY(ft.isActive());
        ft.sendLine();
        QVERIFY(!ft.isActive());
        QCOMPARE(ft.statusText(), QStringLiteral("Transmission complete"));
        QCOMPARE(texts(log).last(), QStringLiteral("Plain text transmission complete"));
        QCOMPARE(writes.count(), 4);
        ft.sendLine(); // not active: nothing
        QCOMPARE(writes.count(), 4);

        // At 100 % the next run starts from the beginning again.
        ft.beginTransmission();
        QCOMPARE(ft.bytesSent(), 0);
        ft.sendLine();
        QCOMPARE(chunks(writes).last(), QByteArray("first\n"));
        ft.stopTransmission();
    }

    void plainTextWindowsLineEnds()
    {
        const QString path = writeFile("crlf.txt", QByteArray("one\r\ntwo\r\nthree\r\n"));
        FileTransmission ft;
        ft.setLineTransmissionInterval(0);
        QSignalSpy writes(&ft, &FileTransmission::writeRequest);
        QVERIFY(ft.openFilePath(path));
        ft.beginTransmission();
        QTRY_VERIFY(!ft.isActive());
        QCOMPARE(chunks(writes), QList<QByteArray>({"one\n", "two\n", "three\n"}));
        QCOMPARE(ft.statusText(), QStringLiteral("Transmission complete"));
    }

    void plainTextStopAndResume()
    {
        const QString path = writeFile("resume.txt", QByteArray("a\nb\nc\n"));
        FileTransmission ft;
        ft.setLineTransmissionInterval(60000);
        QSignalSpy writes(&ft, &FileTransmission::writeRequest);
        QVERIFY(ft.openFilePath(path));
        ft.beginTransmission();
        ft.sendLine();
        ft.stopTransmission();
        QVERIFY(!ft.isActive());
        QCOMPARE(ft.bytesSent(), 2);
        ft.beginTransmission(); // stopped part-way: continues
        ft.sendLine();
        ft.sendLine();
        QCOMPARE(chunks(writes), QList<QByteArray>({"a\n", "b\n", "c\n"}));
    }

    void rawBlocksOnePerTick()
    {
        QByteArray content(2500, Qt::Uninitialized);
        for (int i = 0; i < content.size(); ++i)
            content[i] = char(i * 7);
        const QString path = writeFile("raw.bin", content);
        FileTransmission ft;
        ft.setTransferMode(FileTransmission::RawBinary);
        ft.setLineTransmissionInterval(60000);
        QSignalSpy writes(&ft, &FileTransmission::writeRequest);
        QSignalSpy log(&ft, &FileTransmission::statusTextChanged2);
        QSignalSpy active(&ft, &FileTransmission::activeChanged);
        QVERIFY(ft.openFilePath(path));
        QCOMPARE(ft.bytesTotal(), 2500);
        ft.beginTransmission();
        QVERIFY(ft.isActive());
        QCOMPARE(active.count(), 1);

        ft.sendRawBlock();
        QCOMPARE(writes.count(), 1);
        QCOMPARE(ft.bytesSent(), 1024);
        QCOMPARE(ft.transmissionProgress(), 40);
        ft.sendRawBlock();
        QCOMPARE(writes.count(), 2);
        ft.sendRawBlock();
        QCOMPARE(writes.count(), 3);
        QCOMPARE(ft.bytesSent(), 2500);
        QVERIFY(ft.isActive());
        ft.sendRawBlock();
        QVERIFY(!ft.isActive());
        QCOMPARE(writes.count(), 3);
        const QList<QByteArray> sent = chunks(writes);
        QCOMPARE(sent.at(0).size(), 1024);
        QCOMPARE(sent.at(1).size(), 1024);
        QCOMPARE(sent.at(2).size(), 452);
        QCOMPARE(sent.at(0) + sent.at(1) + sent.at(2), content);
        QCOMPARE(ft.statusText(), QStringLiteral("Transmission complete"));
        QCOMPARE(texts(log).last(), QStringLiteral("Raw binary transmission complete (2500 bytes)"));

        // Driven by its own timer it gets there too.
        writes.clear();
        ft.setLineTransmissionInterval(1);
        ft.beginTransmission();
        QTRY_VERIFY(!ft.isActive());
        QCOMPARE(writes.count(), 3);
        QCOMPARE(chunks(writes).at(2).size(), 452);
    }

    void rawSkipsTicksWhileThePortIsFull()
    {
        const QString path = writeFile("rawfull.bin", QByteArray(5000, 'x'));
        FileTransmission ft;
        ft.setTransferMode(FileTransmission::RawBinary);
        ft.setLineTransmissionInterval(60000);
        QSignalSpy writes(&ft, &FileTransmission::writeRequest);
        QVERIFY(ft.openFilePath(path));
        ft.beginTransmission();
        ft.setPendingOutput(4096);
        ft.sendRawBlock();
        QCOMPARE(writes.count(), 0);
        QCOMPARE(ft.xmodem()->pendingOutput(), qint64(4096));
        QCOMPARE(ft.ymodem()->pendingOutput(), qint64(4096));
        QCOMPARE(ft.zmodem()->pendingOutput(), qint64(4096));
        ft.setPendingOutput(1024); // one block queued is fine
        ft.sendRawBlock();
        QCOMPARE(writes.count(), 1);
        ft.setPendingOutput(0);
        ft.sendRawBlock();
        QCOMPARE(writes.count(), 2);
    }

    void newFileClosesOldOne()
    {
        const QString first = writeFile("first.bin", QByteArray(3000, 'a'));
        const QString second = writeFile("second.bin", QByteArray(700, 'b'));
        FileTransmission ft;
        ft.setTransferMode(FileTransmission::RawBinary);
        ft.setLineTransmissionInterval(60000);
        QVERIFY(ft.openFilePath(first));
        ft.beginTransmission();
        ft.sendRawBlock();
        QCOMPARE(ft.bytesSent(), 1024);
        QSignalSpy fileChanged(&ft, &FileTransmission::fileChanged);
        QSignalSpy log(&ft, &FileTransmission::statusTextChanged2);
        QVERIFY(ft.openFilePath(second));
        QVERIFY(!ft.isActive());
        QVERIFY(fileChanged.count() >= 2); // closed, then opened
        QCOMPARE(ft.fileName(), QStringLiteral("second.bin"));
        QCOMPARE(ft.bytesSent(), 0);
        QCOMPARE(ft.bytesTotal(), 700);
        QCOMPARE(texts(log).last(), QStringLiteral("File selected: second.bin (700 bytes)"));
        QSignalSpy writes(&ft, &FileTransmission::writeRequest);
        ft.beginTransmission();
        ft.sendRawBlock();
        QCOMPARE(chunks(writes).value(0), QByteArray(700, 'b'));
        ft.closeFile();
        QVERIFY(!ft.isFileOpen());
        QCOMPARE(ft.fileName(), QStringLiteral("No file selected…"));
        QCOMPARE(ft.bytesTotal(), 0);
        QCOMPARE(ft.filePath(), QString());
    }

    void openFailures()
    {
        FileTransmission ft;
        QSignalSpy log(&ft, &FileTransmission::statusTextChanged2);
        QVERIFY(!ft.openFilePath(m_dir.filePath("missing.bin")));
        QVERIFY(!ft.isFileOpen());
        QVERIFY(texts(log).last().startsWith("Error opening file: "));
        QCOMPARE(ft.fileName(), QStringLiteral("No file selected…"));
        // A directory is not something to send.
        QVERIFY(!ft.openFilePath(m_dir.path()));
        QVERIFY(!ft.isFileOpen());
        QVERIFY(texts(log).last().startsWith("Error opening file: "));
        // Nothing happens without a file.
        QSignalSpy active(&ft, &FileTransmission::activeChanged);
        ft.beginTransmission();
        QCOMPARE(active.count(), 0);
        QVERIFY(!ft.isActive());
    }

    void openFileAsksForAFile()
    {
        // The controller shows no dialog itself: it asks, starting at home
        // and later at the file already chosen.
        const QString path = writeFile("dialog.bin", QByteArray("xyz"));
        FileTransmission ft;
        QSignalSpy asked(&ft, &FileTransmission::fileSelectionRequested);
        ft.openFile();
        QCOMPARE(asked.count(), 1);
        QCOMPARE(asked.last().at(0).toString(), QDir::homePath());
        QVERIFY(ft.openFilePath(path));
        ft.openFile();
        QCOMPARE(asked.last().at(0).toString(), path);
    }

    void speedTexts()
    {
        QCOMPARE(FileTransmission::formatSpeed(0), QStringLiteral("0 B/s"));
        QCOMPARE(FileTransmission::formatSpeed(1023), QStringLiteral("1023 B/s"));
        QCOMPARE(FileTransmission::formatSpeed(1024), QStringLiteral("1.0 KB/s"));
        QCOMPARE(FileTransmission::formatSpeed(1536), QStringLiteral("1.5 KB/s"));
        QCOMPARE(FileTransmission::formatSpeed(1048575), QStringLiteral("1024.0 KB/s"));
        QCOMPARE(FileTransmission::formatSpeed(1048576), QStringLiteral("1.00 MB/s"));
        QCOMPARE(FileTransmission::formatSpeed(2097152), QStringLiteral("2.00 MB/s"));
    }

    void speedUpdatesWhileActive()
    {
        const QString path = writeFile("speed.bin", QByteArray(100000, 's'));
        FileTransmission ft;
        ft.setTransferMode(FileTransmission::RawBinary);
        ft.setLineTransmissionInterval(60000);
        QSignalSpy speed(&ft, &FileTransmission::transferSpeedChanged);
        ft.updateTransferSpeed(); // not active: nothing
        QCOMPARE(speed.count(), 0);
        QVERIFY(ft.openFilePath(path));
        ft.beginTransmission();
        QTest::qWait(20);
        for (int i = 0; i < 5; ++i)
            ft.sendRawBlock();
        ft.updateTransferSpeed();
        QCOMPARE(speed.count(), 1);
        // 5120 bytes in at least 20 ms: at most 256,000 B/s, never bytes.
        QVERIFY2(ft.transferSpeed().endsWith(" KB/s"), qPrintable(ft.transferSpeed()));
        ft.stopTransmission();
        QCOMPARE(ft.transferSpeed(), QString());
    }

    void engineHooks()
    {
        FileTransmission ft;
        QSignalSpy errors(&ft, &FileTransmission::errorCountChanged);
        QSignalSpy log(&ft, &FileTransmission::statusTextChanged2);
        QSignalSpy status(&ft, &FileTransmission::statusTextChanged);

        ft.onProtocolStatus("Sending block 3 (384 bytes)");
        QCOMPARE(ft.statusText(), QStringLiteral("Sending block 3 (384 bytes)"));
        QCOMPARE(status.count(), 1);
        QCOMPARE(texts(log).last(), QStringLiteral("Sending block 3 (384 bytes)"));
        QCOMPARE(ft.errorCount(), 0);

        ft.onProtocolStatus("NAK received, retrying block 2 (1/10)");
        QCOMPARE(ft.errorCount(), 1);
        ft.onProtocolStatus("Timeout, retrying (1/10)…");
        QCOMPARE(ft.errorCount(), 2);
        ft.onProtocolStatus("Will RETRY now");
        QCOMPARE(ft.errorCount(), 3);
        ft.onProtocolStatus("Timeout waiting");
        QCOMPARE(ft.errorCount(), 4);
        ft.onProtocolStatus("a nak in lower case");
        ft.onProtocolStatus("timeout in lower case");
        QCOMPARE(ft.errorCount(), 4);
        QCOMPARE(errors.count(), 4);

        QSignalSpy progress(&ft, &FileTransmission::progressChanged);
        ft.onProtocolProgress(300, 1200);
        QCOMPARE(progress.count(), 1);
        QCOMPARE(ft.bytesSent(), 300);
        QCOMPARE(ft.bytesTotal(), 1200);
        QCOMPARE(ft.transmissionProgress(), 25);
        ft.onProtocolProgress(5000, 1200);
        QCOMPARE(ft.transmissionProgress(), 100);
        ft.onProtocolProgress(1199, 1200);
        QCOMPARE(ft.transmissionProgress(), 99);

        QSignalSpy active(&ft, &FileTransmission::activeChanged);
        ft.onProtocolFinished(true, QString());
        QCOMPARE(ft.statusText(), QStringLiteral("Transfer complete"));
        QCOMPARE(texts(log).last(), QStringLiteral("Transfer completed successfully (1199 bytes)"));
        ft.onProtocolFinished(false, "Maximum retries exceeded");
        QCOMPARE(ft.statusText(), QStringLiteral("Transfer failed: Maximum retries exceeded"));
        QCOMPARE(texts(log).last(), QStringLiteral("Transfer failed: Maximum retries exceeded"));
        QCOMPARE(active.count(), 2);

        QSignalSpy writes(&ft, &FileTransmission::writeRequest);
        ft.onProtocolWriteRequested(QByteArray("\x01\x02", 2));
        QCOMPARE(chunks(writes), QList<QByteArray>({QByteArray("\x01\x02", 2)}));

        // Engine signals reach the hooks.
        emit ft.xmodem()->statusMessage("NAK received");
        QCOMPARE(ft.errorCount(), 5);
        emit ft.zmodem()->writeRequested("zz");
        QCOMPARE(chunks(writes).last(), QByteArray("zz"));

        QSignalSpy cleared(&ft, &FileTransmission::logChanged);
        ft.clearLog();
        QCOMPARE(cleared.count(), 1);
        QVERIFY(ft.logEntries().isEmpty());
    }

    void xmodemThroughTheController()
    {
        const QByteArray content(300, 'q');
        const QString path = writeFile("ctl-x.bin", content);
        FileTransmission ft;
        ft.setTransferMode(FileTransmission::XModem);
        ft.setMaxRetries(4);
        ft.setProtocolTimeout(3000);
        QSignalSpy writes(&ft, &FileTransmission::writeRequest);
        QSignalSpy log(&ft, &FileTransmission::statusTextChanged2);
        QVERIFY(ft.openFilePath(path));

        ft.onRawDataReceived("C"); // not active: ignored
        QCOMPARE(writes.count(), 0);
        ft.beginTransmission();
        QVERIFY(ft.isActive());
        QVERIFY(!ft.xmodem()->use1K());
        QCOMPARE(ft.xmodem()->retryLimit(), 4);
        QCOMPARE(ft.xmodem()->timeout(), 3000);
        QVERIFY(texts(log).contains("Starting XMODEM-CRC transfer…"));

        ft.onRawDataReceived("C");
        QCOMPARE(writes.count(), 1);
        QCOMPARE(chunks(writes).at(0).size(), 133);
        ft.onRawDataReceived(QByteArray(1, 0x15)); // NAK
        QCOMPARE(ft.errorCount(), 1);
        for (int i = 0; i < 3; ++i)
            ft.onRawDataReceived(QByteArray(1, ACK));
        QCOMPARE(chunks(writes).last(), QByteArray(1, EOT));
        QCOMPARE(ft.bytesSent(), 300);
        ft.onRawDataReceived(QByteArray(1, ACK));
        QVERIFY(!ft.isActive());
        QCOMPARE(ft.statusText(), QStringLiteral("Transfer complete"));
        QCOMPARE(texts(log).last(), QStringLiteral("Transfer completed successfully (300 bytes)"));

        // Mode 3 uses the same engine with 1K blocks.
        ft.setTransferMode(FileTransmission::XModem1K);
        writes.clear();
        ft.beginTransmission();
        QVERIFY(ft.xmodem()->use1K());
        ft.onRawDataReceived("C");
        QCOMPARE(chunks(writes).at(0).size(), 1029);
        // Stopping cancels the engine with five CANs.
        ft.stopTransmission();
        QCOMPARE(chunks(writes).last(), QByteArray(5, CAN));
        QVERIFY(!ft.isActive());
        QCOMPARE(ft.statusText(), QStringLiteral("Transfer failed: Transfer cancelled by user"));
    }

    void ymodemThroughTheController()
    {
        const QByteArray content(2000, 'y');
        const QString path = writeFile("ctl-y.bin", content);
        FileTransmission ft;
        ft.setTransferMode(FileTransmission::YModem);
        QSignalSpy writes(&ft, &FileTransmission::writeRequest);
        QSignalSpy log(&ft, &FileTransmission::statusTextChanged2);
        QVERIFY(ft.openFilePath(path));
        ft.beginTransmission();
        QVERIFY(ft.isActive());
        ft.onRawDataReceived("C");
        ft.onRawDataReceived(QByteArray(1, ACK) + "C");
        ft.onRawDataReceived(QByteArray(1, ACK));
        ft.onRawDataReceived(QByteArray(1, ACK));
        ft.onRawDataReceived(QByteArray(1, 0x15)); // first EOT NAKed
        ft.onRawDataReceived(QByteArray(1, ACK) + "C");
        ft.onRawDataReceived(QByteArray(1, ACK));
        QVERIFY(!ft.isActive());
        QCOMPARE(writes.count(), 6);
        QCOMPARE(ft.bytesSent(), 2000);
        QCOMPARE(ft.transmissionProgress(), 100);
        QCOMPARE(texts(log).last(), QStringLiteral("Transfer completed successfully (2000 bytes)"));
    }

    void modeChangeStopsTheEngineAndRewinds()
    {
        const QString path = writeFile("switch.bin", QByteArray(1000, 'm'));
        FileTransmission ft;
        ft.setTransferMode(FileTransmission::XModem);
        QSignalSpy writes(&ft, &FileTransmission::writeRequest);
        QVERIFY(ft.openFilePath(path));
        ft.beginTransmission();
        ft.onRawDataReceived("C");
        QVERIFY(ft.bytesSent() > 0);
        QSignalSpy modeChanged(&ft, &FileTransmission::transferModeChanged);
        ft.setTransferMode(FileTransmission::PlainText);
        QCOMPARE(modeChanged.count(), 1);
        QVERIFY(!ft.xmodem()->isActive());
        QCOMPARE(chunks(writes).last(), QByteArray(5, CAN));
        QVERIFY(!ft.isActive());
        QCOMPARE(ft.bytesSent(), 0);
        // Received bytes are ignored in the plain modes.
        const int count = writes.count();
        ft.onRawDataReceived("C");
        QCOMPARE(writes.count(), count);
    }

    void protocolFailureReachesTheStatus()
    {
        const QString path = writeFile("ctl-fail.bin", QByteArray(100, 'f'));
        FileTransmission ft;
        ft.setTransferMode(FileTransmission::XModem);
        QVERIFY(ft.openFilePath(path));
        ft.beginTransmission();
        ft.onRawDataReceived("C");
        ft.onRawDataReceived(QByteArray(2, CAN));
        QVERIFY(!ft.isActive());
        QCOMPARE(ft.statusText(), QStringLiteral("Transfer failed: Receiver cancelled the transfer"));
    }

    void protocolProgressIsFullOnlyWhenConfirmed()
    {
        const QString path = writeFile("confirm.bin", QByteArray(2000, 'c'));
        FileTransmission ft;
        ft.setTransferMode(FileTransmission::YModem);
        QVERIFY(ft.openFilePath(path));
        ft.beginTransmission();
        QCOMPARE(ft.outcome(), FileTransmission::Running);
        ft.onRawDataReceived("C");
        ft.onRawDataReceived(QByteArray(1, ACK) + "C");
        ft.onRawDataReceived(QByteArray(1, ACK));
        // Every byte has left, but the receiver has not said it has them.
        QCOMPARE(ft.bytesSent(), 2000);
        QCOMPARE(ft.transmissionProgress(), 99);
        ft.onRawDataReceived(QByteArray(1, ACK));
        ft.onRawDataReceived(QByteArray(1, 0x15));
        ft.onRawDataReceived(QByteArray(1, ACK) + "C");
        QCOMPARE(ft.transmissionProgress(), 99);
        ft.onRawDataReceived(QByteArray(1, ACK));
        QCOMPARE(ft.transmissionProgress(), 100);
        QCOMPARE(ft.outcome(), FileTransmission::Succeeded);
    }

    void skippedFileIsAFailure()
    {
        const QString path = writeFile("skipped.bin", QByteArray(3000, 's'));
        FileTransmission ft;
        ft.setTransferMode(FileTransmission::ZModem);
        QSignalSpy log(&ft, &FileTransmission::statusTextChanged2);
        QVERIFY(ft.openFilePath(path));
        ft.beginTransmission();
        ft.onRawDataReceived(ZMODEM::hexHeader(ZMODEM::ZRINIT, 0x23000000u));
        ft.onRawDataReceived(ZMODEM::hexHeader(ZMODEM::ZSKIP, 0));
        ft.onRawDataReceived(ZMODEM::hexHeader(ZMODEM::ZFIN, 0));
        QVERIFY(!ft.isActive());
        QCOMPARE(ft.outcome(), FileTransmission::Skipped);
        QCOMPARE(ft.statusText(), QStringLiteral("Transfer failed: Receiver skipped the file"));
        QCOMPARE(texts(log).last(), QStringLiteral("Transfer failed: Receiver skipped the file"));
        QVERIFY(!texts(log).join('\n').contains("successfully"));
    }

    void stalledRawSendingFails()
    {
        // The port takes one block and then nothing: the ticks could wait for
        // ever for the queue to drain.
        const QString path = writeFile("stalled.bin", QByteArray(100000, 'r'));
        FileTransmission ft;
        ft.setTransferMode(FileTransmission::RawBinary);
        ft.setLineTransmissionInterval(10);
        ft.setProtocolTimeout(1000);
        connect(&ft, &FileTransmission::writeRequest, &ft,
                [&ft](const QByteArray& data) { ft.setPendingOutput(data.size() + 4096); });
        QVERIFY(ft.openFilePath(path));
        ft.beginTransmission();
        QTRY_VERIFY_WITH_TIMEOUT(!ft.isActive(), 5000);
        QCOMPARE(ft.outcome(), FileTransmission::Failed);
        QCOMPARE(ft.statusText(), QStringLiteral("Transfer failed: Transfer stalled: no progress for 1 s"));
        QCOMPARE(ft.bytesSent(), 1024);
    }
};

QTEST_GUILESS_MAIN(TestFileTransmission)
#include "tst_filetransmission.moc"
