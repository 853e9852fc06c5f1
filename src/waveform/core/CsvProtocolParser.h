#pragma once

#include "ProtocolParser.h"

// Cuts brace-delimited frames ({1.5,-3,20}) out of the received stream and
// queues their content with all white space removed.
//
// The buffer is bounded: bytes that can no longer belong to a frame are
// dropped as soon as they are seen (everything when no "{" is pending, the
// bytes in front of a pending "{" otherwise), and a frame still open after
// kMaxFrameLength bytes is discarded with parseError.
class CsvProtocolParser : public ProtocolParser
{
    Q_OBJECT
public:
    static constexpr int kMaxFrameLength = 64 * 1024;

    explicit CsvProtocolParser(QObject* parent = nullptr);

    QByteArray startDelimiter() const { return m_startDelimiter; }
    QByteArray endDelimiter() const { return m_endDelimiter; }

public slots:
    void handleData(QByteArray data) override;

private:
    const QByteArray m_startDelimiter;
    const QByteArray m_endDelimiter;
};
