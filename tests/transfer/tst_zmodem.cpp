#include "TestData.h"
#include "ZMODEM.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Reference checks written out bit by bit, independent of the engine's tables.
quint16 refCrc16(const QByteArray& data)
{
    quint16 crc = 0;
    for (char ch : data) {
        crc ^= quint16(quint8(ch) << 8);
        for (int i = 0; i < 8; ++i)
            crc = (crc & 0x8000) ? quint16((crc << 1) ^ 0x1021) : quint16(crc << 1);
    }
    return crc;
}

quint32 refCrc32(const QByteArray& data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (char ch : data) {
        crc ^= quint8(ch);
        for (int i = 0; i < 8; ++i)
            crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

const char kZdle = 0x18;
// What lrzsz's rz declares in ZRINIT: no buffer size, ZF0 = CANFC32 |
// CANOVIO | CANFDX.
const quint32 kLrzszCaps = 0x23000000u;

QByteArray argBytes(int type, quint32 arg)
{
    QByteArray raw;
    raw.append(char(type));
    for (int i = 0; i < 4; ++i)
        raw.append(char(arg >> (8 * i)));
    return raw;
}

// Headers as a receiver would send them, built here without the engine.
QByteArray rxHex(int type, quint32 arg)
{
    const QByteArray raw = argBytes(type, arg);
    const quint16 crc = refCrc16(raw);
    QByteArray withCrc = raw;
    withCrc.append(char(crc >> 8)).append(char(crc));
    return QByteArray("**\x18"
                      "B") +
           withCrc.toHex() + "\r\x8a\x11";
}

QByteArray rxEscape(const QByteArray& raw)
{
    QByteArray out;
    for (char c : raw) {
        const quint8 b = quint8(c);
        if (b == 0x10 || b == 0x11 || b == 0x13 || b == 0x18 || b == 0x90 || b == 0x91 || b == 0x93)
            out.append(kZdle).append(char(b ^ 0x40));
        else
            out.append(c);
    }
    return out;
}

QByteArray rxBin32(int type, quint32 arg, bool corruptCrc = false)
{
    QByteArray raw = argBytes(type, arg);
    quint32 crc = refCrc32(raw);
    if (corruptCrc)
        crc ^= 0x00010000u;
    for (int i = 0; i < 4; ++i)
        raw.append(char(crc >> (8 * i)));
    return QByteArray("*\x18"
                      "C") +
           rxEscape(raw);
}

QByteArray rxBin16(int type, quint32 arg, bool corruptCrc = false)
{
    QByteArray raw = argBytes(type, arg);
    quint16 crc = refCrc16(raw);
    if (corruptCrc)
        crc ^= 0x0100;
    raw.append(char(crc >> 8)).append(char(crc));
    return QByteArray("*\x18"
                      "A") +
           rxEscape(raw);
}

// A small decoder of what the sender emits: headers, subpackets, the cancel
// sequence and "OO". Everything is checked against the reference CRCs.
struct Frame
{
    enum Kind
    {
        Hex,
        Bin32,
        Subpacket,
        Cancel,
        OverAndOut,
        Junk
    };
    Kind kind = Junk;
    int type = -1;
    quint32 arg = 0;
    QByteArray data;
    char end = 0;
    bool crcOk = false;
};

class StreamDecoder
{
public:
    QList<Frame> decode(const QByteArray& s)
    {
        QList<Frame> frames;
        int i = 0;
        bool inData = false;
        while (i < s.size()) {
            // Our escapes never put 'B' or 'C' after a ZDLE inside data, so
            // this is a header even where a subpacket could follow.
            if (inData && (s.mid(i, 4) == QByteArray("**\x18"
                                                     "B") ||
                           s.mid(i, 4) == QByteArray("**\x18"
                                                     "C")))
                inData = false;
            if (inData) {
                Frame f;
                f.kind = Frame::Subpacket;
                bool ended = false;
                while (i < s.size() && !ended) {
                    const char c = s.at(i++);
                    if (c != kZdle) {
                        f.data.append(c);
                        continue;
                    }
                    const char e = s.at(i++);
                    if (e == 'h' || e == 'i' || e == 'j' || e == 'k') {
                        f.end = e;
                        ended = true;
                    } else {
                        f.data.append(char(e ^ 0x40));
                    }
                }
                QByteArray crcBytes;
                while (crcBytes.size() < 4 && i < s.size()) {
                    const char c = s.at(i++);
                    crcBytes.append(c == kZdle ? char(s.at(i++) ^ 0x40) : c);
                }
                quint32 crc = 0;
                for (int k = 0; k < 4; ++k)
                    crc |= quint32(quint8(crcBytes.at(k))) << (8 * k);
                f.crcOk = crc == refCrc32(f.data + f.end);
                frames.append(f);
                if (f.end == 'h' || f.end == 'k')
                    inData = false;
                continue;
            }
            if (s.mid(i, 10) == QByteArray(5, kZdle) + QByteArray(5, '\b')) {
                Frame f;
                f.kind = Frame::Cancel;
                frames.append(f);
                i += 10;
                continue;
            }
            if (s.mid(i, 2) == "OO") {
                Frame f;
                f.kind = Frame::OverAndOut;
                frames.append(f);
                i += 2;
                continue;
            }
            if (s.mid(i, 4) == QByteArray("**\x18"
                                          "B")) {
                const QByteArray hex = s.mid(i + 4, 14);
                const QByteArray raw = QByteArray::fromHex(hex);
                Frame f;
                f.kind = Frame::Hex;
                f.type = quint8(raw.at(0));
                for (int k = 0; k < 4; ++k)
                    f.arg |= quint32(quint8(raw.at(1 + k))) << (8 * k);
                f.crcOk = hex == hex.toLower() &&
                          (quint16(quint8(raw.at(5)) << 8 | quint8(raw.at(6))) == refCrc16(raw.left(5))) &&
                          s.mid(i + 18, 2) == "\r\n";
                frames.append(f);
                i += 20;
                continue;
            }
            if (s.mid(i, 4) == QByteArray("**\x18"
                                          "C")) {
                i += 4;
                QByteArray raw;
                while (raw.size() < 9 && i < s.size()) {
                    const char c = s.at(i++);
                    raw.append(c == kZdle ? char(s.at(i++) ^ 0x40) : c);
                }
                Frame f;
                f.kind = Frame::Bin32;
                f.type = quint8(raw.at(0));
                quint32 crc = 0;
                for (int k = 0; k < 4; ++k) {
                    f.arg |= quint32(quint8(raw.at(1 + k))) << (8 * k);
                    crc |= quint32(quint8(raw.at(5 + k))) << (8 * k);
                }
                f.crcOk = crc == refCrc32(raw.left(5));
                frames.append(f);
                inData = f.type == ZMODEM::ZFILE || f.type == ZMODEM::ZDATA;
                continue;
            }
            if (s.mid(i, 3) == "rz\r") {
                i += 3;
                continue;
            }
            Frame f;
            f.kind = Frame::Junk;
            f.data = s.mid(i, 1);
            frames.append(f);
            ++i;
        }
        return frames;
    }
};

// The engine with a port that only takes bytes when told to: the queue it
// reports is everything emitted and not yet drained.
class Harness : public QObject
{
public:
    ZMODEM z;
    QByteArray out;     // everything emitted
    qint64 drained = 0; // bytes taken by the "driver"
    bool reportPending = false;

    Harness()
    {
        connect(&z, &Protocol::writeRequested, this, [this](const QByteArray& d) {
            out.append(d);
            if (reportPending)
                z.setPendingOutput(out.size() - drained);
        });
    }
    void drain(qint64 bytes)
    {
        drained = qMin<qint64>(out.size(), drained + bytes);
        z.setPendingOutput(out.size() - drained);
    }
    void drainAll() { drain(out.size()); }
    qint64 pending() const { return out.size() - drained; }
    // Frames emitted since `from`.
    QList<Frame> framesFrom(qsizetype from) const { return StreamDecoder().decode(out.mid(from)); }
};

} // namespace

class TestZmodem : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void settersClamp();
    void escapesTheControlBytes();
    void hexHeadersMatchKnownFrames();
    void binaryHeaderAndSubpacketChecks();
    void sendsFileInLayout();
    void zrposInEofStateResends();
    void zrposBeyondFileIsClamped();
    void hexHeaderCrcHandling();
    void binaryHeaderCrcIsChecked();
    void garbageAndTruncatedHeaders();
    void emptyFileSendsEofZero();
    void drainReportedInsideWrite();
    void timeoutRetryLimit();
    void nakRetryLimit();
    void receiverEndsTransfer_data();
    void receiverEndsTransfer();
    void receiverCancelSequence();
    void zskipEndsSession();
    void receiverCapabilities_data();
    void receiverCapabilities();
    void stalledLineFails();
    void zfinOnlyAnswersOurZfin();
    void sizeLimit();
    void cannotOpen();
    void userCancel();
    void pacingStopsAndResumes();
    void staleDataIsNoProgress();
    void repeatedZrposWaitsForRestart();
    void heldBackZrposIsServedOnEofTimeout();
    void timersWaitForDrain();
    void fileShrinks();
    void fileEmptiedWarns();
    void fileGrowsOrVanishes();

private:
    QString writeFile(const QString& name, const QByteArray& data);
    // Runs the handshake up to the ZDATA of offset 0.
    void handshake(Harness& h, const QString& path);

    QTemporaryDir m_dir;
};

