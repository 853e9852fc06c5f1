#include "CLuaScriptEngine.h"

#include "LuaHexText.h"
#include "SendWait.h"
#include "SerialPortManager.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QMutexLocker>
#include <QThread>
#include <QTimer>

#include <lua.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

const char kRegistryKey[] = "cvn_engine";
const char kParserName[] = "cvn_frame_parser";
const char kApiVersion[] = "5.6";
const char kStopText[] = "automation stopped";

// Set on the automation thread: the one script thread that may wait for the
// port as long as it takes.
thread_local bool t_automationThread = false;

// Lua's own number text ("2.5", "3", "1.0"), made without asking the
// interpreter, which could allocate and so raise outside a protected call.
QByteArray numberText(lua_State* L, int index)
{
    if (lua_isinteger(L, index))
        return QByteArray::number(static_cast<qlonglong>(lua_tointeger(L, index)));
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14g", static_cast<double>(lua_tonumber(L, index)));
    if (std::strspn(buf, "-0123456789") == std::strlen(buf))
        std::strcat(buf, ".0");
    return QByteArray(buf);
}

int pushBytesProtected(lua_State* L)
{
    const auto* bytes = static_cast<const QByteArray*>(lua_touserdata(L, 1));
    lua_pushlstring(L, bytes->constData(), static_cast<size_t>(bytes->size()));
    return 1;
}

// Pushes `bytes` as a Lua string. Running out of memory is caught here, so no
// Lua error ever jumps over the caller's C++ objects; false leaves the error
// object on the stack for the caller to raise once those objects are gone.
bool pushBytes(lua_State* L, const QByteArray& bytes)
{
    lua_pushcfunction(L, pushBytesProtected);
    lua_pushlightuserdata(L, const_cast<QByteArray*>(&bytes));
    return lua_pcall(L, 1, 1, 0) == LUA_OK;
}

struct ParserCall
{
    const QByteArray* chunk = nullptr;
    bool notFunction = false;
};

// One call of the script's parser, run in protected mode as a whole.
int callParserProtected(lua_State* L)
{
    auto* call = static_cast<ParserCall*>(lua_touserdata(L, 1));
    if (lua_getglobal(L, kParserName) != LUA_TFUNCTION) {
        call->notFunction = true;
        return 0;
    }
    lua_pushlstring(L, call->chunk->constData(), static_cast<size_t>(call->chunk->size()));
    lua_call(L, 1, 1);
    return 1;
}

CLuaScriptEngine* engineOf(lua_State* L)
{
    return static_cast<CLuaScriptEngine*>(lua_touserdata(L, lua_upvalueindex(1)));
}

} // namespace

// The C side of every global the scripts see. Each function checks its
// arguments first (those checks may raise), then does its work in a block
// whose C++ objects are gone before anything else is raised.
struct CLuaScriptEngine::Api
{
    static int raise(lua_State* L, Interrupt reason) { return luaL_error(L, "%s", interruptText(reason)); }

    static int print(lua_State* L, bool newline)
    {
        CLuaScriptEngine* e = engineOf(L);
        {
            QByteArray text;
            const int n = lua_gettop(L);
            for (int i = 1; i <= n; ++i) {
                if (i > 1)
                    text.append('\t');
                const int type = lua_type(L, i);
                if (type == LUA_TSTRING) {
                    size_t len = 0;
                    const char* s = lua_tolstring(L, i, &len);
                    text.append(s, static_cast<qsizetype>(len));
                } else if (type == LUA_TNUMBER) {
                    text.append(numberText(L, i));
                }
            }
            if (newline)
                text.append('\n');
            if (e && !text.isEmpty())
                e->writeOutput(QString::fromUtf8(text));
        }
        return 0;
    }
    static int qtPrint(lua_State* L) { return print(L, false); }
    static int println(lua_State* L) { return print(L, true); }

    static int getVersion(lua_State* L)
    {
        lua_pushfstring(L, "cvn version %s", kApiVersion);
        return 1;
    }

    static int send(lua_State* L)
    {
        CLuaScriptEngine* e = engineOf(L);
        size_t len = 0;
        const char* s = luaL_checklstring(L, 1, &len);
        bool ok = false;
        if (len > 0)
            ok = e->sendDataToPort(QByteArray(s, static_cast<qsizetype>(len)));
        if (const Interrupt r = e->pendingInterrupt())
            return raise(L, r);
        lua_pushboolean(L, ok);
        return 1;
    }

    static int sleepMs(lua_State* L)
    {
        CLuaScriptEngine* e = engineOf(L);
        const lua_Integer ms = luaL_checkinteger(L, 1);
        if (const Interrupt r = e->sleepMs(ms))
            return raise(L, r);
        return 0;
    }

