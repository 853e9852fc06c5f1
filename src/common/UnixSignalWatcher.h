#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into a Qt signal through a self-pipe, so a
// command-line tool can stop its work cleanly (a cancel sequence on the line,
// a stopped script) before it exits. A second signal ends the process at
// once, for a user who means it. The destructor puts the default handlers back.
class UnixSignalWatcher : public QObject
{
    Q_OBJECT
public:
    explicit UnixSignalWatcher(QObject* parent = nullptr);
    ~UnixSignalWatcher() override;

    // False when the pipe could not be made (the signals then keep their defaults).
    bool isActive() const { return m_notifier != nullptr; }

Q_SIGNALS:
    void interrupted();

private:
    void onReadable();

    QSocketNotifier* m_notifier = nullptr;
};
