#pragma once

#include "FrameField.h"

#include <QList>
#include <QMap>
#include <QString>

// A loaded protocol definition; fields are sorted by `order`.
struct FrameProtocol
{
    QString name;
    QString description;
    QString version = QStringLiteral("1.0");
    QList<FrameField> fields;
};

// Field name (or "group.sub" for bit sub-fields) -> value text typed by the user.
using FieldValues = QMap<QString, QString>;
