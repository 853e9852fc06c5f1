#include "HexDumpLayout.h"

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

} // namespace

int HexDumpLayout::lineWidth(int n)
{
    n = qBound(kMinBytesPerLine, n, kMaxBytesPerLine);
    // offset, two blanks, "XX " per byte, a blank between groups, " |", chars, "|"
    return 8 + 2 + 3 * n + (n - 1) / 8 + 2 + n + 1;
}

int HexDumpLayout::bytesPerLineForColumns(int columns)
{
    int n = kMinBytesPerLine;
    while (n + 8 <= kMaxBytesPerLine && lineWidth(n + 8) <= columns)
        n += 8;
    return n;
}

void HexDumpLayout::append(QString& out, const char* data, qsizetype size, int bytesPerLine)
{
    const int n = qBound(kMinBytesPerLine, bytesPerLine, kMaxBytesPerLine);
    if (m_column >= n)
        m_column = 0; // the width changed under an unfinished line
    qsizetype i = 0;
    while (i < size) {
        const int first = m_column;
        const int count = int(qMin<qsizetype>(n - first, size - i));
        const qint64 lineOffset = m_offset - first;
        // Eight digits, more when the offset needs them.
        QString offsetText = QString::number(lineOffset, 16).toUpper();
        if (offsetText.size() < 8)
            offsetText.prepend(QString(8 - offsetText.size(), QLatin1Char('0')));
        out += offsetText;
        out += QLatin1String("  ");
        for (int c = 0; c < n; ++c) {
            if (c > 0 && c % 8 == 0)
                out += QLatin1Char(' ');
            if (c >= first && c < first + count) {
                const uchar b = uchar(data[i + c - first]);
                out += QLatin1Char(kDigits[b >> 4]);
                out += QLatin1Char(kDigits[b & 15]);
                out += QLatin1Char(' ');
            } else {
                out += QLatin1String("   ");
            }
        }
        out += QLatin1String(" |");
        if (first > 0)
            out += QString(first, QLatin1Char(' '));
        for (int c = 0; c < count; ++c) {
            const uchar b = uchar(data[i + c]);
            out += (b >= 0x20 && b < 0x7F) ? QLatin1Char(char(b)) : QLatin1Char('.');
        }
        out += QLatin1String("|\n");
        i += count;
        m_offset += count;
        m_column = (first + count) % n;
    }
}
