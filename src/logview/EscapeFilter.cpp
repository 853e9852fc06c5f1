#include "EscapeFilter.h"

#include "EscapeScan.h"

#include <QStringView>

using EscapeScan::kEsc;

EscapeFilter::Scan EscapeFilter::scan(const QString& text, qsizetype pos, qsizetype* end)
{
    const qsizetype n = text.size();
    qsizetype i = pos + 1;
    if (i >= n)
        return Scan::Incomplete;
    const char16_t kind = text.at(i).unicode();
    ++i;
    EscapeScan::Result r = EscapeScan::Result::Broken;
    if (kind == u'[') {
        qsizetype paramEnd = 0;
        r = EscapeScan::controlSequence(text, i, &paramEnd, end);
    } else if (kind == u']') {
        r = EscapeScan::stringSequence(text, i, end);
    }
    return r == EscapeScan::Result::Complete     ? Scan::Complete
           : r == EscapeScan::Result::Incomplete ? Scan::Incomplete
                                                 : Scan::NotASequence;
}

qsizetype EscapeFilter::copyStripped(const QString& text, QString* out)
{
    const qsizetype n = text.size();
    qsizetype copied = 0; // text before this is in `out` or removed
    qsizetype pos = text.indexOf(QChar(kEsc));
    while (pos >= 0) {
        qsizetype end = 0;
        const Scan s = scan(text, pos, &end);
        if (s == Scan::Incomplete) {
            out->append(QStringView(text).mid(copied, pos - copied));
            return pos;
        }
        if (s == Scan::Complete) {
            out->append(QStringView(text).mid(copied, pos - copied));
            copied = end;
            pos = text.indexOf(QChar(kEsc), end);
        } else {
            pos = text.indexOf(QChar(kEsc), pos + 1);
        }
    }
    out->append(QStringView(text).mid(copied));
    return n;
}

QString EscapeFilter::strip(const QString& text)
{
    if (!text.contains(QChar(kEsc)))
        return text;
    QString out;
    out.reserve(text.size());
    const qsizetype tail = copyStripped(text, &out);
    out.append(QStringView(text).mid(tail));
    return out;
}

QString EscapeFilter::filter(const QString& text)
{
    if (m_held.isEmpty() && !text.contains(QChar(kEsc)))
        return text;
    const QString s = m_held + text;
    m_held.clear();
    QString out;
    out.reserve(s.size());
    const qsizetype tail = copyStripped(s, &out);
    if (tail < s.size()) {
        if (s.size() - tail <= kMaxHeld)
            m_held = s.mid(tail);
        else
            out.append(QStringView(s).mid(tail)); // far too long for a sequence
    }
    return out;
}
