#pragma once

#include "ChecksumAlgorithm.h"
#include "FrameProtocol.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

// The process-wide list of loaded protocol definitions, addressed by index in
// load order, and the checksum catalogue they refer to. GUI thread only,
// except the catalogue, which is read-only.
class ProtocolRegistry
{
public:
    static ProtocolRegistry& instance();

    // Appends every valid "*.json" of `path` (name order, ignoring case);
    // each bad file is skipped with a warning. Returns how many were added.
    int loadFolder(const QString& path);
    void clear();

    const QList<FrameProtocol>& protocols() const { return m_protocols; }
    int count() const { return int(m_protocols.size()); }

    // The frame for `values`, or an empty array and the message in `error`.
    static QByteArray buildFrame(const FrameProtocol& protocol, const FieldValues& values,
                                 QString* error = nullptr);

    static const QMap<QString, ChecksumAlgorithm>& checksums();
    static const ChecksumAlgorithm* checksum(const QString& name);

private:
    ProtocolRegistry() = default;
    Q_DISABLE_COPY(ProtocolRegistry)

    QList<FrameProtocol> m_protocols;
};