void TestZmodem::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

QString TestZmodem::writeFile(const QString& name, const QByteArray& data)
{
    const QString path = m_dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    f.write(data);
    return path;
}

void TestZmodem::handshake(Harness& h, const QString& path)
{
    h.z.start(path);
    QCOMPARE(h.z.state(), int(ZMODEM::RqInitSent));
    h.z.handleReceivedData(rxHex(ZMODEM::ZRINIT, kLrzszCaps));
    QCOMPARE(h.z.state(), int(ZMODEM::FileSent));
    h.z.handleReceivedData(rxHex(ZMODEM::ZRPOS, 0));
}

void TestZmodem::settersClamp()
{
    ZMODEM z;
    QCOMPARE(z.name(), QStringLiteral("ZMODEM"));
    QCOMPARE(z.subpacketLength(), 1024);
    QCOMPARE(z.timeout(), 15000);
    QCOMPARE(z.retryLimit(), 10);
    QVERIFY(!z.isActive());
    z.setSubpacketLength(10);
    QCOMPARE(z.subpacketLength(), 64);
    z.setSubpacketLength(100000);
    QCOMPARE(z.subpacketLength(), 8192);
    z.setSubpacketLength(500);
    QCOMPARE(z.subpacketLength(), 500);
    z.setTimeout(500);
    QCOMPARE(z.timeout(), 1000);
    z.setTimeout(1001);
    QCOMPARE(z.timeout(), 1001);
    z.setRetryLimit(0);
    QCOMPARE(z.retryLimit(), 1);
    z.setRetryLimit(2);
    QCOMPARE(z.retryLimit(), 2);
}

void TestZmodem::escapesTheControlBytes()
{
    QCOMPARE(ZMODEM::escape(QByteArray("\x11", 1)), QByteArray("\x18\x51", 2));
    QCOMPARE(ZMODEM::escape(QByteArray("\x93", 1)), QByteArray("\x18\xD3", 2));
    QCOMPARE(ZMODEM::escape(QByteArray("\x18", 1)), QByteArray("\x18\x58", 2));
    const QList<int> escaped = {0x10, 0x11, 0x13, 0x18, 0x90, 0x91, 0x93};
    for (int b = 0; b < 256; ++b) {
        const QByteArray e = ZMODEM::escape(QByteArray(1, char(b)));
        if (escaped.contains(b))
            QCOMPARE(e, QByteArray(1, kZdle) + char(b ^ 0x40));
        else
            QCOMPARE(e, QByteArray(1, char(b)));
    }

    // Through the engine: the data bytes arrive escaped in the subpacket.
    Harness h;
    const QByteArray data("\x11\x93\x18\x41", 4);
    handshake(h, writeFile("esc.bin", data));
    QVERIFY(h.out.contains(QByteArray("\x18\x51\x18\xD3\x18\x58\x41", 7)));
    const QList<Frame> frames = StreamDecoder().decode(h.out);
    QByteArray payload;
    for (const Frame& f : frames)
        if (f.kind == Frame::Subpacket && f.end != 'k')
            payload += f.data;
    QCOMPARE(payload, data);
}

void TestZmodem::hexHeadersMatchKnownFrames()
{
    QCOMPARE(ZMODEM::hexHeader(ZMODEM::ZRQINIT, 0), QByteArray("**\x18"
                                                               "B00000000000000\r\n"));
    QCOMPARE(ZMODEM::hexHeader(ZMODEM::ZFIN, 0), QByteArray("**\x18"
                                                            "B0800000000022d\r\n"));
    const QByteArray h = ZMODEM::hexHeader(ZMODEM::ZRPOS, 0x12345678);
    const QList<Frame> f = StreamDecoder().decode(h);
    QCOMPARE(f.size(), 1);
    QCOMPARE(f[0].kind, Frame::Hex);
    QCOMPARE(f[0].type, int(ZMODEM::ZRPOS));
    QCOMPARE(f[0].arg, 0x12345678u);
    QVERIFY(f[0].crcOk);
}

void TestZmodem::binaryHeaderAndSubpacketChecks()
{
    // An argument that needs escaping inside the header.
    const QByteArray h = ZMODEM::binaryHeader(ZMODEM::ZDATA, 0x93181110u);
    QVERIFY(h.startsWith("**\x18"
                         "C"));
    QList<Frame> f = StreamDecoder().decode(h);
    QCOMPARE(f.size(), 1);
    QCOMPARE(f[0].kind, Frame::Bin32);
    QCOMPARE(f[0].arg, 0x93181110u);
    QVERIFY(f[0].crcOk);

    const QByteArray data = randomBytes(3000, 7);
    f = StreamDecoder().decode(ZMODEM::binaryHeader(ZMODEM::ZDATA, 0) + ZMODEM::dataSubpacket(data, 'h'));
    QCOMPARE(f.size(), 2);
    QCOMPARE(f[1].data, data);
    QCOMPARE(f[1].end, 'h');
    QVERIFY(f[1].crcOk);

    QCOMPARE(ZMODEM::cancelSequence(), QByteArray(5, kZdle) + QByteArray(5, '\b'));
    const QByteArray info = ZMODEM::fileInfo(QStringLiteral("ä.bin"), 2500, 8);
    QCOMPARE(info, QByteArray("\xc3\xa4.bin\0"
                              "2500 10 0 0 0 0\0",
                              23));
}

