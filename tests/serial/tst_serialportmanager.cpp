#include "PermissionDrop.h"
#include "PtyPair.h"
#include "SerialPortManager.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>

#include <termios.h>

namespace {

QStringList g_messages;
QtMessageHandler g_previous = nullptr;

void collect(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    g_messages << message;
    if (g_previous)
        g_previous(type, context, message);
}

// The line settings the slave end really has (a pty's master reports them).
// A pty keeps speed and stop bits but forces 8 data bits without parity, so
// those two are read back from the port object instead.
struct termios lineOf(const PtyPair& pty)
{
    struct termios tio;
    ::memset(&tio, 0, sizeof tio);
    ::tcgetattr(pty.masterFd(), &tio);
    return tio;
}

speed_t speedOf(const PtyPair& pty)
{
    const struct termios tio = lineOf(pty);
    return cfgetospeed(&tio);
}

} // namespace

class TestSerialPortManager : public QObject
{
    Q_OBJECT

    // Ptys are opened through links in a private folder: QSerialPort locks a
    // port by its name, and /dev/pts numbers are shared with every other process.
    QTemporaryDir m_dir;
    int m_links = 0;
    QString nextLink() { return m_dir.filePath(QStringLiteral("tty%1").arg(++m_links)); }

private Q_SLOTS:
    void init()
    {
        g_messages.clear();
        g_previous = qInstallMessageHandler(collect);
    }
    void cleanup() { qInstallMessageHandler(g_previous); }

    void openCloseReopenSignals()
    {
        PtyPair pty;
        QVERIFY(pty.open(nextLink()));
        SerialPortManager m;
        QSignalSpy connected(&m, &SerialPortManager::connected);
        QSignalSpy disconnected(&m, &SerialPortManager::disconnected);

        QVERIFY(m.openPort(pty.path(), "9600", "8", "None", "1", "None"));
        QVERIFY(m.isOpen());
        QCOMPARE(connected.count(), 1);
        QCOMPARE(disconnected.count(), 0);
        QCOMPARE(speedOf(pty), speed_t(B9600));

        m.closePort();
        QVERIFY(!m.isOpen());
        QCOMPARE(disconnected.count(), 1);
        QVERIFY(g_messages.contains("[SerialPortManager] Serial port closed"));

        QVERIFY(m.openPort(pty.path(), "115200", "8", "None", "1", "None"));
        QCOMPARE(connected.count(), 2);
        QCOMPARE(speedOf(pty), speed_t(B115200));
    }

    void closeOnClosedPortStillEmitsDisconnected()
    {
        SerialPortManager m;
        QSignalSpy disconnected(&m, &SerialPortManager::disconnected);
        m.closePort();
        QCOMPARE(disconnected.count(), 1);
        QVERIFY(g_messages.contains("[SerialPortManager] Send disconnected signal"));
        QVERIFY(!g_messages.contains("[SerialPortManager] Serial port closed"));
    }

    void emptyWriteEmitsZero()
    {
        PtyPair pty;
        QVERIFY(pty.open(nextLink()));
        SerialPortManager m;
        QVERIFY(m.openPort(pty.path(), "115200", "8", "None", "1", "None"));
        QSignalSpy tx(&m, &SerialPortManager::txLengthChanged);
        QVERIFY(m.write(QByteArray()));
        QCOMPARE(tx.count(), 1);
        QCOMPARE(tx.at(0).at(0).toULongLong(), 0ull);
    }

    void writeCountsAndBytesReachTheDevice()
    {
        PtyPair pty;
        QVERIFY(pty.open(nextLink()));
        SerialPortManager m;
        QVERIFY(m.openPort(pty.path(), "115200", "8", "None", "1", "None"));
        QSignalSpy tx(&m, &SerialPortManager::txLengthChanged);

        QVERIFY(m.write(QByteArray("hello\x00\xff", 7)));
        // Text goes out as UTF-8: "ä€" is five bytes.
        QVERIFY(m.write(QString::fromUtf8("\xc3\xa4\xe2\x82\xac")));
        QCOMPARE(tx.count(), 2);
        QCOMPARE(tx.at(0).at(0).toULongLong(), 7ull);
        QCOMPARE(tx.at(1).at(0).toULongLong(), 5ull);

        // The port writes from the event loop; keep it turning while the master reads.
        QByteArray got;
        QTRY_VERIFY_WITH_TIMEOUT((got += pty.readSome(1, 20)).size() >= 12, 5000);
        QCOMPARE(got, QByteArray("hello\x00\xff\xc3\xa4\xe2\x82\xac", 12));
    }

