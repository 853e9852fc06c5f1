#pragma once

#include <QCoreApplication>
#include <QString>

// The texts of the download window's state and time labels, kept apart from
// the window so they can be checked without one.
class DownloadProgressText
{
    Q_DECLARE_TR_FUNCTIONS(Downloader)

public:
    // "%1 bytes" up to 1023, "%1 MB" above 1048575, "%1 KB" in between (whole units).
    static QString sizeText(qint64 bytes);
    // "Downloading updates (<received> of <total>)".
    static QString stateText(qint64 received, qint64 total);
    // The remaining time at the average rate since the start, e.g.
    // "3 minutes"; "unknown" while no whole byte per second has been
    // measured (nothing to divide by).
    static QString remainingText(qint64 received, qint64 total, qint64 elapsedSeconds);
    // "Time remaining: <text>".
    static QString timeLabel(const QString& remaining);
    // The time label's text while the total size is not known.
    static QString unknownTimeLabel();
    // The state label's text while the total size is not known.
    static QString busyStateText();
};
