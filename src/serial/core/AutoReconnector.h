#pragma once

#include "DeviceLocator.h"

#include <QObject>
#include <QString>

#include <functional>

class QTimer;
class SerialPortManager;

// Reopens the port after its device went away: the first attempt after a
// short delay, then one attempt per interval until the device is back or the
// limit is reached. The adapter is looked for by its identity first (it may
// come back under another name), then under the name it was opened with,
// unless that name now plainly belongs to another adapter.
class AutoReconnector : public QObject
{
    Q_OBJECT
public:
    static constexpr int kDefaultFirstDelayMs = 500;
    static constexpr int kDefaultNextDelayMs = 1000;
    static constexpr int kDefaultLimit = 1000;

    // The line parameters an attempt opens with, as the settings texts.
    struct LineParameters
    {
        QString baudRate = QStringLiteral("115200");
        QString dataBits = QStringLiteral("8");
        QString parity = QStringLiteral("None");
        QString stopBits = QStringLiteral("1");
        QString flowControl = QStringLiteral("None");
    };
    using ParameterSource = std::function<LineParameters()>;

    explicit AutoReconnector(SerialPortManager* manager, QObject* parent = nullptr);
    ~AutoReconnector() override;

    // Asked at every attempt, so changes made meanwhile apply.
    void setParameterSource(ParameterSource source);
    void setParameters(const LineParameters& parameters);

    void setLimit(int limit);
    int limit() const { return m_limit; }
    void setDelays(int firstMs, int nextMs);
    int firstDelay() const { return m_firstDelayMs; }
    int nextDelay() const { return m_nextDelayMs; }

    bool isReconnecting() const { return m_reconnecting; }
    // Attempts made in the current reconnection.
    int counter() const { return m_counter; }

    // After a successful open: what to reopen, and the adapter's identity.
    void rememberOpened(const QString& portOrPath);
    // The path the last successful open used.
    QString target() const { return m_target; }
    DeviceLocator* locator() { return &m_locator; }

    // The port is listed by the system, or (ptys, typed paths) its node exists.
    static bool isPresent(const QString& portOrPath);

public Q_SLOTS:
    void start();
    void start(int firstDelayMs);
    void stop();
    // One attempt (the timer's expiry); nothing when not reconnecting.
    void tryReconnect();

Q_SIGNALS:
    void reconnectingChanged(bool reconnecting);
    // An attempt begins; `counter` counts from 1.
    void attemptStarted(int counter);
    // The port is open again at `location`.
    void reconnected(QString location);
    // The limit was reached; reconnection has stopped.
    void gaveUp(int attempts);

private:
    bool openAt(const QString& location);

    SerialPortManager* m_manager = nullptr;
    QTimer* m_timer = nullptr;
    DeviceLocator m_locator;
    QString m_target;
    ParameterSource m_parameterSource;
    LineParameters m_parameters;

    bool m_reconnecting = false;
    int m_counter = 0;
    int m_limit = kDefaultLimit;
    int m_firstDelayMs = kDefaultFirstDelayMs;
    int m_nextDelayMs = kDefaultNextDelayMs;
};
