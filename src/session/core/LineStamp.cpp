#include "LineStamp.h"

#include <QCoreApplication>

LineStamp::LineStamp() : m_opened(QDateTime::currentDateTime()) {}

void LineStamp::setFormat(int format)
{
    m_format = (format >= 0 && format < kFormatCount) ? Format(format) : TimeOfDay;
    m_previous = QDateTime();
}

void LineStamp::markOpened(const QDateTime& when)
{
    m_opened = when;
    m_previous = QDateTime();
}

QString LineStamp::stamp(const QDateTime& now)
{
    const QString out = text(now);
    if (m_format == Delta)
        m_previous = now;
    return out;
}

int LineStamp::width(const QDateTime& now) const
{
    return int(text(now).size());
}

QString LineStamp::text(const QDateTime& now) const
{
    switch (m_format) {
    case TimeOfDay:
        break;
    case Iso8601: {
        // With the local offset, so stamps from different machines line up.
        const QDateTime withOffset = now.toOffsetFromUtc(now.offsetFromUtc());
        return QLatin1Char('[') + withOffset.toString(Qt::ISODateWithMs) + QLatin1Char(']');
    }
    case SinceOpen: {
        const qint64 ms = qMax<qint64>(0, m_opened.msecsTo(now));
        return QStringLiteral("[%1]").arg(double(ms) / 1000.0, 10, 'f', 3);
    }
    case Delta: {
        // A clock set back gives 0 rather than a negative gap.
        const qint64 ms = m_previous.isValid() ? qMax<qint64>(0, m_previous.msecsTo(now)) : 0;
        return QStringLiteral("[+%1]").arg(double(ms) / 1000.0, 0, 'f', 3);
    }
    }
    return now.toString(QStringLiteral("[yyyy-MM-dd HH:mm:ss.zzz]"));
}

QStringList LineStamp::formatNames()
{
    return {QString::fromLatin1(QT_TRANSLATE_NOOP("LineStamp", "Time of day")),
            QString::fromLatin1(QT_TRANSLATE_NOOP("LineStamp", "ISO 8601")),
            QString::fromLatin1(QT_TRANSLATE_NOOP("LineStamp", "Since open (s)")),
            QString::fromLatin1(QT_TRANSLATE_NOOP("LineStamp", "Delta (s)"))};
}
