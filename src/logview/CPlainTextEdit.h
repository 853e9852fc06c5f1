#pragma once

#include "AnsiSgrParser.h"

#include <QColor>
#include <QElapsedTimer>
#include <QList>
#include <QPlainTextEdit>
#include <QPointer>
#include <QString>

class CSyntaxHighlighter;
class QTextBlock;
class QTimer;

// The read-only log text area. Appended text is collected and moved into the
// document in batches (at most every 50 ms, or at once when a lot is
// pending), because one document insertion per received chunk would stall
// the GUI at high data rates. A large backlog goes in short slices with the
// event loop running in between: the port must be read often, or the device
// buffer (a pty holds only some 64 KiB) fills up and the sender stalls. The
// view follows the end of the text unless the user scrolled away from it.
// Terminal control sequences are stripped on the way in; the line holding the
// cursor is shaded. Highlighting colours only the lines that are seen.
class CPlainTextEdit : public QPlainTextEdit
{
    Q_OBJECT
    Q_PROPERTY(QColor highlightColor READ highlightColor WRITE setHighlightColor NOTIFY highlightColorChanged)
public:
    static constexpr int kFlushIntervalMs = 50;
    static constexpr qsizetype kFlushThreshold = 65535;
    static constexpr int kMaxBlocks = 100000;
    // A document above this many characters is cleared before the next
    // insertion; trimming its head instead costs a copy of the whole text.
    static constexpr qsizetype kMaxChars = 0x500000;
    // Backlog insertion: pieces of this many characters, for at most
    // kSliceBudgetMs at a time, then a pause of kSliceGapMs so that reading
    // the port, painting and the other threads get their share.
    static constexpr qsizetype kPieceChars = 128 * 1024;
    static constexpr int kSliceBudgetMs = 5;
    static constexpr int kSliceGapMs = 8;
    // While text streams in, the view is painted at most this often: a paint
    // costs far more than an insertion (coloured lines the most), and nobody
    // reads faster than 25 frames a second.
    static constexpr int kMinPaintIntervalMs = 40;

    explicit CPlainTextEdit(QWidget* parent = nullptr);

    bool autoScrollEnabled() const { return m_autoScroll; }
    // Characters waiting for the document.
    qsizetype pendingLength() const { return m_pendingLength; }
    bool isScrollBarAtBottom() const;
    // Hides QPlainTextEdit::clear() so that pending text goes too.
    void clear();

    QColor highlightColor() const { return m_highlightColor; }
    void setHighlightColor(const QColor& color);
    // Removes complete terminal control sequences (CSI and OSC, see EscapeFilter).
    static QString stripEscapes(const QString& text);
    // On, colour codes in the text are kept as the lines' colours (the
    // highlighter shows them); off, they are removed. Other control
    // sequences are removed either way.
    void setAnsiColours(bool on);
    bool ansiColours() const { return m_ansiColours; }
    // The highlighter that colours this document's lines as they come into
    // view (it is switched to on-demand colouring); attaching it to the
    // document is up to the caller.
    void setHighlighter(CSyntaxHighlighter* highlighter);
    CSyntaxHighlighter* highlighter() const;
    // The search bar's shading of the matches in view, kept beside the
    // shading of the cursor's line.
    void setSearchSelections(const QList<QTextEdit::ExtraSelection>& selections);
    // The first line in view (for the search bar).
    QTextBlock topBlock() const;
    // Colours the lines in view that are not coloured yet. Painting does it
    // too; this is for when they must be coloured before the next paint.
    void colourVisibleBlocks();

public Q_SLOTS:
    void insertText(const QString& text);
    // Moves all pending text into the document now.
    void flushPending();
    // Stops the flush timer, drops pending text and clears the document.
    void reset();
    void setAutoScrollEnable(bool enable);
    // Shades the cursor's line (once per line change).
    void highlightCurrentLine();

Q_SIGNALS:
    void autoScrollStateChanged(bool state);
    void highlightColorChanged();

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The lines in view (and one either side) when the highlighter colours
    // this document.
    bool visibleBlockRange(QTextBlock* first, QTextBlock* last) const;
    void flushSlice();
    // Takes up to `max` pending characters, ending at a line end when possible.
    // The colour runs of the taken text go to `spans` (positions in it).
    QString takePending(qsizetype max, QList<AnsiSpan>* spans);
    // Inserts pieces of pending text until `budgetMs` ran out (all with -1),
    // then scrolls once.
    void insertPending(qsizetype pieceChars, int budgetMs);
    void insertIntoDocument(const QString& text, const QList<AnsiSpan>& spans);
    // Hands the colour runs of text just inserted at `from` to its lines.
    void attachSpans(qsizetype from, qsizetype length, const QList<AnsiSpan>& spans,
                     const QList<AnsiSpan>& headSpans);
    void trimBlocks(qsizetype incomingLines);
    void onScrollValueChanged(int value);
    void scrollToBottom();
    // Holds back painting the view after an insertion until
    // kMinPaintIntervalMs have passed since the last paint.
    void holdPaint();
    void releasePaint();

    // Pending text as the pieces it arrived in (appending shares, never copies);
    // the first piece is used from m_headPos on.
    QList<QString> m_pending;
    // The colour runs of each pending piece, in its own positions.
    QList<QList<AnsiSpan>> m_pendingSpans;
    AnsiSgrParser m_ansi;
    bool m_ansiColours = false;
    qsizetype m_headPos = 0;
    qsizetype m_pendingLength = 0;
    QTimer* m_flushTimer = nullptr;
    QTimer* m_paintTimer = nullptr;
    QElapsedTimer m_sinceLastPaint;
    bool m_paintHeld = false;
    bool m_autoScroll = true;
    // Set while this class moves the scroll bar itself, so that only the
    // user's scrolling switches auto scroll.
    bool m_selfScrolling = false;
    QColor m_highlightColor = QColor(Qt::darkBlue).lighter(160);
    int m_shadedBlock = -1;
    QList<QTextEdit::ExtraSelection> m_lineSelection;
    QList<QTextEdit::ExtraSelection> m_searchSelections;
    QPointer<CSyntaxHighlighter> m_highlighter;
};
