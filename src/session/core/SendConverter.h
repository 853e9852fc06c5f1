#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What goes out for a typed text and what the log echoes of it. Hex text
// becomes its bytes (echoed as upper-case hex); other text goes out in the
// local encoding with the chosen line ending after it.
class SendConverter
{
public:
    struct Output
    {
        QByteArray bytes; // empty: nothing to send
        QString shown;    // the echo, before echoLine()
    };

    // Hex text must pass HexInputCheck first; a text with no hex in it gives
    // nothing to send. A null `lineEnd` adds none.
    static Output convert(const QString& text, bool hex, const QString& lineEnd);
    // The echo as a log line: one line break after it unless it ends its line
    // already (a second would leave an empty "T" line), one more with auto wrap.
    static QString echoLine(QString shown, bool autoWrap);
    // The first few bad groups, quoted and shortened, for the "Not hex" message.
    static QString describeBadGroups(const QStringList& bad);
};
