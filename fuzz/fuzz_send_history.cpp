// Send history file: whatever loads is saved and must load back the same.
#include "FuzzSupport.h"
#include "HistoryDataManager.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = fuzz::writeScratch(QStringLiteral("history.json"), fuzz::bytes(data, size));
    QStringList list{QStringLiteral("stale")};
    if (!HistoryDataManager::load(path, list)) {
        if (!list.isEmpty())
            __builtin_trap();
        return 0;
    }
    const QString copy = fuzz::scratchDir() + QStringLiteral("/history-copy.json");
    if (!HistoryDataManager::save(copy, list))
        __builtin_trap();
    QStringList again;
    HistoryDataManager::load(copy, again);
    if (again != list)
        __builtin_trap();
    return 0;
}
