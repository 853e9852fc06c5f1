#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

enum class FieldType
{
    Hex = 0,
    Constant = 1,
    LengthField = 2,
    Crc = 3,
    Bits = 4,
    BitGroup = 5,
};

// One field of a frame, or one bit sub-field of a bit group (type Bits,
// `order` holding its bit offset inside the group).
struct FrameField
{
    FieldType type = FieldType::Hex;
    QString name;
    QString label;
    QString tooltip;
    qint32 length = -1;           // Hex: exact byte count, < 1 means any
    QString defaultValue;         // Hex, Bits and bit sub-fields
    QByteArray constantBytes;     // Constant
    qint32 width = 2;             // bytes of LengthField/BitGroup, bits of Bits
    bool bigEndian = true;        // LengthField, Bits, BitGroup
    QString algorithm;            // Crc
    bool outputBigEndian = false; // Crc
    QStringList over;             // LengthField, Crc: names counted or covered
    QList<FrameField> bitFields;  // BitGroup sub-fields in file order
    qint32 order = 0;             // sort key, or bit offset of a sub-field
};
