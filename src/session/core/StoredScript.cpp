#include "StoredScript.h"

#include "AppConfig.h"
#include "CLuaScriptEngine.h"

#include <QFileInfo>

void StoredScript::restore(CLuaScriptEngine* engine, QObject* context)
{
    engine->setMode(AppConfig::LuaScriptMode);
    const QString stored = AppConfig::LuaScriptPath;
    if (!QFileInfo(stored).isFile())
        return;
    if (engine->mode() == 1) {
        engine->setScriptFile(stored);
    } else if (AppConfig::LuaScriptEnabled) {
        QObject::connect(
            engine, &CLuaScriptEngine::scriptLoadFinished, context,
            [engine](bool ok) {
                if (ok)
                    engine->setEnabled(true);
            },
            Qt::SingleShotConnection);
        engine->loadScript(stored);
    }
}

void StoredScript::follow(CLuaScriptEngine* engine, QObject* context)
{
    QObject::connect(engine, &CLuaScriptEngine::scriptStateChanged, context, [engine](bool enabled, bool) {
        // An engine without a script must not wipe the stored path.
        const QString path = engine->scriptPath();
        if (!path.isEmpty())
            AppConfig::LuaScriptPath = path;
        AppConfig::LuaScriptEnabled = enabled;
    });
}
