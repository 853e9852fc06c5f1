#include "FrameBuilder.h"

#include "ChecksumCatalogue.h"
#include "HexText.h"

#include <QHash>

namespace {

bool fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return false;
}

// Bit count -> bytes occupied, computed wide so no width overflows.
qint64 bytesForBits(qint32 bits)
{
    return bits > 0 ? (qint64(bits) + 7) / 8 : 0;
}

// Parses and range-checks one bit value; `key` names it in messages.
bool bitValue(const QString& key, const QString& trimmed, qint32 width, quint64* value, QString* error)
{
    if (!FrameBuilder::parseUnsigned(trimmed, value))
        return fail(error, FrameBuilder::tr("Field '%1': invalid value '%2'").arg(key, trimmed));
    const quint64 max = FrameBuilder::maxForBits(width);
    if (*value > max) {
        // One multi-argument arg(): a name holding "%1" is inserted as it is.
        return fail(error,
                    FrameBuilder::tr("Field '%1': value %2 exceeds %3-bit max (%4)")
                        .arg(key, QString::number(*value), QString::number(width), QString::number(max)));
    }
    return true;
}

} // namespace

quint64 FrameBuilder::maxForBits(qint32 bits)
{
    if (bits <= 0)
        return 0;
    if (bits >= 64)
        return ~quint64(0);
    return (quint64(1) << bits) - 1;
}

bool FrameBuilder::parseUnsigned(const QString& text, quint64* value)
{
    int base = 10;
    qsizetype i = 0;
    if (text.size() >= 2 && text.at(0) == QLatin1Char('0') &&
        (text.at(1) == QLatin1Char('x') || text.at(1) == QLatin1Char('X'))) {
        base = 16;
        i = 2;
    }
    if (i >= text.size())
        return false;
    quint64 v = 0;
    for (; i < text.size(); ++i) {
        const ushort c = text.at(i).unicode();
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        if (v > (~quint64(0) - quint64(d)) / quint64(base))
            return false;
        v = v * quint64(base) + quint64(d);
    }
    *value = v;
    return true;
}

void FrameBuilder::appendInteger(QByteArray& out, quint64 value, qint64 size, bool bigEndian)
{
    if (size <= 0)
        return;
    const qsizetype start = out.size();
    out.resize(start + qsizetype(size));
    char* p = out.data() + start;
    for (qint64 k = 0; k < size; ++k) {
        const qint64 shift = 8 * (bigEndian ? size - 1 - k : k);
        // Shifting a 64-bit value by 64 or more is undefined; those bytes are zero.
        p[k] = shift < 64 ? char((value >> shift) & 0xFF) : char(0);
    }
}

QByteArray FrameBuilder::build(const FrameProtocol& protocol, const FieldValues& values, QString* error)
{
    QHash<QString, QByteArray> fieldBytes;

    // Pass 1: fields whose bytes come from the user or the file.
    for (const FrameField& f : protocol.fields) {
        QByteArray bytes;
        switch (f.type) {
        case FieldType::Hex: {
            bytes = HexText::fromHexInput(values.value(f.name, f.defaultValue));
            if (f.length > 0 && bytes.size() != f.length) {
                fail(error, tr("Field '%1' expects %2 bytes, got %3")
                                .arg(f.name, QString::number(f.length), QString::number(bytes.size())));
                return {};
            }
            break;
        }
        case FieldType::Constant:
            bytes = f.constantBytes;
            break;
        case FieldType::Bits: {
            const QString text = values.value(f.name, f.defaultValue).trimmed();
            quint64 v = 0;
            if (!text.isEmpty() && !bitValue(f.name, text, f.width, &v, error))
                return {};
            appendInteger(bytes, v, bytesForBits(f.width), f.bigEndian);
            break;
        }
        case FieldType::BitGroup: {
            quint64 acc = 0;
            for (const FrameField& sub : f.bitFields) {
                const QString key = f.name + QLatin1Char('.') + sub.name;
                QString text = values.value(key, sub.defaultValue).trimmed();
                if (text.isEmpty())
                    text = QStringLiteral("0");
                quint64 v = 0;
                if (!bitValue(key, text, sub.width, &v, error))
                    return {};
                // Bits placed outside the 64-bit accumulator are dropped.
                if (sub.order >= 0 && sub.order < 64)
                    acc |= v << sub.order;
            }
            appendInteger(bytes, acc, f.width, f.bigEndian);
            break;
        }
        case FieldType::LengthField:
        case FieldType::Crc:
            continue;
        }
        fieldBytes.insert(f.name, bytes);
    }

    // Pass 2: lengths and checksums, in order, so a later one can cover an
    // earlier one but not the other way round.
    for (const FrameField& f : protocol.fields) {
        QByteArray bytes;
        if (f.type == FieldType::LengthField) {
            quint64 total = 0;
            for (const QString& name : f.over) {
                const auto it = fieldBytes.constFind(name);
                if (it != fieldBytes.constEnd())
                    total += quint64(it->size());
            }
            appendInteger(bytes, total, f.width, f.bigEndian);
        } else if (f.type == FieldType::Crc) {
            const ChecksumAlgorithm* algo = ChecksumCatalogue::find(f.algorithm);
            if (!algo) {
                fail(error, tr("Unknown CRC algorithm: %1").arg(f.algorithm));
                return {};
            }
            QByteArray data;
            for (const QString& name : f.over) {
                const auto it = fieldBytes.constFind(name);
                if (it == fieldBytes.constEnd())
                    continue;
                if (data.size() + it->size() > kMaxChecksumData) {
                    fail(error, tr("Field '%1': checksum data exceeds %2 bytes")
                                    .arg(f.name, QString::number(kMaxChecksumData)));
                    return {};
                }
                data.append(*it);
            }
            const quint32 sum =
                algo->compute(reinterpret_cast<const quint8*>(data.constData()), qint32(data.size()));
            appendInteger(bytes, sum, algo->width, f.outputBigEndian);
        } else {
            continue;
        }
        fieldBytes.insert(f.name, bytes);
    }

    // Pass 3: assembly in field order.
    QByteArray frame;
    for (const FrameField& f : protocol.fields)
        frame.append(fieldBytes.value(f.name));
    return frame;
}
