#include "LogStamper.h"

QString LogStamper::stampFor(const QDateTime& when, Direct direct)
{
    return when.toString(QStringLiteral("[yyyy-MM-dd HH:mm:ss.zzz]")) +
           (direct == Tx ? QStringLiteral("T ") : QStringLiteral("R "));
}

QString LogStamper::stamp(const QString& text, Direct direct, bool withTime, const QDateTime& when)
{
    if (text.isEmpty())
        return QString();
    return m_prefixer.apply(text, withTime ? stampFor(when, direct) : QString());
}

QString LogStamper::notice(const QString& line)
{
    const bool fresh = m_prefixer.atLineStart() && !m_prefixer.hasPendingCr();
    m_prefixer.reset();
    return (fresh ? QString() : QStringLiteral("\n")) + line + QLatin1Char('\n');
}
