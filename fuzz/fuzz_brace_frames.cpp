// Brace-frame stream parser: the same bytes handed over whole and in random
// chunks must give the same frames; the buffer stays bounded.
#include "CsvProtocolParser.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    // The first two bytes seed the chunk sizes.
    quint32 seed = data[0] | (quint32(data[1]) << 8);
    const QByteArray input = fuzz::bytes(data + 2, size - 2);

    CsvProtocolParser whole;
    whole.handleData(input);
    const QList<QByteArray> expected = whole.takeFrames(INT_MAX);

    CsvProtocolParser chunked;
    QList<QByteArray> got;
    qsizetype pos = 0;
    while (pos < input.size()) {
        seed = seed * 1103515245u + 12345u;
        const qsizetype n = qsizetype((seed >> 16) % 97) + 1;
        chunked.handleData(input.mid(pos, n));
        pos += n;
        if (chunked.bufferedByteCount() > CsvProtocolParser::kMaxFrameLength + 1)
            __builtin_trap();
        if (seed & 0x100) // the drain takes frames while more arrive
            got += chunked.takeFrames(int(seed >> 24) + 1);
    }
    got += chunked.takeFrames(INT_MAX);
    if (got != expected)
        __builtin_trap();
    for (const QByteArray& f : got) {
        if (f.size() > CsvProtocolParser::kMaxFrameLength)
            __builtin_trap();
    }
    return 0;
}
