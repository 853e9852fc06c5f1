#pragma once

#include <QString>

// Finds a serial adapter again after it was unplugged. On Linux a port name
// does not stay with its adapter (ttyUSB0 may come back as ttyUSB1), so the
// identity is captured at open -- the /dev/serial/by-id link that resolves to
// the port, and the USB vendor id, product id and serial number -- and later
// resolved to wherever the adapter lives now.
class DeviceLocator
{
public:
    explicit DeviceLocator(const QString& byIdDir = QStringLiteral("/dev/serial/by-id"));

    void setByIdDir(const QString& dir) { m_byIdDir = dir; }
    QString byIdDir() const { return m_byIdDir; }

    // Remembers the identity of `portOrPath` ("ttyUSB0", "/dev/ttyUSB0" or any
    // path, symlinks included). False when the port has no identity beyond its name.
    bool capture(const QString& portOrPath);
    void clear();
    bool hasIdentity() const;

    // The port's current system location (e.g. "/dev/ttyUSB1"), or an empty
    // string when the adapter is not present.
    QString resolve() const;
    // True when `portOrPath` is present now and is plainly another adapter
    // (different USB identity), so it must not be opened in its place.
    bool conflictsWith(const QString& portOrPath) const;

    QString byIdLink() const { return m_byIdLink; }
    bool hasUsbIds() const { return m_hasUsbIds; }
    quint16 vendorId() const { return m_vendorId; }
    quint16 productId() const { return m_productId; }
    QString serialNumber() const { return m_serialNumber; }

    // "ttyUSB0" -> "/dev/ttyUSB0"; paths stay as they are.
    static QString systemLocation(const QString& portOrPath);

private:
    QString m_byIdDir;
    QString m_byIdLink;
    bool m_hasUsbIds = false;
    quint16 m_vendorId = 0;
    quint16 m_productId = 0;
    QString m_serialNumber;
};
