// Shared bits of the fuzz targets: a silent message handler, one application
// object for timers and events, and a scratch folder for file parsers.
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace fuzz {

inline void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

// Called once from LLVMFuzzerInitialize.
inline void init(int* argc, char*** argv)
{
    qInstallMessageHandler(quiet);
    static QCoreApplication app(*argc, *argv);
}

inline QByteArray bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// A folder that lives as long as the process.
inline QString scratchDir()
{
    // Memory-backed where there is one: file parsers run thousands of times a second.
    static QTemporaryDir dir(
        (QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QDir::tempPath()) +
        QStringLiteral("/corvane-fuzz-XXXXXX"));
    static const QString path = dir.path();
    return path;
}

inline QString writeScratch(const QString& name, const QByteArray& content)
{
    const QString path = scratchDir() + QLatin1Char('/') + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        __builtin_trap();
    f.write(content);
    return path;
}

} // namespace fuzz
