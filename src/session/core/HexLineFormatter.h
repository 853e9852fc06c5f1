#pragma once

#include <QString>

// Formats received bytes as hex display lines of a fixed number of bytes.
// The column counter (bytes already on the current line) survives between
// chunks, so a line that a chunk left unfinished is completed by the next one.
class HexLineFormatter
{
public:
    // Appends `size` bytes to `out`: upper-case pairs each followed by a space,
    // "\n" whenever a line of `bytesPerLine` bytes is full, and one "\n" after
    // the chunk. `bytesPerLine` <= 0 counts as 16.
    void append(QString& out, const char* data, qsizetype size, int bytesPerLine);

    // Characters append() produces at most for `size` bytes.
    static qsizetype maxLength(qsizetype size, int bytesPerLine);

    int column() const { return m_column; }
    // The next byte starts a line.
    void reset() { m_column = 0; }

private:
    int m_column = 0;
};
