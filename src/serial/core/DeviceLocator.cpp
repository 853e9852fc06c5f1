#include "DeviceLocator.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

namespace {

QString canonical(const QString& path)
{
    return QFileInfo(path).canonicalFilePath();
}

// The enumeration entry of the port at `location` (symlinks followed).
bool findInfo(const QString& location, QSerialPortInfo* out)
{
    const QString target = canonical(location);
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports) {
        if (info.systemLocation() == location ||
            (!target.isEmpty() && canonical(info.systemLocation()) == target)) {
            *out = info;
            return true;
        }
    }
    return false;
}

} // namespace

DeviceLocator::DeviceLocator(const QString& byIdDir) : m_byIdDir(byIdDir) {}

QString DeviceLocator::systemLocation(const QString& portOrPath)
{
    if (portOrPath.isEmpty())
        return QString();
    if (portOrPath.startsWith(QLatin1Char('/')) || portOrPath.startsWith(QLatin1String("./")) ||
        portOrPath.startsWith(QLatin1String("../")))
        return portOrPath;
    return QStringLiteral("/dev/") + portOrPath;
}

bool DeviceLocator::capture(const QString& portOrPath)
{
    clear();
    const QString location = systemLocation(portOrPath);
    const QString target = canonical(location);
    if (target.isEmpty())
        return false;

    if (!m_byIdDir.isEmpty()) {
        const QDir dir(m_byIdDir);
        const QFileInfoList links =
            dir.entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo& link : links) {
            if (link.isSymLink() && link.canonicalFilePath() == target) {
                m_byIdLink = link.absoluteFilePath();
                break;
            }
        }
    }

    QSerialPortInfo info;
    if (findInfo(location, &info) && info.hasVendorIdentifier() && info.hasProductIdentifier()) {
        m_hasUsbIds = true;
        m_vendorId = info.vendorIdentifier();
        m_productId = info.productIdentifier();
        m_serialNumber = info.serialNumber();
    }
    return hasIdentity();
}

void DeviceLocator::clear()
{
    m_byIdLink.clear();
    m_hasUsbIds = false;
    m_vendorId = 0;
    m_productId = 0;
    m_serialNumber.clear();
}

bool DeviceLocator::hasIdentity() const
{
    return !m_byIdLink.isEmpty() || m_hasUsbIds;
}

QString DeviceLocator::resolve() const
{
    // The by-id link names one adapter exactly; udev points it at the new node.
    if (!m_byIdLink.isEmpty()) {
        const QString target = canonical(m_byIdLink);
        if (!target.isEmpty())
            return target;
    }
    if (!m_hasUsbIds)
        return QString();

    // Without a serial number two adapters of one model look alike: only a
    // single candidate is taken, never a guess between several.
    QString found;
    int candidates = 0;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports) {
        if (!info.hasVendorIdentifier() || !info.hasProductIdentifier())
            continue;
        if (info.vendorIdentifier() != m_vendorId || info.productIdentifier() != m_productId)
            continue;
        if (!m_serialNumber.isEmpty()) {
            if (info.serialNumber() == m_serialNumber)
                return info.systemLocation();
            continue;
        }
        found = info.systemLocation();
        ++candidates;
    }
    return candidates == 1 ? found : QString();
}

bool DeviceLocator::conflictsWith(const QString& portOrPath) const
{
    if (!m_hasUsbIds)
        return false;
    QSerialPortInfo info;
    if (!findInfo(systemLocation(portOrPath), &info))
        return false;
    if (!info.hasVendorIdentifier() || !info.hasProductIdentifier())
        return false;
    if (info.vendorIdentifier() != m_vendorId || info.productIdentifier() != m_productId)
        return true;
    return !m_serialNumber.isEmpty() && info.serialNumber() != m_serialNumber;
}