void TestZmodem::sendsFileInLayout()
{
    Harness h;
    QSignalSpy progress(&h.z, &Protocol::progressChanged);
    QSignalSpy status(&h.z, &Protocol::statusMessage);
    QSignalSpy finished(&h.z, &Protocol::finished);
    const QByteArray data = randomBytes(2500, 1);
    const QString path = writeFile("layout.bin", data);
    const qint64 mtime = QFileInfo(path).lastModified().toSecsSinceEpoch();
    h.z.setSubpacketLength(1024);
    h.z.start(path);
    QVERIFY(h.z.isActive());
    QCOMPARE(progress.size(), 1);
    QCOMPARE(progress[0][0].toLongLong(), 0);
    QCOMPARE(progress[0][1].toLongLong(), 2500);
    QVERIFY(h.out.startsWith("rz\r**\x18"
                             "B00000000000000\r\n"));
    QCOMPARE(status.last()[0].toString(), QStringLiteral("Sending ZRQINIT, waiting for receiver…"));

    qsizetype mark = h.out.size();
    h.z.handleReceivedData(rxHex(ZMODEM::ZRINIT, kLrzszCaps));
    QList<Frame> f = h.framesFrom(mark);
    QCOMPARE(f.size(), 2);
    QCOMPARE(f[0].kind, Frame::Bin32);
    QCOMPARE(f[0].type, int(ZMODEM::ZFILE));
    QVERIFY(f[0].crcOk);
    QCOMPARE(f[1].kind, Frame::Subpacket);
    QCOMPARE(f[1].end, 'k');
    QVERIFY(f[1].crcOk);
    QCOMPARE(f[1].data,
             QByteArray("layout.bin\0", 11) + "2500 " + QByteArray::number(mtime, 8) + " 0 0 0 0" + '\0');
    QCOMPARE(status[status.size() - 2][0].toString(), QStringLiteral("Receiver ready, sending file info…"));
    QCOMPARE(status.last()[0].toString(), QStringLiteral("Sending file info: layout.bin (2500 bytes)"));

    mark = h.out.size();
    h.z.handleReceivedData(rxHex(ZMODEM::ZRPOS, 0));
    QCOMPARE(status[status.size() - 2][0].toString(), QStringLiteral("Receiver requests data from offset 0"));
    f = h.framesFrom(mark);
    QCOMPARE(f.size(), 5);
    QCOMPARE(f[0].type, int(ZMODEM::ZDATA));
    QCOMPARE(f[0].arg, 0u);
    QCOMPARE(f[1].data.size(), 1024);
    QCOMPARE(f[1].end, 'i');
    QCOMPARE(f[2].data.size(), 1024);
    QCOMPARE(f[2].end, 'i');
    QCOMPARE(f[3].data.size(), 452);
    QCOMPARE(f[3].end, 'h');
    for (int i = 0; i < 4; ++i)
        QVERIFY(f[i].crcOk);
    QCOMPARE(f[1].data + f[2].data + f[3].data, data);
    QCOMPARE(f[4].kind, Frame::Bin32);
    QCOMPARE(f[4].type, int(ZMODEM::ZEOF));
    QCOMPARE(f[4].arg, 2500u);
    QVERIFY(f[4].crcOk);
    QCOMPARE(h.z.state(), int(ZMODEM::EofSent));
    QCOMPARE(progress.last()[0].toLongLong(), 2500);
    QCOMPARE(status.last()[0].toString(), QStringLiteral("File data sent, waiting for confirmation…"));

    mark = h.out.size();
    h.z.handleReceivedData(rxHex(ZMODEM::ZRINIT, kLrzszCaps));
    QCOMPARE(h.out.mid(mark), QByteArray("**\x18"
                                         "B0800000000022d\r\n"));
    QCOMPARE(h.z.state(), int(ZMODEM::FinSent));
    QCOMPARE(status.last()[0].toString(), QStringLiteral("Sending ZFIN…"));

    mark = h.out.size();
    h.z.handleReceivedData(rxHex(ZMODEM::ZFIN, 0));
    QCOMPARE(h.out.mid(mark), QByteArray("OO"));
    QCOMPARE(h.z.state(), int(ZMODEM::Done));
    QVERIFY(!h.z.isActive());
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished[0][0].toBool(), true);
    QCOMPARE(finished[0][1].toString(), QString());
    QCOMPARE(status.last()[0].toString(), QStringLiteral("Transfer complete"));
    QCOMPARE(h.z.retryCount(), 0);
}

void TestZmodem::zrposInEofStateResends()
{
    Harness h;
    const QByteArray data = randomBytes(2500, 2);
    handshake(h, writeFile("rpos.bin", data));
    QCOMPARE(h.z.state(), int(ZMODEM::EofSent));
    QSignalSpy progress(&h.z, &Protocol::progressChanged);
    const qsizetype mark = h.out.size();
    h.z.handleReceivedData(rxHex(ZMODEM::ZRPOS, 1024));
    QVERIFY(progress.size() >= 2);
    QCOMPARE(progress[0][0].toLongLong(), 1024); // back to the requested offset
    QCOMPARE(progress.last()[0].toLongLong(), 2500);
    const QList<Frame> f = h.framesFrom(mark);
    QCOMPARE(f.size(), 4);
    QCOMPARE(f[0].type, int(ZMODEM::ZDATA));
    QCOMPARE(f[0].arg, 1024u);
    QCOMPARE(f[1].data, data.mid(1024, 1024));
    QCOMPARE(f[1].end, 'i');
    QCOMPARE(f[2].data, data.mid(2048));
    QCOMPARE(f[2].end, 'h');
    QCOMPARE(f[3].type, int(ZMODEM::ZEOF));
    QCOMPARE(f[3].arg, 2500u);
    QCOMPARE(h.z.requestedOffset(), 1024);
}

void TestZmodem::zrposBeyondFileIsClamped()
{
    Harness h;
    QSignalSpy status(&h.z, &Protocol::statusMessage);
    handshake(h, writeFile("beyond.bin", randomBytes(2500, 3)));
    const qsizetype mark = h.out.size();
    h.z.handleReceivedData(rxHex(ZMODEM::ZRPOS, 99999));
    QCOMPARE(h.z.requestedOffset(), 2500);
    QVERIFY(status.contains(QVariantList{QStringLiteral("Receiver requests data from offset 2500")}));
    // ZDATA at the end, the empty subpacket a receiver reads after every
    // ZDATA, then ZEOF.
    const QList<Frame> f = h.framesFrom(mark);
    QCOMPARE(f.size(), 3);
    QCOMPARE(f[0].type, int(ZMODEM::ZDATA));
    QCOMPARE(f[0].arg, 2500u);
    QCOMPARE(f[1].kind, Frame::Subpacket);
    QCOMPARE(f[1].data.size(), 0);
    QCOMPARE(f[1].end, 'h');
    QVERIFY(f[1].crcOk);
    QCOMPARE(f[2].type, int(ZMODEM::ZEOF));
    QCOMPARE(f[2].arg, 2500u);
}