    void writeOnClosedPortFails()
    {
        SerialPortManager m;
        QSignalSpy tx(&m, &SerialPortManager::txLengthChanged);
        QVERIFY(!m.write(QByteArray("x")));
        QCOMPARE(tx.count(), 0);
        QVERIFY(
            g_messages.contains("[SerialPortManager] Failed to send data because serial port is not opened"));
    }

    void dataBitsOutsideTableKeepPreviousAndStillOpen()
    {
        PtyPair pty;
        QVERIFY(pty.open(nextLink()));
        SerialPortManager m;
        QVERIFY(m.openPort(pty.path(), "9600", "7", "None", "2", "None"));
        QCOMPARE(m.port()->dataBits(), QSerialPort::Data7);
        m.closePort();

        QSignalSpy connected(&m, &SerialPortManager::connected);
        QVERIFY(m.openPort(pty.path(), "9600", "9", "Bogus", "3", "Magic"));
        QCOMPARE(connected.count(), 1);
        QCOMPARE(m.port()->dataBits(), QSerialPort::Data7);
        QCOMPARE(m.port()->parity(), QSerialPort::NoParity);
        QCOMPARE(m.port()->stopBits(), QSerialPort::TwoStop);
        QVERIFY(lineOf(pty).c_cflag & CSTOPB);
        QCOMPARE(m.port()->flowControl(), QSerialPort::NoFlowControl);
    }

    void setterTablesAndOpenPortChanges()
    {
        PtyPair pty;
        QVERIFY(pty.open(nextLink()));
        SerialPortManager m;
        QVERIFY(!m.setDataBits("9"));
        QVERIFY(!m.setParity("none")); // texts are exact
        QVERIFY(!m.setStopBits("3"));
        QVERIFY(!m.setFlowControl("RTS"));
        QVERIFY(m.openPort(pty.path(), "9600", "8", "None", "1", "None"));

        // Changes reach an open port at once.
        QVERIFY(m.setDataBits("5"));
        QCOMPARE(m.port()->dataBits(), QSerialPort::Data5);
        QVERIFY(m.setParity("Odd"));
        QCOMPARE(m.port()->parity(), QSerialPort::OddParity);
        QVERIFY(m.setFlowControl("Software"));
        QCOMPARE(m.port()->flowControl(), QSerialPort::SoftwareControl);
        QVERIFY(lineOf(pty).c_iflag & IXON);
        QVERIFY(!(lineOf(pty).c_cflag & CSTOPB));
        QVERIFY(m.setStopBits("2"));
        QVERIFY(lineOf(pty).c_cflag & CSTOPB);
        QVERIFY(m.setBaudRate(57600));
        QCOMPARE(speedOf(pty), speed_t(B57600));
    }

    void openOnOpenPortEmitsConnectedOnceAndNoDisconnected()
    {
        PtyPair pty;
        QVERIFY(pty.open(nextLink()));
        SerialPortManager m;
        QVERIFY(m.openPort(pty.path(), "9600", "8", "None", "1", "None"));
        QSignalSpy connected(&m, &SerialPortManager::connected);
        QSignalSpy disconnected(&m, &SerialPortManager::disconnected);

        QVERIFY(m.openPort(pty.path(), "19200", "8", "Even", "2", "None"));
        QCOMPARE(connected.count(), 1);
        QCOMPARE(disconnected.count(), 0);
        QVERIFY(m.isOpen());
        QCOMPARE(speedOf(pty), speed_t(B19200));
        QVERIFY(lineOf(pty).c_cflag & CSTOPB);
        QCOMPARE(m.port()->parity(), QSerialPort::EvenParity);
    }

