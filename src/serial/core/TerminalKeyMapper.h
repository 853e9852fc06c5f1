#pragma once

#include <QByteArray>
#include <QString>

// What a terminal sends for a key press: the typed text as UTF-8, control
// codes for Ctrl+letter (Ctrl+C is 0x03), VT100/xterm escape sequences for
// the arrows and the editing and function keys, the chosen line ending for
// Enter, and an ESC before the key with Alt. Keys with nothing to send
// (a lone modifier, an unknown key) give an empty array.
class TerminalKeyMapper
{
public:
    // `key` is a Qt::Key, `modifiers` Qt::KeyboardModifiers as an int,
    // `text` what the key event carries.
    static QByteArray bytesFor(int key, int modifiers, const QString& text, const QByteArray& lineEnding);
};
