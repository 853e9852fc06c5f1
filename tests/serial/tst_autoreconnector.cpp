#include "AutoReconnector.h"
#include "PtyPair.h"
#include "SerialPortManager.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <map>
#include <memory>

namespace {

// Two adapters of one model without serial numbers (CH340 style), each a pty
// behind a /dev-like link, each in its own USB socket.
class FakeUsb
{
public:
    FakeUsb() { QDir().mkpath(m_dev.filePath("by-path")); }

    QString node(const QString& name) const { return m_dev.filePath(name); }
    QString byPathDir() const { return m_dev.filePath("by-path"); }

    // Plugs the adapter into `socket` (e.g. "usb-0:1:1.0"); it appears as `name`.
    bool plug(const QString& adapter, const QString& name, const QString& socket, bool socketsAsLinks)
    {
        auto pty = std::make_unique<PtyPair>();
        if (!pty->open(node(name)))
            return false;
        Plugged p{std::move(pty), name, socket, socketsAsLinks};
        if (socketsAsLinks && !QFile::link(p.pty->slavePath(), QDir(byPathDir()).filePath(linkName(socket))))
            return false;
        m_plugged[adapter] = std::move(p);
        return true;
    }
    void unplug(const QString& adapter)
    {
        auto it = m_plugged.find(adapter);
        if (it == m_plugged.end())
            return;
        QFile::remove(QDir(byPathDir()).filePath(linkName(it->second.socket)));
        it->second.pty->unplug();
        m_plugged.erase(it);
    }

    // What the system would list now.
    QList<DeviceLocator::Port> ports() const
    {
        QList<DeviceLocator::Port> out;
        for (const auto& [adapter, p] : m_plugged) {
            DeviceLocator::Port port;
            port.location = node(p.name);
            port.hasUsbIds = true;
            port.vendorId = 0x1a86;
            port.productId = 0x7523;
            if (!p.socketAsLink)
                port.physicalPath = "pci-0000:00:14.0-" + p.socket;
            out << port;
        }
        return out;
    }

private:
    static QString linkName(const QString& socket) { return "pci-0000:00:14.0-" + socket + "-port0"; }
    struct Plugged
    {
        std::unique_ptr<PtyPair> pty;
        QString name;
        QString socket;
        bool socketAsLink = false;
    };
    QTemporaryDir m_dev;
    std::map<QString, Plugged> m_plugged;
};

} // namespace

