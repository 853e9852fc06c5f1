#include "EscapeFilter.h"

#include <QStringView>

namespace {

constexpr char16_t kEsc = 0x1B;
constexpr char16_t kBel = 0x07;

} // namespace

EscapeFilter::Scan EscapeFilter::scan(const QString& text, qsizetype pos, qsizetype* end)
{
    const qsizetype n = text.size();
    qsizetype i = pos + 1;
    if (i >= n)
        return Scan::Incomplete;
    const char16_t kind = text.at(i).unicode();
    ++i;
    if (kind == u'[') {
        // Parameter bytes, then intermediate bytes, then one final byte.
        while (i < n && text.at(i).unicode() >= 0x30 && text.at(i).unicode() <= 0x3F)
            ++i;
        while (i < n && text.at(i).unicode() >= 0x20 && text.at(i).unicode() <= 0x2F)
            ++i;
        if (i >= n)
            return Scan::Incomplete;
        const char16_t final = text.at(i).unicode();
        if (final < 0x40 || final > 0x7E)
            return Scan::NotASequence;
        *end = i + 1;
        return Scan::Complete;
    }
    if (kind == u']') {
        for (; i < n; ++i) {
            const char16_t c = text.at(i).unicode();
            if (c == kBel) {
                *end = i + 1;
                return Scan::Complete;
            }
            if (c == kEsc) {
                if (i + 1 >= n)
                    return Scan::Incomplete;
                if (text.at(i + 1) != QLatin1Char('\\'))
                    return Scan::NotASequence;
                *end = i + 2;
                return Scan::Complete;
            }
            // A title never spans lines; a line end means this was no title.
            if (c == u'\n' || c == u'\r')
                return Scan::NotASequence;
        }
        return Scan::Incomplete;
    }
    return Scan::NotASequence;
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
