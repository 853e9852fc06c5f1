#pragma once

#include "Direct.h"
#include "LinePrefixer.h"
#include "LineStamp.h"

#include <QDateTime>
#include <QString>

// Turns display text into log lines: line ends normalised and, when stamps
// are on, the line stamp (by default "[yyyy-MM-dd HH:mm:ss.zzz]") and "R " or
// "T " before every line that starts. Text arrives in pieces, so where a line
// starts is carried across calls; the program's own notices are put on a line
// of their own.
class LogStamper
{
public:
    QString stamp(const QString& text, Direct direct, bool withTime,
                  const QDateTime& when = QDateTime::currentDateTime());
    // `line` as a line of its own: after a line break when the log stands
    // mid-line; whatever comes next starts a fresh line.
    QString notice(const QString& line);
    void reset() { m_prefixer.reset(); }
    // Characters the prefix of a line starting at `when` takes: the stamp and
    // its direction mark.
    int prefixWidth(const QDateTime& when) const;

    const LineStamp& lineStamp() const { return m_stamp; }
    void setFormat(int format) { m_stamp.setFormat(format); }
    // The port opened: stamps counted from the opening start here.
    void markOpened(const QDateTime& when) { m_stamp.markOpened(when); }

private:
    static QString mark(Direct direct);

    LinePrefixer m_prefixer;
    LineStamp m_stamp;
};