class TestAutoReconnector : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void realDefaults()
    {
        SerialPortManager manager;
        AutoReconnector reconnector(&manager);
        QCOMPARE(reconnector.limit(), 1000);
        QCOMPARE(reconnector.firstDelay(), 500);
        QCOMPARE(reconnector.nextDelay(), 1000);

        // Nothing to reopen: the attempts come at the default pace.
        QTemporaryDir dir;
        reconnector.rememberOpened(dir.filePath("gone"));
        QElapsedTimer clock;
        QList<qint64> at;
        connect(&reconnector, &AutoReconnector::attemptStarted, this, [&] { at << clock.elapsed(); });
        clock.start();
        reconnector.start();
        QTRY_VERIFY_WITH_TIMEOUT(at.size() >= 2, 10000);
        reconnector.stop();
        // Coarse timers may fire up to 5 % early.
        QVERIFY2(at[0] >= 475, qPrintable(QString::number(at[0])));
        QVERIFY2(at[1] - at[0] >= 950, qPrintable(QString::number(at[1] - at[0])));
        QVERIFY(!manager.isOpen());
    }

    void twinAdaptersWithoutSerialNumbers_data()
    {
        QTest::addColumn<bool>("otherLeavesFirst");
        QTest::addColumn<bool>("socketsAsLinks");
        QTest::newRow("open one leaves, by-path links") << false << true;
        QTest::newRow("other one leaves first, by-path links") << true << true;
        QTest::newRow("open one leaves, udev ID_PATH") << false << false;
        QTest::newRow("other one leaves first, udev ID_PATH") << true << false;
    }

    // A is open, B of the same model is plugged in too: B is never opened in
    // A's place, whichever leaves first; A is reopened when it is back in its socket.
    void twinAdaptersWithoutSerialNumbers()
    {
        QFETCH(bool, otherLeavesFirst);
        QFETCH(bool, socketsAsLinks);
        FakeUsb usb;
        QVERIFY(usb.plug("A", "ttyUSB0", "usb-0:1:1.0", socketsAsLinks));
        QVERIFY(usb.plug("B", "ttyUSB1", "usb-0:2:1.0", socketsAsLinks));

        SerialPortManager manager;
        AutoReconnector reconnector(&manager);
        reconnector.setDelays(0, 20);
        reconnector.locator()->setByIdDir(QString());
        reconnector.locator()->setByPathDir(usb.byPathDir());
        reconnector.locator()->setPortSource([&usb] { return usb.ports(); });
        AutoReconnector::LineParameters params;
        params.baudRate = "57600";
        reconnector.setParameters(params);

        QVERIFY(manager.openPort(usb.node("ttyUSB0"), "115200", "8", "None", "1", "None"));
        reconnector.rememberOpened(usb.node("ttyUSB0"));
        QVERIFY(reconnector.locator()->hasIdentity());

        QSignalSpy attempts(&reconnector, &AutoReconnector::attemptStarted);
        QSignalSpy reconnected(&reconnector, &AutoReconnector::reconnected);
        if (otherLeavesFirst) {
            usb.unplug("B");
            usb.unplug("A");
        } else {
            usb.unplug("A");
        }
        manager.closePort();
        reconnector.start();
        QTRY_VERIFY_WITH_TIMEOUT(attempts.count() >= 3, 5000);
        QVERIFY(!manager.isOpen());

        if (otherLeavesFirst) {
            // B comes back first, even under A's old name: still not A.
            QVERIFY(usb.plug("B", "ttyUSB0", "usb-0:2:1.0", socketsAsLinks));
            const int seen = int(attempts.count());
            QTRY_VERIFY_WITH_TIMEOUT(attempts.count() >= seen + 3, 5000);
            QVERIFY(!manager.isOpen());
        }
        QCOMPARE(reconnected.count(), 0);
        QVERIFY(reconnector.isReconnecting());

        // A is back in its socket under a new name.
        QVERIFY(usb.plug("A", "ttyUSB2", "usb-0:1:1.0", socketsAsLinks));
        QVERIFY(reconnected.wait(5000));
        QCOMPARE(reconnected.at(0).at(0).toString(), usb.node("ttyUSB2"));
        QVERIFY(manager.isOpen());
        QCOMPARE(manager.portName(), usb.node("ttyUSB2"));
        QCOMPARE(manager.port()->baudRate(), 57600);
        QVERIFY(!reconnector.isReconnecting());
        QCOMPARE(reconnector.target(), usb.node("ttyUSB2"));
    }

    void givesUpAfterTheLimit()
    {
        SerialPortManager manager;
        AutoReconnector reconnector(&manager);
        reconnector.setLimit(2);
        reconnector.setDelays(0, 10);
        QTemporaryDir dir;
        reconnector.rememberOpened(dir.filePath("gone"));
        QSignalSpy state(&reconnector, &AutoReconnector::reconnectingChanged);
        QSignalSpy attempts(&reconnector, &AutoReconnector::attemptStarted);
        QSignalSpy gaveUp(&reconnector, &AutoReconnector::gaveUp);

        reconnector.start();
        reconnector.start(); // already running: no second start
        QVERIFY(gaveUp.wait(5000));
        QCOMPARE(gaveUp.at(0).at(0).toInt(), 2);
        QCOMPARE(attempts.count(), 2);
        QCOMPARE(attempts.at(1).at(0).toInt(), 2);
        QCOMPARE(state.count(), 2);
        QCOMPARE(state.at(0).at(0).toBool(), true);
        QCOMPARE(state.at(1).at(0).toBool(), false);
        QVERIFY(!reconnector.isReconnecting());
        QCOMPARE(reconnector.counter(), 0);
    }

    void stopEndsTheAttempts()
    {
        PtyPair pty;
        QTemporaryDir dir;
        SerialPortManager manager;
        AutoReconnector reconnector(&manager);
        reconnector.setDelays(0, 30);
        reconnector.rememberOpened(dir.filePath("ttyV0"));
        QSignalSpy attempts(&reconnector, &AutoReconnector::attemptStarted);
        reconnector.start();
        QVERIFY(attempts.wait(5000));
        reconnector.stop();
        QVERIFY(!reconnector.isReconnecting());
        QCOMPARE(reconnector.counter(), 0);
        const int seen = int(attempts.count());

        // The device returns after the stop: nothing opens it.
        QVERIFY(pty.open(dir.filePath("ttyV0")));
        QTest::qWait(150);
        QCOMPARE(attempts.count(), seen);
        QVERIFY(!manager.isOpen());
        reconnector.tryReconnect(); // a stray expiry does nothing
        QVERIFY(!manager.isOpen());
    }
};

QTEST_GUILESS_MAIN(TestAutoReconnector)
#include "tst_autoreconnector.moc"
