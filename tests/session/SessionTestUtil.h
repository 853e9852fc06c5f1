#pragma once

// Helpers shared by the session tests.

#include "CPlainTextEdit.h"
#include "DialogCatcher.h"
#include "PtyPair.h"
#include "SerialPortManager.h"
#include "Session.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QStringList>
#include <QTimer>

// What the log view shows, pending text included.
inline QString logText(Session* session)
{
    session->logTextArea()->flushPending();
    return session->logTextArea()->toPlainText();
}

inline QStringList logLines(Session* session)
{
    QStringList lines = logText(session).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// "[yyyy-MM-dd HH:mm:ss.zzz]R " / "T " at the start of a line.
inline QRegularExpression stampPattern(QChar direction)
{
    return QRegularExpression(QStringLiteral("^\\[\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}\\.\\d{3}\\]") +
                              direction + QLatin1Char(' '));
}

// The line with its timestamp removed; the line itself when it has none.
inline QString unstamped(const QString& line)
{
    static const QRegularExpression re(
        QStringLiteral("^\\[\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}\\.\\d{3}\\][RT] "));
    QString out = line;
    out.remove(re);
    return out;
}

// What the device end receives within `timeoutMs`, until `minBytes` came.
// The port writes from the event loop, so that keeps running meanwhile.
inline QByteArray readFromDevice(PtyPair& pty, int minBytes, int timeoutMs)
{
    QByteArray out;
    QElapsedTimer t;
    t.start();
    while (out.size() < minBytes && t.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        out += pty.readSome(minBytes - int(out.size()), 5);
    }
    return out;
}

inline bool openOnPty(Session* session, PtyPair& pty)
{
    if (!pty.isOpen() && !pty.open())
        return false;
    return session->portManager()->openPort(pty.slavePath(), QStringLiteral("115200"), QStringLiteral("8"),
                                            QStringLiteral("None"), QStringLiteral("1"),
                                            QStringLiteral("None"));
}