    static int wave(lua_State* L)
    {
        CLuaScriptEngine* e = engineOf(L);
        const int n = lua_gettop(L);
        if (n == 0)
            return luaL_error(L, "cvn_wave: at least one argument required");
        if (n == 1 && lua_type(L, 1) == LUA_TSTRING) {
            size_t len = 0;
            const char* s = lua_tolstring(L, 1, &len);
            {
                QByteArray frame(s, static_cast<qsizetype>(len));
                if (!frame.contains('{'))
                    frame = '{' + frame + '}';
                QMutexLocker lock(&e->m_lock);
                e->writeWave(frame);
            }
            return 0;
        }
        for (int i = 1; i <= n; ++i) {
            if (lua_type(L, i) != LUA_TNUMBER)
                return luaL_error(L, "cvn_wave: argument %d must be a number", i);
            if (!std::isfinite(static_cast<double>(lua_tonumber(L, i))))
                return luaL_error(L, "cvn_wave: argument %d must be finite (no NaN/Inf)", i);
        }
        {
            QByteArray frame("{");
            for (int i = 1; i <= n; ++i) {
                if (i > 1)
                    frame.append(',');
                frame.append(QByteArray::number(static_cast<double>(lua_tonumber(L, i)), 'g', 6));
            }
            frame.append('}');
            QMutexLocker lock(&e->m_lock);
            e->writeWave(frame);
        }
        return 0;
    }

    static int sendHex(lua_State* L)
    {
        CLuaScriptEngine* e = engineOf(L);
        size_t len = 0;
        const char* s = luaL_checklstring(L, 1, &len);
        bool ok = false;
        {
            const QByteArray text(s, static_cast<qsizetype>(len));
            QByteArray bytes;
            const LuaHexText::Result parsed = LuaHexText::parse(text, &bytes);
            const bool bad = parsed == LuaHexText::BadCharacter;
            const bool odd = parsed == LuaHexText::OddLength;
            if (bad) {
                e->writeOutput(
                    QStringLiteral("cvn_send_hex: invalid hex string: %1\n").arg(QString::fromUtf8(text)));
            } else if (odd) {
                e->writeOutput(QStringLiteral("cvn_send_hex: invalid hex string (odd length)\n"));
            } else if (!bytes.isEmpty()) {
                ok = e->sendDataToPort(bytes);
            }
        }
        if (const Interrupt r = e->pendingInterrupt())
            return raise(L, r);
        lua_pushboolean(L, ok);
        return 1;
    }

    static int clearRx(lua_State* L)
    {
        engineOf(L)->clearRxQueue();
        return 0;
    }

    static int receive(lua_State* L)
    {
        CLuaScriptEngine* e = engineOf(L);
        const lua_Integer timeout = luaL_checkinteger(L, 1);
        Interrupt r = NoInterrupt;
        bool pushed = false;
        {
            QByteArray data;
            r = e->receiveLoop(timeout, QByteArray(), true, &data, nullptr);
            if (r == NoInterrupt)
                pushed = pushBytes(L, data);
        }
        if (r != NoInterrupt)
            return raise(L, r);
        if (!pushed)
            return lua_error(L);
        return 1;
    }

    static int receiveUntil(lua_State* L)
    {
        CLuaScriptEngine* e = engineOf(L);
        size_t len = 0;
        const char* pattern = luaL_checklstring(L, 1, &len);
        const lua_Integer timeout = luaL_checkinteger(L, 2);
        return receiveFor(L, e, pattern, len, timeout);
    }

    // Waits for the pattern and pushes (found, bytes); an interrupt or a failed
    // push raises. The pattern and the bytes go out of scope before any error
    // jumps (a jump skips destructors).
    static int receiveFor(lua_State* L, CLuaScriptEngine* e, const char* pattern, size_t patternLen,
                          lua_Integer timeout)
    {
        Interrupt r = NoInterrupt;
        bool found = false;
        bool pushed = false;
        {
            const QByteArray wanted(pattern, static_cast<qsizetype>(patternLen));
            QByteArray data;
            r = e->receiveLoop(timeout, wanted, false, &data, &found);
            if (r == NoInterrupt) {
                lua_pushboolean(L, found);
                pushed = pushBytes(L, data);
            }
        }
        if (r != NoInterrupt)
            return raise(L, r);
        if (!pushed)
            return lua_error(L);
        return 2;
    }

