#pragma once

// What a benchmark reports of its own process: CPU time and resident memory.

#include <QByteArray>
#include <QFile>
#include <QList>

#include <sys/resource.h>
#include <unistd.h>

namespace bench {

inline double cpuSeconds()
{
    struct rusage ru;
    getrusage(RUSAGE_SELF, &ru);
    return double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
           double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

inline double residentMb()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? double(parts.at(1).toLongLong()) * double(sysconf(_SC_PAGESIZE)) / 1048576.0
                            : 0;
}

} // namespace bench
