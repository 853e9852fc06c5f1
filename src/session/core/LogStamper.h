#pragma once

#include "Direct.h"
#include "LinePrefixer.h"

#include <QDateTime>
#include <QString>

// Turns display text into log lines: line ends normalised and, when stamps
// are on, "[yyyy-MM-dd HH:mm:ss.zzz]R " or "...T " before every line that
// starts. Text arrives in pieces, so where a line starts is carried across
// calls; the program's own notices are put on a line of their own.
class LogStamper
{
public:
    static QString stampFor(const QDateTime& when, Direct direct);

    QString stamp(const QString& text, Direct direct, bool withTime,
                  const QDateTime& when = QDateTime::currentDateTime());
    // `line` as a line of its own: after a line break when the log stands
    // mid-line; whatever comes next starts a fresh line.
    QString notice(const QString& line);
    void reset() { m_prefixer.reset(); }

private:
    LinePrefixer m_prefixer;
};
