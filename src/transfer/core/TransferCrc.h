#pragma once

#include <QtGlobal>

// The two checks of the serial transfer protocols: CRC-16/XMODEM (poly
// 0x1021, init 0, not reflected, no final XOR) and CRC-32/IEEE 802.3
// (reflected 0xEDB88320, init and final XOR 0xFFFFFFFF). Both can be run
// over several pieces by passing the previous result back in.
class TransferCrc
{
public:
    static quint16 crc16(const void* data, qsizetype length, quint16 crc = 0);
    // `crc` is a finished CRC-32 of the bytes before (0 for none).
    static quint32 crc32(const void* data, qsizetype length, quint32 crc = 0);
};
