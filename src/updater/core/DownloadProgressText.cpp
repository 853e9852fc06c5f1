#include "DownloadProgressText.h"

#include <cmath>

QString DownloadProgressText::sizeText(qint64 bytes)
{
    if (bytes <= 1023)
        return tr("%1 bytes").arg(bytes);
    if (bytes > 1048575)
        return tr("%1 MB").arg(bytes >> 20);
    return tr("%1 KB").arg(bytes >> 10);
}

QString DownloadProgressText::stateText(qint64 received, qint64 total)
{
    return tr("Downloading updates") + QStringLiteral(" (") + sizeText(received) + QLatin1Char(' ') +
           tr("of") + QLatin1Char(' ') + sizeText(total) + QLatin1Char(')');
}

QString DownloadProgressText::remainingText(qint64 received, qint64 total, qint64 elapsedSeconds)
{
    const qint64 rate = elapsedSeconds > 0 ? received / elapsedSeconds : 0;
    if (rate <= 0)
        return tr("unknown");
    const double t = double(qMax<qint64>(0, total - received) / rate);
    if (t > 7200) {
        const qint64 h = qint64(std::floor(t / 3600 + 0.5));
        return h < 2 ? tr("about one hour") : tr("about %1 hours").arg(h);
    }
    if (t > 60) {
        const qint64 m = qint64(std::floor(t / 60 + 0.5));
        return m < 2 ? tr("1 minute") : tr("%1 minutes").arg(m);
    }
    const qint64 s = qint64(std::floor(t + 0.5));
    return s < 2 ? tr("1 second") : tr("%1 seconds").arg(s);
}

QString DownloadProgressText::timeLabel(const QString& remaining)
{
    return tr("Time remaining") + QStringLiteral(": ") + remaining;
}

QString DownloadProgressText::unknownTimeLabel()
{
    return QStringLiteral("%1: %2").arg(tr("Time Remaining"), tr("Unknown"));
}

QString DownloadProgressText::busyStateText()
{
    return tr("Downloading Updates") + QStringLiteral("...");
}
