#pragma once

#include <QObject>

#include <functional>

class CLuaScriptEngine;
class DataHandlerWorker;
class QThread;

// The display worker and the high-priority thread it runs on. The owner
// connects chunks in and text out through queued signals, which keeps their
// order. stop() joins the thread; the owner calls it before the script engine
// the worker's frame parser calls goes away.
class DisplayWorkerHost : public QObject
{
    Q_OBJECT
public:
    DisplayWorkerHost(CLuaScriptEngine* engine, bool dumpLayout, QObject* parent = nullptr);
    ~DisplayWorkerHost() override;

    // Null once stopped.
    DataHandlerWorker* worker() const { return m_worker; }
    QThread* thread() const { return m_thread; }
    // Runs `fn` in `context`'s thread once what was handed to the worker so
    // far has come back from it: a line of the program's own lands after the
    // bytes received before it. Does nothing once stopped.
    void afterPending(QObject* context, std::function<void()> fn);
    // The hex dump's offsets count from 0 again (the log was cleared).
    void resetDumpOffset();
    // Quits the thread, waits for it without a time limit and deletes the worker.
    void stop();

private:
    QThread* m_thread = nullptr;
    DataHandlerWorker* m_worker = nullptr;
};
