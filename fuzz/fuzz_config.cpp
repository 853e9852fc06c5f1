// Configuration file: any config.ini loads; saving what loaded and loading
// that again must write the same file (the values survive a round trip).
#include "AppConfig.h"
#include "AppPaths.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::init(argc, argv);
    qputenv("HOME", fuzz::scratchDir().toLocal8Bit());
    QDir().mkpath(AppPaths::userDataDir());
    return 0;
}

namespace {
QByteArray saved()
{
    if (!AppConfig::saveConfiguration())
        __builtin_trap();
    QFile f(AppConfig::filePath());
    if (!f.open(QIODevice::ReadOnly))
        __builtin_trap();
    return f.readAll();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    {
        QFile f(AppConfig::filePath());
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            __builtin_trap();
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    AppConfig::resetToDefaults();
    AppConfig::loadConfiguration();
    const QByteArray first = saved();
    AppConfig::resetToDefaults();
    AppConfig::loadConfiguration();
    if (saved() != first)
        __builtin_trap();
    return 0;
}
