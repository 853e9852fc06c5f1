// YMODEM sender fed random receiver answers in every state.
#include "FuzzSender.h"
#include "YMODEM.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    YMODEM engine;
    return fuzz::runSender(engine, data, size, [](Protocol& p, uint8_t options) {
        auto& e = static_cast<YMODEM&>(p);
        e.setRetryLimit(options >> 5);
    });
}