void TestZmodem::hexHeaderCrcHandling()
{
    Harness h;
    QSignalSpy status(&h.z, &Protocol::statusMessage);
    h.z.start(writeFile("hexcrc.bin", randomBytes(100, 4)));
    h.z.handleReceivedData(rxHex(ZMODEM::ZRINIT, kLrzszCaps));
    QCOMPARE(h.z.state(), int(ZMODEM::FileSent));

    // Valid hex with the wrong CRC: dropped with a message, nothing sent.
    QByteArray bad = rxHex(ZMODEM::ZRPOS, 0);
    bad.replace(4 + 10, 4, "beef");
    qsizetype mark = h.out.size();
    h.z.handleReceivedData(bad);
    QCOMPARE(h.out.size(), mark);
    QCOMPARE(status.last()[0].toString(), QStringLiteral("Hex header CRC mismatch, dropping frame"));
    QCOMPARE(h.z.state(), int(ZMODEM::FileSent));

    // A CRC field that is no hex at all: handled without a check.
    QByteArray noCrc = rxHex(ZMODEM::ZRPOS, 0);
    noCrc.replace(4 + 10, 4, "xyxy");
    h.z.handleReceivedData(noCrc);
    QCOMPARE(h.z.state(), int(ZMODEM::EofSent));
    const QList<Frame> f = h.framesFrom(mark);
    QVERIFY(f.size() >= 2);
    QCOMPARE(f[0].type, int(ZMODEM::ZDATA));
    QCOMPARE(f.last().type, int(ZMODEM::ZEOF));
}

void TestZmodem::binaryHeaderCrcIsChecked()
{
    Harness h;
    QSignalSpy status(&h.z, &Protocol::statusMessage);
    const QByteArray data = randomBytes(0x1900, 5);
    h.z.start(writeFile("bincrc.bin", data));
    h.z.handleReceivedData(rxHex(ZMODEM::ZRINIT, kLrzszCaps));

    // A ZRPOS whose offset got corrupted would resume at the wrong place: dropped.
    qsizetype mark = h.out.size();
    h.z.handleReceivedData(rxBin32(ZMODEM::ZRPOS, 0x1118, true));
    h.z.handleReceivedData(rxBin16(ZMODEM::ZRPOS, 0x1118, true));
    QCOMPARE(h.out.size(), mark);
    QCOMPARE(status.last()[0].toString(), QStringLiteral("Binary header CRC mismatch, dropping frame"));
    QCOMPARE(h.z.state(), int(ZMODEM::FileSent));

    // Good ones are handled, escaped argument bytes decoded.
    h.z.handleReceivedData(rxBin32(ZMODEM::ZRPOS, 0x1118));
    QCOMPARE(h.z.requestedOffset(), 0x1118);
    QList<Frame> f = h.framesFrom(mark);
    QCOMPARE(f[0].type, int(ZMODEM::ZDATA));
    QCOMPARE(f[0].arg, 0x1118u);
    QCOMPARE(f[1].data, data.mid(0x1118, 1024));

    mark = h.out.size();
    h.z.handleReceivedData(rxBin16(ZMODEM::ZRPOS, 0x1013));
    QCOMPARE(h.z.requestedOffset(), 0x1013);
    f = h.framesFrom(mark);
    QCOMPARE(f[0].arg, 0x1013u);
    QCOMPARE(f[1].data, data.mid(0x1013, 1024));
}

void TestZmodem::garbageAndTruncatedHeaders()
{
    Harness h;
    const QByteArray data = randomBytes(5000, 6);
    h.z.start(writeFile("garbage.bin", data));
    h.z.handleReceivedData(rxHex(ZMODEM::ZRINIT, kLrzszCaps));
    const qsizetype mark = h.out.size();

    // Random noise never makes the engine act.
    QRandomGenerator gen(42);
    for (int round = 0; round < 50; ++round) {
        QByteArray noise(1000, Qt::Uninitialized);
        for (char& c : noise) {
            c = char(gen.bounded(256));
            if (c == kZdle && gen.bounded(2)) // keep CAN runs short
                c = '*';
        }
        h.z.handleReceivedData(noise);
        h.z.handleReceivedData("\r\n");
    }
    // Truncated headers of each kind, then a good header right behind a cut one.
    h.z.handleReceivedData(rxHex(ZMODEM::ZRPOS, 100).left(10) + "\r\n");
    // A cut binary header swallows what follows until its length is reached,
    // then fails its CRC.
    h.z.handleReceivedData(rxBin32(ZMODEM::ZRPOS, 100).left(8));
    h.z.handleReceivedData(rxHex(ZMODEM::ZRPOS, 0).left(6));
    QCOMPARE(h.z.state(), int(ZMODEM::FileSent));
    QCOMPARE(h.out.size(), mark);
    // A cut hex header directly followed by a good one.
    h.z.handleReceivedData(rxHex(ZMODEM::ZRPOS, 100).left(12) + rxHex(ZMODEM::ZRPOS, 2048));
    QCOMPARE(h.z.state(), int(ZMODEM::EofSent));
    QCOMPARE(h.z.requestedOffset(), 2048);
    const QList<Frame> f = h.framesFrom(mark);
    QCOMPARE(f[0].arg, 2048u);
    QCOMPARE(f[1].data, data.mid(2048, 1024));
}

void TestZmodem::emptyFileSendsEofZero()
{
    Harness h;
    QSignalSpy progress(&h.z, &Protocol::progressChanged);
    h.z.start(writeFile("empty.bin", QByteArray()));
    QCOMPARE(progress.size(), 1);
    QCOMPARE(progress[0][1].toLongLong(), 0);
    h.z.handleReceivedData(rxHex(ZMODEM::ZRINIT, kLrzszCaps));
    const qsizetype mark = h.out.size();
    h.z.handleReceivedData(rxHex(ZMODEM::ZRPOS, 0));
    // No data, but the ZDATA still gets its (empty, ZCRCE) subpacket: rz
    // would otherwise read the ZEOF as data and the transfer would fail.
    const QList<Frame> f = h.framesFrom(mark);
    QCOMPARE(f.size(), 3);
    QCOMPARE(f[0].type, int(ZMODEM::ZDATA));
    QCOMPARE(f[1].kind, Frame::Subpacket);
    QCOMPARE(f[1].data, QByteArray());
    QCOMPARE(f[1].end, 'h');
    QVERIFY(f[1].crcOk);
    QCOMPARE(f[2].type, int(ZMODEM::ZEOF));
    QCOMPARE(f[2].arg, 0u);
    QCOMPARE(h.z.state(), int(ZMODEM::EofSent));
}

void TestZmodem::drainReportedInsideWrite()
{
    // A real port may have sent older bytes by the time the writer reports
    // the queue after a write, so the count can drop inside our own emit and
    // the data loop runs re-entrantly. The frame order must not suffer.
    for (int size : {0, 3000}) {
        ZMODEM z;
        QByteArray out;
        connect(&z, &Protocol::writeRequested, &z, [&](const QByteArray& d) {
            out.append(d);
            z.setPendingOutput(d.size()); // only this write still queued
        });
        z.start(writeFile(QStringLiteral("reentrant%1.bin").arg(size), randomBytes(size, 26)));
        z.handleReceivedData(rxHex(ZMODEM::ZRINIT, kLrzszCaps));
        z.setPendingOutput(500); // the ZFILE still queued, as last reported
        const qsizetype mark = out.size();
        z.handleReceivedData(rxHex(ZMODEM::ZRPOS, 0));
        while (z.state() == ZMODEM::SendingData)
            z.setPendingOutput(0);
        const QList<Frame> f = StreamDecoder().decode(out.mid(mark));
        QVERIFY(f.size() >= 3);
        QCOMPARE(f.first().type, int(ZMODEM::ZDATA));
        QCOMPARE(f.last().type, int(ZMODEM::ZEOF));
        QByteArray payload;
        for (int i = 1; i < f.size() - 1; ++i) {
            QCOMPARE(f[i].kind, Frame::Subpacket);
            QVERIFY(f[i].crcOk);
            payload += f[i].data;
        }
        QCOMPARE(f[f.size() - 2].end, 'h');
        QCOMPARE(payload.size(), size);
    }
}

