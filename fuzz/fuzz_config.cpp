// Configuration file: any config.ini loads; saving what loaded and loading
// that again must write the same settings (ours and the keys we keep). The
// text may differ: QSettings spells a malformed section such as "[\\x]" one
// way when reading and another when writing, with the same keys.
#include "AppConfig.h"
#include "AppPaths.h"
#include "FuzzSupport.h"

#include <QMap>
#include <QSettings>
#include <QVariant>

#include <cstdio>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::init(argc, argv);
    qputenv("HOME", fuzz::scratchDir().toLocal8Bit());
    QDir().mkpath(AppPaths::userDataDir());
    return 0;
}

namespace {
QMap<QString, QVariant> settingsIn(const QByteArray& ini)
{
    const QString path = fuzz::writeScratch(QStringLiteral("compare.ini"), ini);
    QSettings s(path, QSettings::IniFormat);
    QMap<QString, QVariant> values;
    for (const QString& key : s.allKeys())
        values.insert(key, s.value(key));
    return values;
}

// A loaded file that does not save again loses the user's settings at exit
// (roundtrip_open.ini did, through a key with no readable value).
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
    const QByteArray second = saved();
    if (second != first && settingsIn(second) != settingsIn(first)) {
        if (qEnvironmentVariableIsSet("FUZZ_VERBOSE"))
            fprintf(stderr, "first save:\n%s\nsecond save:\n%s\n", first.constData(), second.constData());
        __builtin_trap();
    }
    return 0;
}