    static int expect(lua_State* L)
    {
        CLuaScriptEngine* e = engineOf(L);
        size_t sendLen = 0;
        size_t expectLen = 0;
        const char* sendText = luaL_checklstring(L, 1, &sendLen);
        const char* expectText = luaL_checklstring(L, 2, &expectLen);
        const lua_Integer timeout = luaL_checkinteger(L, 3);
        if (!e->m_portManager) {
            lua_pushboolean(L, false);
            lua_pushliteral(L, "");
            return 2;
        }
        e->clearRxQueue();
        bool sent = false;
        if (sendLen > 0)
            sent = e->sendDataToPort(QByteArray(sendText, static_cast<qsizetype>(sendLen)));
        if (!sent) {
            if (const Interrupt r = e->pendingInterrupt())
                return raise(L, r);
            e->writeOutput(QStringLiteral("[cvn_expect] send failed (serial port not open?)\n"));
            lua_pushboolean(L, false);
            lua_pushliteral(L, "");
            return 2;
        }
        return receiveFor(L, e, expectText, expectLen, timeout);
    }

    static int report(lua_State* L)
    {
        CLuaScriptEngine* e = engineOf(L);
        size_t nameLen = 0;
        size_t detailLen = 0;
        const char* name = luaL_checklstring(L, 1, &nameLen);
        const bool passed = lua_toboolean(L, 2);
        const char* detail = luaL_optlstring(L, 3, "", &detailLen);
        if (e) {
            e->report(QString::fromUtf8(name, static_cast<qsizetype>(nameLen)), passed,
                      QString::fromUtf8(detail, static_cast<qsizetype>(detailLen)));
        }
        lua_pushboolean(L, passed);
        return 1;
    }

    // lua_error jumps over C++ frames without unwinding them: the message is
    // pushed from a scope of its own, so its buffers are gone before the jump.
    static int osExit(lua_State* L)
    {
        luaL_where(L, 1);
        {
            const QByteArray text =
                CLuaScriptEngine::tr("os.exit is not available in scripts: return from the script instead")
                    .toUtf8();
            lua_pushlstring(L, text.constData(), static_cast<size_t>(text.size()));
        }
        lua_concat(L, 2);
        return lua_error(L);
    }

    static int portIsOpen(lua_State* L)
    {
        CLuaScriptEngine* e = engineOf(L);
        bool open = false;
        if (SerialPortManager* pm = e->m_portManager) {
            if (pm->thread() == QThread::currentThread())
                open = pm->isOpen();
            else
                open = e->m_portOpen.load();
        }
        lua_pushboolean(L, open);
        return 1;
    }

    // Everything a new interpreter gets, run in protected mode so that even
    // a tiny memory cap ends in an error instead of a panic.
    static int setup(lua_State* L)
    {
        auto* e = static_cast<CLuaScriptEngine*>(lua_touserdata(L, 1));
        luaL_openlibs(L);
        // os.exit would end the whole program, log and settings included.
        lua_getglobal(L, "os");
        if (lua_istable(L, -1)) {
            lua_pushcfunction(L, &Api::osExit);
            lua_setfield(L, -2, "exit");
        }
        lua_pop(L, 1);
        const auto reg = [L, e](const char* name, lua_CFunction fn) {
            lua_pushlightuserdata(L, e);
            lua_pushcclosure(L, fn, 1);
            lua_setglobal(L, name);
        };
        reg("qt_print", &Api::qtPrint);
        if (luaL_loadstring(L, "print = function(...) qt_print(...) end") == LUA_OK)
            lua_call(L, 0, 0);
        else
            lua_pop(L, 1);
        reg("println", &Api::println);
        lua_pushlightuserdata(L, e);
        lua_setfield(L, LUA_REGISTRYINDEX, kRegistryKey);
        reg("cvn_get_version", &Api::getVersion);
        reg("cvn_send", &Api::send);
        reg("cvn_sleep_ms", &Api::sleepMs);
        reg("cvn_wave", &Api::wave);
        reg("cvn_send_hex", &Api::sendHex);
        reg("cvn_clear_rx", &Api::clearRx);
        reg("cvn_receive", &Api::receive);
        reg("cvn_receive_until", &Api::receiveUntil);
        reg("cvn_expect", &Api::expect);
        reg("cvn_report", &Api::report);
        reg("cvn_port_is_open", &Api::portIsOpen);
        return 0;
    }
};

CLuaScriptEngine::CLuaScriptEngine(QObject* parent) : QObject(parent)
{
    QMutexLocker lock(&m_lock);
    createState();
}

