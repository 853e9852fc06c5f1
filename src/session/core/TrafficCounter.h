#pragma once

#include <QObject>

// Bytes received and sent since the port opened or the log was cleared.
class TrafficCounter : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    qulonglong rx() const { return m_rx; }
    qulonglong tx() const { return m_tx; }

public Q_SLOTS:
    void addRx(qulonglong n);
    void addTx(qulonglong n);
    // Both back to zero, announced.
    void reset();

Q_SIGNALS:
    void rxCountChanged(qulonglong rx);
    void txCountChanged(qulonglong tx);

private:
    qulonglong m_rx = 0;
    qulonglong m_tx = 0;
};
