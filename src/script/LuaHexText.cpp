#include "LuaHexText.h"

LuaHexText::Result LuaHexText::parse(const QByteArray& text, QByteArray* bytes)
{
    bytes->clear();
    int pending = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '0' && i + 1 < text.size() && (text.at(i + 1) == 'x' || text.at(i + 1) == 'X')) {
            ++i;
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == ',' ||
            c == '-' || c == ';' || c == '_')
            continue;
        int nibble = -1;
        if (c >= '0' && c <= '9')
            nibble = c - '0';
        else if (c >= 'a' && c <= 'f')
            nibble = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            nibble = c - 'A' + 10;
        if (nibble < 0)
            return BadCharacter;
        if (pending < 0) {
            pending = nibble;
        } else {
            bytes->append(static_cast<char>((pending << 4) | nibble));
            pending = -1;
        }
    }
    return pending >= 0 ? OddLength : Ok;
}
