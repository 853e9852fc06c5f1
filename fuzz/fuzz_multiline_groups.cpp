// Multi-line group file: all or nothing on load, a refusal names its reason,
// and what loads saves to a file that loads to the same document.
#include "FuzzSupport.h"
#include "MultiLineDataManager.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = fuzz::writeScratch(QStringLiteral("groups.json"), fuzz::bytes(data, size));
    QList<MultiLineDataManager::Group> groups;
    groups.append({QStringLiteral("stale"), {}});
    QString error;
    if (!MultiLineDataManager::load(path, groups, &error)) {
        if (!groups.isEmpty() || error.isEmpty())
            __builtin_trap();
        return 0;
    }
    const QString copy = fuzz::scratchDir() + QStringLiteral("/groups-copy.json");
    if (!MultiLineDataManager::save(copy, groups, &error))
        __builtin_trap();
    QList<MultiLineDataManager::Group> again;
    if (!MultiLineDataManager::load(copy, again, &error))
        __builtin_trap();
    if (MultiLineDataManager::toJson(again) != MultiLineDataManager::toJson(groups))
        __builtin_trap();
    return 0;
}
