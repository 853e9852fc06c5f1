#include "LogStamper.h"

QString LogStamper::stamp(const QString& text, Direct direct, bool withTime, const QDateTime& when)
{
    if (text.isEmpty())
        return QString();
    if (!withTime)
        return m_prefixer.apply(text, QString());
    // One clock reading per piece. Only a delta stamp differs from line to
    // line; the others are formatted once per piece, not once per line (a hex
    // display has a line every 32 bytes).
    const QString dir = mark(direct);
    if (m_stamp.format() != LineStamp::Delta)
        return m_prefixer.apply(text, m_stamp.stamp(when) + dir);
    return m_prefixer.apply(text, [this, when, dir] { return m_stamp.stamp(when) + dir; });
}

int LogStamper::prefixWidth(const QDateTime& when) const
{
    return m_stamp.width(when) + int(mark(Rx).size());
}

QString LogStamper::mark(Direct direct)
{
    return direct == Tx ? QStringLiteral("T ") : QStringLiteral("R ");
}

QString LogStamper::notice(const QString& line)
{
    const bool fresh = m_prefixer.atLineStart() && !m_prefixer.hasPendingCr();
    m_prefixer.reset();
    return (fresh ? QString() : QStringLiteral("\n")) + line + QLatin1Char('\n');
}
