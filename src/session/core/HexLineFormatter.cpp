#include "HexLineFormatter.h"

#include "HexText.h"

#include <algorithm>

qsizetype HexLineFormatter::maxLength(qsizetype size, int bytesPerLine)
{
    if (bytesPerLine <= 0)
        bytesPerLine = 16;
    return size * 3 + size / bytesPerLine + 2;
}

void HexLineFormatter::append(QString& out, const char* data, qsizetype size, int bytesPerLine)
{
    if (bytesPerLine <= 0)
        bytesPerLine = 16;
    if (m_column >= bytesPerLine)
        m_column %= bytesPerLine; // the line length changed under a half line
    out.reserve(out.size() + maxLength(size, bytesPerLine));
    qsizetype pos = 0;
    while (pos < size) {
        const qsizetype room = bytesPerLine - m_column;
        const qsizetype n = std::min(size - pos, room);
        HexText::appendDisplay(out, data + pos, n);
        pos += n;
        m_column += int(n);
        if (m_column == bytesPerLine) {
            out.append(QLatin1Char('\n'));
            m_column = 0;
        }
    }
    out.append(QLatin1Char('\n'));
}
