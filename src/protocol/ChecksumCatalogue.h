#pragma once

#include "ChecksumAlgorithm.h"

#include <QMap>
#include <QString>

// The fixed set of checksum algorithms protocol files can name. Built once,
// read-only afterwards, so any thread may read it.
class ChecksumCatalogue
{
public:
    // Keyed by the exact, case-sensitive name.
    static const QMap<QString, ChecksumAlgorithm>& entries();
    // Null when no algorithm has exactly this name.
    static const ChecksumAlgorithm* find(const QString& name);
    // The names in the catalogue's own order (not alphabetical).
    static QStringList names();

    // The algorithms themselves; a length of 0 or less reads nothing.
    static quint32 sum8(const quint8* data, qint32 length);
    static quint32 xor8(const quint8* data, qint32 length);
    static quint32 crc8Itu(const quint8* data, qint32 length);
    static quint32 crc8Rohc(const quint8* data, qint32 length);
    static quint32 crc8Maxim(const quint8* data, qint32 length);
    static quint32 crc16Ccitt(const quint8* data, qint32 length);
    static quint32 crc16Modbus(const quint8* data, qint32 length);
    static quint32 crc16Maxim(const quint8* data, qint32 length);
    static quint32 crc16Usb(const quint8* data, qint32 length);
    static quint32 crc32Ieee(const quint8* data, qint32 length);
};
