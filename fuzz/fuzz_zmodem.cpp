// ZMODEM sender fed random receiver answers in every state.
#include "FuzzSender.h"
#include "ZMODEM.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ZMODEM engine;
    return fuzz::runSender(engine, data, size, [](Protocol& p, uint8_t options) {
        auto& e = static_cast<ZMODEM&>(p);
        e.setSubpacketLength(64 << (options & 7));
        e.setRetryLimit(options >> 5);
    });
}
