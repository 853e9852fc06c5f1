#include "NativeFilter.h"

#include <QDebug>
#include <QSocketNotifier>

#ifdef CORVANE_HAVE_UDEV
#include <libudev.h>
#include <unistd.h>
#endif

NativeFilter::NativeFilter(QObject* parent) : QObject(parent)
{
#ifdef CORVANE_HAVE_UDEV
    // Without the daemon no events are ever broadcast; say so once, not per panel.
    static bool noDaemonLogged = false;
    if (::access("/run/udev/control", F_OK) != 0) {
        if (!noDaemonLogged) {
            noDaemonLogged = true;
            qDebug().noquote() << "[NativeFilter] udev is not running, device events are off;"
                               << "port errors alone drive reconnection";
        }
        return;
    }
    m_udev = udev_new();
    if (m_udev)
        m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (!m_monitor || udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "tty", nullptr) < 0 ||
        udev_monitor_enable_receiving(m_monitor) < 0) {
        if (!noDaemonLogged) {
            noDaemonLogged = true;
            qWarning().noquote() << "[NativeFilter] Can not monitor udev, device events are off";
        }
        if (m_monitor)
            udev_monitor_unref(m_monitor);
        m_monitor = nullptr;
        if (m_udev)
            udev_unref(m_udev);
        m_udev = nullptr;
        return;
    }
    m_notifier = new QSocketNotifier(udev_monitor_get_fd(m_monitor), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &NativeFilter::onUdevActivity);
#else
    static bool noUdevLogged = false;
    if (!noUdevLogged) {
        noUdevLogged = true;
        qDebug().noquote() << "[NativeFilter] Built without udev, device events are off";
    }
#endif
}

NativeFilter::~NativeFilter()
{
    delete m_notifier;
    m_notifier = nullptr;
#ifdef CORVANE_HAVE_UDEV
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    if (m_udev)
        udev_unref(m_udev);
#endif
}

void NativeFilter::onUdevActivity()
{
#ifdef CORVANE_HAVE_UDEV
    // Drain every queued event; the socket is non-blocking, so this ends when it is empty.
    while (struct udev_device* dev = udev_monitor_receive_device(m_monitor)) {
        const char* action = udev_device_get_action(dev);
        const QByteArray act = action ? QByteArray(action) : QByteArray();
        udev_device_unref(dev);
        if (act == "add")
            Q_EMIT deviceChanged();
        else if (act == "remove")
            Q_EMIT deviceRemoveComplete();
    }
#endif
}
