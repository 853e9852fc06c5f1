#include "HexInputCheck.h"

#include <QStringView>

namespace {

bool isHexDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
}

bool isGoodGroup(QStringView group)
{
    if (group.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        group = group.mid(2);
    if (group.isEmpty() || group.size() % 2 != 0)
        return false;
    for (QChar c : group) {
        if (!isHexDigit(c))
            return false;
    }
    return true;
}

} // namespace

QStringList HexInputCheck::invalidGroups(const QString& text)
{
    QStringList bad;
    const QString simple = text.simplified();
    const auto groups = QStringView(simple).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QStringView group : groups) {
        if (!isGoodGroup(group))
            bad.append(group.toString());
    }
    return bad;
}