CLuaScriptEngine::~CLuaScriptEngine()
{
    shutdown();
    if (m_automationThread.joinable())
        m_automationThread.join();
    if (m_loadThread.joinable())
        m_loadThread.join();
    QMutexLocker lock(&m_lock);
    closeState();
}

void CLuaScriptEngine::setSerialPortManager(SerialPortManager* manager)
{
    if (m_portManager)
        disconnect(m_portManager, nullptr, this, nullptr);
    m_portManager = manager;
    m_portOpen.store(manager && manager->isOpen());
    if (!manager)
        return;
    // Script threads must not touch the port object; they read this copy.
    const auto track = [this] { m_portOpen.store(m_portManager && m_portManager->isOpen()); };
    connect(manager, &SerialPortManager::connected, this, track, Qt::DirectConnection);
    connect(manager, &SerialPortManager::disconnected, this, track, Qt::DirectConnection);
    connect(manager, &SerialPortManager::errorOccurred, this, track, Qt::DirectConnection);
    connect(manager, &QObject::destroyed, this, [this] {
        m_portManager = nullptr;
        m_portOpen.store(false);
    });
}

QString CLuaScriptEngine::scriptPath() const
{
    QMutexLocker lock(&m_textMutex);
    return m_scriptPath;
}

QString CLuaScriptEngine::lastError() const
{
    QMutexLocker lock(&m_textMutex);
    return m_lastError;
}

void CLuaScriptEngine::setLastError(const QString& text)
{
    QMutexLocker lock(&m_textMutex);
    m_lastError = text;
}

qsizetype CLuaScriptEngine::queuedBytes() const
{
    QMutexLocker lock(&m_queueMutex);
    return m_rxTotal;
}

void* CLuaScriptEngine::allocate(void* ud, void* ptr, std::size_t osize, std::size_t nsize)
{
    auto* a = static_cast<Allocator*>(ud);
    const std::size_t old = ptr ? osize : 0;
    if (nsize == 0) {
        std::free(ptr);
        a->used -= old;
        return nullptr;
    }
    // Growth past the cap fails like a real out-of-memory: Lua turns it
    // into its "not enough memory" error instead of the system killing us.
    if (nsize > old && a->limit && a->used - old + nsize > a->limit->load())
        return nullptr;
    void* p = std::realloc(ptr, nsize);
    if (!p)
        return nullptr;
    a->used = a->used - old + nsize;
    return p;
}

void CLuaScriptEngine::countHook(lua_State* L, lua_Debug* ar)
{
    Q_UNUSED(ar);
    auto* e = *static_cast<CLuaScriptEngine**>(lua_getextraspace(L));
    if (!e)
        return;
    const Interrupt r = e->pendingInterrupt();
    if (r == StopInterrupt)
        luaL_error(L, "%s\n", kStopText);
    else if (r != NoInterrupt)
        luaL_error(L, "%s", interruptText(r));
}

bool CLuaScriptEngine::createState()
{
    closeState();
    m_alloc.used = 0;
    m_alloc.limit = &m_memoryLimit;
    lua_State* L = lua_newstate(&CLuaScriptEngine::allocate, &m_alloc);
    if (!L) {
        setLastError(tr("Failed to create Lua state"));
        return false;
    }
    *static_cast<CLuaScriptEngine**>(lua_getextraspace(L)) = this;
    lua_pushcfunction(L, &Api::setup);
    lua_pushlightuserdata(L, this);
    if (lua_pcall(L, 1, 0, 0) != LUA_OK) {
        qWarning().noquote() << "[CLuaScriptEngine] interpreter set-up failed:" << errorObjectText(L, -1);
        lua_close(L);
        setLastError(tr("Failed to create Lua state"));
        return false;
    }
    m_L = L;
    return true;
}

void CLuaScriptEngine::closeState()
{
    if (m_L) {
        lua_close(m_L);
        m_L = nullptr;
    }
}

QString CLuaScriptEngine::errorObjectText(lua_State* L, int index)
{
    if (lua_type(L, index) == LUA_TSTRING) {
        size_t len = 0;
        const char* s = lua_tolstring(L, index, &len);
        return QString::fromUtf8(s, static_cast<qsizetype>(len));
    }
    return QStringLiteral("(error object is a %1 value)").arg(QString::fromLatin1(luaL_typename(L, index)));
}

CLuaScriptEngine::Interrupt CLuaScriptEngine::pendingInterrupt()
{
    if (m_stopRequested.load() && m_automationRunning.load())
        return StopInterrupt;
    if (m_loadWatch.load() && m_loadTimer.elapsed() > kLoadTimeoutMs)
        return LoadTimeoutInterrupt;
    if (m_parseWatch.load() && m_parseTimer.elapsed() > kParserTimeoutMs) {
        m_parseTimedOut.store(true);
        return ParserTimeoutInterrupt;
    }
    if (m_shuttingDown.load() && (m_loadWatch.load() || m_parseWatch.load()))
        return ShutdownInterrupt;
    return NoInterrupt;
}

