#include "CPlainTextEdit.h"

#include "AnsiBlockData.h"
#include "CSyntaxHighlighter.h"
#include "EscapeFilter.h"
#include "SkinManager.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

CPlainTextEdit::CPlainTextEdit(QWidget* parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
    // Re-polished around theme switches: it paints some colours itself.
    SkinManager::instance()->registerWidget(this);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setMaximumBlockCount(kMaxBlocks);

    m_flushTimer = new QTimer(this);
    m_flushTimer->setSingleShot(true);
    m_flushTimer->setTimerType(Qt::CoarseTimer);
    connect(m_flushTimer, &QTimer::timeout, this, &CPlainTextEdit::flushSlice);
    m_paintTimer = new QTimer(this);
    m_paintTimer->setSingleShot(true);
    connect(m_paintTimer, &QTimer::timeout, this, &CPlainTextEdit::releasePaint);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &CPlainTextEdit::onScrollValueChanged);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &CPlainTextEdit::highlightCurrentLine);
}

QString CPlainTextEdit::stripEscapes(const QString& text)
{
    // Most text has no ESC at all and is returned as it is.
    return EscapeFilter::strip(text);
}

void CPlainTextEdit::setAnsiColours(bool on)
{
    if (on == m_ansiColours)
        return;
    m_ansiColours = on;
    // A style or half a sequence from before does not belong to what follows.
    m_ansi.reset();
}

void CPlainTextEdit::setHighlightColor(const QColor& color)
{
    if (color == m_highlightColor)
        return;
    m_highlightColor = color;
    m_shadedBlock = -1;
    highlightCurrentLine();
    Q_EMIT highlightColorChanged();
}

void CPlainTextEdit::highlightCurrentLine()
{
    if (document()->isEmpty())
        return;
    const QTextCursor cursor = textCursor();
    if (cursor.blockNumber() == m_shadedBlock)
        return;
    m_shadedBlock = cursor.blockNumber();
    QTextEdit::ExtraSelection selection;
    selection.format.setBackground(m_highlightColor);
    selection.format.setProperty(QTextFormat::FullWidthSelection, true);
    selection.cursor = cursor;
    selection.cursor.clearSelection();
    m_lineSelection = {selection};
    setExtraSelections(m_lineSelection + m_searchSelections);
}

QTextBlock CPlainTextEdit::topBlock() const
{
    return firstVisibleBlock();
}

void CPlainTextEdit::setSearchSelections(const QList<QTextEdit::ExtraSelection>& selections)
{
    m_searchSelections = selections;
    setExtraSelections(m_lineSelection + m_searchSelections);
}

void CPlainTextEdit::setHighlighter(CSyntaxHighlighter* highlighter)
{
    if (m_highlighter)
        disconnect(m_highlighter, nullptr, this, nullptr);
    m_highlighter = highlighter;
    if (!highlighter)
        return;
    highlighter->setOnDemand(true);
    connect(highlighter, &CSyntaxHighlighter::recolourRequested, this, &CPlainTextEdit::colourVisibleBlocks);
}

CSyntaxHighlighter* CPlainTextEdit::highlighter() const
{
    return m_highlighter;
}

bool CPlainTextEdit::visibleBlockRange(QTextBlock* first, QTextBlock* last) const
{
    if (!m_highlighter || m_highlighter->document() != document())
        return false;
    *first = firstVisibleBlock();
    if (!first->isValid())
        return false;
    // Without line wrapping a block is one line; a line more either way for
    // the ones cut at the edges.
    const int lines = viewport()->height() / qMax(1, fontMetrics().lineSpacing()) + 2;
    *last = *first;
    for (int i = 0; i < lines && last->next().isValid(); ++i)
        *last = last->next();
    if (first->previous().isValid())
        *first = first->previous();
    return true;
}

void CPlainTextEdit::colourVisibleBlocks()
{
    QTextBlock first;
    QTextBlock last;
    if (visibleBlockRange(&first, &last))
        m_highlighter->colourBlocks(first, last);
}

void CPlainTextEdit::paintEvent(QPaintEvent* event)
{
    // Lines are coloured when they are painted, and only then: at high data
    // rates most lines scroll past between two paints and are never seen.
    QTextBlock first;
    QTextBlock last;
    if (visibleBlockRange(&first, &last)) {
        QAbstractTextDocumentLayout* layout = document()->documentLayout();
        const QSizeF size = layout->documentSize();
        {
            // The layout would ask to repaint each line coloured; it is
            // painted right below anyway.
            const QSignalBlocker quiet(layout);
            m_highlighter->colourBlocks(first, last);
        }
        // Any size change the layout noticed meanwhile was held back with
        // the rest; the scroll bars must still hear of it.
        if (layout->documentSize() != size)
            Q_EMIT layout->documentSizeChanged(layout->documentSize());
    }
    QPlainTextEdit::paintEvent(event);
    m_sinceLastPaint.start();
}

