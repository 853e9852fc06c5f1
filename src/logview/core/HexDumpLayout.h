#pragma once

#include <QString>
#include <QtGlobal>

// Received bytes in the classic hexdump -C layout: the offset of the line,
// the bytes as hex pairs in groups of eight, and the printable characters
// between bars:
//
//   00000010  48 65 6C 6C 6F 0A                                 |Hello.|
//
// A byte always sits in the column its offset gives it, so a line that one
// chunk left unfinished is continued on a new line of the same offset, the
// columns already shown left blank; nothing is held back for a later chunk.
// newLine() starts the next byte in the first column (a pause in the stream).
class HexDumpLayout
{
public:
    static constexpr int kMinBytesPerLine = 8;
    static constexpr int kMaxBytesPerLine = 256;

    // Appends the lines for `size` bytes to `out`; each ends with "\n".
    // `bytesPerLine` is clamped to kMinBytesPerLine..kMaxBytesPerLine.
    void append(QString& out, const char* data, qsizetype size, int bytesPerLine);

    // Characters of a line of `bytesPerLine` bytes, without its line end.
    static int lineWidth(int bytesPerLine);
    // The most bytes, in whole groups of eight, whose lines fit in `columns`
    // characters (at least kMinBytesPerLine).
    static int bytesPerLineForColumns(int columns);

    qint64 offset() const { return m_offset; }
    int column() const { return m_column; }
    void newLine() { m_column = 0; }
    // Offsets count from 0 again.
    void reset()
    {
        m_column = 0;
        m_offset = 0;
    }

private:
    qint64 m_offset = 0; // of the next byte
    int m_column = 0;    // its column on its line
};
