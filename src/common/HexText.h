#pragma once

#include <QByteArray>
#include <QString>

// Conversions between bytes and the hex texts the user types and reads.
class HexText
{
public:
    // Hex text typed by the user -> bytes. White-space runs split the text into
    // groups; each consecutive pair of characters in a group gives one byte.
    // A pair holding a character that is not a hex digit gives no byte, and an
    // odd last character of a group is ignored, so "0x11 0x22" gives 11 22.
    static QByteArray fromHexInput(const QString& text);

    // Upper-case two-digit hex, each byte followed by one space ("AA 01 ").
    static QString toDisplay(const QByteArray& bytes);
    // Appends the same form to `out`, for callers that build larger texts.
    static void appendDisplay(QString& out, const char* data, qsizetype size);

    // Upper-case hex separated by single spaces, `perLine` bytes per line
    // (16 when perLine <= 0), lines separated by "\n", no trailing separator.
    static QString dump(const QByteArray& bytes, int perLine);

    // True when the text holds nothing but hex digits and white space.
    static bool isCleanHexInput(const QString& text);
};
