// libFuzzer target: arbitrary bytes as a protocol file, then a frame built
// from every protocol that loads. Bytes after the first NUL are split at
// newlines into value texts handed to the fields in turn, so the value
// parsers get fuzzed too.
#include "FrameBuilder.h"
#include "ProtocolFileReader.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace {
void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qInstallMessageHandler(quiet);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype nul = input.indexOf('\0');
    const QByteArray json = nul < 0 ? input : input.left(nul);
    const QList<QByteArray> texts = nul < 0 ? QList<QByteArray>() : input.mid(nul + 1).split('\n');

    QString error;
    const auto protocol = ProtocolFileReader::parseJson(json, &error);
    if (!protocol) {
        if (error.isEmpty())
            __builtin_trap(); // every rejected file must say why
        return 0;
    }

    // Defaults only, then the fuzzed values.
    FrameBuilder::build(*protocol, {}, &error);
    FieldValues values;
    int next = 0;
    const auto take = [&]() {
        return texts.isEmpty() ? QString() : QString::fromUtf8(texts.at(next++ % texts.size()));
    };
    for (const FrameField& f : protocol->fields) {
        values.insert(f.name, take());
        for (const FrameField& sub : f.bitFields)
            values.insert(f.name + QLatin1Char('.') + sub.name, take());
    }
    QString buildError;
    const QByteArray frame = FrameBuilder::build(*protocol, values, &buildError);
    if (frame.isEmpty() && buildError.isEmpty()) {
        // An empty frame is only fine when no field produced a byte.
        for (const FrameField& f : protocol->fields) {
            if (f.type == FieldType::Crc || (f.type == FieldType::LengthField && f.width > 0))
                __builtin_trap();
        }
    }
    return 0;
}
