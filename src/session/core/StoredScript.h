#pragma once

class CLuaScriptEngine;
class QObject;

// The script the engine had when the program last closed, kept in the
// configuration (LuaScriptMode, LuaScriptPath, LuaScriptEnabled).
class StoredScript
{
public:
    // Brings the stored script back as it was left: in script-executor mode
    // its path is set; a frame parser that was switched on is loaded (its
    // top-level code runs under the load watchdog) and switched on again,
    // unless `context` is gone by the time it has loaded.
    static void restore(CLuaScriptEngine* engine, QObject* context);
    // Keeps the stored path and switch in step with the engine while
    // `context` lives.
    static void follow(CLuaScriptEngine* engine, QObject* context);
};
