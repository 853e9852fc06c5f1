#include "TestData.h"
#include "XMODEM.h"
#include "YMODEM.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

constexpr char SOH = 0x01;
constexpr char STX = 0x02;
constexpr char EOT = 0x04;
constexpr char ACK = 0x06;
constexpr char NAK = 0x15;
constexpr char CAN = 0x18;
constexpr char SUB = 0x1A;

// Bit-by-bit CRC-16/XMODEM, independent of the table-driven one under test.
quint16 referenceCrc16(const QByteArray& data)
{
    quint16 crc = 0;
    for (const char c : data) {
        crc ^= quint16(uchar(c)) << 8;
        for (int i = 0; i < 8; ++i)
            crc = (crc & 0x8000) ? quint16((crc << 1) ^ 0x1021) : quint16(crc << 1);
    }
    return crc;
}

// Engines with their response timer reachable, so tests can shorten it
// below the 1000 ms floor of setTimeout().
class TestXmodem : public XMODEM
{
public:
    using XMODEM::responseTimer;
};

class TestYmodem : public YMODEM
{
public:
    using XMODEM::responseTimer;
};

} // namespace

class TestXmodemEngine : public QObject
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

    static QByteArray lastWrite(const QSignalSpy& spy)
    {
        return spy.isEmpty() ? QByteArray() : spy.last().at(0).toByteArray();
    }

    // Checks framing, number, complement and CRC; returns the data field.
    static QByteArray checkBlock(const QByteArray& block, quint8 number, int size)
    {
        if (block.size() != size + 5) {
            qWarning() << "block size" << block.size();
            return QByteArray();
        }
        const char head = size == 1024 ? STX : SOH;
        if (block.at(0) != head || quint8(block.at(1)) != number ||
            quint8(block.at(2)) != quint8(255 - number)) {
            qWarning() << "bad block header" << block.left(3).toHex();
            return QByteArray();
        }
        const QByteArray data = block.mid(3, size);
        const quint16 crc = referenceCrc16(data);
        if (quint8(block.at(3 + size)) != (crc >> 8) || quint8(block.at(4 + size)) != (crc & 0xFF)) {
            qWarning() << "bad CRC";
            return QByteArray();
        }
        return data;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void defaultsAndClamps()
    {
        XMODEM x;
        QCOMPARE(x.name(), QStringLiteral("XMODEM"));
        QCOMPARE(x.retryLimit(), 10);
        QCOMPARE(x.timeout(), 10000);
        QVERIFY(!x.use1K());
        QVERIFY(!x.isActive());
        x.setUse1K(true);
        QCOMPARE(x.name(), QStringLiteral("XMODEM-1K"));
        x.setRetryLimit(0);
        QCOMPARE(x.retryLimit(), 1);
        x.setRetryLimit(1);
        QCOMPARE(x.retryLimit(), 1);
        x.setRetryLimit(5);
        QCOMPARE(x.retryLimit(), 5);
        x.setTimeout(500);
        QCOMPARE(x.timeout(), 1000);
        x.setTimeout(1000);
        QCOMPARE(x.timeout(), 1000);
        x.setTimeout(2500);
        QCOMPARE(x.timeout(), 2500);

        YMODEM y;
        QCOMPARE(y.name(), QStringLiteral("YMODEM"));
        QVERIFY(y.use1K());
    }

    void startFailsOnMissingFile()
    {
        XMODEM x;
        QSignalSpy finished(&x, &Protocol::finished);
        QSignalSpy writes(&x, &Protocol::writeRequested);
        x.start(m_dir.filePath("does-not-exist.bin"));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toBool(), false);
        QVERIFY(finished.at(0).at(1).toString().startsWith("Cannot open file: "));
        QVERIFY(!x.isActive());
        QCOMPARE(writes.count(), 0);

        YMODEM y;
        QSignalSpy yFinished(&y, &Protocol::finished);
        y.start(m_dir.filePath("does-not-exist.bin"));
        QCOMPARE(yFinished.count(), 1);
        QVERIFY(yFinished.at(0).at(1).toString().startsWith("Cannot open file: "));
        QVERIFY(!y.isActive());
    }

    void threeHundredBytesIn128ByteBlocks()
    {
        const QByteArray content = randomBytes(300, 1);
        const QString path = writeFile("300.bin", content);
        XMODEM x;
        QSignalSpy writes(&x, &Protocol::writeRequested);
        QSignalSpy finished(&x, &Protocol::finished);
        QSignalSpy progress(&x, &Protocol::progressChanged);
        QSignalSpy status(&x, &Protocol::statusMessage);

        x.start(path);
        QVERIFY(x.isActive());
        QCOMPARE(x.state(), int(XMODEM::WaitingForReceiver));
        QCOMPARE(writes.count(), 0); // the receiver speaks first
        QCOMPARE(status.last().at(0).toString(), QStringLiteral("Waiting for receiver…"));
        QCOMPARE(progress.last().at(0).toLongLong(), 0);
        QCOMPARE(progress.last().at(1).toLongLong(), 300);

        x.handleReceivedData("C");
        QCOMPARE(writes.count(), 1);
        QCOMPARE(checkBlock(lastWrite(writes), 1, 128), content.left(128));
        QCOMPARE(x.state(), int(XMODEM::BlockSent));
        QCOMPARE(status.last().at(0).toString(), QStringLiteral("Sending block 1 (128 bytes)"));

        x.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(writes.count(), 2);
        QCOMPARE(checkBlock(lastWrite(writes), 2, 128), content.mid(128, 128));

        x.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(writes.count(), 3);
        const QByteArray third = checkBlock(lastWrite(writes), 3, 128);
        QCOMPARE(third.left(44), content.mid(256));
        QCOMPARE(third.mid(44), QByteArray(84, SUB));
        QCOMPARE(progress.last().at(0).toLongLong(), 300);

        x.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(writes.count(), 4);
        QCOMPARE(lastWrite(writes), QByteArray(1, EOT));
        QCOMPARE(x.state(), int(XMODEM::EotSent));
        QCOMPARE(finished.count(), 0);

        x.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toBool(), true);
        QCOMPARE(finished.at(0).at(1).toString(), QString());
        QCOMPARE(status.last().at(0).toString(), QStringLiteral("Transfer complete"));
        QVERIFY(!x.isActive());
        QCOMPARE(writes.count(), 4);
    }

    void oneKBlocks()
    {
        const QByteArray content = randomBytes(2000, 2);
        const QString path = writeFile("2000-1k.bin", content);
        XMODEM x;
        x.setUse1K(true);
        QSignalSpy writes(&x, &Protocol::writeRequested);
        QSignalSpy finished(&x, &Protocol::finished);
        x.start(path);
        x.handleReceivedData("C");
        QCOMPARE(checkBlock(lastWrite(writes), 1, 1024), content.left(1024));
        x.handleReceivedData(QByteArray(1, ACK));
        const QByteArray second = checkBlock(lastWrite(writes), 2, 1024);
        QCOMPARE(second.left(976), content.mid(1024));
        QCOMPARE(second.mid(976), QByteArray(48, SUB));
        x.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(lastWrite(writes), QByteArray(1, EOT));
        x.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(finished.count(), 1);
        QVERIFY(finished.at(0).at(0).toBool());
    }

    void emptyFileAnswersWithEot()
    {
        const QString path = writeFile("empty.bin", QByteArray());
        XMODEM x;
        QSignalSpy writes(&x, &Protocol::writeRequested);
        QSignalSpy finished(&x, &Protocol::finished);
        x.start(path);
        x.handleReceivedData("C");
        QCOMPARE(writes.count(), 1);
        QCOMPARE(lastWrite(writes), QByteArray(1, EOT));
        x.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(finished.count(), 1);
        QVERIFY(finished.at(0).at(0).toBool());
    }

    void blockNumberWrapsAfter255()
    {
        const QByteArray content = randomBytes(257 * 128, 3);
        const QString path = writeFile("wrap.bin", content);
        XMODEM x;
        QSignalSpy writes(&x, &Protocol::writeRequested);
        x.start(path);
        x.handleReceivedData("C");
        for (int i = 1; i < 256; ++i)
            x.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(writes.count(), 256);
        const QByteArray block256 = lastWrite(writes);
        QCOMPARE(quint8(block256.at(1)), quint8(0));
        QCOMPARE(quint8(block256.at(2)), quint8(255));
        QCOMPARE(checkBlock(block256, 0, 128), content.mid(255 * 128, 128));
        x.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(checkBlock(lastWrite(writes), 1, 128), content.mid(256 * 128, 128));
    }

    void nakResendsSameBlockAndProgressGoesBack()
    {
        const QByteArray content = randomBytes(300, 4);
        const QString path = writeFile("nak.bin", content);
        XMODEM x;
        QSignalSpy writes(&x, &Protocol::writeRequested);
        QSignalSpy progress(&x, &Protocol::progressChanged);
        QSignalSpy status(&x, &Protocol::statusMessage);
        x.start(path);
        x.handleReceivedData("C");
        x.handleReceivedData(QByteArray(1, ACK));
        const QByteArray block2 = lastWrite(writes);
        QCOMPARE(progress.last().at(0).toLongLong(), 256);
        progress.clear();

        x.handleReceivedData(QByteArray(1, NAK));
        QCOMPARE(writes.count(), 3);
        QCOMPARE(lastWrite(writes), block2);
        QCOMPARE(x.retryCount(), 1);
        // Back by the block's length, then up again as it is resent.
        QCOMPARE(progress.count(), 2);
        QCOMPARE(progress.at(0).at(0).toLongLong(), 128);
        QCOMPARE(progress.at(1).at(0).toLongLong(), 256);
        bool sawNak = false;
        for (const auto& args : status)
            sawNak |= args.at(0).toString() == QStringLiteral("NAK received, retrying block 2 (1/10)");
        QVERIFY(sawNak);

        x.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(x.retryCount(), 0);
        QCOMPARE(checkBlock(lastWrite(writes), 3, 128).left(44), content.mid(256));
    }

    void nakStartPicksChecksumMode_data()
    {
        QTest::addColumn<bool>("use1K");
        QTest::newRow("XMODEM") << false;
        QTest::newRow("XMODEM-1K") << true; // an old receiver gets the classic blocks either way
    }

    void nakStartPicksChecksumMode()
    {
        QFETCH(bool, use1K);
        const QByteArray content = randomBytes(300, 5);
        const QString path = writeFile("checksum.bin", content);
        XMODEM x;
        x.setUse1K(use1K);
        QSignalSpy writes(&x, &Protocol::writeRequested);
        QSignalSpy finished(&x, &Protocol::finished);
        QSignalSpy status(&x, &Protocol::statusMessage);
        x.start(path);
        x.handleReceivedData(QByteArray(1, NAK));
        QVERIFY(x.checksumMode());
        QCOMPARE(status.at(1).at(0).toString(),
                 QStringLiteral("Receiver ready (checksum mode), sending data…"));
        // The first block is NAKed once: the same block again.
        const QByteArray first = lastWrite(writes);
        x.handleReceivedData(QByteArray(1, NAK));
        QCOMPARE(writes.count(), 2);
        QCOMPARE(lastWrite(writes), first);
        QByteArray received;
        for (int n = 1; n <= 3; ++n) {
            const QByteArray block = lastWrite(writes);
            QCOMPARE(block.size(), 132);
            QCOMPARE(block.at(0), SOH);
            QCOMPARE(quint8(block.at(1)), quint8(n));
            QCOMPARE(quint8(block.at(2)), quint8(255 - n));
            quint8 sum = 0;
            for (int i = 3; i < 131; ++i)
                sum = quint8(sum + quint8(block.at(i)));
            QCOMPARE(quint8(block.at(131)), sum);
            received += block.mid(3, 128);
            x.handleReceivedData(QByteArray(1, ACK));
        }
        QCOMPARE(received, content + QByteArray(84, SUB));
        QCOMPARE(lastWrite(writes), QByteArray(1, EOT));
        x.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(finished.count(), 1);
        QVERIFY(finished.at(0).at(0).toBool());
        // A later "C" start is CRC mode again.
        x.start(path);
        x.handleReceivedData("C");
        QVERIFY(!x.checksumMode());
    }

    void progressFollowsTheLeavingBlock()
    {
        const QString path = writeFile("leaving.bin", randomBytes(300, 6));
        XMODEM x;
        QSignalSpy progress(&x, &Protocol::progressChanged);
        connect(&x, &Protocol::writeRequested, &x,
                [&x](const QByteArray& data) { x.setPendingOutput(data.size()); });
        x.start(path);
        x.setPendingOutput(0);
        const int before = progress.count();
        x.handleReceivedData("C");
        // The block is written but still in the port: no progress yet.
        QCOMPARE(progress.count(), before);
        x.setPendingOutput(40);
        QCOMPARE(progress.count(), before);
        x.setPendingOutput(0);
        QCOMPARE(progress.count(), before + 1);
        QCOMPARE(progress.last().at(0).toLongLong(), 128);
    }

    void tooManyNaksAbort()
    {
        const QString path = writeFile("naks.bin", randomBytes(500, 6));
        XMODEM x;
        x.setRetryLimit(3);
        QSignalSpy writes(&x, &Protocol::writeRequested);
        QSignalSpy finished(&x, &Protocol::finished);
        QSignalSpy status(&x, &Protocol::statusMessage);
        x.start(path);
        x.handleReceivedData("C");
        x.handleReceivedData(QByteArray(1, NAK));
        x.handleReceivedData(QByteArray(1, NAK));
        QCOMPARE(finished.count(), 0);
        QCOMPARE(writes.count(), 3);
        x.handleReceivedData(QByteArray(1, NAK));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toBool(), false);
        QCOMPARE(finished.at(0).at(1).toString(), QStringLiteral("Maximum retries exceeded"));
        QCOMPARE(lastWrite(writes), QByteArray(5, CAN));
        QCOMPARE(status.last().at(0).toString(), QStringLiteral("Too many retries, transfer aborted"));
        QVERIFY(!x.isActive());
    }

    void nakStormInOneChunkSendsOnce()
    {
        // The bytes after the one acted upon were sent before the receiver
        // could have seen our new block: they are not answers to it.
        const QString path = writeFile("storm.bin", randomBytes(1000, 7));
        XMODEM x;
        QSignalSpy writes(&x, &Protocol::writeRequested);
        QSignalSpy finished(&x, &Protocol::finished);
        x.start(path);
        x.handleReceivedData("CCCC");
        QCOMPARE(writes.count(), 1);
        x.handleReceivedData(QByteArray(20, NAK));
        QCOMPARE(writes.count(), 2);
        QCOMPARE(x.retryCount(), 1);
        x.handleReceivedData(QByteArray(5, ACK));
        QCOMPARE(writes.count(), 3);
        QCOMPARE(quint8(lastWrite(writes).at(1)), quint8(2));
        QCOMPARE(finished.count(), 0);
    }

    void timeoutsFailOnTheTenthWithCancelSequence()
    {
        const QString path = writeFile("silent.bin", randomBytes(100, 8));
        TestXmodem x;
        x.setRetryLimit(10);
        x.responseTimer()->setInterval(10);
        QSignalSpy writes(&x, &Protocol::writeRequested);
        QSignalSpy finished(&x, &Protocol::finished);
        QSignalSpy status(&x, &Protocol::statusMessage);
        x.start(path);
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.at(0).at(0).toBool(), false);
        QCOMPARE(finished.at(0).at(1).toString(), QStringLiteral("Timeout: no response from receiver"));
        int retries = 0;
        for (const auto& args : status)
            retries += args.at(0).toString().startsWith("Timeout, retrying (");
        QCOMPARE(retries, 9);
        QCOMPARE(status.last().at(0).toString(), QStringLiteral("Transfer timed out"));
        QCOMPARE(writes.count(), 1);
        QCOMPARE(lastWrite(writes), QByteArray(5, CAN));
        QVERIFY(!x.isActive());
    }

    void timeoutResendsBlockAndEot()
    {
        const QString path = writeFile("resend.bin", randomBytes(100, 9));
        TestXmodem x;
        x.responseTimer()->setInterval(30);
        QSignalSpy writes(&x, &Protocol::writeRequested);
        QSignalSpy finished(&x, &Protocol::finished);
        x.start(path);
        x.handleReceivedData("C");
        const QByteArray block = lastWrite(writes);
        QTRY_VERIFY(writes.count() >= 2);
        QCOMPARE(writes.at(1).at(0).toByteArray(), block);
        x.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(lastWrite(writes), QByteArray(1, EOT));
        const int before = writes.count();
        QTRY_VERIFY(writes.count() > before);
        QCOMPARE(lastWrite(writes), QByteArray(1, EOT));
        x.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(finished.count(), 1);
        QVERIFY(finished.at(0).at(0).toBool());
    }

    void userCancelSendsFiveCans()
    {
        const QString path = writeFile("cancel.bin", randomBytes(100, 10));
        XMODEM x;
        QSignalSpy writes(&x, &Protocol::writeRequested);
        QSignalSpy finished(&x, &Protocol::finished);
        QSignalSpy status(&x, &Protocol::statusMessage);
        x.cancel(); // not active: nothing
        QCOMPARE(writes.count(), 0);
        QCOMPARE(finished.count(), 0);
        x.start(path);
        x.handleReceivedData("C");
        x.cancel();
        QCOMPARE(lastWrite(writes), QByteArray(5, CAN));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(1).toString(), QStringLiteral("Transfer cancelled by user"));
        QCOMPARE(status.last().at(0).toString(), QStringLiteral("Transfer cancelled"));
        QVERIFY(!x.isActive());
        QCOMPARE(x.state(), int(XMODEM::Idle));
        QCOMPARE(int(x.blockNumber()), 1);
    }

    void receiverCancelNeedsTwoCans()
    {
        const QString path = writeFile("can.bin", randomBytes(1000, 11));
        XMODEM x;
        QSignalSpy writes(&x, &Protocol::writeRequested);
        QSignalSpy finished(&x, &Protocol::finished);
        QSignalSpy status(&x, &Protocol::statusMessage);
        x.start(path);
        x.handleReceivedData("C");
        // A lone CAN amid garbage is a damaged byte, not a cancel.
        x.handleReceivedData(QByteArray("\x01\x18\x7f", 3));
        QCOMPARE(finished.count(), 0);
        x.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(writes.count(), 2);
        // Two in a row, even split across chunks, are.
        x.handleReceivedData(QByteArray(1, CAN));
        QCOMPARE(finished.count(), 0);
        x.handleReceivedData(QByteArray(1, CAN));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toBool(), false);
        QCOMPARE(finished.at(0).at(1).toString(), QStringLiteral("Receiver cancelled the transfer"));
        QCOMPARE(status.last().at(0).toString(), QStringLiteral("Transfer cancelled by receiver"));
        QVERIFY(!x.isActive());
        QCOMPARE(writes.count(), 2); // no answer to a cancel
    }

    void receiverCancelWhileWaitingAndAfterEot()
    {
        const QString path = writeFile("can2.bin", randomBytes(10, 12));
        XMODEM x;
        QSignalSpy finished(&x, &Protocol::finished);
        x.start(path);
        x.handleReceivedData(QByteArray(8, CAN));
        QCOMPARE(finished.count(), 1);
        QVERIFY(!x.isActive());

        x.start(path);
        x.handleReceivedData("C");
        x.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(x.state(), int(XMODEM::EotSent));
        x.handleReceivedData(QByteArray("\x18\x18", 2));
        QCOMPARE(finished.count(), 2);
        QCOMPARE(finished.at(1).at(0).toBool(), false);
    }

    void garbageIsIgnored()
    {
        const QByteArray content = randomBytes(300, 13);
        const QString path = writeFile("garbage.bin", content);
        XMODEM x;
        QSignalSpy writes(&x, &Protocol::writeRequested);
        QSignalSpy finished(&x, &Protocol::finished);
        x.start(path);
        x.handleReceivedData("hello\x01\x02\xff");
        QCOMPARE(writes.count(), 0);
        x.handleReceivedData("C");
        x.handleReceivedData("xyz\x7f");
        QCOMPARE(writes.count(), 1);
        QVERIFY(x.isActive());
        QCOMPARE(x.state(), int(XMODEM::BlockSent));
    }

    void firstEotNakThenAckCompletes()
    {
        const QString path = writeFile("eotnak.bin", randomBytes(50, 14));
        XMODEM x;
        QSignalSpy writes(&x, &Protocol::writeRequested);
        QSignalSpy finished(&x, &Protocol::finished);
        x.start(path);
        x.handleReceivedData("C");
        x.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(lastWrite(writes), QByteArray(1, EOT));
        x.handleReceivedData(QByteArray(1, NAK));
        QCOMPARE(writes.count(), 3);
        QCOMPARE(lastWrite(writes), QByteArray(1, EOT));
        QCOMPARE(x.retryCount(), 0); // the confirming NAK is free
        x.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(finished.count(), 1);
        QVERIFY(finished.at(0).at(0).toBool());
    }

    void endlessEotNaksAbort()
    {
        const QString path = writeFile("eotstorm.bin", randomBytes(50, 15));
        XMODEM x;
        x.setRetryLimit(4);
        QSignalSpy finished(&x, &Protocol::finished);
        x.start(path);
        x.handleReceivedData("C");
        x.handleReceivedData(QByteArray(1, ACK));
        for (int i = 0; i < 20 && finished.isEmpty(); ++i)
            x.handleReceivedData(QByteArray(1, NAK));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(1).toString(), QStringLiteral("Maximum retries exceeded"));
    }

    void cAsNakForTheFirstBlockOnly()
    {
        const QString path = writeFile("firstc.bin", randomBytes(300, 16));
        XMODEM x;
        QSignalSpy writes(&x, &Protocol::writeRequested);
        x.start(path);
        x.handleReceivedData("C");
        const QByteArray first = lastWrite(writes);
        x.handleReceivedData("C"); // receiver missed block 1 and asks again
        QCOMPARE(writes.count(), 2);
        QCOMPARE(lastWrite(writes), first);
        x.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(writes.count(), 3);
        x.handleReceivedData("C"); // later a "C" means nothing
        QCOMPARE(writes.count(), 3);
    }

    void repeatedCWhileTheBlockIsLeavingIsNotARequest()
    {
        // A receiver that repeats "C" while it waits: the ones that cross
        // our first block on a slow line must not have it sent twice.
        const QString path = writeFile("cspam.bin", randomBytes(300, 32));
        XMODEM x;
        QSignalSpy writes(&x, &Protocol::writeRequested);
        x.start(path);
        x.handleReceivedData("C");
        x.setPendingOutput(100);
        x.handleReceivedData("C");
        x.handleReceivedData("C");
        QCOMPARE(writes.count(), 1);
        x.setPendingOutput(0);
        x.handleReceivedData("C"); // now the receiver really asks again
        QCOMPARE(writes.count(), 2);
        x.setPendingOutput(100);
        x.handleReceivedData(QByteArray(1, NAK)); // a NAK is always an answer
        QCOMPARE(writes.count(), 3);

        YMODEM y;
        QSignalSpy yWrites(&y, &Protocol::writeRequested);
        y.start(path);
        y.handleReceivedData("C");
        y.setPendingOutput(50);
        y.handleReceivedData("C");
        QCOMPARE(yWrites.count(), 1);
        y.setPendingOutput(0);
        y.handleReceivedData("C");
        QCOMPARE(yWrites.count(), 2);
        QCOMPARE(yWrites.at(1).at(0).toByteArray(), yWrites.at(0).at(0).toByteArray());
    }

    void pacingDefersTheResponseTimer()
    {
        const QString path = writeFile("pacing.bin", randomBytes(3000, 17));
        TestXmodem x;
        x.setUse1K(true);
        QSignalSpy writes(&x, &Protocol::writeRequested);
        x.start(path);
        QVERIFY(x.responseTimer()->isActive());
        // The writer reports what the port still holds after each write.
        connect(&x, &Protocol::writeRequested, &x,
                [&x](const QByteArray& data) { x.setPendingOutput(data.size()); });
        x.handleReceivedData("C");
        QCOMPARE(writes.count(), 1);
        QCOMPARE(x.pendingOutput(), qint64(1029));
        QVERIFY(!x.responseTimer()->isActive());
        x.setPendingOutput(500);
        QVERIFY(!x.responseTimer()->isActive());
        x.setPendingOutput(0);
        QVERIFY(x.responseTimer()->isActive());
        // The drain report may lag behind the receiver's answer: an ACK is
        // taken even while the count still shows bytes.
        x.setPendingOutput(100);
        x.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(writes.count(), 2);
        QCOMPARE(quint8(lastWrite(writes).at(1)), quint8(2));
        QVERIFY(!x.responseTimer()->isActive());
        x.setPendingOutput(0);
        QVERIFY(x.responseTimer()->isActive());
        // The same for the EOT.
        x.handleReceivedData(QByteArray(1, ACK));
        x.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(lastWrite(writes), QByteArray(1, EOT));
        QVERIFY(!x.responseTimer()->isActive());
        x.setPendingOutput(0);
        QVERIFY(x.responseTimer()->isActive());
    }

    void slowLineNeverTimesOut()
    {
        const QString path = writeFile("slow.bin", randomBytes(100, 18));
        TestXmodem x;
        x.responseTimer()->setInterval(20);
        QSignalSpy writes(&x, &Protocol::writeRequested);
        QSignalSpy finished(&x, &Protocol::finished);
        connect(&x, &Protocol::writeRequested, &x,
                [&x](const QByteArray& data) { x.setPendingOutput(data.size()); });
        x.start(path);
        x.handleReceivedData("C");
        // The block is "still leaving" for far longer than the time-out.
        QTest::qWait(200);
        QCOMPARE(writes.count(), 1);
        QCOMPARE(finished.count(), 0);
        QCOMPARE(x.retryCount(), 0);
        x.setPendingOutput(0);
        x.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(lastWrite(writes), QByteArray(1, EOT));
    }

    void fileShrinkingDuringTransfer()
    {
        const QByteArray content = randomBytes(1000, 19);
        const QString path = writeFile("shrink.bin", content);
        XMODEM x;
        QSignalSpy writes(&x, &Protocol::writeRequested);
        QSignalSpy finished(&x, &Protocol::finished);
        x.start(path);
        x.handleReceivedData("C");
        QVERIFY(QFile::resize(path, 200));
        x.handleReceivedData(QByteArray(1, ACK));
        const QByteArray second = checkBlock(lastWrite(writes), 2, 128);
        QCOMPARE(second.left(72), content.mid(128, 72));
        QCOMPARE(second.mid(72), QByteArray(56, SUB));
        x.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(lastWrite(writes), QByteArray(1, EOT));
        x.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(finished.count(), 1);

        // Shrunk to nothing before the first block: EOT at once.
        const QString path2 = writeFile("vanish.bin", content);
        x.start(path2);
        QVERIFY(QFile::resize(path2, 0));
        x.handleReceivedData("C");
        QCOMPARE(lastWrite(writes), QByteArray(1, EOT));
        x.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(finished.count(), 2);
        QVERIFY(!x.isActive());
    }

    void fileRemovedDuringTransferStillCompletes()
    {
        // The engine holds the file open: removing its name changes nothing.
        const QByteArray content = randomBytes(300, 31);
        const QString path = writeFile("removed.bin", content);
        XMODEM x;
        QSignalSpy writes(&x, &Protocol::writeRequested);
        QSignalSpy finished(&x, &Protocol::finished);
        x.start(path);
        QVERIFY(QFile::remove(path));
        x.handleReceivedData("C");
        QByteArray sent;
        for (int i = 0; i < 3; ++i) {
            sent += checkBlock(lastWrite(writes), quint8(i + 1), 128);
            x.handleReceivedData(QByteArray(1, ACK));
        }
        QCOMPARE(sent.left(300), content);
        QCOMPARE(lastWrite(writes), QByteArray(1, EOT));
        x.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(finished.count(), 1);
        QVERIFY(finished.at(0).at(0).toBool());
    }

    void fileGrowingDuringTransferSendsTheRecordedSize()
    {
        const QByteArray content = randomBytes(200, 20);
        const QString path = writeFile("grow.bin", content);
        XMODEM x;
        QSignalSpy writes(&x, &Protocol::writeRequested);
        QSignalSpy finished(&x, &Protocol::finished);
        x.start(path);
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::Append));
            f.write(randomBytes(5000, 21));
        }
        x.handleReceivedData("C");
        x.handleReceivedData(QByteArray(1, ACK));
        const QByteArray second = checkBlock(lastWrite(writes), 2, 128);
        QCOMPARE(second.left(72), content.mid(128));
        QCOMPARE(second.mid(72), QByteArray(56, SUB));
        x.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(lastWrite(writes), QByteArray(1, EOT));
        x.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(finished.count(), 1);
        QVERIFY(finished.at(0).at(0).toBool());
    }

    // ---- YMODEM ----

    void ymodemHeaderNameIsCut()
    {
        // 75 two-byte characters: 150 bytes, cut to exactly 104.
        const QString name2 = QString(75, QChar(0x00E9));
        QCOMPARE(name2.toUtf8().size(), 150);
        QByteArray field = YMODEM::headerData(name2, 1234);
        QCOMPARE(field.size(), 128);
        QCOMPARE(field.left(104), name2.toUtf8().left(104));
        QCOMPARE(field.at(104), '\0');
        QCOMPARE(field.mid(105, 5), QByteArray("1234\0", 5));
        QCOMPARE(field.mid(110), QByteArray(18, '\0'));

        // 50 three-byte characters: a cut at 104 would split one; 102 kept.
        const QString name3 = QString(50, QChar(0x4E2D));
        field = YMODEM::headerData(name3, 7);
        QCOMPARE(field.left(102), name3.toUtf8().left(102));
        QCOMPARE(field.at(102), '\0');
        QCOMPARE(QString::fromUtf8(field.left(102)), QString(34, QChar(0x4E2D)));

        // And the header block sent for a real file of such a name.
        const QString path = writeFile(name2, QByteArray("abc"));
        QVERIFY(!path.isEmpty());
        YMODEM y;
        QSignalSpy writes(&y, &Protocol::writeRequested);
        QSignalSpy status(&y, &Protocol::statusMessage);
        y.start(path);
        y.handleReceivedData("C");
        QCOMPARE(writes.count(), 1);
        const QByteArray header = checkBlock(lastWrite(writes), 0, 128);
        QCOMPARE(header.left(104), name2.toUtf8().left(104));
        QCOMPARE(header.mid(104, 3), QByteArray("\0003 ", 3));
        QCOMPARE(status.last().at(0).toString(),
                 QStringLiteral("Sending file header: %1 (3 bytes)").arg(name2));
    }

    void ymodemHeaderCarriesTimeAndMode()
    {
        // Size first, then the octal time and mode, space-separated.
        QCOMPARE(YMODEM::headerData("a.bin", 2500, 01234567, 0100644), QByteArray("a.bin\0"
                                                                                  "2500 1234567 100644",
                                                                                  25) +
                                                                           QByteArray(103, '\0'));
        // A long name leaves no room: the optional fields go, the size stays.
        const QString longName(104, QLatin1Char('n'));
        const QByteArray field = YMODEM::headerData(longName, 1234567890123LL, 017777777777, 0100644);
        QCOMPARE(field.size(), 128);
        QCOMPARE(field.mid(105), QByteArray("1234567890123", 13) + QByteArray(10, '\0'));
    }

    void ymodemTwoThousandByteLayout()
    {
        const QByteArray content = randomBytes(2000, 22);
        const QString path = writeFile("y2000.bin", content);
        YMODEM y;
        QSignalSpy writes(&y, &Protocol::writeRequested);
        QSignalSpy finished(&y, &Protocol::finished);
        QSignalSpy progress(&y, &Protocol::progressChanged);
        QSignalSpy status(&y, &Protocol::statusMessage);
        y.start(path);
        QCOMPARE(y.batchState(), int(YMODEM::WaitingForStart));
        QCOMPARE(writes.count(), 0);

        y.handleReceivedData("C");
        const QByteArray header = checkBlock(lastWrite(writes), 0, 128);
        const qint64 mtime = QFileInfo(path).lastModified().toSecsSinceEpoch();
        QCOMPARE(header, YMODEM::headerData("y2000.bin", 2000, mtime, YMODEM::fileMode(path)));
        QCOMPARE(header.left(15), QByteArray("y2000.bin\0002000 ", 15));

        // ACK and "C" often arrive together.
        y.handleReceivedData(QByteArray(1, ACK) + "C");
        QCOMPARE(writes.count(), 2);
        QCOMPARE(checkBlock(lastWrite(writes), 1, 1024), content.left(1024));
        QCOMPARE(status.last().at(0).toString(), QStringLiteral("Sending block 1 (1024/2000 bytes)"));

        y.handleReceivedData(QByteArray(1, ACK));
        const QByteArray second = checkBlock(lastWrite(writes), 2, 1024);
        QCOMPARE(second.left(976), content.mid(1024));
        QCOMPARE(second.mid(976), QByteArray(48, SUB));

        y.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(lastWrite(writes), QByteArray(1, EOT));
        QCOMPARE(status.last().at(0).toString(), QStringLiteral("Sending first EOT…"));
        y.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(lastWrite(writes), QByteArray(1, EOT));
        QCOMPARE(status.last().at(0).toString(), QStringLiteral("Sending second EOT…"));
        QCOMPARE(writes.count(), 5);
        y.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(writes.count(), 5);
        y.handleReceivedData("C");
        QCOMPARE(writes.count(), 6);
        QCOMPARE(checkBlock(lastWrite(writes), 0, 128), QByteArray(128, '\0'));
        QCOMPARE(finished.count(), 0);
        y.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(finished.count(), 1);
        QVERIFY(finished.at(0).at(0).toBool());
        QCOMPARE(progress.last().at(0).toLongLong(), 2000);
        QCOMPARE(progress.last().at(1).toLongLong(), 2000);
        QVERIFY(!y.isActive());
    }

    void ymodemEmptyFile()
    {
        const QString path = writeFile("yempty.bin", QByteArray());
        YMODEM y;
        QSignalSpy writes(&y, &Protocol::writeRequested);
        QSignalSpy finished(&y, &Protocol::finished);
        y.start(path);
        y.handleReceivedData("C");
        QCOMPARE(checkBlock(lastWrite(writes), 0, 128).left(12), QByteArray("yempty.bin\0000", 12));
        y.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(writes.count(), 1);
        y.handleReceivedData("C");
        QCOMPARE(lastWrite(writes), QByteArray(1, EOT));
        y.handleReceivedData(QByteArray(1, NAK)); // first EOT NAKed
        QCOMPARE(lastWrite(writes), QByteArray(1, EOT));
        QCOMPARE(writes.count(), 3);
        y.handleReceivedData(QByteArray(1, ACK) + "C");
        QCOMPARE(checkBlock(lastWrite(writes), 0, 128), QByteArray(128, '\0'));
        y.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(finished.count(), 1);
        QVERIFY(finished.at(0).at(0).toBool());
    }

    void ymodemResendsHeaderOnNakAndC()
    {
        const QString path = writeFile("yhdr.bin", randomBytes(100, 23));
        YMODEM y;
        QSignalSpy writes(&y, &Protocol::writeRequested);
        QSignalSpy finished(&y, &Protocol::finished);
        y.start(path);
        y.handleReceivedData("C");
        const QByteArray header = lastWrite(writes);
        y.handleReceivedData(QByteArray(1, NAK));
        QCOMPARE(writes.count(), 2);
        QCOMPARE(lastWrite(writes), header);
        y.handleReceivedData("C"); // damaged header: receiver asks again with C
        QCOMPARE(writes.count(), 3);
        QCOMPARE(lastWrite(writes), header);
        QCOMPARE(y.retryCount(), 2);
        y.handleReceivedData(QByteArray(1, ACK) + "C");
        QCOMPARE(writes.count(), 4);
        QCOMPARE(quint8(lastWrite(writes).at(1)), quint8(1));
        QCOMPARE(finished.count(), 0);
    }

    void ymodemHeaderNakLimit()
    {
        const QString path = writeFile("yhdrlimit.bin", randomBytes(100, 24));
        YMODEM y;
        y.setRetryLimit(3);
        QSignalSpy writes(&y, &Protocol::writeRequested);
        QSignalSpy finished(&y, &Protocol::finished);
        y.start(path);
        y.handleReceivedData("C");
        for (int i = 0; i < 10 && finished.isEmpty(); ++i)
            y.handleReceivedData(QByteArray(1, NAK));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(1).toString(), QStringLiteral("Maximum retries exceeded"));
        QCOMPARE(lastWrite(writes), QByteArray(5, CAN));
        QCOMPARE(writes.count(), 1 + 2 + 1);
    }

    void ymodemTimeoutsResendEveryFrame()
    {
        const QByteArray content = randomBytes(1500, 25);
        const QString path = writeFile("ytimeout.bin", content);
        TestYmodem y;
        y.responseTimer()->setInterval(30);
        QSignalSpy writes(&y, &Protocol::writeRequested);
        QSignalSpy finished(&y, &Protocol::finished);

        auto expectResend = [&]() {
            const QByteArray last = lastWrite(writes);
            const int before = writes.count();
            if (!QTest::qWaitFor([&] { return writes.count() > before; }, 2000))
                return false;
            return writes.at(before).at(0).toByteArray() == last;
        };

        y.start(path);
        y.handleReceivedData("C");
        QVERIFY(expectResend()); // header
        y.handleReceivedData(QByteArray(1, ACK) + "C");
        QVERIFY(expectResend()); // block 1
        y.handleReceivedData(QByteArray(1, ACK));
        QVERIFY(expectResend()); // block 2
        y.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(lastWrite(writes), QByteArray(1, EOT));
        QVERIFY(expectResend()); // first EOT
        y.handleReceivedData(QByteArray(1, ACK));
        QVERIFY(expectResend()); // second EOT
        y.handleReceivedData(QByteArray(1, ACK) + "C");
        QVERIFY(expectResend()); // end marker
        QCOMPARE(checkBlock(lastWrite(writes), 0, 128), QByteArray(128, '\0'));
        y.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(finished.count(), 1);
        QVERIFY(finished.at(0).at(0).toBool());
    }

    void ymodemSilenceFailsAtTheLimit()
    {
        const QString path = writeFile("ysilent.bin", randomBytes(100, 26));
        TestYmodem y;
        y.setRetryLimit(4);
        y.responseTimer()->setInterval(10);
        QSignalSpy writes(&y, &Protocol::writeRequested);
        QSignalSpy finished(&y, &Protocol::finished);
        y.start(path);
        y.handleReceivedData("C");
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.at(0).at(1).toString(), QStringLiteral("Timeout: no response from receiver"));
        QCOMPARE(writes.count(), 1 + 3 + 1); // header, 3 resends, CANs
        QCOMPARE(lastWrite(writes), QByteArray(5, CAN));
        QVERIFY(!y.isActive());
    }

    void ymodemDataNakAndCancel()
    {
        const QByteArray content = randomBytes(3000, 27);
        const QString path = writeFile("ynak.bin", content);
        YMODEM y;
        QSignalSpy writes(&y, &Protocol::writeRequested);
        QSignalSpy finished(&y, &Protocol::finished);
        QSignalSpy status(&y, &Protocol::statusMessage);
        y.start(path);
        y.handleReceivedData("C");
        y.handleReceivedData(QByteArray(1, ACK) + "C");
        y.handleReceivedData(QByteArray(1, ACK));
        const QByteArray block2 = lastWrite(writes);
        y.handleReceivedData(QByteArray(1, NAK));
        QCOMPARE(lastWrite(writes), block2);
        bool sawNak = false;
        for (const auto& args : status)
            sawNak |= args.at(0).toString() == QStringLiteral("NAK received, retrying block 2");
        QVERIFY(sawNak);
        y.handleReceivedData(QByteArray(1, CAN));
        QCOMPARE(finished.count(), 0);
        y.handleReceivedData(QByteArray(1, CAN));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(1).toString(), QStringLiteral("Receiver cancelled the transfer"));
        QCOMPARE(y.batchState(), int(YMODEM::BatchIdle));
        QVERIFY(!y.isActive());
    }

    void ymodemUserCancel()
    {
        const QString path = writeFile("ycancel.bin", randomBytes(3000, 28));
        YMODEM y;
        QSignalSpy writes(&y, &Protocol::writeRequested);
        QSignalSpy finished(&y, &Protocol::finished);
        y.start(path);
        y.handleReceivedData("C");
        y.cancel();
        QCOMPARE(lastWrite(writes), QByteArray(5, CAN));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(1).toString(), QStringLiteral("Transfer cancelled by user"));
        QVERIFY(!y.isActive());
        // A new start works from scratch.
        y.start(path);
        QVERIFY(y.isActive());
        QCOMPARE(y.batchState(), int(YMODEM::WaitingForStart));
        y.handleReceivedData("C");
        QCOMPARE(checkBlock(lastWrite(writes), 0, 128).left(17), QByteArray("ycancel.bin\0003000 ", 17));
    }

    void ymodemPacing()
    {
        const QString path = writeFile("ypacing.bin", randomBytes(2000, 29));
        TestYmodem y;
        QSignalSpy writes(&y, &Protocol::writeRequested);
        connect(&y, &Protocol::writeRequested, &y,
                [&y](const QByteArray& data) { y.setPendingOutput(data.size()); });
        y.start(path);
        y.handleReceivedData("C");
        QCOMPARE(y.batchState(), int(YMODEM::HeaderSent));
        QVERIFY(!y.responseTimer()->isActive());
        y.setPendingOutput(0);
        QVERIFY(y.responseTimer()->isActive());
        y.handleReceivedData(QByteArray(1, ACK) + "C");
        QCOMPARE(y.batchState(), int(YMODEM::DataBlockSent));
        QVERIFY(!y.responseTimer()->isActive());
        y.setPendingOutput(100);
        QVERIFY(!y.responseTimer()->isActive());
        y.setPendingOutput(0);
        QVERIFY(y.responseTimer()->isActive());
        y.handleReceivedData(QByteArray(1, ACK));
        y.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(y.batchState(), int(YMODEM::FirstEotSent));
        QVERIFY(!y.responseTimer()->isActive());
        y.setPendingOutput(0);
        QVERIFY(y.responseTimer()->isActive());
    }

    void ymodemShrinkingFile()
    {
        const QByteArray content = randomBytes(3000, 30);
        const QString path = writeFile("yshrink.bin", content);
        YMODEM y;
        QSignalSpy writes(&y, &Protocol::writeRequested);
        QSignalSpy finished(&y, &Protocol::finished);
        y.start(path);
        y.handleReceivedData("C");
        y.handleReceivedData(QByteArray(1, ACK) + "C");
        QVERIFY(QFile::resize(path, 1500));
        y.handleReceivedData(QByteArray(1, ACK));
        const QByteArray second = checkBlock(lastWrite(writes), 2, 1024);
        QCOMPARE(second.left(476), content.mid(1024, 476));
        y.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(lastWrite(writes), QByteArray(1, EOT));
        y.handleReceivedData(QByteArray(1, ACK));
        y.handleReceivedData(QByteArray(1, ACK) + "C");
        y.handleReceivedData(QByteArray(1, ACK));
        QCOMPARE(finished.count(), 1);
        QVERIFY(!y.isActive());
    }
};

QTEST_GUILESS_MAIN(TestXmodemEngine)
#include "tst_xmodem.moc"
