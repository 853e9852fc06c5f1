#include "SendConverter.h"

#include "HexText.h"

SendConverter::Output SendConverter::convert(const QString& text, bool hex, const QString& lineEnd)
{
    Output out;
    if (text.isEmpty())
        return out;
    if (hex) {
        out.bytes = HexText::fromHexInput(text);
        if (!out.bytes.isEmpty())
            out.shown = HexText::toDisplay(out.bytes);
        return out;
    }
    out.bytes = text.toLocal8Bit();
    if (!lineEnd.isNull())
        out.bytes.append(lineEnd.toLocal8Bit());
    out.shown = text + lineEnd;
    return out;
}

QString SendConverter::echoLine(QString shown, bool autoWrap)
{
    if (shown.isEmpty())
        return shown;
    const bool ended = shown.endsWith(QLatin1Char('\n')) || shown.endsWith(QLatin1Char('\r'));
    if (autoWrap)
        shown.append(QLatin1Char('\n'));
    if (!ended)
        shown.append(QLatin1Char('\n'));
    return shown;
}

QString SendConverter::describeBadGroups(const QStringList& bad)
{
    constexpr int kShownGroups = 5;
    constexpr int kShownChars = 24;
    QStringList shown;
    for (int i = 0; i < bad.size() && i < kShownGroups; ++i) {
        const QString& group = bad.at(i);
        shown << QLatin1Char('"') +
                     (group.size() > kShownChars ? group.left(kShownChars) + QChar(0x2026) : group) +
                     QLatin1Char('"');
    }
    if (bad.size() > kShownGroups)
        shown << QString(QChar(0x2026));
    return shown.join(QStringLiteral(", "));
}
