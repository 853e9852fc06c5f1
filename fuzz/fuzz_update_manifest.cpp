// Update manifest: any body parses or is refused without harm.
#include "FuzzSupport.h"
#include "UpdateManifest.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray body = fuzz::bytes(data, size);
    UpdateManifest m;
    if (UpdateManifest::parse(body, QStringLiteral("linux"), &m)) {
        if (!m.hasMandatory && m.mandatory)
            __builtin_trap();
    }
    UpdateManifest other;
    UpdateManifest::parse(body, QString::fromUtf8(body.left(16)), &other);
    return 0;
}
