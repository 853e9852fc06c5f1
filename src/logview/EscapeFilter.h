#pragma once

#include <QString>

// Removes terminal control sequences from text bound for the log view: every
// complete CSI sequence (ESC [ parameters intermediates final, colours and
// cursor moves alike) and every complete OSC sequence (ESC ] ... ended by BEL
// or ESC \, such as window titles). Devices write them for a terminal; in a
// log they are only noise like "[2J[H".
//
// filter() works on a stream: a sequence cut off at the end of one piece is
// held back and removed once the next piece completes it. Anything that turns
// out not to be such a sequence is shown as it came.
class EscapeFilter
{
public:
    // An unfinished sequence longer than this is not one; it is let through.
    static constexpr qsizetype kMaxHeld = 4096;

    // `text` with complete sequences removed; a sequence unfinished at its end
    // is kept back for the next call.
    QString filter(const QString& text);
    // Removes the complete sequences of one self-contained text; an unfinished
    // one at the end stays.
    static QString strip(const QString& text);

    bool hasHeld() const { return !m_held.isEmpty(); }
    void reset() { m_held.clear(); }

private:
    enum class Scan
    {
        Complete,   // a sequence ends before `end`
        Incomplete, // the text ends inside a sequence
        NotASequence
    };
    // Examines the sequence starting with the ESC at `pos`; on Complete `end`
    // is one past its last character.
    static Scan scan(const QString& text, qsizetype pos, qsizetype* end);
    // Copies `text` without complete sequences; returns where an unfinished
    // sequence at the end starts (text.size() when there is none).
    static qsizetype copyStripped(const QString& text, QString* out);

    QString m_held;
};
