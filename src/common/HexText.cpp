#include "HexText.h"

#include <QList>
#include <QStringView>

namespace {
const char kDigits[] = "0123456789ABCDEF";

int hexValue(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}
} // namespace

QByteArray HexText::fromHexInput(const QString& text)
{
    const QString simple = text.simplified();
    QByteArray out;
    if (simple.size() < 2)
        return out;
    out.reserve(simple.size() / 2);
    const auto groups = QStringView(simple).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QStringView group : groups) {
        for (qsizetype i = 0; i + 1 < group.size(); i += 2) {
            const int hi = hexValue(group[i]);
            const int lo = hexValue(group[i + 1]);
            if (hi < 0 || lo < 0)
                continue;
            out.append(char((hi << 4) | lo));
        }
    }
    return out;
}

void HexText::appendDisplay(QString& out, const char* data, qsizetype size)
{
    const qsizetype start = out.size();
    out.resize(start + size * 3);
    QChar* p = out.data() + start;
    for (qsizetype i = 0; i < size; ++i) {
        const uchar b = uchar(data[i]);
        *p++ = QLatin1Char(kDigits[b >> 4]);
        *p++ = QLatin1Char(kDigits[b & 0x0F]);
        *p++ = QLatin1Char(' ');
    }
}

QString HexText::toDisplay(const QByteArray& bytes)
{
    QString out;
    appendDisplay(out, bytes.constData(), bytes.size());
    return out;
}

QString HexText::dump(const QByteArray& bytes, int perLine)
{
    if (perLine <= 0)
        perLine = 16;
    QString out;
    if (bytes.isEmpty())
        return out;
    out.reserve(bytes.size() * 3);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            out.append(i % perLine == 0 ? QLatin1Char('\n') : QLatin1Char(' '));
        const uchar b = uchar(bytes[i]);
        out.append(QLatin1Char(kDigits[b >> 4]));
        out.append(QLatin1Char(kDigits[b & 0x0F]));
    }
    return out;
}

bool HexText::isCleanHexInput(const QString& text)
{
    for (const QChar c : text) {
        if (!c.isSpace() && hexValue(c) < 0)
            return false;
    }
    return true;
}
