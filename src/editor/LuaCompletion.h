#pragma once

#include <Qsci/qsciabstractapis.h>

#include <QMap>
#include <QStringList>

// Completion and call tips for Lua keywords, the standard library and the
// cvn_ API. Synchronous: the word lists are small, and a prepared list on a
// worker thread would outlive a short-lived editor.
class LuaCompletion : public QsciAbstractAPIs
{
    Q_OBJECT
public:
    explicit LuaCompletion(QsciLexer* lexer);

    // "cvn_send(data) -> boolean": the name before "(" completes, the whole
    // entry is the call tip.
    void add(const QString& entry);

    void updateAutoCompletionList(const QStringList& context, QStringList& list) override;
    QStringList callTips(const QStringList& context, int commas, QsciScintilla::CallTipsStyle style,
                         QList<int>& shifts) override;

private:
    // Full dotted name -> call tips of that name.
    QMap<QString, QStringList> m_entries;
};