void CPlainTextEdit::holdPaint()
{
    if (m_paintHeld || !m_sinceLastPaint.isValid())
        return;
    const qint64 since = m_sinceLastPaint.elapsed();
    if (since >= kMinPaintIntervalMs)
        return;
    // Updates off: the insertions and scrolling until then ask for no paint;
    // switching them on again repaints the whole view once.
    m_paintHeld = true;
    viewport()->setUpdatesEnabled(false);
    m_paintTimer->start(int(kMinPaintIntervalMs - since));
}

void CPlainTextEdit::releasePaint()
{
    m_paintTimer->stop();
    if (!m_paintHeld)
        return;
    m_paintHeld = false;
    viewport()->setUpdatesEnabled(true);
}

void CPlainTextEdit::changeEvent(QEvent* event)
{
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::StyleChange || event->type() == QEvent::PaletteChange) {
        m_shadedBlock = -1;
        highlightCurrentLine();
    }
}

bool CPlainTextEdit::isScrollBarAtBottom() const
{
    const QScrollBar* bar = verticalScrollBar();
    return bar->value() >= bar->maximum() - 2 * bar->singleStep();
}

void CPlainTextEdit::clear()
{
    reset();
}

void CPlainTextEdit::insertText(const QString& input)
{
    if (input.isEmpty())
        return;
    QList<AnsiSpan> spans;
    const QString text = m_ansiColours ? m_ansi.feed(input, &spans) : stripEscapes(input);
    if (text.isEmpty())
        return;
    m_pending.append(text);
    m_pendingSpans.append(spans);
    m_pendingLength += text.size();

    // A backlog beyond the character cap would clear the document on its way
    // in anyway; only its tail can ever be seen, so the head is dropped here
    // (the document goes too, as the cap would have cleared it).
    bool dropped = false;
    while (m_pending.size() > 1 && m_pendingLength - (m_pending.first().size() - m_headPos) >= kMaxChars) {
        m_pendingLength -= m_pending.first().size() - m_headPos;
        m_pending.removeFirst();
        m_pendingSpans.removeFirst();
        m_headPos = 0;
        dropped = true;
    }
    if (dropped) {
        document()->clear();
        m_shadedBlock = -1;
    }

    if (m_pendingLength > kFlushThreshold) {
        // A running slice sequence continues on its own schedule.
        if (!m_flushTimer->isActive() || m_flushTimer->interval() == kFlushIntervalMs)
            flushSlice();
        return;
    }
    if (!m_flushTimer->isActive())
        m_flushTimer->start(kFlushIntervalMs);
}

void CPlainTextEdit::flushPending()
{
    m_flushTimer->stop();
    insertPending(m_pendingLength, -1);
}

void CPlainTextEdit::flushSlice()
{
    m_flushTimer->stop();
    insertPending(kPieceChars, kSliceBudgetMs);
    // The rest follows once the event loop has had its turn.
    if (m_pendingLength > 0)
        m_flushTimer->start(kSliceGapMs);
}

void CPlainTextEdit::insertPending(qsizetype pieceChars, int budgetMs)
{
    if (m_pendingLength <= 0)
        return;
    holdPaint();
    QScrollBar* bar = verticalScrollBar();
    const bool atBottom = isScrollBarAtBottom();
    const int oldValue = bar->value();
    m_selfScrolling = true;
    QElapsedTimer budget;
    budget.start();
    QList<AnsiSpan> spans;
    while (m_pendingLength > 0) {
        spans.clear();
        const QString piece = takePending(pieceChars, &spans);
        insertIntoDocument(piece, spans);
        if (budgetMs >= 0 && budget.elapsed() >= budgetMs)
            break;
    }
    if (!atBottom && !m_autoScroll)
        bar->setValue(oldValue);
    else
        bar->setValue(bar->maximum());
    m_selfScrolling = false;
}

QString CPlainTextEdit::takePending(qsizetype max, QList<AnsiSpan>* spans)
{
    if (m_pending.size() == 1 && m_headPos == 0 && m_pendingLength <= max) {
        QString all = m_pending.takeFirst();
        *spans = m_pendingSpans.takeFirst();
        m_pendingLength = 0;
        return all;
    }
    // The runs of the head piece within [m_headPos, m_headPos + n), moved to
    // where that text lands in `out`.
    auto takeSpans = [this, spans](qsizetype n, qsizetype at) {
        const qsizetype from = m_headPos;
        const qsizetype to = m_headPos + n;
        for (const AnsiSpan& span : m_pendingSpans.first()) {
            const qsizetype a = qMax(span.start, from);
            const qsizetype b = qMin(span.start + span.length, to);
            if (a < b)
                spans->append(AnsiSpan{at + a - from, b - a, span.style});
        }
    };
    QString out;
    out.reserve(qMin(max, m_pendingLength));
    while (!m_pending.isEmpty() && out.size() < max) {
        const QString& head = m_pending.first();
        const qsizetype room = max - out.size();
        const qsizetype avail = head.size() - m_headPos;
        if (avail <= room) {
            takeSpans(avail, out.size());
            out.append(QStringView(head).mid(m_headPos));
            m_pending.removeFirst();
            m_pendingSpans.removeFirst();
            m_headPos = 0;
            continue;
        }
        // Part of this piece: end at its last line end within reach, unless
        // that leaves nothing; never split a surrogate pair.
        qsizetype n = room;
        const qsizetype nl = head.lastIndexOf(QLatin1Char('\n'), m_headPos + n - 1);
        if (nl >= m_headPos)
            n = nl + 1 - m_headPos;
        else if (!out.isEmpty())
            break;
        else if (head.at(m_headPos + n - 1).isHighSurrogate())
            --n;
        takeSpans(n, out.size());
        out.append(QStringView(head).mid(m_headPos, n));
        m_headPos += n;
        break;
    }
    m_pendingLength -= out.size();
    return out;
}

