#pragma once

#include <QList>
#include <QObject>

class QSocketNotifier;

// Turns POSIX signals into a Qt signal on the event loop thread. The handler
// only writes the signal number into a pipe (all it may safely do); the
// notifier on the pipe's read end does the rest. One instance per process.
class SignalWatcher : public QObject
{
    Q_OBJECT

public:
    explicit SignalWatcher(const QList<int>& signalNumbers, QObject* parent = nullptr);
    ~SignalWatcher() override;

    bool isValid() const { return m_notifier != nullptr; }

Q_SIGNALS:
    void signalReceived(int signalNumber);

private:
    void onReadable();

    QList<int> m_signals;
    QSocketNotifier* m_notifier = nullptr;
};