const char* CLuaScriptEngine::interruptText(Interrupt reason)
{
    switch (reason) {
    case StopInterrupt:
        return kStopText;
    case LoadTimeoutInterrupt:
        return "script load timeout: possible infinite loop in top-level code";
    case ParserTimeoutInterrupt:
        return "frame parser timeout: cvn_frame_parser ran longer than 2000 ms";
    case ShutdownInterrupt:
        return "script engine shutting down";
    case NoInterrupt:
        break;
    }
    return "";
}

void CLuaScriptEngine::writeOutput(const QString& text)
{
    if (text.isEmpty())
        return;
    if (m_collecting.load())
        m_collectedText.append(text);
    else
        Q_EMIT scriptOutput(text);
}

void CLuaScriptEngine::writeWave(const QByteArray& frame)
{
    if (m_collecting.load())
        m_collectedWave.append(frame);
    else
        Q_EMIT waveDataReady(frame);
}

bool CLuaScriptEngine::sendDataToPort(const QByteArray& data)
{
    SerialPortManager* pm = m_portManager;
    if (!pm)
        return false;
    if (pm->thread() == QThread::currentThread())
        return pm->isOpen() && pm->write(data);

    // Only an automation run may wait as long as the port needs; the frame
    // parser and a load hold the interpreter on behalf of the whole program.
    const bool bounded = !t_automationThread;
    auto wait = std::make_shared<SendWait>();
    QMetaObject::invokeMethod(
        pm,
        [pm, wait, data] {
            {
                QMutexLocker lock(&wait->mutex);
                if (wait->cancelled)
                    return;
            }
            const bool ok = pm->isOpen() && pm->write(data);
            QMutexLocker lock(&wait->mutex);
            wait->result = ok;
            wait->done = true;
            wait->cond.wakeAll();
        },
        Qt::QueuedConnection);

    QElapsedTimer clock;
    clock.start();
    bool timedOut = false;
    bool result = false;
    {
        QMutexLocker lock(&wait->mutex);
        while (!wait->done) {
            if (m_shuttingDown.load() || pendingInterrupt() != NoInterrupt) {
                wait->cancelled = true;
                break;
            }
            if (bounded && clock.elapsed() >= kSendWaitMs) {
                wait->cancelled = true;
                timedOut = true;
                break;
            }
            wait->cond.wait(&wait->mutex, kWaitSliceMs);
        }
        result = wait->done && wait->result;
    }
    if (timedOut) {
        writeOutput(tr("[cvn_send] the port did not take the data within %1 ms; %2 bytes dropped\n")
                        .arg(kSendWaitMs)
                        .arg(data.size()));
    }
    return result;
}

void CLuaScriptEngine::enqueueRxData(const QByteArray& data)
{
    if (data.isEmpty() || m_mode.load() != 1)
        return;
    {
        QMutexLocker lock(&m_queueMutex);
        m_rxQueue.append(data);
        m_rxTotal += data.size();
        // Keep exactly the newest kRxQueueCap bytes: whole old chunks go
        // first, and a chunk larger than the cap keeps its tail.
        while (m_rxTotal > kRxQueueCap && !m_rxQueue.isEmpty()) {
            const qsizetype excess = m_rxTotal - kRxQueueCap;
            QByteArray& oldest = m_rxQueue.first();
            if (oldest.size() <= excess) {
                m_rxTotal -= oldest.size();
                m_rxQueue.removeFirst();
            } else {
                oldest.remove(0, excess);
                m_rxTotal -= excess;
            }
        }
    }
    m_queueCond.wakeAll();
}

void CLuaScriptEngine::clearRxQueue()
{
    QMutexLocker lock(&m_queueMutex);
    m_rxQueue.clear();
    m_rxTotal = 0;
}

