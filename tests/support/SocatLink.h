#pragma once

#include <QFile>
#include <QProcess>
#include <QString>
#include <QTest>

// Linked pseudo-terminals: we send on one end, a real receiver sits on the
// other. The receiver reads one pty and writes another: lrzsz flushes both
// directions of its input tty on exit, and on a single pty that can eat its
// own last ACK before the link has passed it on.
class SocatLink
{
public:
    bool start(const QString& dir)
    {
        ours = dir + QStringLiteral("/ours");
        theirsIn = dir + QStringLiteral("/theirs-in");
        theirsOut = dir + QStringLiteral("/theirs-out");
        process.start(
            QStringLiteral("socat"),
            {QStringLiteral("pty,raw,echo=0,link=") + ours,
             QStringLiteral("pty,raw,echo=0,link=%1!!pty,raw,echo=0,link=%2").arg(theirsOut, theirsIn)});
        if (!process.waitForStarted())
            return false;
        for (int i = 0; i < 500 && !ready(); ++i)
            QTest::qWait(10);
        return ready();
    }
    bool ready() const { return QFile::exists(ours) && QFile::exists(theirsIn) && QFile::exists(theirsOut); }
    ~SocatLink()
    {
        process.terminate();
        process.waitForFinished(5000);
    }
    QProcess process;
    QString ours;
    QString theirsIn;
    QString theirsOut;
};
