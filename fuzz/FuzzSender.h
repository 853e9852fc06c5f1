// Drives a file-transfer sender with fuzzed receiver answers. The port is a
// fake that takes every write at once; the input is a script of steps:
//   0x00-0xEF  n = (b & 0x3F) + 1 following bytes arrive as one chunk
//   0xF0-0xFB  our output is still queued: b - 0xEF KiB pending
//   0xFC       the queued output drains
//   0xFD       every running timer expires (a jump in time)
//   0xFE       the user cancels
//   0xFF       the transfer is started again
// After each step the event loop runs once. A transfer reports its end
// exactly once per start and is inactive after it.
#pragma once

#include "FuzzSupport.h"
#include "Protocol.h"

#include <QMap>
#include <QPointer>
#include <QTimer>

#include <functional>

namespace fuzz {

inline void expireTimers(QObject* engine)
{
    QMap<QTimer*, int> intervals;
    for (QTimer* t : engine->findChildren<QTimer*>()) {
        if (t->isActive()) {
            intervals.insert(t, t->interval());
            t->setInterval(0);
        }
    }
    QCoreApplication::processEvents();
    for (auto it = intervals.cbegin(); it != intervals.cend(); ++it) {
        if (it.key()->interval() == 0 && it.value() != 0)
            it.key()->setInterval(it.value()); // only a timer we shortened
    }
}

// `configure` sets engine options from the first byte.
inline int runSender(Protocol& engine, const uint8_t* data, size_t size,
                     const std::function<void(Protocol&, uint8_t)>& configure)
{
    if (size < 3)
        return 0;
    configure(engine, data[0]);
    // File size from the next two bytes: up to 6 KiB, empty files included.
    const int fileSize = int((data[1] | (data[2] << 8)) % 6145);
    QByteArray content(fileSize, '\0');
    for (int i = 0; i < fileSize; ++i)
        content[i] = char(i * 31 + (i >> 8));
    const QString path = writeScratch(QStringLiteral("send.bin"), content);

    int finishedCount = 0;
    bool ended = false;
    QObject::connect(&engine, &Protocol::finished, [&](bool, const QString&) {
        ++finishedCount;
        if (finishedCount > 1)
            __builtin_trap(); // one end per start
        ended = true;
    });
    QObject::connect(&engine, &Protocol::progressChanged, [&](qint64 sent, qint64 total) {
        if (sent < 0 || total < 0 || sent > total)
            __builtin_trap();
    });
    engine.start(path);
    QCoreApplication::processEvents();

    size_t pos = 3;
    while (pos < size) {
        const uint8_t b = data[pos++];
        if (b <= 0xEF) {
            const size_t n = std::min<size_t>((b & 0x3F) + 1, size - pos);
            engine.handleReceivedData(bytes(data + pos, n));
            pos += n;
        } else if (b <= 0xFB) {
            engine.setPendingOutput(qint64(b - 0xEF) * 1024);
        } else if (b == 0xFC) {
            engine.setPendingOutput(0);
        } else if (b == 0xFD) {
            expireTimers(&engine);
        } else if (b == 0xFE) {
            engine.cancel();
        } else {
            engine.setPendingOutput(0);
            if (!engine.isActive()) {
                finishedCount = 0;
                ended = false;
                engine.start(path);
            }
        }
        QCoreApplication::processEvents();
        if (ended && engine.isActive())
            __builtin_trap();
    }
    engine.cancel();
    QCoreApplication::processEvents();
    if (engine.isActive())
        __builtin_trap();
    engine.disconnect();
    return 0;
}

} // namespace fuzz
