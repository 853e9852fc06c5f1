#include "AnsiBlockData.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QTextBlock>

const QList<AnsiSpan>* AnsiBlockData::spansOf(const QTextBlock& block)
{
    const auto* data = static_cast<const AnsiBlockData*>(block.userData());
    return data && !data->m_spans.isEmpty() ? &data->m_spans : nullptr;
}

QTextCharFormat AnsiBlockData::format(const AnsiStyle& style)
{
    QTextCharFormat format;
    if (style.flags & AnsiStyle::HasForeground)
        format.setForeground(QColor::fromRgb(style.foreground));
    if (style.flags & AnsiStyle::HasBackground)
        format.setBackground(QColor::fromRgb(style.background));
    if (style.flags & AnsiStyle::Bold)
        format.setFontWeight(QFont::Bold);
    return format;
}
