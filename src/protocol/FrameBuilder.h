#pragma once

#include "FrameProtocol.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

// Builds the bytes of one frame from a protocol and the user's values:
// value fields first, then lengths and checksums over them, then everything
// in field order. The first bad value stops the build with one message.
class FrameBuilder
{
    Q_DECLARE_TR_FUNCTIONS(FrameBuilder)

public:
    // Checksums over more than this many bytes are refused rather than
    // concatenating without bound ("over" may name a big field many times).
    static constexpr qsizetype kMaxChecksumData = 64 * 1024 * 1024;

    // Empty result on failure; `error` (if given) is set only then.
    static QByteArray build(const FrameProtocol& protocol, const FieldValues& values,
                            QString* error = nullptr);

    // `value` in `size` bytes; bytes beyond the 64-bit value are zero.
    static void appendInteger(QByteArray& out, quint64 value, qint64 size, bool bigEndian);
    // Decimal, or hexadecimal after "0x"/"0X"; digits only, no sign, no overflow.
    static bool parseUnsigned(const QString& text, quint64* value);
    // 2^bits - 1, all ones from 64 bits on, 0 for widths of 0 or less.
    static quint64 maxForBits(qint32 bits);
};
