#pragma once

#include <QObject>

class QSocketNotifier;
struct udev;
struct udev_monitor;

// Device arrival and removal for the port settings panel, from a udev monitor
// on the "tty" subsystem. Where no udev daemon runs (containers) it stays
// silent; the port's resource error then drives reconnection on its own.
class NativeFilter : public QObject
{
    Q_OBJECT
public:
    explicit NativeFilter(QObject* parent = nullptr);
    ~NativeFilter() override;

    // True while a udev monitor is delivering events.
    bool isMonitoring() const { return m_notifier != nullptr; }

Q_SIGNALS:
    void deviceChanged();
    void deviceRemoveComplete();

private Q_SLOTS:
    void onUdevActivity();

private:
    struct udev* m_udev = nullptr;
    struct udev_monitor* m_monitor = nullptr;
    QSocketNotifier* m_notifier = nullptr;
};
