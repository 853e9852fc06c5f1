#include "AnsiSgrParser.h"

#include "EscapeScan.h"

namespace {

using EscapeScan::kEsc;

// The 16 basic colours as xterm shows them.
constexpr AnsiRgb kBasic[16] = {0xff000000, 0xffcd0000, 0xff00cd00, 0xffcdcd00, 0xff0000ee, 0xffcd00cd,
                                0xff00cdcd, 0xffe5e5e5, 0xff7f7f7f, 0xffff0000, 0xff00ff00, 0xffffff00,
                                0xff5c5cff, 0xffff00ff, 0xff00ffff, 0xffffffff};

constexpr AnsiRgb rgb(int r, int g, int b)
{
    return 0xff000000u | (AnsiRgb(r) << 16) | (AnsiRgb(g) << 8) | AnsiRgb(b);
}

} // namespace

AnsiRgb AnsiSgrParser::paletteColour(int index)
{
    index = qBound(0, index, 255);
    if (index < 16)
        return kBasic[index];
    if (index < 232) {
        // 6 x 6 x 6 cube.
        const int i = index - 16;
        auto level = [](int v) { return v == 0 ? 0 : 55 + v * 40; };
        return rgb(level(i / 36), level((i / 6) % 6), level(i % 6));
    }
    const int grey = 8 + (index - 232) * 10;
    return rgb(grey, grey, grey);
}

void AnsiSgrParser::reset()
{
    m_style = AnsiStyle();
    m_held.clear();
}

void AnsiSgrParser::addRun(QString* out, QStringView run, QList<AnsiSpan>* spans) const
{
    if (run.isEmpty())
        return;
    const qsizetype start = out->size();
    out->append(run);
    if (m_style.isPlain() || !spans)
        return;
    if (!spans->isEmpty()) {
        AnsiSpan& last = spans->last();
        if (last.start + last.length == start && last.style == m_style) {
            last.length += run.size();
            return;
        }
    }
    spans->append(AnsiSpan{start, run.size(), m_style});
}

QString AnsiSgrParser::feed(QStringView input, QList<AnsiSpan>* spans)
{
    if (m_held.isEmpty() && !input.contains(QChar(kEsc))) {
        QString out;
        addRun(&out, input, spans);
        return out;
    }
    QString joined;
    QStringView text = input;
    if (!m_held.isEmpty()) {
        joined = m_held;
        joined.append(input);
        m_held.clear();
        text = joined;
    }
    QString out;
    out.reserve(text.size());
    qsizetype copied = 0;
    qsizetype pos = text.indexOf(QChar(kEsc));
    while (pos >= 0) {
        addRun(&out, text.mid(copied, pos - copied), spans);
        qsizetype end = 0;
        const Scan s = scan(text, pos, &end);
        if (s == Scan::Incomplete) {
            if (text.size() - pos <= kMaxHeld) {
                m_held = text.mid(pos).toString();
                return out;
            }
            // Far too long for a sequence: the ESC goes, the rest is text.
            copied = pos + 1;
            pos = text.indexOf(QChar(kEsc), copied);
            continue;
        }
        copied = s == Scan::Complete ? end : pos + 1;
        pos = text.indexOf(QChar(kEsc), copied);
    }
    addRun(&out, text.mid(copied), spans);
    return out;
}

AnsiSgrParser::Scan AnsiSgrParser::scan(QStringView text, qsizetype pos, qsizetype* end)
{
    const qsizetype n = text.size();
    qsizetype i = pos + 1;
    if (i >= n)
        return Scan::Incomplete;
    const char16_t kind = text.at(i).unicode();
    ++i;
    const auto mapped = [](EscapeScan::Result r) {
        return r == EscapeScan::Result::Complete     ? Scan::Complete
               : r == EscapeScan::Result::Incomplete ? Scan::Incomplete
                                                     : Scan::Broken;
    };
    if (kind == u'[') {
        const qsizetype paramStart = i;
        qsizetype paramEnd = i;
        const EscapeScan::Result r = EscapeScan::controlSequence(text, i, &paramEnd, end);
        if (r != EscapeScan::Result::Complete)
            return mapped(r);
        // Only plain SGR: private forms ("ESC [ > 4 m") and intermediates
        // mean something else.
        if (text.at(*end - 1) == u'm' && paramEnd == *end - 1) {
            const QStringView params = text.mid(paramStart, paramEnd - paramStart);
            const char16_t lead = params.isEmpty() ? 0 : params.at(0).unicode();
            if (lead < u'<' || lead > u'?')
                applySgr(params);
        }
        return Scan::Complete;
    }
    // String sequences (titles, device control) end with BEL or ESC \.
    if (kind == u']' || kind == u'P' || kind == u'_' || kind == u'^')
        return mapped(EscapeScan::stringSequence(text, i, end));
    if (kind >= 0x20 && kind <= 0x2F) {
        // ESC, intermediates, one final: character set choices like "ESC ( B".
        while (i < n && text.at(i).unicode() >= 0x20 && text.at(i).unicode() <= 0x2F)
            ++i;
        if (i >= n)
            return Scan::Incomplete;
        const char16_t final = text.at(i).unicode();
        if (final < 0x30 || final > 0x7E)
            return Scan::Broken;
        *end = i + 1;
        return Scan::Complete;
    }
    if (kind >= 0x30 && kind <= 0x7E) {
        // Two-character escapes: "ESC 7", "ESC =", "ESC c".
        *end = i;
        return Scan::Complete;
    }
    return Scan::Broken;
}

