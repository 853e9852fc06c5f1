#include "LinePrefixer.h"

#include <QStringView>

namespace {

// Characters after which the log view's document starts a new line, or that
// it would take as frame markers.
bool breaksLine(char16_t u)
{
    return u == u'\r' || u == 0x2028 || u == 0x2029 || u == 0xFDD0 || u == 0xFDD1;
}

} // namespace

QString LinePrefixer::normalise(const QString& s)
{
    const qsizetype n = s.size();
    qsizetype first = 0;
    while (first < n && !breaksLine(s.at(first).unicode()))
        ++first;
    if (first == n)
        return s;

    QString out;
    out.reserve(n);
    out.append(QStringView(s).first(first));
    for (qsizetype i = first; i < n; ++i) {
        const char16_t u = s.at(i).unicode();
        if (u == u'\r') {
            if (i + 1 == n)
                m_pendingCr = true; // decided by the next piece
            else if (s.at(i + 1) != QLatin1Char('\n'))
                out.append(QLatin1Char('\n'));
            // "\r\n": the "\n" follows on its own
        } else if (u == 0x2028 || u == 0x2029) {
            out.append(QLatin1Char('\n'));
        } else if (u == 0xFDD0 || u == 0xFDD1) {
            out.append(QChar(QChar::ReplacementCharacter));
        } else {
            out.append(QChar(u));
        }
    }
    return out;
}

QString LinePrefixer::apply(const QString& text, const QString& prefix)
{
    if (prefix.isEmpty())
        return apply(text, std::function<QString()>());
    return apply(text, std::function<QString()>([&prefix] { return prefix; }));
}

QString LinePrefixer::apply(const QString& text, const std::function<QString()>& prefixForLine)
{
    if (text.isEmpty())
        return QString();

    QString s;
    if (m_pendingCr) {
        m_pendingCr = false;
        // "\r" + "\n" across the pieces is one line end; a bare "\r" is one too.
        s = normalise(text);
        if (!text.startsWith(QLatin1Char('\n')))
            s.prepend(QLatin1Char('\n'));
    } else {
        s = normalise(text);
    }
    if (s.isEmpty())
        return QString();

    if (!prefixForLine) {
        m_atLineStart = s.endsWith(QLatin1Char('\n'));
        return s;
    }
    return prefixLines(s, prefixForLine, s.size() + (s.count(QLatin1Char('\n')) + 1) * 32);
}

QString LinePrefixer::prefixLines(const QString& s, const std::function<QString()>& prefixForLine,
                                  qsizetype reserve)
{
    QString out;
    out.reserve(reserve);
    const QStringView view(s);
    const qsizetype n = s.size();
    qsizetype pos = 0;
    while (pos < n) {
        if (m_atLineStart)
            out.append(prefixForLine());
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
