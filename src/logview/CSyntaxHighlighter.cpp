#include "CSyntaxHighlighter.h"

#include <QTextBlock>
#include <QTextDocument>

CSyntaxHighlighter::CSyntaxHighlighter(QTextDocument* document)
    : QSyntaxHighlighter(document), m_default(HighlightRuleSet::defaults())
{
}

bool CSyntaxHighlighter::loadRuleFile(const QString& path, QString* error)
{
    HighlightRuleSet set;
    if (!HighlightRuleSet::loadFile(path, set, error))
        return false;
    m_loaded = set;
    m_hasLoaded = true;
    m_scanner.configure(m_loaded.rules());
    return true;
}

void CSyntaxHighlighter::highlightLine(QStringView line, const FormatSink& sink) const
{
    const QStringView head = line.left(kMaxHighlightChars);
    if (m_scanner.isEnabled())
        m_scanner.scan(head, sink);
    else
        activeRules().applyRules(head, sink);
}

namespace {

// Marks a line whose colouring was put off. The mark lives in the block's
// user data, not its state: a state change would make the highlighter go on
// to the next line, and colouring one line in view would colour them all.
class DeferredMark : public QTextBlockUserData
{
};

} // namespace

bool CSyntaxHighlighter::isDeferred(const QTextBlock& block)
{
    return dynamic_cast<DeferredMark*>(block.userData()) != nullptr;
}

void CSyntaxHighlighter::colourDeferred(const QTextBlock& first, const QTextBlock& last)
{
    if (!document())
        return;
    m_forceColour = true;
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        if (isDeferred(b))
            rehighlightBlock(b);
        if (b == last)
            break;
    }
    m_forceColour = false;
}

void CSyntaxHighlighter::highlightBlock(const QString& text)
{
    // Block comments carry state from line to line, so every line is needed.
    if (!m_forceColour && !activeRules().blockCommentEnabled() &&
        document()->blockCount() - currentBlock().blockNumber() > kEagerLines) {
        if (!isDeferred(currentBlock()))
            setCurrentBlockUserData(new DeferredMark);
        setCurrentBlockState(0);
        return;
    }
    if (currentBlockUserData())
        setCurrentBlockUserData(nullptr);
    const QStringView head = QStringView(text).left(kMaxHighlightChars);
    const FormatSink sink = [this](int start, int len, const QTextCharFormat& format) {
        setFormat(start, len, format);
    };
    if (m_scanner.isEnabled()) {
        m_scanner.scan(head, sink);
        setCurrentBlockState(0);
        return;
    }
    activeRules().applyRules(head, sink);
    if (!activeRules().blockCommentEnabled()) {
        setCurrentBlockState(0);
        return;
    }
    if (head.isEmpty()) {
        setCurrentBlockState(previousBlockState() == 1 ? 1 : 0);
        return;
    }
    applyBlockComment(head);
}

void CSyntaxHighlighter::applyBlockComment(QStringView text)
{
    const HighlightRuleSet& rules = activeRules();
    const qsizetype n = text.size();
    setCurrentBlockState(0);
    qsizetype start = 0;
    qsizetype beginLen = 0;
    if (previousBlockState() != 1) {
        const QRegularExpressionMatch m = rules.commentBegin().match(text);
        if (!m.hasMatch())
            return;
        start = m.capturedStart();
        beginLen = m.capturedLength();
    }
    while (start < n) {
        const QRegularExpressionMatch endMatch = rules.commentEnd().match(text, start + beginLen);
        qsizetype spanLen;
        if (endMatch.hasMatch()) {
            spanLen = endMatch.capturedEnd() - start;
        } else {
            setCurrentBlockState(1);
            spanLen = n - start;
        }
        if (spanLen > 0)
            setFormat(int(start), int(spanLen), rules.commentFormat());
        // Empty matches of either expression must not hold the search in place.
        const qsizetype next = start + qMax<qsizetype>(spanLen, 1);
        if (next >= n)
            break;
        const QRegularExpressionMatch beginMatch = rules.commentBegin().match(text, next);
        if (!beginMatch.hasMatch())
            break;
        start = beginMatch.capturedStart();
        beginLen = beginMatch.capturedLength();
    }
}
