#include "TransferCrc.h"

#include <array>

namespace {

struct Crc16Table
{
    std::array<quint16, 256> t{};
    constexpr Crc16Table()
    {
        for (int i = 0; i < 256; ++i) {
            quint16 c = quint16(i << 8);
            for (int b = 0; b < 8; ++b)
                c = (c & 0x8000) ? quint16((c << 1) ^ 0x1021) : quint16(c << 1);
            t[size_t(i)] = c;
        }
    }
};

// Slicing by 8: ZMODEM checks every data byte, and a byte-wise table would
// cost more than the rest of the sender together at pty speeds.
struct Crc32Tables
{
    std::array<std::array<quint32, 256>, 8> t{};
    constexpr Crc32Tables()
    {
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int b = 0; b < 8; ++b)
                c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
            t[0][i] = c;
        }
        for (quint32 i = 0; i < 256; ++i)
            for (size_t k = 1; k < 8; ++k)
                t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
    }
};

constexpr Crc16Table kCrc16;
constexpr Crc32Tables kCrc32;

} // namespace

quint16 TransferCrc::crc16(const void* data, qsizetype length, quint16 crc)
{
    const auto* p = static_cast<const quint8*>(data);
    for (qsizetype i = 0; i < length; ++i)
        crc = quint16((crc << 8) ^ kCrc16.t[((crc >> 8) ^ p[i]) & 0xFF]);
    return crc;
}

quint32 TransferCrc::crc32(const void* data, qsizetype length, quint32 crc)
{
    const auto* p = static_cast<const quint8*>(data);
    const auto& t = kCrc32.t;
    quint32 c = ~crc;
    while (length >= 8) {
        const quint32 lo = c ^ (quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24);
        const quint32 hi = quint32(p[4]) | quint32(p[5]) << 8 | quint32(p[6]) << 16 | quint32(p[7]) << 24;
        c = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24]
            ^ t[3][hi & 0xFF] ^ t[2][(hi >> 8) & 0xFF] ^ t[1][(hi >> 16) & 0xFF] ^ t[0][hi >> 24];
        p += 8;
        length -= 8;
    }
    while (length-- > 0)
        c = (c >> 8) ^ t[0][(c ^ *p++) & 0xFF];
    return ~c;
}
