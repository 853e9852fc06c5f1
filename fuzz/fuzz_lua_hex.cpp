// cvn_send_hex's text: decoding never reads past the text, and the bytes it
// gives encode back to themselves.
#include "FuzzSupport.h"
#include "LuaHexText.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray text = fuzz::bytes(data, size);
    QByteArray bytes;
    if (LuaHexText::parse(text, &bytes) != LuaHexText::Ok)
        return 0;
    if (bytes.size() > text.size() / 2)
        __builtin_trap();
    QByteArray again;
    if (LuaHexText::parse(bytes.toHex(' '), &again) != LuaHexText::Ok || again != bytes)
        __builtin_trap();
    return 0;
}
