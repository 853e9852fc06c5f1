#include "ProtocolFileReader.h"

#include "ChecksumCatalogue.h"
#include "HexText.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <algorithm>
#include <climits>

namespace {

QString tr(const char* text)
{
    return ProtocolFileReader::tr(text);
}

bool fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return false;
}

QString stringOr(const QJsonObject& o, const char* key, const QString& fallback)
{
    const QJsonValue v = o.value(QLatin1String(key));
    return v.isString() ? v.toString() : fallback;
}

// Integers only: a fraction or a number outside 32 bits counts as absent.
qint32 intOr(const QJsonObject& o, const char* key, qint32 fallback)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (!v.isDouble())
        return fallback;
    const double d = v.toDouble();
    if (!(d >= double(INT_MIN) && d <= double(INT_MAX)) || double(qint32(d)) != d)
        return fallback;
    return qint32(d);
}

// Only the exact word "big" selects most significant byte first; a missing
// key (or one of the wrong type) keeps the type's default.
bool endianOr(const QJsonObject& o, const char* key, bool fallbackBig)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (!v.isString())
        return fallbackBig;
    return v.toString() == QLatin1String("big");
}

std::optional<FieldType> typeFromText(const QString& t)
{
    if (t == QLatin1String("hex"))
        return FieldType::Hex;
    if (t == QLatin1String("constant"))
        return FieldType::Constant;
    if (t == QLatin1String("length_field"))
        return FieldType::LengthField;
    if (t == QLatin1String("crc"))
        return FieldType::Crc;
    if (t == QLatin1String("bits"))
        return FieldType::Bits;
    if (t == QLatin1String("bit_group"))
        return FieldType::BitGroup;
    return std::nullopt;
}

FrameField readSubField(const QJsonObject& o, qint64 offset)
{
    FrameField sub;
    sub.type = FieldType::Bits;
    sub.name = stringOr(o, "name", QString());
    sub.label = stringOr(o, "label", sub.name);
    sub.width = intOr(o, "bitWidth", 1);
    sub.defaultValue = stringOr(o, "default", QStringLiteral("0"));
    // Negative widths may push the offset anywhere; saturate instead of
    // overflowing, the builder drops bits outside 0..63 anyway.
    sub.order = qint32(std::clamp<qint64>(offset, INT_MIN, INT_MAX));
    return sub;
}

bool readField(const QJsonObject& o, FrameField& f, QString* error)
{
    f.name = stringOr(o, "name", QString());
    f.label = stringOr(o, "label", f.name);
    f.tooltip = stringOr(o, "tooltip", QString());
    f.order = intOr(o, "order", 0);
    const QString typeText = stringOr(o, "type", QString());
    const auto type = typeFromText(typeText);
    if (!type)
        return fail(error, tr("Unknown field type: %1 in field %2").arg(typeText, f.name));
    f.type = *type;

    switch (f.type) {
    case FieldType::Hex:
        f.length = intOr(o, "length", -1);
        f.defaultValue = stringOr(o, "default", QString());
        break;
    case FieldType::Constant:
        f.constantBytes = HexText::fromHexInput(stringOr(o, "value", QString()));
        break;
    case FieldType::LengthField:
        f.width = intOr(o, "width", 2);
        f.bigEndian = endianOr(o, "endian", true);
        break;
    case FieldType::Bits:
        f.width = intOr(o, "bitWidth", 8);
        f.defaultValue = stringOr(o, "default", QString());
        f.bigEndian = endianOr(o, "endian", false);
        break;
    case FieldType::BitGroup: {
        f.width = intOr(o, "width", 2);
        f.bigEndian = endianOr(o, "endian", false);
        const QJsonArray subs = o.value(QLatin1String("bitFields")).toArray();
        qint64 offset = 0;
        for (const QJsonValue& v : subs) {
            FrameField sub = readSubField(v.toObject(), offset);
            offset += sub.width;
            f.bitFields.append(sub);
        }
        break;
    }
    case FieldType::Crc:
        f.algorithm = stringOr(o, "algorithm", QString());
        f.outputBigEndian = endianOr(o, "output", true);
        break;
    }

    if (f.type != FieldType::BitGroup) {
        const QJsonArray over = o.value(QLatin1String("over")).toArray();
        for (const QJsonValue& v : over)
            f.over.append(v.isString() ? v.toString() : QString());
    }

    // Not a format rule but a guard: these widths decide how many bytes get
    // allocated for the frame.
    const bool byteWidth = f.type == FieldType::LengthField || f.type == FieldType::BitGroup;
    if ((byteWidth && f.width > ProtocolFileReader::kMaxByteWidth) ||
        (f.type == FieldType::Bits && f.width > ProtocolFileReader::kMaxBitWidth)) {
        return fail(error, tr("Field '%1': width %2 is too large").arg(f.name, QString::number(f.width)));
    }
    return true;
}

} // namespace