CLuaScriptEngine::Interrupt CLuaScriptEngine::receiveLoop(qint64 timeoutMs, const QByteArray& pattern,
                                                          bool quiet, QByteArray* out, bool* found)
{
    if (found)
        *found = false;
    QElapsedTimer clock;
    clock.start();
    qint64 lastData = -1;
    for (;;) {
        if (timeoutMs > 0 && clock.elapsed() >= timeoutMs)
            return NoInterrupt;
        if (const Interrupt r = pendingInterrupt())
            return r;
        QMutexLocker lock(&m_queueMutex);
        const qsizetype before = out->size();
        while (!m_rxQueue.isEmpty()) {
            const QByteArray chunk = m_rxQueue.takeFirst();
            m_rxTotal -= chunk.size();
            out->append(chunk);
        }
        if (out->size() > before) {
            lastData = clock.elapsed();
            // Only the new bytes (and a pattern's width before them) can hold a new match.
            const qsizetype from = qMax<qsizetype>(0, before - pattern.size() + 1);
            if (!pattern.isEmpty() && out->indexOf(pattern, from) >= 0) {
                if (found)
                    *found = true;
                return NoInterrupt;
            }
            if (!quiet)
                continue;
        } else if (quiet && !out->isEmpty() && clock.elapsed() - lastData >= kQuietMs) {
            return NoInterrupt;
        }
        qint64 slice = kWaitSliceMs;
        if (timeoutMs > 0)
            slice = qMin(slice, timeoutMs - clock.elapsed());
        if (quiet && lastData >= 0)
            slice = qMin(slice, kQuietMs - (clock.elapsed() - lastData));
        m_queueCond.wait(&m_queueMutex, static_cast<unsigned long>(qMax<qint64>(slice, 1)));
    }
}

CLuaScriptEngine::Interrupt CLuaScriptEngine::sleepMs(qint64 ms)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (const Interrupt r = pendingInterrupt())
            return r;
        const qint64 left = ms - clock.elapsed();
        if (left <= 0)
            return NoInterrupt;
        QMutexLocker lock(&m_queueMutex);
        m_queueCond.wait(&m_queueMutex, static_cast<unsigned long>(qMin<qint64>(left, kWaitSliceMs)));
    }
}

void CLuaScriptEngine::report(const QString& name, bool passed, const QString& detail)
{
    if (passed) {
        ++m_passCount;
        writeOutput(QStringLiteral("[PASS] %1\n").arg(name));
    } else {
        ++m_failCount;
        writeOutput(QStringLiteral("[FAIL] %1: %2\n").arg(name, detail));
    }
    qint64 elapsed = 0;
    if (m_reportTimer.isValid())
        elapsed = m_reportTimer.restart();
    Q_EMIT testReported(name, passed, detail, elapsed);
}

bool CLuaScriptEngine::validateParserScript(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        setLastError(tr("Failed to open script: %1").arg(path));
        return false;
    }
    // The parser's name must appear before any of the script's code runs.
    const QString text = QString::fromUtf8(file.readAll());
    file.close();
    if (!text.contains(QLatin1String(kParserName))) {
        setLastError(tr("cvn_frame_parser not defined in script"));
        return false;
    }
    const QByteArray native = QFile::encodeName(path);
    if (luaL_loadfile(m_L, native.constData()) != LUA_OK) {
        setLastError(errorObjectText(m_L, -1));
        lua_settop(m_L, 0);
        return false;
    }
    m_loadTimer.start();
    m_loadWatch.store(true);
    lua_sethook(m_L, &CLuaScriptEngine::countHook, LUA_MASKCOUNT, kHookInstructions);
    const int status = lua_pcall(m_L, 0, 0, 0);
    lua_sethook(m_L, nullptr, 0, 0);
    m_loadWatch.store(false);
    if (status != LUA_OK) {
        setLastError(errorObjectText(m_L, -1));
        lua_settop(m_L, 0);
        return false;
    }
    const bool isFunction = lua_getglobal(m_L, kParserName) == LUA_TFUNCTION;
    lua_settop(m_L, 0);
    if (!isFunction) {
        setLastError(tr("cvn_frame_parser not defined in script"));
        return false;
    }
    return true;
}

bool CLuaScriptEngine::loadScript(const QString& path)
{
    if (m_loading.load() || m_automationRunning.load() || m_shuttingDown.load())
        return false;
    const QFileInfo info(path);
    if (!info.exists() || info.isDir()) {
        setLastError(info.isDir() ? tr("Not a script file: %1").arg(path)
                                  : tr("File not found: %1").arg(path));
        Q_EMIT scriptError(lastError());
        return false;
    }
    {
        QMutexLocker lock(&m_textMutex);
        m_scriptPath = path;
        m_lastError.clear();
    }
    if (m_loadThread.joinable())
        m_loadThread.join();
    m_loading.store(true);
    m_loadThread = std::thread(&CLuaScriptEngine::loadThreadMain, this, path);
    return true;
}