    void dataFromDeviceIsReceivedAndCounted()
    {
        PtyPair pty;
        QVERIFY(pty.open(nextLink()));
        SerialPortManager m;
        QVERIFY(m.openPort(pty.path(), "115200", "8", "None", "1", "None"));

        QStringList order;
        QByteArray data;
        qulonglong counted = 0;
        connect(&m, &SerialPortManager::dataReceived, this, [&](const QByteArray& chunk) {
            QVERIFY(!chunk.isEmpty());
            order << "data";
            data += chunk;
        });
        connect(&m, &SerialPortManager::rxLengthChanged, this, [&](qulonglong n) {
            order << "rx";
            counted += n;
        });

        const QByteArray sent("line one\r\n\x01\x02\xfe", 13);
        QVERIFY(pty.writeAll(sent));
        QTRY_COMPARE_WITH_TIMEOUT(data.size(), sent.size(), 5000);
        QCOMPARE(data, sent);
        QCOMPARE(counted, qulonglong(sent.size()));
        for (int i = 0; i < order.size(); i += 2) {
            QCOMPARE(order.at(i), QStringLiteral("data"));
            QCOMPARE(order.at(i + 1), QStringLiteral("rx"));
        }
    }

    void timeoutIsNotReported()
    {
        PtyPair pty;
        QVERIFY(pty.open(nextLink()));
        SerialPortManager m;
        QVERIFY(m.openPort(pty.path(), "115200", "8", "None", "1", "None"));
        QSignalSpy portErrors(m.port(), &QSerialPort::errorOccurred);
        QSignalSpy errors(&m, &SerialPortManager::errorOccurred);
        QVERIFY(!m.port()->waitForReadyRead(20));
        bool sawTimeout = false;
        for (const auto& args : std::as_const(portErrors))
            sawTimeout |= args.at(0).value<QSerialPort::SerialPortError>() == QSerialPort::TimeoutError;
        QVERIFY(sawTimeout);
        QCOMPARE(errors.count(), 0);
    }

    void hangUpIsReportedAndStopsAfterClose()
    {
        PtyPair pty;
        QVERIFY(pty.open(nextLink()));
        SerialPortManager m;
        QVERIFY(m.openPort(pty.path(), "115200", "8", "None", "1", "None"));
        QSignalSpy errors(&m, &SerialPortManager::errorOccurred);
        // Whoever handles the error closes the port, as the settings panel does.
        connect(&m, &SerialPortManager::errorOccurred, &m, &SerialPortManager::closePort);

        pty.closeMaster();
        QVERIFY(errors.wait(5000));
        // A real adapter's read fails with EIO (resource error); a pty's hang-up
        // reads as end of file, which QSerialPort reports as a read error.
        const auto error = errors.at(0).at(0).value<QSerialPort::SerialPortError>();
        QVERIFY2(error == QSerialPort::ReadError || error == QSerialPort::ResourceError,
                 QMetaEnum::fromType<QSerialPort::SerialPortError>().valueToKey(error));
        QVERIFY(!errors.at(0).at(1).toString().isEmpty());
        QVERIFY(!m.isOpen());
        QCOMPARE(errors.count(), 1);
        QTest::qWait(100);
        QCOMPARE(errors.count(), 1);
    }

    void hangUpKeepsPortOpenUntilClosed()
    {
        PtyPair pty;
        QVERIFY(pty.open(nextLink()));
        SerialPortManager m;
        QVERIFY(m.openPort(pty.path(), "115200", "8", "None", "1", "None"));
        QSignalSpy errors(&m, &SerialPortManager::errorOccurred);
        bool openAtError = false;
        connect(&m, &SerialPortManager::errorOccurred, &m, [&] {
            openAtError = m.isOpen();
            m.closePort();
        });
        pty.closeMaster();
        QVERIFY(errors.wait(5000));
        QVERIFY(openAtError);
    }

    void unopenablePathsFailCleanly()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        SerialPortManager m;
        QSignalSpy connected(&m, &SerialPortManager::connected);
        QSignalSpy errors(&m, &SerialPortManager::errorOccurred);