std::optional<FrameProtocol> ProtocolFileReader::parseFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(error, tr("Cannot open file: %1").arg(path));
        return std::nullopt;
    }
    return parseJson(file.readAll(), error);
}

std::optional<FrameProtocol> ProtocolFileReader::parseJson(const QByteArray& json, QString* error)
{
    auto protocol = read(json, error);
    if (!protocol || !expandOver(*protocol, error) || !validate(*protocol, error))
        return std::nullopt;
    return protocol;
}

std::optional<FrameProtocol> ProtocolFileReader::read(const QByteArray& json, QString* error)
{
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (doc.isNull()) {
        fail(error, tr("JSON error: %1").arg(parseError.errorString()));
        return std::nullopt;
    }
    // An array at the top level reads as an object with every key absent.
    const QJsonObject root = doc.object();

    FrameProtocol p;
    p.name = stringOr(root, "name", QString());
    p.description = stringOr(root, "description", QString());
    p.version = stringOr(root, "version", QStringLiteral("1.0"));
    if (p.name.isEmpty()) {
        fail(error, tr("Protocol name is required"));
        return std::nullopt;
    }

    const QJsonArray fields = root.value(QLatin1String("fields")).toArray();
    for (const QJsonValue& v : fields) {
        FrameField f;
        if (!readField(v.toObject(), f, error))
            return std::nullopt;
        p.fields.append(f);
    }
    if (p.fields.isEmpty()) {
        fail(error, tr("Protocol has no fields defined"));
        return std::nullopt;
    }
    std::stable_sort(p.fields.begin(), p.fields.end(),
                     [](const FrameField& a, const FrameField& b) { return a.order < b.order; });
    return p;
}

bool ProtocolFileReader::expandOver(FrameProtocol& protocol, QString* error)
{
    const QString all = QStringLiteral("*");
    const QString allBut = QStringLiteral("*!");
    qsizetype total = 0;
    for (qsizetype i = 0; i < protocol.fields.size(); ++i) {
        FrameField& field = protocol.fields[i];
        QStringList expanded;
        for (const QString& entry : std::as_const(field.over)) {
            if (entry == all) {
                for (qsizetype j = 0; j < i; ++j)
                    expanded.append(protocol.fields.at(j).name);
                total += i;
            } else if (entry.startsWith(allBut)) {
                const QString excluded = entry.mid(2);
                for (qsizetype j = 0; j < i; ++j) {
                    if (protocol.fields.at(j).name != excluded)
                        expanded.append(protocol.fields.at(j).name);
                }
                total += i;
            } else {
                expanded.append(entry);
                ++total;
            }
            if (total > kMaxOverNames)
                return fail(error, tr("Field '%1': 'over' covers too many fields").arg(field.name));
        }
        field.over = expanded;
    }
    return true;
}

bool ProtocolFileReader::validate(const FrameProtocol& protocol, QString* error)
{
    QSet<QString> seen;
    for (const FrameField& f : protocol.fields) {
        if (seen.contains(f.name))
            return fail(error, tr("Duplicate field name: %1").arg(f.name));
        seen.insert(f.name);
        if (f.type == FieldType::Crc && !ChecksumCatalogue::find(f.algorithm))
            return fail(error, tr("Unknown CRC algorithm: %1").arg(f.algorithm));
    }
    for (const FrameField& f : protocol.fields) {
        for (const QString& ref : f.over) {
            if (!seen.contains(ref))
                return fail(error, tr("Field '%1' references unknown field '%2'").arg(f.name, ref));
        }
    }
    return true;
}