void AnsiSgrParser::applySgr(QStringView params)
{
    // Parameters split at ';'; ':' separates the sub-parameters of one
    // (38:2::r:g:b). Empty ones are 0; large ones are capped.
    int values[kMaxParams];
    bool sub[kMaxParams]; // value i was joined to i - 1 by ':'
    int count = 0;
    int value = 0;
    bool joined = false;
    for (qsizetype i = 0; i <= params.size(); ++i) {
        const char16_t c = i < params.size() ? params.at(i).unicode() : u';';
        if (c >= u'0' && c <= u'9') {
            value = qMin(value * 10 + int(c - u'0'), 99999);
            continue;
        }
        if (count < kMaxParams) {
            values[count] = value;
            sub[count] = joined;
            ++count;
        }
        value = 0;
        joined = c == u':';
    }

    for (int i = 0; i < count; ++i) {
        const int p = values[i];
        if (p == 38 || p == 48) {
            // Extended colour: "38;5;n" / "38;2;r;g;b", or the ':' form
            // "38:5:n" / "38:2:r:g:b" / "38:2:id:r:g:b". Anything short or out
            // of range leaves the colour as it was and uses up the rest.
            const bool colon = i + 1 < count && sub[i + 1];
            int j = i + 1;
            int parts[6];
            int nParts = 0;
            if (colon) {
                while (j < count && sub[j]) {
                    if (nParts < 6)
                        parts[nParts++] = values[j];
                    ++j;
                }
            } else {
                const int need = j < count ? (values[j] == 5 ? 2 : values[j] == 2 ? 4 : 1) : 0;
                while (j < count && nParts < need)
                    parts[nParts++] = values[j++];
                if (nParts < need)
                    j = count;
            }
            AnsiRgb colour = 0;
            bool ok = false;
            if (nParts >= 2 && parts[0] == 5) {
                ok = parts[1] <= 255;
                colour = paletteColour(parts[1]);
            } else if (nParts >= 4 && parts[0] == 2) {
                const int* c = nParts >= 5 ? parts + 2 : parts + 1;
                ok = c[0] <= 255 && c[1] <= 255 && c[2] <= 255;
                colour = rgb(c[0], c[1], c[2]);
            }
            if (ok && p == 38) {
                m_style.foreground = colour;
                m_style.flags |= AnsiStyle::HasForeground;
            } else if (ok) {
                m_style.background = colour;
                m_style.flags |= AnsiStyle::HasBackground;
            }
            i = j - 1;
            continue;
        }
        if (sub[i])
            continue; // sub-parameters of codes without meaning here
        if (p == 0) {
            m_style = AnsiStyle();
        } else if (p == 1) {
            m_style.flags |= AnsiStyle::Bold;
        } else if (p == 22) {
            m_style.flags &= ~AnsiStyle::Bold;
        } else if (p >= 30 && p <= 37) {
            m_style.foreground = kBasic[p - 30];
            m_style.flags |= AnsiStyle::HasForeground;
        } else if (p == 39) {
            m_style.flags &= ~AnsiStyle::HasForeground;
        } else if (p >= 40 && p <= 47) {
            m_style.background = kBasic[p - 40];
            m_style.flags |= AnsiStyle::HasBackground;
        } else if (p == 49) {
            m_style.flags &= ~AnsiStyle::HasBackground;
        } else if (p >= 90 && p <= 97) {
            m_style.foreground = kBasic[p - 90 + 8];
            m_style.flags |= AnsiStyle::HasForeground;
        } else if (p >= 100 && p <= 107) {
            m_style.background = kBasic[p - 100 + 8];
            m_style.flags |= AnsiStyle::HasBackground;
        }
    }
}
