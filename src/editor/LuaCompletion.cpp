#include "LuaCompletion.h"

#include <QSet>

LuaCompletion::LuaCompletion(QsciLexer* lexer) : QsciAbstractAPIs(lexer) {}

void LuaCompletion::add(const QString& entry)
{
    const qsizetype paren = entry.indexOf(QLatin1Char('('));
    const QString name = (paren < 0 ? entry.section(QLatin1Char(' '), 0, 0) : entry.left(paren)).trimmed();
    if (name.isEmpty())
        return;
    QStringList& tips = m_entries[name];
    if (paren >= 0)
        tips << entry;
}

void LuaCompletion::updateAutoCompletionList(const QStringList& context, QStringList& list)
{
    // "string.fo" arrives as {"string", "fo"}; offer the segment being typed.
    const QString prefix = context.join(QLatin1Char('.'));
    const qsizetype segment = context.size() - 1;
    QSet<QString> seen(list.cbegin(), list.cend());
    for (auto it = m_entries.lowerBound(prefix); it != m_entries.cend() && it.key().startsWith(prefix);
         ++it) {
        const QString word = it.key().section(QLatin1Char('.'), int(segment), int(segment));
        if (!word.isEmpty() && !seen.contains(word)) {
            seen.insert(word);
            list << word;
        }
    }
}

QStringList LuaCompletion::callTips(const QStringList& context, int, QsciScintilla::CallTipsStyle,
                                    QList<int>&)
{
    QStringList words = context;
    // The context ends with the (empty) word after the "(".
    while (!words.isEmpty() && words.constLast().isEmpty())
        words.removeLast();
    return m_entries.value(words.join(QLatin1Char('.')));
}
