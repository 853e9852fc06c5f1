#pragma once

#include <QFile>
#include <QString>

#include <cstring>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

// Makes a device node unusable for this thread as for a user outside its
// group: the node loses every permission bit, and when the tests run as root
// the thread also gives up the capabilities that would override them. Both
// are restored on destruction.
class PermissionDrop
{
public:
    explicit PermissionDrop(const QString& node) : m_node(node)
    {
        m_perms = QFile::permissions(node);
        QFile::setPermissions(node, QFileDevice::Permissions());
        m_header.version = _LINUX_CAPABILITY_VERSION_3;
        m_header.pid = 0;
        if (::syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct reduced[2];
        std::memcpy(reduced, m_saved, sizeof reduced);
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        m_capsDropped = ::syscall(SYS_capset, &m_header, reduced) == 0;
    }
    ~PermissionDrop()
    {
        if (m_capsDropped)
            ::syscall(SYS_capset, &m_header, m_saved);
        QFile::setPermissions(m_node, m_perms);
    }
    PermissionDrop(const PermissionDrop&) = delete;
    PermissionDrop& operator=(const PermissionDrop&) = delete;

private:
    QString m_node;
    QFileDevice::Permissions m_perms;
    __user_cap_header_struct m_header{};
    __user_cap_data_struct m_saved[2]{};
    bool m_capsDropped = false;
};
