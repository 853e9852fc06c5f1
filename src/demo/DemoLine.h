#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <utility>

class QSocketNotifier;
class QTimer;

// The device end of a pseudo-terminal published under a stable path.
//
// The slave is what a client opens (through the symbolic link); this object
// reads and writes the master without ever blocking the event loop. Output
// goes through a bounded queue: writes marked droppable are refused when the
// queue is full, everything else is kept and input reading pauses instead, so
// a client that stops reading slows its own commands down rather than making
// the device grow without bound.
class DemoLine : public QObject
{
    Q_OBJECT

public:
    // Droppable data is refused above this many queued bytes.
    static constexpr qsizetype DropLimit = 256 * 1024;
    // Above this, input is no longer read until the queue has drained.
    static constexpr qsizetype ReadPauseLimit = 1024 * 1024;
    // readyForMore() is emitted when the queue falls below this.
    static constexpr qsizetype LowWater = 64 * 1024;
    // With data queued and no byte accepted for this long, nobody reads the
    // line: the queue and the unread data in the line are thrown away, as
    // bytes sent into an unconnected UART are lost.
    static constexpr int StallMs = 5000;

    explicit DemoLine(QObject* parent = nullptr);
    ~DemoLine() override;

    // Creates a new raw pseudo-terminal and links its slave at `linkPath`. A
    // symbolic link already there is replaced atomically; any other kind of
    // file is left alone and the call fails.
    bool open(const QString& linkPath);
    // Closes the master (the client sees a hang-up) and removes the link if it
    // still points at this line's slave.
    void close();
    bool isOpen() const { return m_master >= 0; }

    QString linkPath() const { return m_linkPath; }
    QString slaveName() const { return m_slaveName; }
    int masterFd() const { return m_master; }
    int slaveFd() const { return m_slaveKeep; }
    QString errorString() const { return m_error; }
    // True when open() replaced an old link.
    bool replacedStaleLink() const { return m_replacedStale; }

    // Queues `data` for the client. False (and nothing queued) when the line is
    // closed, or when `droppable` and the queue already holds DropLimit bytes.
    bool write(const QByteArray& data, bool droppable = false);
    qsizetype queuedBytes() const { return m_out.size() - m_outPos; }
    // Drops everything not yet written.
    void discardOutput();
    // Bytes written into the line since construction, and of those the ones
    // no client read before a close or a flush threw them away.
    qint64 bytesWritten() const { return m_bytesWritten; }
    qint64 bytesUnread() const { return m_bytesUnread; }
    // With the journal on, every byte written into the current line is kept;
    // close() sets it aside, so a test can check that a client got exactly a
    // prefix of what one line carried (the rest went with the cable).
    void setJournalling(bool on) { m_journalling = on; }
    QByteArray takeClosedJournal() { return std::exchange(m_closedJournal, QByteArray()); }

    // Stops or resumes reading input only.
    void setReadingPaused(bool paused);
    bool isReadingPaused() const { return m_readPaused; }

Q_SIGNALS:
    void dataReceived(const QByteArray& data);
    // The queue fell below LowWater (emitted after each write round).
    void readyForMore();
    // Everything queued has been written.
    void drained();
    // Nobody read the line for StallMs; the queued output was discarded.
    void stalled(qint64 discardedBytes);

private:
    void onReadable();
    void onWritable();
    void onStallCheck();
    void updateNotifiers();
    bool publishLink(const QString& linkPath, const QByteArray& target);
    void removeLink();

    // Adds what waits unread in the line to m_bytesUnread.
    void countUnread();

    int m_master = -1;
    qint64 m_bytesWritten = 0;
    qint64 m_bytesUnread = 0;
    int m_slaveKeep = -1; // keeps the line alive while no client has it open
    QString m_linkPath;
    QString m_slaveName;
    QString m_error;
    bool m_replacedStale = false;
    bool m_readPaused = false;
    QSocketNotifier* m_readNotifier = nullptr;
    QSocketNotifier* m_writeNotifier = nullptr;
    QTimer* m_stallTimer = nullptr;
    QElapsedTimer m_lastProgress;
    QByteArray m_out;
    qsizetype m_outPos = 0;
    bool m_journalling = false;
    QByteArray m_journal;
    QByteArray m_closedJournal;
};
