#include "LinePrefixer.h"

#include <QStringView>

QString LinePrefixer::apply(const QString& text, const QString& prefix)
{
    if (text.isEmpty())
        return QString();

    QString s;
    if (m_pendingCr) {
        m_pendingCr = false;
        // "\r" + "\n" across the pieces is one line end; anything else gets the "\r" back.
        s = text.startsWith(QLatin1Char('\n')) ? text : QStringLiteral("\r") + text;
    } else {
        s = text;
    }
    if (s.contains(QLatin1Char('\r'))) {
        s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        if (s.endsWith(QLatin1Char('\r'))) {
            s.chop(1);
            m_pendingCr = true;
        }
    }
    if (s.isEmpty())
        return QString();

    if (prefix.isEmpty()) {
        m_atLineStart = s.endsWith(QLatin1Char('\n'));
        return s;
    }

    const qsizetype lines = s.count(QLatin1Char('\n')) + 1;
    QString out;
    out.reserve(s.size() + lines * prefix.size());
    const QStringView view(s);
    const qsizetype n = s.size();
    qsizetype pos = 0;
    while (pos < n) {
        if (m_atLineStart)
            out.append(prefix);
        const qsizetype nl = s.indexOf(QLatin1Char('\n'), pos);
        if (nl < 0) {
            out.append(view.mid(pos));
            m_atLineStart = false;
            break;
        }
        out.append(view.mid(pos, nl + 1 - pos));
        m_atLineStart = true;
        pos = nl + 1;
    }
    return out;
}

void LinePrefixer::reset()
{
    m_atLineStart = true;
    m_pendingCr = false;
}