void TestZmodem::timeoutRetryLimit()
{
    Harness h;
    QSignalSpy status(&h.z, &Protocol::statusMessage);
    QSignalSpy finished(&h.z, &Protocol::finished);
    h.z.setTimeout(1000);
    h.z.setRetryLimit(3);
    h.z.start(writeFile("silent.bin", randomBytes(10, 8)));
    QVERIFY(finished.wait(6000));
    QCOMPARE(finished[0][0].toBool(), false);
    QCOMPARE(finished[0][1].toString(), QStringLiteral("Timeout: no response from receiver"));
    QVERIFY(status.contains(QVariantList{QStringLiteral("Timeout, retrying (1/3)…")}));
    QVERIFY(status.contains(QVariantList{QStringLiteral("Timeout, retrying (2/3)…")}));
    QCOMPARE(status.last()[0].toString(), QStringLiteral("Transfer timed out"));
    QCOMPARE(h.out.count("rz\r**\x18"
                         "B00000000000000\r\n"),
             3);
    QVERIFY(h.out.endsWith(ZMODEM::cancelSequence()));
    QCOMPARE(h.z.state(), int(ZMODEM::Idle));
}

void TestZmodem::nakRetryLimit()
{
    Harness h;
    QSignalSpy status(&h.z, &Protocol::statusMessage);
    QSignalSpy finished(&h.z, &Protocol::finished);
    h.z.setRetryLimit(3);
    h.z.start(writeFile("nak.bin", randomBytes(10, 9)));
    h.z.handleReceivedData(rxHex(ZMODEM::ZRINIT, kLrzszCaps));
    qsizetype mark = h.out.size();
    h.z.handleReceivedData(rxHex(ZMODEM::ZNAK, 0));
    QCOMPARE(status[status.size() - 2][0].toString(), QStringLiteral("NAK received, retrying (1/3)…"));
    QList<Frame> f = h.framesFrom(mark);
    QCOMPARE(f.size(), 2); // ZFILE again with its info subpacket
    QCOMPARE(f[0].type, int(ZMODEM::ZFILE));
    h.z.handleReceivedData(rxHex(ZMODEM::ZNAK, 0));
    QCOMPARE(finished.size(), 0);
    mark = h.out.size();
    h.z.handleReceivedData(rxHex(ZMODEM::ZNAK, 0));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished[0][1].toString(), QStringLiteral("Maximum retries exceeded"));
    QCOMPARE(status.last()[0].toString(), QStringLiteral("Too many errors, transfer aborted"));
    QCOMPARE(h.out.mid(mark), ZMODEM::cancelSequence());
    QVERIFY(!h.z.isActive());
}

void TestZmodem::receiverEndsTransfer_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("ZABORT") << int(ZMODEM::ZABORT) << "Transfer cancelled by receiver"
                            << "Receiver cancelled the transfer";
    QTest::newRow("ZCAN") << int(ZMODEM::ZCAN) << "Transfer cancelled by receiver"
                          << "Receiver cancelled the transfer";
    QTest::newRow("ZFERR") << int(ZMODEM::ZFERR) << "Receiver reported a file error"
                           << "Receiver reported a file error";
}

void TestZmodem::receiverEndsTransfer()
{
    QFETCH(int, type);
    QFETCH(QString, status);
    QFETCH(QString, message);
    Harness h;
    h.reportPending = true;
    QSignalSpy statusSpy(&h.z, &Protocol::statusMessage);
    QSignalSpy finished(&h.z, &Protocol::finished);
    handshake(h, writeFile("ends.bin", randomBytes(500000, 10)));
    QCOMPARE(h.z.state(), int(ZMODEM::SendingData)); // held back by the queue
    h.z.handleReceivedData(rxHex(type, 0));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished[0][0].toBool(), false);
    QCOMPARE(finished[0][1].toString(), message);
    QCOMPARE(statusSpy.last()[0].toString(), status);
    QCOMPARE(h.z.state(), int(ZMODEM::Idle));
    // The data loop stays stopped when the queue drains afterwards.
    const qsizetype size = h.out.size();
    h.drainAll();
    QTest::qWait(20);
    QCOMPARE(h.out.size(), size);
}

void TestZmodem::receiverCancelSequence()
{
    Harness h;
    QSignalSpy finished(&h.z, &Protocol::finished);
    handshake(h, writeFile("can.bin", randomBytes(100, 11)));
    h.z.handleReceivedData(QByteArray(4, kZdle));
    QCOMPARE(finished.size(), 0);
    h.z.handleReceivedData(QByteArray(1, kZdle) + QByteArray(5, kZdle) + QByteArray(10, '\b'));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished[0][1].toString(), QStringLiteral("Receiver cancelled the transfer"));
}

void TestZmodem::zskipEndsSession()
{
    Harness h;
    QSignalSpy status(&h.z, &Protocol::statusMessage);
    QSignalSpy finished(&h.z, &Protocol::finished);
    h.z.start(writeFile("skip.bin", randomBytes(100, 12)));
    h.z.handleReceivedData(rxHex(ZMODEM::ZRINIT, kLrzszCaps));
    const qsizetype mark = h.out.size();
    h.z.handleReceivedData(rxHex(ZMODEM::ZSKIP, 0));
    QCOMPARE(status[status.size() - 2][0].toString(), QStringLiteral("Receiver skipped the file"));
    QCOMPARE(h.out.mid(mark), ZMODEM::hexHeader(ZMODEM::ZFIN, 0));
    QCOMPARE(h.z.state(), int(ZMODEM::FinSent));
    h.z.handleReceivedData(rxHex(ZMODEM::ZFIN, 0));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(h.out.right(2), QByteArray("OO"));
    // The session ends cleanly, but the file was not sent: a failure.
    QCOMPARE(finished[0][0].toBool(), false);
    QCOMPARE(finished[0][1].toString(), QStringLiteral("Receiver skipped the file"));
    QVERIFY(h.z.fileSkipped());
    QVERIFY(!h.z.isActive());
}

void TestZmodem::receiverCapabilities_data()
{
    QTest::addColumn<quint32>("zrinit");
    QTest::addColumn<int>("subpacket");
    QTest::addColumn<int>("maxPacket");   // no subpacket larger than this
    QTest::addColumn<int>("segment");     // most data between ZACKs; 0 = a stream
    QTest::addColumn<bool>("everyWaits"); // every subpacket ends with ZCRCW
    QTest::addColumn<int>("acks");        // for a file of 20000 bytes
    const quint32 fdxOvio = 0x03000000u;
    QTest::newRow("lrzsz streams") << kLrzszCaps << 1024 << 1024 << 0 << false << 0;
    QTest::newRow("buffer 4096") << (fdxOvio | 4096u) << 1024 << 1024 << 4096 << false << 4;
    QTest::newRow("buffer 3000") << (fdxOvio | 3000u) << 1024 << 1024 << 3000 << false << 6;
    QTest::newRow("buffer below subpacket") << (fdxOvio | 600u) << 1024 << 600 << 600 << false << 33;
    QTest::newRow("no CANOVIO") << 0x01000000u << 512 << 512 << 512 << true << 40;
    QTest::newRow("no CANFDX") << 0x02000000u << 512 << 512 << 512 << true << 40;
    QTest::newRow("nothing declared") << 0u << 1024 << 1024 << 1024 << true << 20;
}

