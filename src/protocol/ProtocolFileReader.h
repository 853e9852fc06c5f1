#pragma once

#include "FrameProtocol.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <optional>

// Turns one protocol file into a checked FrameProtocol: parse, sort the
// fields, expand the `over` wildcards, validate. Each failure gives one
// message and no protocol.
class ProtocolFileReader
{
    Q_DECLARE_TR_FUNCTIONS(ProtocolFileReader)

public:
    // Widths beyond these would only produce megabytes of zero bytes; a file
    // asking for them is rejected instead of exhausting memory.
    static constexpr qint32 kMaxByteWidth = 4096;
    static constexpr qint32 kMaxBitWidth = kMaxByteWidth * 8;
    // Cap on the expanded `over` names of one protocol ("*" grows with the
    // square of the field count).
    static constexpr qsizetype kMaxOverNames = 1 << 20;

    static std::optional<FrameProtocol> parseFile(const QString& path, QString* error = nullptr);
    static std::optional<FrameProtocol> parseJson(const QByteArray& json, QString* error = nullptr);

    // The individual steps, public for tests.
    static std::optional<FrameProtocol> read(const QByteArray& json, QString* error);
    static bool expandOver(FrameProtocol& protocol, QString* error);
    static bool validate(const FrameProtocol& protocol, QString* error);
};
