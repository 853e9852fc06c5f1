#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// The stamp put before each displayed line, in one of four forms:
//   TimeOfDay  [2026-12-08 15:09:56.123]   local date and time with ms
//   Iso8601    [2026-12-08T15:09:56.123+01:00]
//   SinceOpen  [    12.345]                 seconds since the port opened
//   Delta      [+0.012]                     seconds since the previous line
// The first form is the one rule files and the highlighter recognise.
class LineStamp
{
public:
    enum Format
    {
        TimeOfDay = 0,
        Iso8601 = 1,
        SinceOpen = 2,
        Delta = 3,
    };
    static constexpr int kFormatCount = 4;

    LineStamp();

    Format format() const { return m_format; }
    // Out-of-range values select TimeOfDay.
    void setFormat(int format);

    // The port opened at `when`: SinceOpen counts from here, Delta starts over.
    void markOpened(const QDateTime& when);
    // The stamp of a line starting at `now`; Delta remembers `now` for the next line.
    QString stamp(const QDateTime& now);
    // Characters the stamp of a line starting at `now` takes, so lines laid
    // out to a width leave room for it. The counting forms grow with the
    // seconds they count: this is their width at `now`. Changes nothing.
    int width(const QDateTime& now) const;

    // The formats' names for a chooser, in enum order (source texts; the
    // caller translates them in the "LineStamp" context).
    static QStringList formatNames();

private:
    QString text(const QDateTime& now) const;

    Format m_format = TimeOfDay;
    QDateTime m_opened;
    QDateTime m_previous;
};
