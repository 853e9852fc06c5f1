#include "ByteSizeText.h"

QString ByteSizeText::format(qint64 bytes)
{
    constexpr qint64 kKiB = 1024;
    constexpr qint64 kMiB = kKiB * 1024;
    constexpr qint64 kGiB = kMiB * 1024;
    if (bytes < kKiB)
        return tr("%1 B").arg(bytes);
    if (bytes < kMiB)
        return tr("%1 KB").arg(double(bytes) / double(kKiB), 0, 'f', 2);
    if (bytes < kGiB)
        return tr("%1 MB").arg(double(bytes) / double(kMiB), 0, 'f', 2);
    return tr("%1 GB").arg(double(bytes) / double(kGiB), 0, 'f', 2);
}

QString ByteSizeText::progress(qint64 sent, qint64 total)
{
    return QStringLiteral("%1/%2 ").arg(format(sent), format(total));
}