        QVERIFY(!m.openPort(dir.filePath("no-such-tty"), "9600", "8", "None", "1", "None"));
        QVERIFY(!m.isOpen());
        QVERIFY(!m.errorString().isEmpty());
        QVERIFY(errors.count() >= 1);
        QCOMPARE(errors.last().at(0).value<QSerialPort::SerialPortError>(), QSerialPort::DeviceNotFoundError);
        QVERIFY(g_messages.filter("[SerialPortManager] Failed to open serial port:").size() == 1);

        // A regular file is not a tty.
        QFile plain(dir.filePath("plain.txt"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.write("not a device");
        plain.close();
        QVERIFY(!m.openPort(plain.fileName(), "9600", "8", "None", "1", "None"));
        QVERIFY(!m.isOpen());
        QVERIFY(!m.errorString().isEmpty());
        QCOMPARE(connected.count(), 0);
    }

    void typedPathsKeepTheirName()
    {
        QTemporaryDir dir;
        PtyPair pty;
        QVERIFY(pty.open(dir.filePath("ttyV0")));
        SerialPortManager m;
        QVERIFY(m.openPort(pty.path(), "9600", "8", "None", "1", "None"));
        QCOMPARE(m.portName(), pty.path());
        QCOMPARE(m.systemLocation(), pty.path());
        m.closePort();

        // /dev paths come back as plain names that map to the same node.
        QVERIFY(m.openPort(pty.slavePath(), "9600", "8", "None", "1", "None"));
        QCOMPARE(m.portName(), pty.slavePath().mid(5));
        QCOMPARE(m.systemLocation(), pty.slavePath());
    }

    void portEntries_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("entry");
        QTest::newRow("described") << "ttyUSB0"
                                   << "FT232R USB UART"
                                   << "ttyUSB0(FT232R USB UART)";
        QTest::newRow("no description") << "ttyS0"
                                        << ""
                                        << "ttyS0";
        QTest::newRow("blank description") << "ttyS1"
                                           << "  "
                                           << "ttyS1";
    }

    void portEntries()
    {
        QFETCH(QString, name);
        QFETCH(QString, description);
        QFETCH(QString, entry);
        QCOMPARE(SerialPortManager::portEntry(name, description), entry);
    }

    void listedPortsHaveNoEmptyBrackets()
    {
        const QStringList ports = SerialPortManager::availablePorts();
        for (const QString& port : ports)
            QVERIFY2(!port.endsWith(QLatin1String("()")), qPrintable(port));
    }

    void openErrorHints_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("hint");
        QTest::newRow("permission denied")
            << int(QSerialPort::PermissionError) << qt_error_string(EACCES) << true;
        QTest::newRow("lock held by another program")
            << int(QSerialPort::PermissionError) << "Permission error while locking the device" << false;
        QTest::newRow("no such device")
            << int(QSerialPort::DeviceNotFoundError) << qt_error_string(ENOENT) << false;
        QTest::newRow("busy") << int(QSerialPort::OpenError) << qt_error_string(EBUSY) << false;
    }

    void openErrorHints()
    {
        QFETCH(int, error);
        QFETCH(QString, text);
        QFETCH(bool, hint);
        const QString given = SerialPortManager::openErrorHint(QSerialPort::SerialPortError(error), text);
        QCOMPARE(given.contains(QLatin1String("sudo usermod -aG dialout $USER")), hint);
        QCOMPARE(given.isEmpty(), !hint);
    }

    void permissionDeniedOpenGivesTheDialoutHint()
    {
        PtyPair pty;
        QVERIFY(pty.open());
        SerialPortManager m;
        {
            PermissionDrop denied(pty.slavePath());
            QVERIFY(!m.openPort(pty.slavePath(), "9600", "8", "None", "1", "None"));
        }
        QCOMPARE(m.port()->error(), QSerialPort::PermissionError);
        QVERIFY2(m.openErrorHint().contains(QLatin1String("dialout")), qPrintable(m.errorString()));
        // The next open starts afresh.
        QVERIFY(m.openPort(pty.slavePath(), "9600", "8", "None", "1", "None"));
        QCOMPARE(m.openErrorHint(), QString());
    }
};

QTEST_GUILESS_MAIN(TestSerialPortManager)
#include "tst_serialportmanager.moc"