void CLuaScriptEngine::loadThreadMain(QString path)
{
    bool ok = false;
    QString error;
    {
        QMutexLocker lock(&m_lock);
        if (!createState()) {
            error = lastError();
        } else if (validateParserScript(path)) {
            setLastError(QString());
            ok = true;
        } else {
            error = lastError();
        }
    }
    if (ok) {
        m_parserErrorReported.store(false);
        Q_EMIT scriptStateChanged(m_enabled.load(), true);
    } else {
        Q_EMIT scriptError(error);
    }
    // Cleared before the signal, so a handler may start the next load at once.
    m_loading.store(false);
    Q_EMIT scriptLoadFinished(ok);
}

bool CLuaScriptEngine::setScriptFile(const QString& path)
{
    if (m_loading.load())
        return false;
    const QFileInfo info(path);
    if (!info.exists() || info.isDir()) {
        setLastError(info.isDir() ? tr("Not a script file: %1").arg(path)
                                  : tr("File not found: %1").arg(path));
        Q_EMIT scriptError(lastError());
        return false;
    }
    {
        QMutexLocker lock(&m_textMutex);
        m_scriptPath = path;
        m_lastError.clear();
    }
    Q_EMIT scriptStateChanged(m_enabled.load(), true);
    return true;
}

bool CLuaScriptEngine::reloadScript()
{
    if (scriptPath().isEmpty()) {
        setLastError(tr("No script file to reload"));
        return false;
    }
    // A script holding the interpreter may be waiting for this very thread
    // (a send through the port); so wait only briefly and come back later.
    // An automation run holds the interpreter for its whole length: retries
    // during a run only look, so the GUI does not stutter.
    if (!m_lock.tryLock(m_automationRunning.load() ? 0 : kGuiLockWaitMs)) {
        setLastError(tr("Script engine busy, reload postponed"));
        if (!m_reloadPending.exchange(true) && !m_shuttingDown.load())
            QTimer::singleShot(kReloadRetryMs, this, &CLuaScriptEngine::retryReload);
        return false;
    }
    m_reloadPending.store(false);
    const bool created = createState();
    bool ok = false;
    if (created)
        ok = m_mode.load() == 1 || validateParserScript(scriptPath());
    if (ok)
        setLastError(QString());
    const QString error = lastError();
    m_lock.unlock();

    if (!created) {
        Q_EMIT scriptError(error);
        return false;
    }
    if (ok) {
        Q_EMIT scriptStateChanged(m_enabled.load(), true);
        return true;
    }
    Q_EMIT scriptError(error);
    Q_EMIT scriptStateChanged(m_enabled.load(), false);
    return false;
}

void CLuaScriptEngine::retryReload()
{
    if (!m_reloadPending.exchange(false) || m_shuttingDown.load())
        return;
    reloadScript();
}

void CLuaScriptEngine::setEnabled(bool enabled)
{
    if (enabled)
        m_parserErrorReported.store(false);
    m_enabled.store(enabled);
    if (!enabled) {
        // parseFrames empties these itself; this is only tidiness, never a wait.
        if (m_lock.tryLock()) {
            m_collectedText.clear();
            m_collectedWave.clear();
            m_lock.unlock();
        }
        if (!scriptPath().isEmpty())
            reloadScript();
    }
    Q_EMIT scriptStateChanged(enabled, !scriptPath().isEmpty());
}

void CLuaScriptEngine::setMode(int mode)
{
    mode = qBound(0, mode, 1);
    m_mode.store(mode);
    if (mode == 0)
        reloadScript();
}

