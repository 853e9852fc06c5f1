#include "DisplayWorkerHost.h"

#include "DataHandlerWorker.h"

#include <QThread>

DisplayWorkerHost::DisplayWorkerHost(CLuaScriptEngine* engine, bool dumpLayout, QObject* parent)
    : QObject(parent)
{
    // Neither has a parent: the worker lives on the thread, and both are
    // deleted by stop() once the thread has ended.
    m_thread = new QThread;
    m_thread->setObjectName(QStringLiteral("DataHandler"));
    m_worker = new DataHandlerWorker;
    m_worker->setScriptEngine(engine);
    m_worker->setDumpLayout(dumpLayout);
    m_worker->moveToThread(m_thread);
    m_thread->start(QThread::HighestPriority);
}

DisplayWorkerHost::~DisplayWorkerHost()
{
    stop();
}

void DisplayWorkerHost::afterPending(QObject* context, std::function<void()> fn)
{
    if (!m_worker)
        return;
    QMetaObject::invokeMethod(
        m_worker, [context, fn] { QMetaObject::invokeMethod(context, fn, Qt::QueuedConnection); },
        Qt::QueuedConnection);
}

void DisplayWorkerHost::resetDumpOffset()
{
    if (m_worker)
        QMetaObject::invokeMethod(m_worker, &DataHandlerWorker::resetDumpOffset, Qt::QueuedConnection);
}

void DisplayWorkerHost::stop()
{
    if (!m_thread)
        return;
    m_thread->quit();
    m_thread->wait();
    delete m_worker;
    m_worker = nullptr;
    delete m_thread;
    m_thread = nullptr;
}
