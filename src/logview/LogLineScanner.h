#pragma once

#include "HighlightRuleSet.h"

#include <QStringView>
#include <QTextCharFormat>

#include <array>

// A one-pass colourer for the standard log rule set. When every rule of the
// standard set is recognised in a loaded rule list (by its exact pattern
// text), this scanner gives the same colours as running the rules' regular
// expressions one after the other, at a fraction of the cost.
class LogLineScanner
{
public:
    enum Role
    {
        Timestamp,
        ReceiveMark,
        TransmitMark,
        SendWord,
        ReceiveWord,
        InfoWord,
        ErrorWord,
        SuccessWord,
        SymbolRun,
        Number,
        Option,
        ErrorLine,
        WarningLine,
        RoleCount
    };

    // The timestamp pattern shared by three roles.
    static QString timestampPattern();

    // Finds the roles in `rules`; true when all of them were found, which
    // enables the scanner. A failed analysis disables it.
    bool configure(const QList<HighlightRule>& rules);
    bool isEnabled() const { return m_enabled; }
    bool hasRole(Role role) const { return m_found[role]; }
    const QTextCharFormat& format(Role role) const { return m_formats[role]; }
    // 0: the warning rule lists "WARN" twice; 1: it lists "warn".
    int warningForm() const { return m_warningForm; }
    bool isNonSymbol(char16_t c) const { return c < 256 && m_nonSymbol[c]; }

    // Colours `line`. Every step moves forward by at least one character and
    // every look-ahead is bounded by the line's end.
    void scan(QStringView line, const FormatSink& sink) const;

    // Length of the timestamp starting at `p` (including "]"), or 0.
    static int timestampLength(QStringView line, qsizetype p);
    // Reads the character class of a "[^...]+" pattern into `table`; false
    // when the pattern has another form or the class cannot be read.
    static bool parseSymbolClass(const QString& pattern, std::array<bool, 256>& table);

private:
    // End of "whitespace run, '-', letter or '_', word characters" from `p`, or 0.
    static qsizetype optionEnd(QStringView line, qsizetype p);

    std::array<QTextCharFormat, RoleCount> m_formats;
    std::array<bool, RoleCount> m_found{};
    std::array<bool, 256> m_nonSymbol{};
    int m_warningForm = 1;
    bool m_enabled = false;
};
