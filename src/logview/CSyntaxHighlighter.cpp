#include "CSyntaxHighlighter.h"

#include "AnsiBlockData.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTextBlock>
#include <QTextDocument>
#include <QVarLengthArray>

#include <algorithm>

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
    recolourAll();
    return true;
}

void CSyntaxHighlighter::recolourAll()
{
    if (!document())
        return;
    if (m_onDemand) {
        invalidateAll();
        Q_EMIT recolourRequested();
    } else {
        rehighlight();
    }
}

void CSyntaxHighlighter::setRulesEnabled(bool on)
{
    if (on == m_rulesEnabled)
        return;
    m_rulesEnabled = on;
    recolourAll();
}

void CSyntaxHighlighter::setAnsiEnabled(bool on)
{
    if (on == m_ansiEnabled)
        return;
    m_ansiEnabled = on;
    recolourAll();
}

void CSyntaxHighlighter::highlightLine(QStringView line, const FormatSink& sink) const
{
    const QStringView head = line.left(kMaxHighlightChars);
    if (m_scanner.isEnabled())
        m_scanner.scan(head, sink);
    else
        activeRules().applyRules(head, sink);
}

bool CSyntaxHighlighter::isColoured(const QTextBlock& block)
{
    const int state = block.userState();
    return state == 0 || state == 1;
}

bool CSyntaxHighlighter::hasBlockComments() const
{
    // The scanner ignores block comments, as highlightBlock() does.
    return m_rulesEnabled && !m_scanner.isEnabled() && activeRules().blockCommentEnabled();
}

void CSyntaxHighlighter::setOnDemand(bool onDemand)
{
    if (onDemand == m_onDemand)
        return;
    m_onDemand = onDemand;
    QTextDocument* doc = document();
    if (!doc)
        return;
    if (onDemand) {
        QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
        hookDocument();
        invalidateAll();
    } else {
        // Attaching again restores the plain hook and colours everything.
        unhookDocument();
        setDocument(nullptr);
        setDocument(doc);
    }
}

CSyntaxHighlighter::~CSyntaxHighlighter()
{
    unhookDocument();
}

void CSyntaxHighlighter::attachDocument(QTextDocument* doc)
{
    if (doc == document())
        return;
    unhookDocument();
    setDocument(doc);
    if (!doc || !m_onDemand)
        return;
    // setDocument() queued a pass over the whole document; on demand the
    // lines are coloured when they are seen instead.
    QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
    hookDocument();
    invalidateAll();
}

void CSyntaxHighlighter::hookDocument()
{
    QTextDocument* doc = document();
    // Drops QSyntaxHighlighter's own hook, which colours every changed line.
    disconnect(doc, &QTextDocument::contentsChange, this, nullptr);
    connect(doc, &QTextDocument::contentsChange, this, &CSyntaxHighlighter::onContentsChange);
    m_hooked = doc;
}

void CSyntaxHighlighter::unhookDocument()
{
    if (m_hooked)
        disconnect(m_hooked, &QTextDocument::contentsChange, this, &CSyntaxHighlighter::onContentsChange);
    m_hooked = nullptr;
}

void CSyntaxHighlighter::invalidateAll()
{
    QTextDocument* doc = document();
    if (!doc)
        return;
    // Old colours stay on the lines until they are coloured again; only the
    // lines in view are, right away.
    for (QTextBlock b = doc->firstBlock(); b.isValid(); b = b.next())
        b.setUserState(-1);
}

void CSyntaxHighlighter::onContentsChange(int from, int charsRemoved, int charsAdded)
{
    Q_UNUSED(charsRemoved);
    // Format changes made while colouring come back through this signal.
    if (m_colouring || !m_hooked)
        return;
    // The line where the change began no longer holds the text its colours
    // were made for, and the lines after it up to the end of the change are
    // new. A cut at the head (the line cap) touches the new first line only.
    const QTextBlock last = m_hooked->findBlock(from + charsAdded);
    for (QTextBlock b = m_hooked->findBlock(from); b.isValid(); b = b.next()) {
        b.setUserState(-1);
        if (b == last)
            break;
    }
}

void CSyntaxHighlighter::colourBlocks(const QTextBlock& first, const QTextBlock& last)
{
    QTextDocument* doc = document();
    if (!doc || !first.isValid() || first.document() != doc)
        return;
    const bool comments = hasBlockComments();
    QTextBlock b = first;
    if (comments) {
        // A line's colours depend on whether the line before it ended inside
        // a span: read back to the last line whose state is known.
        while (b.previous().isValid() && b.previous().userState() < 0)
            b = b.previous();
    }
    auto endsInComment = [](const QTextBlock& block) {
        const int state = block.userState();
        return state >= 0 && (state & 1);
    };

    // The formats go straight onto the lines' layouts, and the document hears
    // of all of them at once: through QSyntaxHighlighter every line would be
    // laid out again on its own, before the paint lays it out anyway.
    m_colouring = true;
    int dirtyFrom = -1;
    int dirtyTo = -1;
    bool inRange = false;
    QList<QTextLayout::FormatRange> ranges;
    for (; b.isValid(); b = b.next()) {
        if (b == first)
            inRange = true;
        if (inRange && !isColoured(b)) {
            ranges.clear();
            const int state = lineFormats(b.text(), comments && endsInComment(b.previous()),
                                          m_ansiEnabled ? AnsiBlockData::spansOf(b) : nullptr, &ranges);
            QTextLayout* layout = b.layout();
            if (layout->formats() != ranges) {
                layout->setFormats(ranges);
                const int pos = b.position();
                if (dirtyFrom < 0)
                    dirtyFrom = pos;
                dirtyTo = pos + b.length();
            }
            b.setUserState(state);
        } else if (!inRange && b.userState() < 0) {
            const int state = blockComment(QStringView(b.text()).left(kMaxHighlightChars),
                                           endsInComment(b.previous()), nullptr);
            b.setUserState(kUncolouredKnown + state);
        }
        if (b == last)
            break;
    }
    if (dirtyFrom >= 0)
        doc->markContentsDirty(dirtyFrom, dirtyTo - dirtyFrom);
    m_colouring = false;
}

