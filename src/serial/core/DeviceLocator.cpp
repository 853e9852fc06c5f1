#include "DeviceLocator.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

#ifdef CORVANE_HAVE_UDEV
#include <libudev.h>
#endif

namespace {

QString canonical(const QString& path)
{
    return path.isEmpty() ? QString() : QFileInfo(path).canonicalFilePath();
}

} // namespace

DeviceLocator::DeviceLocator(const QString& byIdDir) : m_byIdDir(byIdDir) {}

void DeviceLocator::setPortSource(PortSource source)
{
    m_source = std::move(source);
}

QString DeviceLocator::systemLocation(const QString& portOrPath)
{
    if (portOrPath.isEmpty())
        return QString();
    if (portOrPath.startsWith(QLatin1Char('/')) || portOrPath.startsWith(QLatin1String("./")) ||
        portOrPath.startsWith(QLatin1String("../")))
        return portOrPath;
    return QStringLiteral("/dev/") + portOrPath;
}

bool DeviceLocator::sameLocation(const QString& a, const QString& b)
{
    if (systemLocation(a) == systemLocation(b))
        return true;
    const QString ca = canonical(systemLocation(a));
    return !ca.isEmpty() && ca == canonical(systemLocation(b));
}

QList<DeviceLocator::Port> DeviceLocator::systemPorts()
{
    QList<Port> out;
    const auto infos = QSerialPortInfo::availablePorts();
#ifdef CORVANE_HAVE_UDEV
    struct udev* udev = udev_new();
#endif
    for (const QSerialPortInfo& info : infos) {
        Port port;
        port.location = info.systemLocation();
        port.hasUsbIds = info.hasVendorIdentifier() && info.hasProductIdentifier();
        port.vendorId = info.vendorIdentifier();
        port.productId = info.productIdentifier();
        port.serialNumber = info.serialNumber();
#ifdef CORVANE_HAVE_UDEV
        if (udev) {
            const QByteArray name = info.portName().toLocal8Bit();
            if (struct udev_device* dev =
                    udev_device_new_from_subsystem_sysname(udev, "tty", name.constData())) {
                if (const char* path = udev_device_get_property_value(dev, "ID_PATH"))
                    port.physicalPath = QString::fromLocal8Bit(path);
                udev_device_unref(dev);
            }
        }
#endif
        out << port;
    }
#ifdef CORVANE_HAVE_UDEV
    if (udev)
        udev_unref(udev);
#endif
    return out;
}

QList<DeviceLocator::Port> DeviceLocator::ports() const
{
    return m_source ? m_source() : systemPorts();
}

bool DeviceLocator::findPort(const QList<Port>& ports, const QString& location, Port* out) const
{
    const QString target = canonical(location);
    for (const Port& port : ports) {
        if (port.location == location || (!target.isEmpty() && canonical(port.location) == target)) {
            *out = port;
            return true;
        }
    }
    return false;
}

QString DeviceLocator::linkIn(const QString& dir, const QString& canonicalTarget) const
{
    if (dir.isEmpty() || canonicalTarget.isEmpty())
        return QString();
    const QFileInfoList links =
        QDir(dir).entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& link : links) {
        if (link.isSymLink() && link.canonicalFilePath() == canonicalTarget)
            return link.absoluteFilePath();
    }
    return QString();
}

QString DeviceLocator::physicalPathOf(const Port& port) const
{
    if (!port.physicalPath.isEmpty())
        return port.physicalPath;
    return QFileInfo(linkIn(m_byPathDir, canonical(port.location))).fileName();
}

bool DeviceLocator::sameModel(const Port& port) const
{
    return port.hasUsbIds && port.vendorId == m_vendorId && port.productId == m_productId;
}

bool DeviceLocator::capture(const QString& portOrPath)
{
    clear();
    const QString location = systemLocation(portOrPath);
    const QString target = canonical(location);
    if (target.isEmpty())
        return false;

    Port port;
    const bool listed = findPort(ports(), location, &port);
    if (listed && port.hasUsbIds) {
        m_hasUsbIds = true;
        m_vendorId = port.vendorId;
        m_productId = port.productId;
        m_serialNumber = port.serialNumber;
    }
    // A by-id link names one adapter only when it carries a serial number;
    // for two of a kind without one, udev points it at whichever came last.
    if (!m_hasUsbIds || !m_serialNumber.isEmpty())
        m_byIdLink = linkIn(m_byIdDir, target);
    if (listed)
        m_physicalPath = physicalPathOf(port);
    else
        m_physicalPath = QFileInfo(linkIn(m_byPathDir, target)).fileName();
    return hasIdentity();
}

void DeviceLocator::clear()
{
    m_byIdLink.clear();
    m_hasUsbIds = false;
    m_vendorId = 0;
    m_productId = 0;
    m_serialNumber.clear();
    m_physicalPath.clear();
}

bool DeviceLocator::hasIdentity() const
{
    return !m_byIdLink.isEmpty() || m_hasUsbIds || !m_physicalPath.isEmpty();
}

QString DeviceLocator::resolve() const
{
    const QList<Port> present = ports();

    if (m_hasUsbIds && !m_serialNumber.isEmpty()) {
        for (const Port& port : present) {
            if (sameModel(port) && port.serialNumber == m_serialNumber)
                return port.location;
        }
    }
    // The by-id link is only kept when it names one adapter exactly; udev
    // points it at the new node.
    if (!m_byIdLink.isEmpty()) {
        const QString target = canonical(m_byIdLink);
        if (!target.isEmpty())
            return target;
    }
    if (m_physicalPath.isEmpty() || !m_serialNumber.isEmpty())
        return QString();

    // Without a serial number only the USB socket tells two of a kind apart.
    for (const Port& port : present) {
        if (physicalPathOf(port) != m_physicalPath)
            continue;
        if (m_hasUsbIds && port.hasUsbIds && !sameModel(port))
            continue; // another model plugged into that socket
        return port.location;
    }
    // A node the enumeration does not list may still sit behind its by-path link.
    if (!m_byPathDir.isEmpty()) {
        const QString target = canonical(QDir(m_byPathDir).filePath(m_physicalPath));
        if (!target.isEmpty()) {
            Port port;
            if (findPort(present, target, &port) && m_hasUsbIds && port.hasUsbIds && !sameModel(port))
                return QString();
            return target;
        }
    }
    return QString();
}

bool DeviceLocator::conflictsWith(const QString& portOrPath) const
{
    if (!m_hasUsbIds && m_physicalPath.isEmpty())
        return false;
    Port port;
    if (!findPort(ports(), systemLocation(portOrPath), &port))
        return false;
    if (m_hasUsbIds && port.hasUsbIds) {
        if (!sameModel(port))
            return true;
        if (!m_serialNumber.isEmpty())
            return port.serialNumber != m_serialNumber;
    }
    // Two of a kind without serial numbers: the old name counts only at the old USB socket.
    if (!m_physicalPath.isEmpty()) {
        const QString here = physicalPathOf(port);
        return !here.isEmpty() && here != m_physicalPath;
    }
    return false;
}
