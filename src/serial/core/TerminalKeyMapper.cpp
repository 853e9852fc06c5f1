#include "TerminalKeyMapper.h"

#include <Qt>

namespace {

QByteArray csi(const char* tail)
{
    return QByteArray("\x1b[") + tail;
}

// Keys whose bytes do not depend on the text the event carries.
QByteArray specialKey(int key, const QByteArray& lineEnding)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return lineEnding;
    case Qt::Key_Backspace:
        return QByteArray(1, '\x7f');
    case Qt::Key_Tab:
        return QByteArray(1, '\t');
    case Qt::Key_Backtab:
        return csi("Z");
    case Qt::Key_Escape:
        return QByteArray(1, '\x1b');
    case Qt::Key_Up:
        return csi("A");
    case Qt::Key_Down:
        return csi("B");
    case Qt::Key_Right:
        return csi("C");
    case Qt::Key_Left:
        return csi("D");
    case Qt::Key_Home:
        return csi("H");
    case Qt::Key_End:
        return csi("F");
    case Qt::Key_Insert:
        return csi("2~");
    case Qt::Key_Delete:
        return csi("3~");
    case Qt::Key_PageUp:
        return csi("5~");
    case Qt::Key_PageDown:
        return csi("6~");
    case Qt::Key_F1:
        return QByteArray("\x1bOP");
    case Qt::Key_F2:
        return QByteArray("\x1bOQ");
    case Qt::Key_F3:
        return QByteArray("\x1bOR");
    case Qt::Key_F4:
        return QByteArray("\x1bOS");
    case Qt::Key_F5:
        return csi("15~");
    case Qt::Key_F6:
        return csi("17~");
    case Qt::Key_F7:
        return csi("18~");
    case Qt::Key_F8:
        return csi("19~");
    case Qt::Key_F9:
        return csi("20~");
    case Qt::Key_F10:
        return csi("21~");
    case Qt::Key_F11:
        return csi("23~");
    case Qt::Key_F12:
        return csi("24~");
    default:
        return QByteArray();
    }
}

// Ctrl with a letter or one of @[\]^_ (and Space as Ctrl+@): the C0 code.
QByteArray controlCode(int key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return QByteArray(1, char(key - Qt::Key_A + 1));
    switch (key) {
    case Qt::Key_At:
    case Qt::Key_Space:
    case Qt::Key_2:
        return QByteArray(1, '\0');
    case Qt::Key_BracketLeft:
        return QByteArray(1, '\x1b');
    case Qt::Key_Backslash:
        return QByteArray(1, '\x1c');
    case Qt::Key_BracketRight:
        return QByteArray(1, '\x1d');
    case Qt::Key_AsciiCircum:
    case Qt::Key_6:
        return QByteArray(1, '\x1e');
    case Qt::Key_Underscore:
    case Qt::Key_Minus:
        return QByteArray(1, '\x1f');
    case Qt::Key_Question:
        return QByteArray(1, '\x7f');
    default:
        return QByteArray();
    }
}

} // namespace

QByteArray TerminalKeyMapper::bytesFor(int key, int modifiers, const QString& text,
                                       const QByteArray& lineEnding)
{
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool alt = modifiers & Qt::AltModifier;

    QByteArray out = specialKey(key, lineEnding);
    if (out.isEmpty() && ctrl)
        out = controlCode(key);
    if (out.isEmpty() && !ctrl) {
        // Printable text only: control characters in the text come from keys
        // handled above, or from combinations with no terminal meaning.
        for (const QChar c : text) {
            if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                return QByteArray();
        }
        out = text.toUtf8();
    }
    if (out.isEmpty())
        return out;
    // Alt (Meta on a PC keyboard) sends ESC before the key, as xterm does.
    if (alt && key != Qt::Key_Escape)
        out.prepend('\x1b');
    return out;
}
