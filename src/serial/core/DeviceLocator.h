#pragma once

#include <QList>
#include <QString>

#include <functional>

// Finds a serial adapter again after it was unplugged. On Linux a port name
// does not stay with its adapter (ttyUSB0 may come back as ttyUSB1), so the
// identity is captured at open and later resolved to wherever the adapter
// lives now:
// - an adapter with a serial number is found by vendor, product and serial
//   number (or its /dev/serial/by-id link, which encodes them);
// - one without is found only at the same physical USB port (udev's ID_PATH,
//   or its /dev/serial/by-path link), or under its old name. Two such adapters
//   of one model look alike, and udev points their by-id link at whichever
//   came last, so vendor and product alone never pick a device.
class DeviceLocator
{
public:
    // One port as the system lists it.
    struct Port
    {
        QString location; // "/dev/ttyUSB0"
        bool hasUsbIds = false;
        quint16 vendorId = 0;
        quint16 productId = 0;
        QString serialNumber;
        QString physicalPath; // udev ID_PATH; empty when unknown
    };
    using PortSource = std::function<QList<Port>()>;

    explicit DeviceLocator(const QString& byIdDir = QStringLiteral("/dev/serial/by-id"));

    void setByIdDir(const QString& dir) { m_byIdDir = dir; }
    QString byIdDir() const { return m_byIdDir; }
    void setByPathDir(const QString& dir) { m_byPathDir = dir; }
    QString byPathDir() const { return m_byPathDir; }
    // Where the list of present ports comes from (default: systemPorts()).
    void setPortSource(PortSource source);

    // Remembers the identity of `portOrPath` ("ttyUSB0", "/dev/ttyUSB0" or any
    // path, symlinks included). False when the port has no identity beyond its name.
    bool capture(const QString& portOrPath);
    void clear();
    bool hasIdentity() const;

    // The port's current system location (e.g. "/dev/ttyUSB1"), or an empty
    // string when the adapter is not present.
    QString resolve() const;
    // True when `portOrPath` is present now and is plainly another adapter
    // (different USB identity, or another USB port for an adapter without a
    // serial number), so it must not be opened in its place.
    bool conflictsWith(const QString& portOrPath) const;

    QString byIdLink() const { return m_byIdLink; }
    bool hasUsbIds() const { return m_hasUsbIds; }
    quint16 vendorId() const { return m_vendorId; }
    quint16 productId() const { return m_productId; }
    QString serialNumber() const { return m_serialNumber; }
    QString physicalPath() const { return m_physicalPath; }

    // "ttyUSB0" -> "/dev/ttyUSB0"; paths stay as they are.
    static QString systemLocation(const QString& portOrPath);
    // Both name the same node (symlinks followed).
    static bool sameLocation(const QString& a, const QString& b);
    // The ports the system lists now, with udev's ID_PATH where udev knows it.
    static QList<Port> systemPorts();

private:
    QList<Port> ports() const;
    bool findPort(const QList<Port>& ports, const QString& location, Port* out) const;
    // The port's physical USB position: its ID_PATH, else the name of its by-path link.
    QString physicalPathOf(const Port& port) const;
    QString linkIn(const QString& dir, const QString& canonicalTarget) const;
    bool sameModel(const Port& port) const;

    QString m_byIdDir;
    QString m_byPathDir = QStringLiteral("/dev/serial/by-path");
    PortSource m_source;

    QString m_byIdLink;
    bool m_hasUsbIds = false;
    quint16 m_vendorId = 0;
    quint16 m_productId = 0;
    QString m_serialNumber;
    QString m_physicalPath;
};
