#pragma once

#include "AnsiSgrParser.h"

#include <QList>
#include <QTextBlockUserData>
#include <QTextCharFormat>

class QTextBlock;

// The runs of one log line the device coloured, in the line's own positions.
// The highlighter lays them over its rule colours when it colours the line.
class AnsiBlockData : public QTextBlockUserData
{
public:
    explicit AnsiBlockData(QList<AnsiSpan> spans) : m_spans(std::move(spans)) {}

    const QList<AnsiSpan>& spans() const { return m_spans; }
    // The runs of `block`, or nullptr when it has none.
    static const QList<AnsiSpan>* spansOf(const QTextBlock& block);
    static QTextCharFormat format(const AnsiStyle& style);

private:
    QList<AnsiSpan> m_spans;
};
