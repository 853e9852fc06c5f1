#pragma once

#include "AnsiSgrParser.h"
#include "HighlightRuleSet.h"
#include "LogLineScanner.h"

#include <QPointer>
#include <QSyntaxHighlighter>
#include <QTextLayout>

// Colours the log line by line: with the one-pass scanner when the loaded
// rules are the standard set, otherwise with the rules' regular expressions
// and the optional multi-line span.
//
// Two ways of working. Attached the plain QSyntaxHighlighter way, every
// changed line is coloured as the document changes. On demand (the log view),
// document changes only mark lines as due and nothing is coloured until
// colourBlocks() is asked for a range, which the text area does for the lines
// in view: at high data rates colouring every line that scrolls past unseen
// costs more than receiving it.
//
// Block states: 0 or 1 = coloured, the line ending outside (0) or inside (1)
// a block comment; 2 or 3 = not coloured, but the comment state at its end
// known (2 + state; only with block comments); -1 = not coloured, state
// unknown.
class CSyntaxHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT
public:
    // Only the head of a longer line is coloured: a device that never sends a
    // line end grows one block, and it is highlighted again on every insertion.
    static constexpr int kMaxHighlightChars = 4096;

    explicit CSyntaxHighlighter(QTextDocument* document = nullptr);
    // Drops our document hook first: the base destructor detaches the
    // document, which reports a change that must not reach this half-destroyed object.
    ~CSyntaxHighlighter() override;

    // Loads a rule file; on failure the rules in force stay as they were. On
    // success the attached document is coloured again (on demand: every line
    // becomes due and recolourRequested() is emitted).
    bool loadRuleFile(const QString& path, QString* error = nullptr);

    bool hasLoadedRules() const { return m_hasLoaded; }
    const HighlightRuleSet& activeRules() const { return m_hasLoaded ? m_loaded : m_default; }
    const LogLineScanner& scanner() const { return m_scanner; }
    bool scannerEnabled() const { return m_scanner.isEnabled(); }

    // Colours one line as highlightBlock() would, without a document (block
    // comments aside); used by tests and benchmarks.
    void highlightLine(QStringView line, const FormatSink& sink) const;

    // Switches between colouring on every document change (off, the default)
    // and colouring on demand.
    void setOnDemand(bool onDemand);
    bool isOnDemand() const { return m_onDemand; }
    // Attaches to `document` (nullptr detaches). On demand, every line of it
    // is due afterwards and none is coloured yet; changes are heard through
    // contentsChange, which a document only reports once it has a layout.
    void attachDocument(QTextDocument* document);
    // Colours the lines among first..last (inclusive) that are not coloured.
    // With block comments the lines before `first` back to the last one whose
    // comment state is known are read for their state (not coloured).
    void colourBlocks(const QTextBlock& first, const QTextBlock& last);
    // Makes every line of the attached document due again.
    void invalidateAll();
    static bool isColoured(const QTextBlock& block);

    // Rule colouring on or off (the "Highlighter" switch). Off, a line gets
    // only the device's own colours, when those are on.
    void setRulesEnabled(bool on);
    bool rulesEnabled() const { return m_rulesEnabled; }
    // The device's colour codes (kept on the lines, see AnsiBlockData) laid
    // over the rule colours: rules colour only what the device left plain.
    void setAnsiEnabled(bool on);
    bool ansiEnabled() const { return m_ansiEnabled; }

Q_SIGNALS:
    // On demand: the lines lost their colours (rules changed); whoever shows
    // the document colours the lines in view.
    void recolourRequested();

protected:
    void highlightBlock(const QString& text) override;

private:
    static constexpr int kUncolouredKnown = 2;

    // Runs every colouring of a line (rules or scanner, then block comments)
    // into `sink`; returns the state at its end.
    int colourLine(QStringView text, bool inComment, const FormatSink& sink) const;
    // The same as the format ranges QSyntaxHighlighter would give the line.
    // `ansi`: the device's runs of the line, or nullptr.
    int lineFormats(QStringView text, bool inComment, const QList<AnsiSpan>* ansi,
                    QList<QTextLayout::FormatRange>* ranges) const;
    // Everything changed: the lines are coloured again.
    void recolourAll();

    void onContentsChange(int from, int charsRemoved, int charsAdded);
    void hookDocument();
    void unhookDocument();
    // Applies the block-comment spans to `text` (to `sink` when given) and
    // returns the state at its end: 1 inside a span, else 0.
    int blockComment(QStringView text, bool inComment, const FormatSink* sink) const;
    bool hasBlockComments() const;

    HighlightRuleSet m_default;
    HighlightRuleSet m_loaded;
    bool m_hasLoaded = false;
    LogLineScanner m_scanner;
    bool m_onDemand = false;
    bool m_rulesEnabled = true;
    bool m_ansiEnabled = false;
    // Set while colourBlocks() runs: the format changes it makes do not count
    // as text changes.
    bool m_colouring = false;
    // The document the on-demand hook is connected to.
    QPointer<QTextDocument> m_hooked;
};
