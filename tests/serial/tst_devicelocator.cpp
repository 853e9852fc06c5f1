#include "DeviceLocator.h"
#include "PtyPair.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A port of one common USB-serial model without a serial number.
DeviceLocator::Port twin(const QString& location, const QString& physicalPath = QString())
{
    DeviceLocator::Port port;
    port.location = location;
    port.hasUsbIds = true;
    port.vendorId = 0x1a86;
    port.productId = 0x7523;
    port.physicalPath = physicalPath;
    return port;
}

} // namespace

class TestDeviceLocator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void systemLocationMapsNamesAndKeepsPaths()
    {
        QCOMPARE(DeviceLocator::systemLocation("ttyUSB0"), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(DeviceLocator::systemLocation("pts/3"), QStringLiteral("/dev/pts/3"));
        QCOMPARE(DeviceLocator::systemLocation("/tmp/ttyV0"), QStringLiteral("/tmp/ttyV0"));
        QCOMPARE(DeviceLocator::systemLocation("./ttyV0"), QStringLiteral("./ttyV0"));
        QCOMPARE(DeviceLocator::systemLocation(QString()), QString());
    }

    void byIdDirIsInjectable()
    {
        DeviceLocator defaults;
        QCOMPARE(defaults.byIdDir(), QStringLiteral("/dev/serial/by-id"));
        DeviceLocator locator("/somewhere/else");
        QCOMPARE(locator.byIdDir(), QStringLiteral("/somewhere/else"));
        locator.setByIdDir("/other");
        QCOMPARE(locator.byIdDir(), QStringLiteral("/other"));
    }

    void capturesTheByIdLinkOfThePort()
    {
        QTemporaryDir byId;
        QVERIFY(byId.isValid());
        PtyPair a;
        PtyPair b;
        QVERIFY(a.open(byId.filePath("usb-Acme_Widget_A1-if00-port0")));
        QVERIFY(b.open(byId.filePath("usb-Acme_Widget_B2-if00-port0")));

        DeviceLocator locator(byId.path());
        QVERIFY(locator.capture(b.slavePath()));
        QVERIFY(locator.hasIdentity());
        QCOMPARE(locator.byIdLink(), byId.filePath("usb-Acme_Widget_B2-if00-port0"));
        QCOMPARE(locator.resolve(), b.slavePath());

        // "pts/N" style names work as well as paths.
        QVERIFY(locator.capture(a.slavePath().mid(5)));
        QCOMPARE(locator.byIdLink(), byId.filePath("usb-Acme_Widget_A1-if00-port0"));
        QCOMPARE(locator.resolve(), a.slavePath());
    }

    void capturesThroughATypedSymlink()
    {
        QTemporaryDir byId;
        QTemporaryDir typed;
        PtyPair pty;
        QVERIFY(pty.open(typed.filePath("ttyV0")));
        QVERIFY(QFile::link(pty.slavePath(), byId.filePath("usb-Acme_Widget_C3-if00-port0")));

        DeviceLocator locator(byId.path());
        QVERIFY(locator.capture(typed.filePath("ttyV0")));
        QCOMPARE(locator.byIdLink(), byId.filePath("usb-Acme_Widget_C3-if00-port0"));
        QCOMPARE(locator.resolve(), pty.slavePath());
    }

    void resolvesTheAdapterUnderItsNewName()
    {
        QTemporaryDir byId;
        const QString link = byId.filePath("usb-Acme_Widget_D4-if00-port0");
        PtyPair before;
        QVERIFY(before.open(link));
        PtyPair after;
        QVERIFY(after.open());
        QVERIFY(after.slavePath() != before.slavePath());

        DeviceLocator locator(byId.path());
        QVERIFY(locator.capture(before.slavePath()));

        // Unplugged: the node and its link are gone, nothing to resolve.
        before.unplug();
        QVERIFY(!QFile::exists(link));
        QVERIFY(locator.hasIdentity());
        QCOMPARE(locator.resolve(), QString());

        // Back under another name, with the same by-id link.
        QVERIFY(QFile::link(after.slavePath(), link));
        QCOMPARE(locator.resolve(), after.slavePath());
    }

    void danglingLinkResolvesToNothing()
    {
        QTemporaryDir byId;
        const QString link = byId.filePath("usb-Acme_Widget_E5-if00-port0");
        PtyPair pty;
        QVERIFY(pty.open());
        QVERIFY(QFile::link(pty.slavePath(), link));
        DeviceLocator locator(byId.path());
        QVERIFY(locator.capture(pty.slavePath()));
        QFile::remove(link);
        QVERIFY(QFile::link(byId.filePath("no-such-node"), link));
        QCOMPARE(locator.resolve(), QString());
    }

    void noIdentityForUnlinkedPorts()
    {
        QTemporaryDir byId;
        PtyPair pty;
        QVERIFY(pty.open());
        DeviceLocator locator(byId.path());
        QVERIFY(!locator.capture(pty.slavePath()));
        QVERIFY(!locator.hasIdentity());
        QCOMPARE(locator.resolve(), QString());
        QVERIFY(!locator.hasUsbIds());
        // Without USB ids nothing can be told apart, so nothing conflicts.
        QVERIFY(!locator.conflictsWith(pty.slavePath()));
    }

    void missingDeviceOrDirectoryIsHarmless()
    {
        QTemporaryDir tmp;
        DeviceLocator locator(tmp.filePath("does-not-exist"));
        PtyPair pty;
        QVERIFY(pty.open());
        QVERIFY(!locator.capture(pty.slavePath()));
        QVERIFY(!locator.capture(tmp.filePath("no-such-tty")));
        QVERIFY(!locator.capture(QString()));
        QCOMPARE(locator.resolve(), QString());
    }

    void clearForgetsTheIdentity()
    {
        QTemporaryDir byId;
        PtyPair pty;
        QVERIFY(pty.open(byId.filePath("usb-Acme_Widget_F6-if00-port0")));
        DeviceLocator locator(byId.path());
        QVERIFY(locator.capture(pty.slavePath()));
        locator.clear();
        QVERIFY(!locator.hasIdentity());
        QCOMPARE(locator.byIdLink(), QString());
        QCOMPARE(locator.resolve(), QString());
    }

    void captureReplacesAnOlderIdentity()
    {
        QTemporaryDir byId;
        PtyPair a;
        QVERIFY(a.open(byId.filePath("usb-Acme_Widget_G7-if00-port0")));
        PtyPair b;
        QVERIFY(b.open());
        DeviceLocator locator(byId.path());
        QVERIFY(locator.capture(a.slavePath()));
        QVERIFY(!locator.capture(b.slavePath()));
        QVERIFY(!locator.hasIdentity());
    }

    // Vendor and product alone never pick a device: a serial-less adapter
    // with nowhere known to sit is not found, even as the only one of its
    // model, and its by-id link (re-pointed by udev at whichever came last)
    // is not trusted either.
    void vendorAndProductAloneNeverPick()
    {
        QTemporaryDir byId;
        PtyPair a;
        PtyPair b;
        QVERIFY(a.open(byId.filePath("usb-1a86_USB_Serial-if00-port0")));
        QVERIFY(b.open());
        QList<DeviceLocator::Port> present{twin(a.slavePath())};
        DeviceLocator locator(byId.path());
        locator.setByPathDir(QString());
        locator.setPortSource([&present] { return present; });
        QVERIFY(locator.capture(a.slavePath()));
        QVERIFY(locator.byIdLink().isEmpty());

        present = {twin(b.slavePath())};
        QVERIFY(QFile::remove(byId.filePath("usb-1a86_USB_Serial-if00-port0")));
        QVERIFY(QFile::link(b.slavePath(), byId.filePath("usb-1a86_USB_Serial-if00-port0")));
        QCOMPARE(locator.resolve(), QString());
        // Under the old name, with nothing better known, it may be taken.
        QVERIFY(!locator.conflictsWith(b.slavePath()));
    }

    void serialLessAdapterIsFoundOnlyInItsSocket()
    {
        PtyPair a;
        PtyPair b;
        QVERIFY(a.open());
        QVERIFY(b.open());
        QList<DeviceLocator::Port> present{twin(a.slavePath(), "pci-usb-0:1:1.0"),
                                           twin(b.slavePath(), "pci-usb-0:2:1.0")};
        DeviceLocator locator{QString()};
        locator.setPortSource([&present] { return present; });
        QVERIFY(locator.capture(a.slavePath()));
        QCOMPARE(locator.physicalPath(), QStringLiteral("pci-usb-0:1:1.0"));
        QCOMPARE(locator.resolve(), a.slavePath());
        QVERIFY(locator.conflictsWith(b.slavePath()));

        present.removeFirst(); // A unplugged, B stays
        QCOMPARE(locator.resolve(), QString());
        present << twin(a.slavePath(), "pci-usb-0:3:1.0"); // another socket
        QCOMPARE(locator.resolve(), QString());
        QVERIFY(locator.conflictsWith(a.slavePath()));
        present.last().physicalPath = "pci-usb-0:1:1.0"; // back in its own
        QCOMPARE(locator.resolve(), a.slavePath());
        QVERIFY(!locator.conflictsWith(a.slavePath()));
    }

    void serialNumberFindsTheAdapterAnywhere()
    {
        PtyPair a;
        PtyPair b;
        PtyPair moved;
        QVERIFY(a.open());
        QVERIFY(b.open());
        QVERIFY(moved.open());
        DeviceLocator::Port pa = twin(a.slavePath(), "pci-usb-0:1:1.0");
        pa.serialNumber = "A1";
        DeviceLocator::Port pb = twin(b.slavePath(), "pci-usb-0:2:1.0");
        pb.serialNumber = "B2";
        QList<DeviceLocator::Port> present{pa, pb};
        DeviceLocator locator{QString()};
        locator.setPortSource([&present] { return present; });
        QVERIFY(locator.capture(a.slavePath()));
        QVERIFY(locator.conflictsWith(b.slavePath()));

        pa.location = moved.slavePath();
        pa.physicalPath = "pci-usb-0:3:1.0";
        present = {pb, pa};
        QCOMPARE(locator.resolve(), moved.slavePath());
        present = {pb};
        QCOMPARE(locator.resolve(), QString());
    }
};

QTEST_GUILESS_MAIN(TestDeviceLocator)
#include "tst_devicelocator.moc"