QList<QByteArray> CLuaScriptEngine::parseFrames(const QByteArray& chunk)
{
    QList<QByteArray> frames;
    if (!m_enabled.load() || chunk.isEmpty())
        return frames;
    // An automation run holds the interpreter for its whole length; its
    // bytes are the run's, not the parser's.
    for (;;) {
        if (m_automationRunning.load() || m_shuttingDown.load())
            return frames;
        if (m_lock.tryLock(kWaitSliceMs))
            break;
    }

    m_collecting.store(true);
    m_collectedText.clear();
    m_collectedWave.clear();
    QString error;
    bool missing = false;
    bool timedOut = false;
    if (m_enabled.load() && m_L) {
        lua_State* L = m_L;
        const QByteArray empty;
        m_parseTimedOut.store(false);
        m_parseTimer.start();
        m_parseWatch.store(true);
        lua_sethook(L, &CLuaScriptEngine::countHook, LUA_MASKCOUNT, kHookInstructions);
        for (bool first = true;; first = false) {
            // A parser that keeps answering "" runs no long Lua code, so the
            // time is checked here as well as in the hook.
            if (const Interrupt r = pendingInterrupt()) {
                error = QString::fromLatin1(interruptText(r));
                break;
            }
            ParserCall call;
            call.chunk = first ? &chunk : &empty;
            lua_pushcfunction(L, &callParserProtected);
            lua_pushlightuserdata(L, &call);
            if (lua_pcall(L, 1, 1, 0) != LUA_OK) {
                error = errorObjectText(L, -1);
                lua_settop(L, 0);
                break;
            }
            if (call.notFunction) {
                lua_settop(L, 0);
                missing = true;
                break;
            }
            const int type = lua_type(L, -1);
            if (type == LUA_TNIL) {
                lua_settop(L, 0);
                break;
            }
            if (type == LUA_TSTRING) {
                size_t len = 0;
                const char* s = lua_tolstring(L, -1, &len);
                if (len > 0)
                    frames.append(QByteArray(s, static_cast<qsizetype>(len)));
            } else if (type == LUA_TNUMBER) {
                frames.append(numberText(L, -1));
            }
            lua_settop(L, 0);
        }
        lua_sethook(L, nullptr, 0, 0);
        m_parseWatch.store(false);
        timedOut = m_parseTimedOut.exchange(false);
    }
    m_collecting.store(false);
    const QString text = std::exchange(m_collectedText, QString());
    const QByteArray wave = std::exchange(m_collectedWave, QByteArray());
    m_lock.unlock();

    const bool loaded = !scriptPath().isEmpty();
    if (missing) {
        m_enabled.store(false);
        Q_EMIT scriptStateChanged(false, loaded);
        Q_EMIT scriptError(tr("cvn_frame_parser not defined in script"));
    } else if (timedOut) {
        // A parser that never returns would hold the worker and, through the
        // interpreter, everything else: it is switched off.
        m_enabled.store(false);
        Q_EMIT scriptError(tr("%1; the frame parser was switched off").arg(error));
        Q_EMIT scriptStateChanged(false, loaded);
    } else if (!error.isEmpty() && !m_parserErrorReported.exchange(true)) {
        Q_EMIT scriptError(
            tr("%1\n(further frame-parser errors are not shown until the parser is switched on "
               "or loaded again)")
                .arg(error));
    }
    if (!text.isEmpty())
        Q_EMIT scriptOutput(text);
    if (!wave.isEmpty())
        Q_EMIT waveDataReady(wave);
    return frames;
}

bool CLuaScriptEngine::startAutomation()
{
    if (m_loading.load() || m_shuttingDown.load() || scriptPath().isEmpty())
        return false;
    if (m_automationRunning.exchange(true))
        return false;
    if (m_automationThread.joinable())
        m_automationThread.join();
    // Cleared here rather than on the new thread, so a stop that comes right
    // after the start is not lost.
    m_stopRequested.store(false);
    m_automationThread = std::thread(&CLuaScriptEngine::automationThreadMain, this);
    return true;
}

void CLuaScriptEngine::automationThreadMain()
{
    t_automationThread = true;
    {
        QMutexLocker lock(&m_lock);
        if (!createState()) {
            Q_EMIT scriptError(lastError());
        } else {
            m_passCount.store(0);
            m_failCount.store(0);
            clearRxQueue();
            m_reportTimer.start();
            Q_EMIT automationStateChanged(true);

            lua_State* L = m_L;
            lua_sethook(L, &CLuaScriptEngine::countHook, LUA_MASKCOUNT, kHookInstructions);
            const QByteArray native = QFile::encodeName(scriptPath());
            int status = luaL_loadfile(L, native.constData());
            if (status == LUA_OK)
                status = lua_pcall(L, 0, LUA_MULTRET, 0);
            lua_sethook(L, nullptr, 0, 0);
            if (status != LUA_OK) {
                const QString message = errorObjectText(L, -1);
                if (message.contains(QLatin1String(kStopText))) {
                    writeOutput(tr("Automation stopped\n"));
                } else {
                    Q_EMIT scriptError(message);
                    writeOutput(tr("Automation aborted on error\n"));
                }
            }
            lua_settop(L, 0);
            writeOutput(tr("Automation finished: %1 passed, %2 failed\n")
                            .arg(m_passCount.load())
                            .arg(m_failCount.load()));
            m_reportTimer.invalidate();
        }
    }
    m_automationRunning.store(false);
    Q_EMIT automationStateChanged(false);
}

void CLuaScriptEngine::stopAutomation()
{
    m_stopRequested.store(true);
    m_queueCond.wakeAll();
}

void CLuaScriptEngine::shutdown()
{
    m_shuttingDown.store(true);
    m_stopRequested.store(true);
    m_queueCond.wakeAll();
}
