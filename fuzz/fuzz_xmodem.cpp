// XMODEM sender fed random receiver answers in every state.
#include "FuzzSender.h"
#include "XMODEM.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    XMODEM engine;
    return fuzz::runSender(engine, data, size, [](Protocol& p, uint8_t options) {
        auto& e = static_cast<XMODEM&>(p);
        e.setUse1K(options & 1);
        e.setRetryLimit(options >> 5);
    });
}
