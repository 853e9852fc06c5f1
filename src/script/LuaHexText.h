#pragma once

#include <QByteArray>

// The hex text cvn_send_hex takes: pairs of hex digits, with "0x" prefixes and
// the separators space, tab, CR, LF, VT, FF, ",", "-", ";" and "_" ignored.
class LuaHexText
{
public:
    enum Result
    {
        Ok,
        BadCharacter,
        OddLength
    };
    // Writes the decoded bytes to `bytes` (cleared first); on failure they
    // hold what was decoded before the fault.
    static Result parse(const QByteArray& text, QByteArray* bytes);
};
