#pragma once

#include "HighlightRuleSet.h"
#include "LogLineScanner.h"

#include <QSyntaxHighlighter>

// Colours the log line by line: with the one-pass scanner when the loaded
// rules are the standard set, otherwise with the rules' regular expressions
// and the optional multi-line span.
class CSyntaxHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT
public:
    // Only the head of a longer line is coloured: a device that never sends a
    // line end grows one block, and it is highlighted again on every insertion.
    static constexpr int kMaxHighlightChars = 4096;
    // Lines further than this from the end of the document when they are
    // highlighted are left for later (marked, see isDeferred()) and coloured
    // once they are scrolled into view: a large backlog goes in at once, and
    // colouring lines that are never seen would cut the receive rate badly.
    static constexpr int kEagerLines = 200;
    static bool isDeferred(const QTextBlock& block);

    explicit CSyntaxHighlighter(QTextDocument* document = nullptr);

    // Loads a rule file; on failure the rules in force stay as they were.
    bool loadRuleFile(const QString& path, QString* error = nullptr);

    bool hasLoadedRules() const { return m_hasLoaded; }
    const HighlightRuleSet& activeRules() const { return m_hasLoaded ? m_loaded : m_default; }
    const LogLineScanner& scanner() const { return m_scanner; }
    bool scannerEnabled() const { return m_scanner.isEnabled(); }

    // Colours one line as highlightBlock() would, without a document (block
    // comments aside); used by tests and benchmarks.
    void highlightLine(QStringView line, const FormatSink& sink) const;

    // Colours the deferred lines among first..last (inclusive).
    void colourDeferred(const QTextBlock& first, const QTextBlock& last);

protected:
    void highlightBlock(const QString& text) override;

private:
    void applyBlockComment(QStringView text);

    HighlightRuleSet m_default;
    HighlightRuleSet m_loaded;
    bool m_hasLoaded = false;
    LogLineScanner m_scanner;
    bool m_forceColour = false;
};