void CPlainTextEdit::insertIntoDocument(const QString& text, const QList<AnsiSpan>& spans)
{
    if (text.isEmpty())
        return;
    if (document()->characterCount() > kMaxChars) {
        document()->clear();
        m_shadedBlock = -1;
    }
    trimBlocks(text.count(QLatin1Char('\n')));
    // The last line may hold runs already; the text continues it.
    const QTextBlock tail = document()->lastBlock();
    const QList<AnsiSpan>* tailSpans = AnsiBlockData::spansOf(tail);
    const QList<AnsiSpan> headSpans = tailSpans ? *tailSpans : QList<AnsiSpan>();
    // A cursor of our own: the user's selection survives the stream.
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    const qsizetype from = cursor.position();
    cursor.insertText(text);
    if (!spans.isEmpty() || !headSpans.isEmpty())
        attachSpans(from, text.size(), spans, headSpans);
}

void CPlainTextEdit::attachSpans(qsizetype from, qsizetype length, const QList<AnsiSpan>& spans,
                                 const QList<AnsiSpan>& headSpans)
{
    // Every line the text touched gets its runs (or loses stale ones): a
    // line split by the insertion may have carried the old data along.
    qsizetype next = 0; // first run not yet placed
    const qsizetype end = from + length;
    for (QTextBlock b = document()->findBlock(int(from)); b.isValid() && b.position() <= end; b = b.next()) {
        const qsizetype start = b.position();
        const qsizetype stop = start + b.length() - 1; // without the line end
        QList<AnsiSpan> own;
        if (start < from)
            own = headSpans;
        while (next < spans.size()) {
            const AnsiSpan& span = spans.at(next);
            const qsizetype a = qMax(from + span.start, start);
            const qsizetype z = qMin(from + span.start + span.length, stop);
            if (from + span.start >= stop + 1)
                break; // on a later line
            if (a < z)
                own.append(AnsiSpan{a - start, z - a, span.style});
            if (from + span.start + span.length > stop + 1)
                break; // runs on into the next line
            ++next;
        }
        if (!own.isEmpty())
            b.setUserData(new AnsiBlockData(std::move(own)));
        else if (b.userData())
            b.setUserData(nullptr);
    }
}

void CPlainTextEdit::trimBlocks(qsizetype incomingLines)
{
    // The document's own line cap walks the dropped lines with a cursor that
    // lays each of them out, which costs more than the insertion itself at
    // high data rates. Cutting them in one selection needs no layout.
    QTextDocument* doc = document();
    const qsizetype excess = doc->blockCount() + incomingLines - kMaxBlocks;
    if (excess <= 0)
        return;
    if (excess >= doc->blockCount()) {
        doc->clear();
        m_shadedBlock = -1;
        return;
    }
    const QTextBlock keep = doc->findBlockByNumber(int(excess));
    QTextCursor cursor(doc);
    cursor.setPosition(keep.position(), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void CPlainTextEdit::reset()
{
    m_flushTimer->stop();
    m_pending.clear();
    m_pendingSpans.clear();
    m_ansi.reset();
    m_headPos = 0;
    m_pendingLength = 0;
    QPlainTextEdit::clear();
    m_shadedBlock = -1;
}

void CPlainTextEdit::setAutoScrollEnable(bool enable)
{
    m_autoScroll = enable;
    scrollToBottom();
}

void CPlainTextEdit::onScrollValueChanged(int value)
{
    if (m_selfScrolling)
        return;
    // The user's scrolling is shown at once, its lines coloured.
    releasePaint();
    colourVisibleBlocks();
    const QScrollBar* bar = verticalScrollBar();
    const bool atBottom = value >= bar->maximum() - 2 * bar->singleStep();
    if (m_autoScroll && !atBottom) {
        m_autoScroll = false;
        Q_EMIT autoScrollStateChanged(false);
    } else if (!m_autoScroll && value >= bar->maximum()) {
        // Back at the very end: follow the text again.
        m_autoScroll = true;
        Q_EMIT autoScrollStateChanged(true);
    }
}

void CPlainTextEdit::scrollToBottom()
{
    m_selfScrolling = true;
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    m_selfScrolling = false;
}