void TestZmodem::receiverCapabilities()
{
    QFETCH(quint32, zrinit);
    QFETCH(int, subpacket);
    QFETCH(int, maxPacket);
    QFETCH(int, segment);
    QFETCH(bool, everyWaits);
    QFETCH(int, acks);
    Harness h;
    QSignalSpy finished(&h.z, &Protocol::finished);
    const QByteArray data = randomBytes(20000, 26);
    h.z.setSubpacketLength(subpacket);
    h.z.start(writeFile("caps.bin", data));
    h.z.handleReceivedData(rxHex(ZMODEM::ZRINIT, zrinit));
    qsizetype mark = h.out.size();
    h.z.handleReceivedData(rxHex(ZMODEM::ZRPOS, 0));

    // A scripted receiver: after a ZCRCW nothing may follow until it has
    // answered with ZACK; it answers each one with the offset it holds.
    QByteArray payload;
    qint64 sinceAck = 0;
    int acked = 0;
    bool eof = false;
    for (int round = 0; round < 1000 && !eof; ++round) {
        const QList<Frame> frames = h.framesFrom(mark);
        mark = h.out.size();
        bool waiting = false;
        for (const Frame& f : frames) {
            QVERIFY2(!waiting, "data went out before the ZACK");
            if (f.kind == Frame::Bin32 && f.type == ZMODEM::ZEOF)
                eof = true;
            if (f.kind != Frame::Subpacket)
                continue;
            QVERIFY(f.crcOk);
            QVERIFY2(f.data.size() <= maxPacket, qPrintable(QString::number(f.data.size())));
            payload += f.data;
            sinceAck += f.data.size();
            if (segment > 0)
                QVERIFY2(sinceAck <= segment, qPrintable(QString::number(sinceAck)));
            if (everyWaits)
                QCOMPARE(f.end, 'k');
            if (f.end == 'k') {
                QVERIFY(segment > 0);
                waiting = true;
                sinceAck = 0;
            }
        }
        if (waiting) {
            QCOMPARE(h.z.state(), int(ZMODEM::WaitingForAck));
            ++acked;
            h.z.handleReceivedData(rxHex(ZMODEM::ZACK, quint32(payload.size())));
        }
    }
    QVERIFY(eof);
    QCOMPARE(payload, data);
    QCOMPARE(acked, acks);
    h.z.handleReceivedData(rxHex(ZMODEM::ZRINIT, zrinit));
    h.z.handleReceivedData(rxHex(ZMODEM::ZFIN, 0));
    QCOMPARE(finished.size(), 1);
    QVERIFY(finished[0][0].toBool());
}

void TestZmodem::stalledLineFails()
{
    // The port takes the first window and then nothing more: the receiver
    // stopped reading. No response timer runs for queued output, so only
    // the stall watch can end this.
    Harness h;
    h.reportPending = true;
    h.z.setTimeout(1000);
    QSignalSpy finished(&h.z, &Protocol::finished);
    QSignalSpy status(&h.z, &Protocol::statusMessage);
    handshake(h, writeFile("stall.bin", randomBytes(1 << 20, 27)));
    QCOMPARE(h.z.state(), int(ZMODEM::SendingData));
    h.drain(1000); // some movement first: the watch starts over
    QVERIFY(finished.isEmpty());
    QVERIFY(finished.wait(5000));
    QCOMPARE(finished[0][0].toBool(), false);
    QCOMPARE(finished[0][1].toString(), QStringLiteral("Transfer stalled: no progress for 1 s"));
    QCOMPARE(status.last()[0].toString(), QStringLiteral("Transfer stalled: no progress for 1 s"));
    QVERIFY(h.out.endsWith(ZMODEM::cancelSequence()));
    QVERIFY(!h.z.isActive());
}

void TestZmodem::zfinOnlyAnswersOurZfin()
{
    Harness h;
    QSignalSpy finished(&h.z, &Protocol::finished);
    handshake(h, writeFile("zfin.bin", randomBytes(100, 13)));
    QCOMPARE(h.z.state(), int(ZMODEM::EofSent));
    h.z.handleReceivedData(rxHex(ZMODEM::ZFIN, 0));
    QCOMPARE(finished.size(), 0); // the file is not confirmed yet
    QCOMPARE(h.z.state(), int(ZMODEM::EofSent));
    // A repeated ZRINIT in state 2 is no answer either and leaves the timer alone.
    Harness h2;
    h2.z.setTimeout(1000);
    QSignalSpy status(&h2.z, &Protocol::statusMessage);
    h2.z.start(writeFile("zfin2.bin", randomBytes(100, 14)));
    h2.z.handleReceivedData(rxHex(ZMODEM::ZRINIT, kLrzszCaps));
    h2.z.handleReceivedData(rxHex(ZMODEM::ZRINIT, kLrzszCaps));
    QTRY_VERIFY_WITH_TIMEOUT(status.contains(QVariantList{QStringLiteral("Timeout, retrying (1/10)…")}),
                             3000);
    QCOMPARE(h2.z.state(), int(ZMODEM::FileSent));
}

void TestZmodem::sizeLimit()
{
    const QString okPath = m_dir.filePath("limit-ok.bin");
    const QString bigPath = m_dir.filePath("limit-big.bin");
    {
        QFile f(okPath);
        QVERIFY(f.open(QIODevice::WriteOnly));
        if (!f.resize(Q_INT64_C(4294967295)))
            QSKIP("No sparse files here");
        QFile g(bigPath);
        QVERIFY(g.open(QIODevice::WriteOnly));
        QVERIFY(g.resize(Q_INT64_C(4294967296)));
    }
    {
        Harness h;
        QSignalSpy progress(&h.z, &Protocol::progressChanged);
        QSignalSpy finished(&h.z, &Protocol::finished);
        h.z.start(okPath);
        QVERIFY(h.z.isActive());
        QCOMPARE(finished.size(), 0);
        QCOMPARE(progress.size(), 1);
        QCOMPARE(progress[0][1].toLongLong(), Q_INT64_C(4294967295));
        h.z.handleReceivedData(rxHex(ZMODEM::ZRINIT, kLrzszCaps));
        QVERIFY(h.out.contains("4294967295 "));
        // The ZEOF argument must carry the full 32-bit size.
        const qsizetype mark = h.out.size();
        h.z.handleReceivedData(rxHex(ZMODEM::ZRPOS, 0xFFFFFFFFu));
        const QList<Frame> f = h.framesFrom(mark);
        QCOMPARE(f.last().type, int(ZMODEM::ZEOF));
        QCOMPARE(f.last().arg, 0xFFFFFFFFu);
        h.z.cancel();
    }
    {
        Harness h;
        QSignalSpy finished(&h.z, &Protocol::finished);
        h.z.start(bigPath);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished[0][0].toBool(), false);
        QCOMPARE(finished[0][1].toString(),
                 QStringLiteral("File is too large for ZMODEM (4294967296 bytes, limit 4 GiB)."));
        QVERIFY(h.out.isEmpty());
        QVERIFY(!h.z.isActive());
    }
    QFile::remove(okPath);
    QFile::remove(bigPath);
}

