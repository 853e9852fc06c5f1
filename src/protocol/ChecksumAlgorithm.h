#pragma once

#include <QString>
#include <QtGlobal>

// One entry of the checksum catalogue. The result occupies the low `width`
// bytes of what `compute` returns; the bytes above are zero.
struct ChecksumAlgorithm
{
    using ComputeFn = quint32 (*)(const quint8* data, qint32 length);

    QString name;
    qint32 width = 0;
    ComputeFn compute = nullptr;
};
