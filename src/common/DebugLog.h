#pragma once

#include <QMutex>
#include <QtGlobal>

// The process-wide sink of the debug log. Every line is formatted with one
// pattern and written to standard output under a lock, so lines from several
// threads never interleave.
class DebugLog
{
public:
    static constexpr const char* kPattern = "%{time} %{type} [%{threadid}] [%{function}: %{line}] %{message}";

    static DebugLog& instance();

    // Installs the message pattern and handler; console on, threshold 5.
    void install();

    void setConsoleEnabled(bool enabled);
    bool consoleEnabled() const;
    void setThreshold(int level);
    int threshold() const;

    // debug 5, info 4, warning 3, critical 2, fatal 1.
    static int severity(QtMsgType type);
    bool passes(QtMsgType type) const;

private:
    DebugLog() = default;
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& msg);

    mutable QMutex m_lock;
    bool m_console = true;
    int m_threshold = 5;
};
