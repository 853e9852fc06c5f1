#pragma once

#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringView>
#include <QTextCharFormat>

#include <functional>

// Receives one coloured span: start, length, format.
using FormatSink = std::function<void(int, int, const QTextCharFormat&)>;

struct HighlightRule
{
    QRegularExpression pattern;
    QTextCharFormat format;
};

// A list of colouring rules, applied in order (later ones win where they
// overlap), plus an optional multi-line span. Loaded from a JSON rule file or
// built in.
class HighlightRuleSet
{
public:
    // The compiled-in rules used while no rule file has loaded.
    static HighlightRuleSet defaults();

    // Reads a rule file into `out`. On failure `out` is left untouched and,
    // when `error` is given, the reason is written there.
    static bool loadFile(const QString& path, HighlightRuleSet& out, QString* error = nullptr);
    // The same for JSON already in memory (the file path only names errors).
    static bool parse(const QByteArray& json, HighlightRuleSet& out, QString* error = nullptr);

    const QList<HighlightRule>& rules() const { return m_rules; }
    void addRule(const QString& pattern, const QColor& color);

    bool blockCommentEnabled() const { return m_commentEnabled; }
    const QRegularExpression& commentBegin() const { return m_commentBegin; }
    const QRegularExpression& commentEnd() const { return m_commentEnd; }
    const QTextCharFormat& commentFormat() const { return m_commentFormat; }

    // Colours every match of every rule in `line`, in rule order.
    void applyRules(QStringView line, const FormatSink& sink) const;

private:
    QList<HighlightRule> m_rules;
    bool m_commentEnabled = false;
    QRegularExpression m_commentBegin;
    QRegularExpression m_commentEnd;
    QTextCharFormat m_commentFormat;
};
