#include "ProtocolRegistry.h"

#include "ChecksumCatalogue.h"
#include "FrameBuilder.h"
#include "ProtocolFileReader.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

ProtocolRegistry& ProtocolRegistry::instance()
{
    static ProtocolRegistry registry;
    return registry;
}

int ProtocolRegistry::loadFolder(const QString& path)
{
    const QDir dir(path);
    if (!dir.exists()) {
        qWarning().noquote() << "[ProtocolRegistry] Protocol directory not found:" << path;
        return 0;
    }
    const QFileInfoList files =
        dir.entryInfoList({QStringLiteral("*.json")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    int added = 0;
    for (const QFileInfo& info : files) {
        QString error;
        auto protocol = ProtocolFileReader::parseFile(info.absoluteFilePath(), &error);
        if (!protocol) {
            qWarning().noquote() << "[ProtocolRegistry] Skipping protocol file:" << info.fileName() << "-"
                                 << error;
            continue;
        }
        m_protocols.append(*protocol);
        ++added;
    }
    qDebug().noquote() << "[ProtocolRegistry] Loaded" << added << "protocol(s) from" << path;
    return added;
}

void ProtocolRegistry::clear()
{
    m_protocols.clear();
}

QByteArray ProtocolRegistry::buildFrame(const FrameProtocol& protocol, const FieldValues& values,
                                        QString* error)
{
    return FrameBuilder::build(protocol, values, error);
}

const QMap<QString, ChecksumAlgorithm>& ProtocolRegistry::checksums()
{
    return ChecksumCatalogue::entries();
}

const ChecksumAlgorithm* ProtocolRegistry::checksum(const QString& name)
{
    return ChecksumCatalogue::find(name);
}
