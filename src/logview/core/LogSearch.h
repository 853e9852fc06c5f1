#pragma once

#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringView>

// The matches of one search in a log that grows at its end and loses lines at
// its head. The text is searched a line at a time (searchLine), so the caller
// can spread a large log over many short steps and keep the GUI responsive;
// the matches are kept as positions in the whole text, in order, and follow
// the text's changes (removeHead, dropFrom). Matches do not overlap and never
// span a line end; empty matches of a pattern are skipped.
class LogSearch
{
public:
    struct Match
    {
        qsizetype position = 0;
        qsizetype length = 0;
    };
    // A pattern like "." on a full log would otherwise keep millions of
    // positions; beyond this the count shows as "at least".
    static constexpr qsizetype kMaxMatches = 1000000;

    // Sets what to look for and forgets all matches. False (with the reason in
    // `error`) for an invalid regular expression; an empty pattern is valid
    // and matches nothing.
    bool setPattern(const QString& pattern, bool regex, bool caseSensitive, QString* error = nullptr);
    bool isActive() const { return m_active; }

    // Adds the matches in `line`, which starts at `lineStart` in the text.
    // Lines must come in order and after every match kept.
    void searchLine(qsizetype lineStart, QStringView line);
    // The text lost its first `count` characters.
    void removeHead(qsizetype count);
    // Forgets the matches at or after `position` (that text is searched again).
    void dropFrom(qsizetype position);
    void clearMatches();

    const QList<Match>& matches() const { return m_matches; }
    qsizetype count() const { return m_matches.size(); }
    bool isCapped() const { return m_capped; }
    // Index of the selected match, -1 for none.
    qsizetype current() const { return m_current; }
    // Selects the first match at or after `position` (wrapping to the first
    // match), or the last one before it when `backward`; returns its index.
    qsizetype selectFrom(qsizetype position, bool backward);
    // The next / previous match after the selected one, wrapping around.
    qsizetype selectNext();
    qsizetype selectPrevious();
    // Index of the first match ending after `position`.
    qsizetype firstEndingAfter(qsizetype position) const;

private:
    QString m_pattern;
    QRegularExpression m_regex;
    bool m_useRegex = false;
    Qt::CaseSensitivity m_case = Qt::CaseSensitive;
    bool m_active = false;
    bool m_capped = false;
    QList<Match> m_matches;
    qsizetype m_current = -1;
};
