#pragma once

#include <QString>

// Puts a prefix (the timestamp) at the start of every displayed line. The
// display arrives in pieces that need not end at line ends, so whether the
// next character starts a line is carried from one piece to the next: a line
// split over several pieces gets one prefix, at its start.
//
// "\r\n" becomes "\n". A piece ending in "\r" keeps that "\r" back until the
// next piece shows whether a "\n" follows, so a line end split between two
// pieces still counts as one.
class LinePrefixer
{
public:
    // Returns `text` with line ends normalised and `prefix` before every line
    // that starts in it. An empty prefix only normalises.
    QString apply(const QString& text, const QString& prefix);

    bool atLineStart() const { return m_atLineStart; }
    bool hasPendingCr() const { return m_pendingCr; }
    // Next character starts a line; a held-back "\r" is dropped.
    void reset();

private:
    bool m_atLineStart = true;
    bool m_pendingCr = false;
};