void TestZmodem::cannotOpen()
{
    Harness h;
    QSignalSpy finished(&h.z, &Protocol::finished);
    h.z.start(m_dir.filePath("missing.bin"));
    QCOMPARE(finished.size(), 1);
    QVERIFY(finished[0][1].toString().startsWith(QStringLiteral("Cannot open file: ")));
    QVERIFY(h.out.isEmpty());
    QVERIFY(!h.z.isActive());
}

void TestZmodem::userCancel()
{
    Harness h;
    QSignalSpy finished(&h.z, &Protocol::finished);
    QSignalSpy status(&h.z, &Protocol::statusMessage);
    h.z.cancel(); // nothing when idle
    QVERIFY(h.out.isEmpty());
    QCOMPARE(finished.size(), 0);
    h.z.start(writeFile("cancel.bin", randomBytes(100, 15)));
    h.z.cancel();
    QVERIFY(h.out.endsWith(ZMODEM::cancelSequence()));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished[0][1].toString(), QStringLiteral("Transfer cancelled by user"));
    QCOMPARE(status.last()[0].toString(), QStringLiteral("Transfer cancelled"));
    QVERIFY(!h.z.isActive());
}

void TestZmodem::pacingStopsAndResumes()
{
    Harness h;
    h.reportPending = true;
    QSignalSpy progress(&h.z, &Protocol::progressChanged);
    const QByteArray data = randomBytes(1 << 20, 16);
    handshake(h, writeFile("paced.bin", data));
    QCOMPARE(h.z.state(), int(ZMODEM::SendingData));
    // Only a small window is queued, and nothing of it counts as sent yet.
    const qsizetype queued = h.out.size();
    QVERIFY(h.z.currentOffset() > 0);
    QVERIFY(h.z.currentOffset() <= 128 * 1024);
    QTest::qWait(50);
    QCOMPARE(h.out.size(), queued);
    QCOMPARE(h.z.bytesConfirmedSent(), 0);

    // Draining the port lets the loop go on; progress follows the drained
    // bytes, never ahead of the offset read and never backwards.
    qint64 last = 0;
    int rounds = 0;
    while (h.z.state() == ZMODEM::SendingData && rounds < 10000) {
        h.drain(5000);
        QVERIFY(h.z.bytesConfirmedSent() >= last);
        QVERIFY(h.z.bytesConfirmedSent() <= h.z.currentOffset());
        QVERIFY(h.pending() <= 128 * 1024);
        last = h.z.bytesConfirmedSent();
        ++rounds;
    }
    QCOMPARE(h.z.state(), int(ZMODEM::EofSent));
    QVERIFY(h.z.bytesConfirmedSent() < data.size()); // ZEOF still queued
    h.drainAll();
    QCOMPARE(h.z.bytesConfirmedSent(), data.size());
    QCOMPARE(progress.last()[0].toLongLong(), data.size());
    for (int i = 1; i < progress.size(); ++i)
        QVERIFY(progress[i][0].toLongLong() >= progress[i - 1][0].toLongLong());

    QByteArray payload;
    for (const Frame& f : StreamDecoder().decode(h.out))
        if (f.kind == Frame::Subpacket && f.end != 'k') {
            QVERIFY(f.crcOk);
            payload += f.data;
        }
    QCOMPARE(payload, data);
}

void TestZmodem::staleDataIsNoProgress()
{
    Harness h;
    h.reportPending = true;
    const QByteArray data = randomBytes(1 << 20, 17);
    handshake(h, writeFile("stale.bin", data));
    for (int i = 0; i < 20; ++i)
        h.drain(5000);
    const qint64 reached = h.z.bytesConfirmedSent();
    QVERIFY(reached > 8192);
    const qint64 stale = h.pending();
    QVERIFY(stale > 0);

    QSignalSpy progress(&h.z, &Protocol::progressChanged);
    h.z.handleReceivedData(rxHex(ZMODEM::ZRPOS, 4096));
    QCOMPARE(progress.size(), 1);
    QCOMPARE(progress[0][0].toLongLong(), 4096);
    // The old data leaving the port is not progress of the new position.
    h.drain(stale);
    QCOMPARE(h.z.bytesConfirmedSent(), 4096);
    h.drain(70000);
    QVERIFY(h.z.bytesConfirmedSent() > 4096);
    while (h.z.state() == ZMODEM::SendingData)
        h.drain(50000);
    h.drainAll();
    QCOMPARE(h.z.bytesConfirmedSent(), data.size());
    // What follows the ZRPOS is the file from 4096 on, in order.
    const qsizetype zdata = h.out.lastIndexOf(ZMODEM::binaryHeader(ZMODEM::ZDATA, 4096));
    QVERIFY(zdata > 0);
    QByteArray payload;
    for (const Frame& f : StreamDecoder().decode(h.out.mid(zdata))) {
        if (f.kind == Frame::Subpacket) {
            QVERIFY(f.crcOk);
            payload += f.data;
        }
    }
    QCOMPARE(payload, data.mid(4096));
}

void TestZmodem::repeatedZrposWaitsForRestart()
{
    Harness h;
    h.reportPending = true;
    const QByteArray data = randomBytes(1 << 20, 23);
    handshake(h, writeFile("repeat.bin", data));
    for (int i = 0; i < 10; ++i)
        h.drain(5000);
    const QByteArray zdata8192 = ZMODEM::binaryHeader(ZMODEM::ZDATA, 8192);
    const QByteArray zdata9216 = ZMODEM::binaryHeader(ZMODEM::ZDATA, 9216);

    h.z.handleReceivedData(rxHex(ZMODEM::ZRPOS, 8192));
    QCOMPARE(h.out.count(zdata8192), 1);
    // The receiver asks again while our restart is still on its way (lrzsz
    // does so when the old data looks like too much garbage): restarting once
    // more would cut into the stream it is about to accept.
    h.z.handleReceivedData(rxHex(ZMODEM::ZRPOS, 8192));
    h.drain(20000);
    h.z.handleReceivedData(rxHex(ZMODEM::ZRPOS, 8192));
    QCOMPARE(h.out.count(zdata8192), 1);
    QCOMPARE(h.z.state(), int(ZMODEM::SendingData));

    // A different offset is a new request and honoured at once.
    h.z.handleReceivedData(rxHex(ZMODEM::ZRPOS, 9216));
    QCOMPARE(h.out.count(zdata9216), 1);
    h.z.handleReceivedData(rxHex(ZMODEM::ZRPOS, 9216));
    QCOMPARE(h.out.count(zdata9216), 1);
    // Once plenty has left since the restart, a repeat means the restart
    // itself was lost, and it is honoured.
    for (int i = 0; i < 40 && h.z.state() == ZMODEM::SendingData; ++i)
        h.drain(5000);
    QCOMPARE(h.z.state(), int(ZMODEM::SendingData));
    h.z.handleReceivedData(rxHex(ZMODEM::ZRPOS, 9216));
    QCOMPARE(h.out.count(zdata9216), 2);
    QCOMPARE(h.z.bytesConfirmedSent(), 9216);

    // After ZEOF a repeat is always honoured: nothing streams any more.
    Harness small;
    const QByteArray tiny = randomBytes(3000, 24);
    handshake(small, writeFile("repeat-small.bin", tiny));
    small.z.handleReceivedData(rxHex(ZMODEM::ZRPOS, 1000));
    QCOMPARE(small.z.state(), int(ZMODEM::EofSent));
    small.z.handleReceivedData(rxHex(ZMODEM::ZRPOS, 1000));
    QCOMPARE(small.out.count(ZMODEM::binaryHeader(ZMODEM::ZDATA, 1000)), 2);
    QCOMPARE(small.z.state(), int(ZMODEM::EofSent));
}

