#include "LogSearch.h"

#include <algorithm>

bool LogSearch::setPattern(const QString& pattern, bool regex, bool caseSensitive, QString* error)
{
    clearMatches();
    m_active = false;
    m_pattern = pattern;
    m_useRegex = regex;
    m_case = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (pattern.isEmpty())
        return true;
    if (regex) {
        m_regex = QRegularExpression(pattern, caseSensitive ? QRegularExpression::NoPatternOption
                                                            : QRegularExpression::CaseInsensitiveOption);
        if (!m_regex.isValid()) {
            if (error)
                *error = m_regex.errorString();
            return false;
        }
        m_regex.optimize();
    }
    m_active = true;
    return true;
}

void LogSearch::searchLine(qsizetype lineStart, QStringView line)
{
    if (!m_active || m_capped || line.isEmpty())
        return;
    auto add = [this, lineStart](qsizetype at, qsizetype length) {
        if (m_matches.size() >= kMaxMatches) {
            m_capped = true;
            return false;
        }
        m_matches.append(Match{lineStart + at, length});
        return true;
    };
    if (!m_useRegex) {
        const qsizetype n = m_pattern.size();
        for (qsizetype at = line.indexOf(m_pattern, 0, m_case); at >= 0;
             at = line.indexOf(m_pattern, at + n, m_case)) {
            if (!add(at, n))
                return;
        }
        return;
    }
    QRegularExpressionMatchIterator it = m_regex.globalMatch(line);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedLength() > 0 && !add(m.capturedStart(), m.capturedLength()))
            return;
    }
}

void LogSearch::removeHead(qsizetype count)
{
    if (count <= 0)
        return;
    // A match that began in the lost text is gone, even if it ran past it.
    const auto it = std::lower_bound(m_matches.begin(), m_matches.end(), count,
                                     [](const Match& m, qsizetype p) { return m.position < p; });
    const qsizetype drop = it - m_matches.begin();
    m_matches.remove(0, drop);
    for (Match& m : m_matches)
        m.position -= count;
    if (m_current >= 0)
        m_current = m_current < drop ? -1 : m_current - drop;
    if (drop > 0)
        m_capped = false;
}

void LogSearch::dropFrom(qsizetype position)
{
    const auto it = std::lower_bound(m_matches.begin(), m_matches.end(), position,
                                     [](const Match& m, qsizetype p) { return m.position < p; });
    const qsizetype keep = it - m_matches.begin();
    if (keep == m_matches.size())
        return;
    m_matches.resize(keep);
    m_capped = false;
    if (m_current >= keep)
        m_current = -1;
}

void LogSearch::clearMatches()
{
    m_matches.clear();
    m_current = -1;
    m_capped = false;
}

qsizetype LogSearch::firstEndingAfter(qsizetype position) const
{
    const auto it =
        std::upper_bound(m_matches.begin(), m_matches.end(), position,
                         [](qsizetype p, const Match& m) { return p < m.position + m.length - 1; });
    return it - m_matches.begin();
}

qsizetype LogSearch::selectFrom(qsizetype position, bool backward)
{
    if (m_matches.isEmpty())
        return m_current = -1;
    const auto it = std::lower_bound(m_matches.begin(), m_matches.end(), position,
                                     [](const Match& m, qsizetype p) { return m.position < p; });
    qsizetype i = it - m_matches.begin();
    if (backward)
        i = i == 0 ? m_matches.size() - 1 : i - 1;
    else if (i == m_matches.size())
        i = 0;
    return m_current = i;
}

qsizetype LogSearch::selectNext()
{
    if (m_matches.isEmpty())
        return m_current = -1;
    m_current = m_current < 0 || m_current + 1 >= m_matches.size() ? 0 : m_current + 1;
    return m_current;
}

qsizetype LogSearch::selectPrevious()
{
    if (m_matches.isEmpty())
        return m_current = -1;
    m_current = m_current <= 0 ? m_matches.size() - 1 : m_current - 1;
    return m_current;
}
