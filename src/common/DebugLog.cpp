#include "DebugLog.h"

#include <QByteArray>
#include <QString>

#include <cstdio>

DebugLog& DebugLog::instance()
{
    static DebugLog sink;
    return sink;
}

void DebugLog::install()
{
    {
        QMutexLocker lock(&m_lock);
        m_console = true;
        m_threshold = 5;
    }
    qSetMessagePattern(QString::fromLatin1(kPattern));
    qInstallMessageHandler(&DebugLog::handler);
}

void DebugLog::setConsoleEnabled(bool enabled)
{
    QMutexLocker lock(&m_lock);
    m_console = enabled;
}

bool DebugLog::consoleEnabled() const
{
    QMutexLocker lock(&m_lock);
    return m_console;
}

void DebugLog::setThreshold(int level)
{
    QMutexLocker lock(&m_lock);
    m_threshold = level;
}

int DebugLog::threshold() const
{
    QMutexLocker lock(&m_lock);
    return m_threshold;
}

int DebugLog::severity(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return 5;
    case QtInfoMsg:
        return 4;
    case QtWarningMsg:
        return 3;
    case QtCriticalMsg:
        return 2;
    case QtFatalMsg:
        return 1;
    }
    return 5;
}

bool DebugLog::passes(QtMsgType type) const
{
    QMutexLocker lock(&m_lock);
    return m_console && m_threshold >= severity(type);
}

void DebugLog::handler(QtMsgType type, const QMessageLogContext& context, const QString& msg)
{
    DebugLog& sink = instance();
    // Messages without a source location show an empty function field; Qt
    // itself would print "unknown" there.
    const QMessageLogContext located(context.file, context.line, context.function ? context.function : "",
                                     context.category);
    // Format outside the lock: formatting may itself be slow, the write must not interleave.
    const QByteArray line = qFormatLogMessage(type, located, msg).toUtf8();
    QMutexLocker lock(&sink.m_lock);
    if (!sink.m_console || sink.m_threshold < severity(type))
        return;
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}
