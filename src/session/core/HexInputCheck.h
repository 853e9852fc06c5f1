#pragma once

#include <QString>
#include <QStringList>

// Checks hex text typed into the send input before it is sent. The text is
// split at white space into groups; a group is good when it is an even number
// of hex digits, optionally after "0x". Anything else would be dropped
// silently by the conversion (a pair with a letter that is not hex, an odd
// last digit), so the user is told instead.
class HexInputCheck
{
public:
    // The groups that are not hex, in the order they were typed; empty when
    // the whole text converts.
    static QStringList invalidGroups(const QString& text);
};