void CSyntaxHighlighter::highlightBlock(const QString& text)
{
    if (m_onDemand) {
        // A pass over the whole document (rehighlight()): on demand, lines
        // are coloured by colourBlocks() when seen.
        setCurrentBlockState(-1);
        return;
    }
    const int prev = previousBlockState();
    int state = 0;
    if (m_rulesEnabled) {
        state = colourLine(
            text, prev >= 0 && (prev & 1),
            [this](int start, int len, const QTextCharFormat& format) { setFormat(start, len, format); });
    }
    const QList<AnsiSpan>* ansi = m_ansiEnabled ? AnsiBlockData::spansOf(currentBlock()) : nullptr;
    if (ansi) {
        for (const AnsiSpan& span : *ansi) {
            if (span.start >= kMaxHighlightChars)
                break;
            setFormat(int(span.start), int(qMin<qsizetype>(span.length, kMaxHighlightChars - span.start)),
                      AnsiBlockData::format(span.style));
        }
    }
    setCurrentBlockState(state);
}

int CSyntaxHighlighter::colourLine(QStringView text, bool inComment, const FormatSink& sink) const
{
    const QStringView head = text.left(kMaxHighlightChars);
    if (m_scanner.isEnabled()) {
        m_scanner.scan(head, sink);
        return 0;
    }
    activeRules().applyRules(head, sink);
    if (!activeRules().blockCommentEnabled())
        return 0;
    return blockComment(head, inComment, &sink);
}

int CSyntaxHighlighter::lineFormats(QStringView text, bool inComment, const QList<AnsiSpan>* ansi,
                                    QList<QTextLayout::FormatRange>* ranges) const
{
    // Later spans win where they overlap; adjacent characters with equal
    // formats make one range, and plain characters none.
    QVarLengthArray<const QTextCharFormat*, 512> chars(qMin<qsizetype>(text.size(), kMaxHighlightChars));
    std::fill(chars.begin(), chars.end(), nullptr);
    const qsizetype n = chars.size();
    int state = 0;
    if (m_rulesEnabled) {
        state = colourLine(text, inComment, [&chars](int start, int len, const QTextCharFormat& format) {
            for (int i = start; i < start + len; ++i)
                chars[i] = &format;
        });
    }
    // The device's colours go on last, so the rules keep only what it left
    // plain. Reserved up front: `chars` points into it.
    QList<QTextCharFormat> ansiFormats;
    if (ansi) {
        ansiFormats.reserve(ansi->size());
        for (const AnsiSpan& span : *ansi) {
            if (span.start >= n)
                break;
            ansiFormats.append(AnsiBlockData::format(span.style));
            const QTextCharFormat* format = &ansiFormats.last();
            const qsizetype end = qMin(n, span.start + span.length);
            for (qsizetype i = span.start; i < end; ++i)
                chars[i] = format;
        }
    }
    qsizetype i = 0;
    while (i < n) {
        const QTextCharFormat* format = chars[i];
        if (!format) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        while (i < n && chars[i] && (chars[i] == format || *chars[i] == *format))
            ++i;
        QTextLayout::FormatRange range;
        range.start = int(start);
        range.length = int(i - start);
        range.format = *format;
        ranges->append(range);
    }
    return state;
}

int CSyntaxHighlighter::blockComment(QStringView text, bool inComment, const FormatSink* sink) const
{
    const qsizetype n = text.size();
    if (n == 0)
        return inComment ? 1 : 0;
    const HighlightRuleSet& rules = activeRules();
    int state = 0;
    qsizetype start = 0;
    qsizetype beginLen = 0;
    if (!inComment) {
        const QRegularExpressionMatch m = rules.commentBegin().match(text);
        if (!m.hasMatch())
            return 0;
        start = m.capturedStart();
        beginLen = m.capturedLength();
    }
    while (start < n) {
        const QRegularExpressionMatch endMatch = rules.commentEnd().match(text, start + beginLen);
        qsizetype spanLen;
        if (endMatch.hasMatch()) {
            spanLen = endMatch.capturedEnd() - start;
        } else {
            state = 1;
            spanLen = n - start;
        }
        if (spanLen > 0 && sink)
            (*sink)(int(start), int(spanLen), rules.commentFormat());
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
    return state;
}
