#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <QtGlobal>

// A colour as 0xAARRGGBB (the layout of QRgb, without needing QtGui).
using AnsiRgb = quint32;

// The look a run of text got from the device's colour codes.
struct AnsiStyle
{
    enum Flag : quint8
    {
        HasForeground = 1,
        HasBackground = 2,
        Bold = 4
    };
    AnsiRgb foreground = 0;
    AnsiRgb background = 0;
    quint8 flags = 0;

    bool isPlain() const { return flags == 0; }
    bool operator==(const AnsiStyle& o) const
    {
        return flags == o.flags && (!(flags & HasForeground) || foreground == o.foreground) &&
               (!(flags & HasBackground) || background == o.background);
    }
    bool operator!=(const AnsiStyle& o) const { return !(*this == o); }
};

// A run of styled characters in the text feed() returned.
struct AnsiSpan
{
    qsizetype start = 0;
    qsizetype length = 0;
    AnsiStyle style;
};

// Turns terminal text into plain text plus the runs the device coloured.
// SGR sequences (ESC [ ... m) set foreground and background in the 16-colour,
// 256-colour and 24-bit forms and bold; every other control sequence (CSI,
// OSC titles, two-character escapes) is removed, as the log is no terminal.
//
// It works on a stream: the style lasts across calls, and a sequence cut off
// at the end of one piece is held back until the next completes it. Memory
// stays bounded: an unfinished sequence longer than kMaxHeld is shown as
// text, and only the first kMaxParams parameters of a sequence count.
class AnsiSgrParser
{
public:
    static constexpr qsizetype kMaxHeld = 4096;
    static constexpr int kMaxParams = 32;

    // `text` without control sequences; the styled runs of the result are
    // appended to `spans` (sorted, adjacent runs of one style merged).
    QString feed(QStringView text, QList<AnsiSpan>* spans);

    const AnsiStyle& style() const { return m_style; }
    bool hasHeld() const { return !m_held.isEmpty(); }
    // Forgets a held sequence and the style.
    void reset();

    // The colour of entry `index` (0..255) of the xterm 256-colour table.
    static AnsiRgb paletteColour(int index);

private:
    enum class Scan
    {
        Complete,
        Incomplete,
        Broken // not a sequence after all: ESC dropped, the rest is text
    };
    // Examines the sequence at `pos` (an ESC); on Complete `end` is one past
    // it and an SGR sequence has been applied to the style.
    Scan scan(QStringView text, qsizetype pos, qsizetype* end);
    void applySgr(QStringView params);
    void addRun(QString* out, QStringView run, QList<AnsiSpan>* spans) const;

    AnsiStyle m_style;
    QString m_held;
};
