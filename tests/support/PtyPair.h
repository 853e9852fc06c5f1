#pragma once

#include <QByteArray>
#include <QString>

// A real pseudo-terminal for tests: the test holds the master end and hands
// the slave path (or a stable symlink to it) to the code under test.
class PtyPair
{
public:
    PtyPair() = default;
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    // Opens a new pair in raw mode. When `linkPath` is given, a symlink there
    // points at the slave (replacing an old link), like a device that keeps its name.
    bool open(const QString& linkPath = QString());
    // Closes the master: the slave side then sees a hang-up, as if unplugged.
    void closeMaster();
    // Also removes the symlink, so the "device" is gone from the file system.
    void unplug();
    bool isOpen() const { return m_master >= 0; }

    int masterFd() const { return m_master; }
    QString slavePath() const { return m_slavePath; }
    // The symlink when there is one, else the slave path.
    QString path() const { return m_link.isEmpty() ? m_slavePath : m_link; }

    // Writes everything (blocking, retries on EAGAIN). False on error.
    bool writeAll(const QByteArray& data);
    // Reads what arrives within `timeoutMs`, until at least `minBytes` came.
    QByteArray readSome(int minBytes, int timeoutMs);

private:
    int m_master = -1;
    int m_slaveKeep = -1; // keeps the slave alive until the code under test opens it
    QString m_slavePath;
    QString m_link;
};
