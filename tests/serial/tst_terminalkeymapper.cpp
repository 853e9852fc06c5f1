#include "TerminalKeyMapper.h"

#include <QtTest>

class TestTerminalKeyMapper : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void bytes_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("mods");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("ending");
        QTest::addColumn<QByteArray>("bytes");
        const int none = Qt::NoModifier, ctrl = Qt::ControlModifier, alt = Qt::AltModifier;
        const QByteArray crlf("\r\n");
        QTest::newRow("letter") << int(Qt::Key_A) << none << "a" << crlf << QByteArray("a");
        QTest::newRow("shifted") << int(Qt::Key_A) << int(Qt::ShiftModifier) << "A" << crlf
                                 << QByteArray("A");
        QTest::newRow("utf-8") << int(Qt::Key_unknown) << none << QString::fromUtf8("é") << crlf
                               << QByteArray("\xc3\xa9");
        QTest::newRow("Ctrl+C") << int(Qt::Key_C) << ctrl << "\x03" << crlf << QByteArray("\x03");
        QTest::newRow("Ctrl+A") << int(Qt::Key_A) << ctrl << "" << crlf << QByteArray("\x01");
        QTest::newRow("Ctrl+Z") << int(Qt::Key_Z) << ctrl << "" << crlf << QByteArray("\x1a");
        QTest::newRow("Ctrl+[") << int(Qt::Key_BracketLeft) << ctrl << "" << crlf << QByteArray("\x1b");
        QTest::newRow("Ctrl+Space") << int(Qt::Key_Space) << ctrl << "" << crlf << QByteArray(1, '\0');
        QTest::newRow("Enter CRLF") << int(Qt::Key_Return) << none << "\r" << crlf << crlf;
        QTest::newRow("Enter CR") << int(Qt::Key_Return) << none << "\r" << QByteArray("\r")
                                  << QByteArray("\r");
        QTest::newRow("keypad Enter")
            << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << "\r" << QByteArray("\n") << QByteArray("\n");
        QTest::newRow("Up") << int(Qt::Key_Up) << none << "" << crlf << QByteArray("\x1b[A");
        QTest::newRow("Down") << int(Qt::Key_Down) << none << "" << crlf << QByteArray("\x1b[B");
        QTest::newRow("Right") << int(Qt::Key_Right) << none << "" << crlf << QByteArray("\x1b[C");
        QTest::newRow("Left") << int(Qt::Key_Left) << none << "" << crlf << QByteArray("\x1b[D");
        QTest::newRow("Home") << int(Qt::Key_Home) << none << "" << crlf << QByteArray("\x1b[H");
        QTest::newRow("Delete") << int(Qt::Key_Delete) << none << "" << crlf << QByteArray("\x1b[3~");
        QTest::newRow("F1") << int(Qt::Key_F1) << none << "" << crlf << QByteArray("\x1bOP");
        QTest::newRow("F12") << int(Qt::Key_F12) << none << "" << crlf << QByteArray("\x1b[24~");
        QTest::newRow("Backspace") << int(Qt::Key_Backspace) << none << "\b" << crlf << QByteArray("\x7f");
        QTest::newRow("Tab") << int(Qt::Key_Tab) << none << "\t" << crlf << QByteArray("\t");
        QTest::newRow("Esc") << int(Qt::Key_Escape) << none << "\x1b" << crlf << QByteArray("\x1b");
        QTest::newRow("Alt+x") << int(Qt::Key_X) << alt << "x" << crlf << QByteArray("\x1bx");
        QTest::newRow("lone Shift") << int(Qt::Key_Shift) << int(Qt::ShiftModifier) << "" << crlf
                                    << QByteArray();
        QTest::newRow("Ctrl+unknown") << int(Qt::Key_F20) << ctrl << "" << crlf << QByteArray();
        QTest::newRow("stray control text") << int(Qt::Key_unknown) << none << "\x07" << crlf << QByteArray();
    }
    void bytes()
    {
        QFETCH(int, key);
        QFETCH(int, mods);
        QFETCH(QString, text);
        QFETCH(QByteArray, ending);
        QTEST(TerminalKeyMapper::bytesFor(key, mods, text, ending), "bytes");
    }
};

QTEST_GUILESS_MAIN(TestTerminalKeyMapper)
#include "tst_terminalkeymapper.moc"
