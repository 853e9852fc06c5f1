#pragma once

#include <QString>

#include <functional>

// Puts a prefix (the timestamp) at the start of every displayed line. The
// display arrives in pieces that need not end at line ends, so whether the
// next character starts a line is carried from one piece to the next: a line
// split over several pieces gets one prefix, at its start.
//
// "\r\n" becomes "\n". A bare "\r" starts a new line in the log view, so it
// becomes "\n" too and that line gets its prefix like any other (the view
// cannot overwrite a line as a terminal would). A piece ending in "\r" keeps
// that "\r" back until the next piece shows whether a "\n" follows, so a line
// end split between two pieces still counts as one. The other characters the
// view breaks lines at (U+2028, U+2029) become "\n" as well.
class LinePrefixer
{
public:
    // Returns `text` with line ends normalised and `prefix` before every line
    // that starts in it. An empty prefix only normalises.
    QString apply(const QString& text, const QString& prefix);
    // As above, with the prefix of each line asked for when that line starts
    // (stamps that differ from line to line, such as the time since the
    // previous line). A null function only normalises.
    QString apply(const QString& text, const std::function<QString()>& prefixForLine);

    bool atLineStart() const { return m_atLineStart; }
    bool hasPendingCr() const { return m_pendingCr; }
    // Next character starts a line; a held-back "\r" is dropped.
    void reset();

private:
    QString prefixLines(const QString& s, const std::function<QString()>& prefixForLine, qsizetype reserve);
    // Line ends as "\n" only; sets m_pendingCr when `s` ends in "\r".
    QString normalise(const QString& s);

    bool m_atLineStart = true;
    bool m_pendingCr = false;
};