void TestZmodem::heldBackZrposIsServedOnEofTimeout()
{
    Harness h;
    h.reportPending = true;
    h.z.setTimeout(1000);
    QSignalSpy status(&h.z, &Protocol::statusMessage);
    const QByteArray data = randomBytes(60000, 25);
    handshake(h, writeFile("held.bin", data));
    h.z.handleReceivedData(rxHex(ZMODEM::ZRPOS, 2048));
    h.z.handleReceivedData(rxHex(ZMODEM::ZRPOS, 2048)); // held back
    const QByteArray zdata2048 = ZMODEM::binaryHeader(ZMODEM::ZDATA, 2048);
    QCOMPARE(h.out.count(zdata2048), 1);
    while (h.z.state() == ZMODEM::SendingData)
        h.drain(8000);
    QCOMPARE(h.z.state(), int(ZMODEM::EofSent));
    h.drainAll();
    // The receiver never confirms: it still wants 2048 and ignores our ZEOF.
    // The time-out serves the held-back request instead of repeating ZEOF.
    QTRY_COMPARE_WITH_TIMEOUT(h.out.count(zdata2048), 2, 3000);
    QVERIFY(status.contains(QVariantList{QStringLiteral("Timeout, retrying (1/10)…")}));
    QCOMPARE(h.z.bytesConfirmedSent(), 2048);
    while (h.z.state() == ZMODEM::SendingData)
        h.drain(8000);
    h.drainAll();
    QCOMPARE(h.z.state(), int(ZMODEM::EofSent));
    QByteArray payload;
    for (const Frame& f : StreamDecoder().decode(h.out.mid(h.out.lastIndexOf(zdata2048))))
        if (f.kind == Frame::Subpacket)
            payload += f.data;
    QCOMPARE(payload, data.mid(2048));
    // A second time-out without any held-back request repeats ZEOF as usual.
    const qsizetype mark = h.out.size();
    QTRY_VERIFY_WITH_TIMEOUT(h.out.size() > mark, 3000);
    const QList<Frame> f = h.framesFrom(mark);
    QCOMPARE(f.size(), 1);
    QCOMPARE(f[0].type, int(ZMODEM::ZEOF));
}

void TestZmodem::timersWaitForDrain()
{
    Harness h;
    h.reportPending = true;
    QSignalSpy status(&h.z, &Protocol::statusMessage);
    h.z.setTimeout(1000);
    handshake(h, writeFile("drain.bin", randomBytes(300000, 18)));
    while (h.z.state() == ZMODEM::SendingData)
        h.drain(10000);
    QCOMPARE(h.z.state(), int(ZMODEM::EofSent));
    QVERIFY(h.pending() > 0);
    // Our ZEOF is still queued and the line moves slowly: no time-out may
    // run for it (and no stall either).
    for (int i = 0; i < 8; ++i) {
        QTest::qWait(200);
        h.drain(1);
    }
    QVERIFY(h.pending() > 0);
    for (const QVariantList& s : status)
        QVERIFY(!s[0].toString().startsWith(QStringLiteral("Timeout")));
    const qsizetype mark = h.out.size();
    h.drainAll();
    QTRY_VERIFY_WITH_TIMEOUT(status.contains(QVariantList{QStringLiteral("Timeout, retrying (1/10)…")}),
                             3000);
    const QList<Frame> f = h.framesFrom(mark);
    QCOMPARE(f.size(), 1);
    QCOMPARE(f[0].type, int(ZMODEM::ZEOF));
    QCOMPARE(f[0].arg, 300000u);
}

void TestZmodem::fileShrinks()
{
    Harness h;
    h.reportPending = true;
    QSignalSpy finished(&h.z, &Protocol::finished);
    const QString path = writeFile("shrink.bin", randomBytes(400000, 19));
    handshake(h, path);
    const qint64 offset = h.z.currentOffset();
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.resize(offset + 1000));
    }
    for (int i = 0; i < 100 && finished.isEmpty(); ++i)
        h.drain(20000);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished[0][0].toBool(), false);
    QCOMPARE(finished[0][1].toString(),
             QStringLiteral("File ended early at offset %1 (expected 400000 bytes)").arg(offset + 1000));
    QVERIFY(h.out.endsWith(ZMODEM::cancelSequence()));
    QVERIFY(!h.z.isActive());
}

void TestZmodem::fileEmptiedWarns()
{
    Harness h;
    h.reportPending = true;
    QSignalSpy finished(&h.z, &Protocol::finished);
    const QString path = writeFile("emptied.bin", randomBytes(400000, 20));
    handshake(h, path);
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.resize(0));
    }
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(
                                           "^\\[ZMODEM\\] File read returned empty data at offset")));
    h.drainAll();
    QCOMPARE(finished.size(), 1);
    QVERIFY(finished[0][1].toString().startsWith(QStringLiteral("File ended early at offset")));
    // A ZRPOS after the end changes nothing.
    const qsizetype size = h.out.size();
    h.z.handleReceivedData(rxHex(ZMODEM::ZRPOS, 0));
    QCOMPARE(h.out.size(), size);
}

void TestZmodem::fileGrowsOrVanishes()
{
    // Growing: only the size offered in ZFILE is sent.
    {
        Harness h;
        h.reportPending = true;
        const QByteArray data = randomBytes(300000, 21);
        const QString path = writeFile("grow.bin", data);
        handshake(h, path);
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::Append));
            f.write(QByteArray(50000, 'x'));
        }
        while (h.z.state() == ZMODEM::SendingData)
            h.drain(30000);
        QCOMPARE(h.z.state(), int(ZMODEM::EofSent));
        QByteArray payload;
        for (const Frame& f : StreamDecoder().decode(h.out))
            if (f.kind == Frame::Subpacket && f.end != 'k')
                payload += f.data;
        QCOMPARE(payload, data);
        QCOMPARE(StreamDecoder().decode(h.out).last().arg, 300000u);
    }
    // Removed from the directory: the open file still reads to the end.
    {
        Harness h;
        h.reportPending = true;
        const QByteArray data = randomBytes(300000, 22);
        const QString path = writeFile("vanish.bin", data);
        handshake(h, path);
        QVERIFY(QFile::remove(path));
        while (h.z.state() == ZMODEM::SendingData)
            h.drain(30000);
        QCOMPARE(h.z.state(), int(ZMODEM::EofSent));
        QByteArray payload;
        for (const Frame& f : StreamDecoder().decode(h.out))
            if (f.kind == Frame::Subpacket && f.end != 'k')
                payload += f.data;
        QCOMPARE(payload, data);
    }
}

QTEST_GUILESS_MAIN(TestZmodem)
#include "tst_zmodem.moc"
