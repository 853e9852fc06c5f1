#include "AppConfig.h"
#include "CMenu.h"
#include "InputBox.h"
#include "RxSettingWidget.h"
#include "SessionTestUtil.h"
#include "TxSettingWidget.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QtTest>

#include <memory>

class TestSessionSend : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DialogCatcher> m_dialogs;
    std::unique_ptr<PtyPair> m_pty;
    std::unique_ptr<Session> m_session;

    void send(const QString& text)
    {
        m_session->inputBox()->editor()->setPlainText(text);
        m_session->inputBox()->sendButton()->click();
    }

    QStringList history() const
    {
        QStringList out;
        for (int i = 0; i < m_session->historyBox()->count(); ++i)
            out << m_session->historyBox()->itemText(i);
        return out;
    }

    // Nothing more arrives at the device within a short while.
    bool deviceGetsNothing() { return readFromDevice(*m_pty, 1, 150).isEmpty(); }

private Q_SLOTS:
    void init()
    {
        AppConfig::resetToDefaults();
        AppConfig::ShowTime = true;
        AppConfig::ShowSend = true;
        m_dialogs = std::make_unique<DialogCatcher>();
        m_pty = std::make_unique<PtyPair>();
        QVERIFY(m_pty->open());
        m_session = std::make_unique<Session>();
        QVERIFY(openOnPty(m_session.get(), *m_pty));
    }

    void cleanup()
    {
        m_session.reset();
        m_pty.reset();
        QVERIFY2(m_dialogs->texts.isEmpty(), qPrintable(m_dialogs->texts.join(QLatin1Char('|'))));
        m_dialogs.reset();
    }

    void hexInputIsSentAsBytesAndEchoed()
    {
        QSignalSpy tx(m_session.get(), &Session::txCountChanged);
        m_session->txSettings()->hexButton()->click();
        send(QStringLiteral("11 22 33"));
        QCOMPARE(readFromDevice(*m_pty, 3, 2000), QByteArray("\x11\x22\x33"));
        QCOMPARE(m_session->txCount(), 3ULL);
        QCOMPARE(tx.last().at(0).toULongLong(), 3ULL);
        const QStringList lines = logLines(m_session.get());
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines[0].contains(stampPattern(QLatin1Char('T'))));
        QCOMPARE(unstamped(lines[0]), QStringLiteral("11 22 33 "));
    }

    void hexInputWithoutSpacesOrWithPrefix()
    {
        m_session->txSettings()->hexButton()->click();
        send(QStringLiteral("aabbcc"));
        QCOMPARE(readFromDevice(*m_pty, 3, 2000), QByteArray("\xAA\xBB\xCC"));
        QCOMPARE(unstamped(logLines(m_session.get()).last()), QStringLiteral("AA BB CC "));

        // "0x" before a group is taken as a hex prefix.
        send(QStringLiteral("0x11 0X2233"));
        QCOMPARE(readFromDevice(*m_pty, 3, 2000), QByteArray("\x11\x22\x33"));
        QVERIFY(deviceGetsNothing());
    }

    void invalidHexIsNamedAndKeptOutOfHistory_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("named");
        QTest::newRow("letter") << QStringLiteral("4G 1") << QStringLiteral("\"4G\", \"1\"");
        QTest::newRow("mixed") << QStringLiteral("zz 1g 22 4") << QStringLiteral("\"zz\", \"1g\", \"4\"");
        QTest::newRow("odd digit") << QStringLiteral("112") << QStringLiteral("\"112\"");
        QTest::newRow("nothing usable") << QStringLiteral("xyz") << QStringLiteral("\"xyz\"");
    }

    void invalidHexIsNamedAndKeptOutOfHistory()
    {
        QFETCH(QString, text);
        QFETCH(QString, named);
        m_session->txSettings()->hexButton()->click();
        QSignalSpy messages(m_session.get(), &Session::messageRequested);
        send(text);
        QCOMPARE(messages.count(), 1);
        const QString message = messages.first().first().toString();
        QVERIFY2(message.startsWith(QStringLiteral("Not hex: ") + named + QLatin1Char('\n')),
                 qPrintable(message));
        QVERIFY(deviceGetsNothing());
        QVERIFY(logText(m_session.get()).isEmpty());
        QVERIFY(history().isEmpty());
    }

    void enterKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("sends");
        QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier) << true;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << true;
        QTest::newRow("Ctrl+Enter") << int(Qt::Key_Return) << int(Qt::ControlModifier) << true;
        QTest::newRow("Shift+Enter") << int(Qt::Key_Return) << int(Qt::ShiftModifier) << false;
        QTest::newRow("Shift+keypad Enter")
            << int(Qt::Key_Enter) << int(Qt::ShiftModifier | Qt::KeypadModifier) << false;
    }

    void enterKeys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, sends);
        QPlainTextEdit* editor = m_session->inputBox()->editor();
        QCOMPARE(editor->placeholderText(), QStringLiteral("Enter: send \u00b7 Shift+Enter: new line"));
        editor->setPlainText(QStringLiteral("AT"));
        editor->moveCursor(QTextCursor::End);
        QTest::keyClick(editor, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        if (sends) {
            QCOMPARE(readFromDevice(*m_pty, 2, 2000), QByteArray("AT"));
            QCOMPARE(history(), QStringList{QStringLiteral("AT")});
        } else {
            QVERIFY(deviceGetsNothing());
            // A real line break: the text goes out with it when sent.
            QCOMPARE(editor->toPlainText(), QStringLiteral("AT\n"));
            QCOMPARE(editor->document()->blockCount(), 2);
        }
    }

    void enterDuringCompositionDoesNotSend()
    {
        QPlainTextEdit* editor = m_session->inputBox()->editor();
        QSignalSpy submits(m_session->inputBox(), &InputBox::submits);
        QInputMethodEvent composing(QStringLiteral("ni"), {});
        QApplication::sendEvent(editor, &composing);
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(submits.count(), 0);
        QVERIFY(deviceGetsNothing());

        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("\u4f60"));
        QApplication::sendEvent(editor, &commit);
        editor->setPlainText(editor->toPlainText().trimmed());
        QCOMPARE(editor->toPlainText(), QStringLiteral("\u4f60"));
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(submits.count(), 1);
        QCOMPARE(readFromDevice(*m_pty, 3, 2000), QStringLiteral("\u4f60").toLocal8Bit());
    }

    // The echo is the sent line alone: no empty "T" line after it.
    void lineEndingAfterText_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("\\n") << 0 << QByteArray("AT\n");
        QTest::newRow("\\r") << 1 << QByteArray("AT\r");
        QTest::newRow("\\r\\n") << 2 << QByteArray("AT\r\n");
    }
    void lineEndingAfterText()
    {
        QFETCH(int, index);
        QFETCH(QByteArray, bytes);
        TxSettingWidget* tx = m_session->txSettings();
        tx->sendNewLineBox()->setChecked(true);
        tx->lineEndingBox()->setCurrentIndex(index);
        send(QStringLiteral("AT"));
        QCOMPARE(readFromDevice(*m_pty, bytes.size(), 2000), bytes);
        QVERIFY(deviceGetsNothing());
        const QStringList lines = logLines(m_session.get());
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines[0].contains(stampPattern(QLatin1Char('T'))));
        QCOMPARE(unstamped(lines[0]), QStringLiteral("AT"));
        QCOMPARE(m_session->txCount(), quint64(bytes.size()));
    }

    void hexIgnoresTheLineEnding()
    {
        QString shown;
        QVERIFY(QMetaObject::invokeMethod(m_session.get(), "writeData", Q_RETURN_ARG(QString, shown),
                                          Q_ARG(QString, QStringLiteral("0a0B")), Q_ARG(bool, true),
                                          Q_ARG(QString, QStringLiteral("\r\n"))));
        QCOMPARE(shown, QStringLiteral("0A 0B "));
        QCOMPARE(readFromDevice(*m_pty, 2, 2000), QByteArray("\x0A\x0B"));
        QVERIFY(deviceGetsNothing());
    }

    void textWithAndWithoutLineEnding()
    {
        QString shown;
        QVERIFY(QMetaObject::invokeMethod(m_session.get(), "writeData", Q_RETURN_ARG(QString, shown),
                                          Q_ARG(QString, QStringLiteral("ok")), Q_ARG(bool, false),
                                          Q_ARG(QString, QString())));
        QCOMPARE(shown, QStringLiteral("ok"));
        QCOMPARE(readFromDevice(*m_pty, 2, 2000), QByteArray("ok"));
        QVERIFY(QMetaObject::invokeMethod(m_session.get(), "writeData", Q_RETURN_ARG(QString, shown),
                                          Q_ARG(QString, QStringLiteral("go")), Q_ARG(bool, false),
                                          Q_ARG(QString, QStringLiteral("\n\r"))));
        QCOMPARE(shown, QStringLiteral("go\n\r"));
        QCOMPARE(readFromDevice(*m_pty, 4, 2000), QByteArray("go\n\r"));
        // Empty data is not sent at all.
        QVERIFY(QMetaObject::invokeMethod(m_session.get(), "writeData", Q_RETURN_ARG(QString, shown),
                                          Q_ARG(QString, QString()), Q_ARG(bool, false),
                                          Q_ARG(QString, QStringLiteral("\n"))));
        QVERIFY(shown.isEmpty());
        QVERIFY(deviceGetsNothing());
    }

    void echoFollowsShowSend()
    {
        m_session->rxSettings()->showSendBox()->setChecked(false);
        send(QStringLiteral("quiet"));
        QCOMPARE(readFromDevice(*m_pty, 5, 2000), QByteArray("quiet"));
        QVERIFY(logText(m_session.get()).isEmpty());
    }

    void closedPortRefusesButKeepsHistory()
    {
        m_session->portManager()->closePort();
        QSignalSpy messages(m_session.get(), &Session::messageRequested);
        send(QStringLiteral("abc"));
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.at(0).at(0).toString(), QStringLiteral("Please open serial port!"));
        QVERIFY(logText(m_session.get()).isEmpty());
        QCOMPARE(history(), QStringList({QStringLiteral("abc")}));
        QCOMPARE(m_session->txCount(), 0ULL);
    }

    void emptyInputDoesNothing()
    {
        QSignalSpy messages(m_session.get(), &Session::messageRequested);
        send(QString());
        QCOMPARE(messages.count(), 0);
        QVERIFY(history().isEmpty());
        QVERIFY(deviceGetsNothing());
        m_session->portManager()->closePort();
        send(QString());
        QCOMPARE(messages.count(), 0);
    }

    void historyIsTrimmedAndMovesToTheTop()
    {
        send(QStringLiteral("  hello   world  "));
        QCOMPARE(history(), QStringList({QStringLiteral("hello world")}));
        QCOMPARE(m_session->historyBox()->currentIndex(), 0);
        send(QStringLiteral("other"));
        QCOMPARE(history(), QStringList({QStringLiteral("other"), QStringLiteral("hello world")}));
        send(QStringLiteral("hello\tworld"));
        QCOMPARE(history(), QStringList({QStringLiteral("hello world"), QStringLiteral("other")}));
        QCOMPARE(m_session->historyBox()->currentText(), QStringLiteral("hello world"));
        // Case matters.
        send(QStringLiteral("Other"));
        QCOMPARE(history().size(), 3);
        // The device got the text as typed.
        QCOMPARE(readFromDevice(*m_pty, 38, 2000), QByteArray("  hello   world  otherhello\tworldOther"));
    }

    void historyActivationAndClearing()
    {
        send(QStringLiteral("first"));
        send(QStringLiteral("second"));
        m_session->inputBox()->editor()->clear();
        Q_EMIT m_session->historyBox()->textActivated(QStringLiteral("first"));
        QCOMPARE(m_session->inputBox()->plainText(), QStringLiteral("first"));
        m_session->inputBox()->clearHistoryButton()->click();
        QCOMPARE(m_session->historyBox()->count(), 0);
    }

    void repeatSendRefusesAClosedPort()
    {
        m_session->portManager()->closePort();
        QSignalSpy messages(m_session.get(), &Session::messageRequested);
        m_session->inputBox()->editor()->setPlainText(QStringLiteral("ping"));
        m_session->txSettings()->repeatSendBox()->click();
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.at(0).at(0).toString(), QStringLiteral("Please open serial port!"));
        QVERIFY(!m_session->txSettings()->isRepeatSend());
        QVERIFY(!m_session->repeatTimer()->isActive());
    }

    void repeatSendSendsUntilStopped()
    {
        m_session->txSettings()->intervalBox()->setValue(20);
        m_session->inputBox()->editor()->setPlainText(QStringLiteral("ping;"));
        m_session->txSettings()->repeatSendBox()->click();
        QVERIFY(m_session->repeatTimer()->isActive());
        QCOMPARE(m_session->repeatTimer()->interval(), 20);
        const QByteArray got = readFromDevice(*m_pty, 15, 3000);
        QVERIFY2(got.startsWith("ping;ping;ping;"), got.constData());
        QCOMPARE(history(), QStringList({QStringLiteral("ping;")}));

        // The input is read again at every tick.
        m_session->inputBox()->editor()->setPlainText(QStringLiteral("pong;"));
        QTRY_VERIFY(readFromDevice(*m_pty, 5, 200).contains("pong;"));

        // A new interval applies to the running timer.
        m_session->txSettings()->intervalBox()->setValue(40);
        QCOMPARE(m_session->repeatTimer()->interval(), 40);
        QVERIFY(m_session->repeatTimer()->isActive());

        m_session->txSettings()->repeatSendBox()->click();
        QVERIFY(!m_session->repeatTimer()->isActive());
        QTest::qWait(60);
        readFromDevice(*m_pty, 1000, 100); // drain
        QVERIFY(deviceGetsNothing());
    }

    void closingThePortStopsRepeating()
    {
        m_session->txSettings()->intervalBox()->setValue(20);
        m_session->inputBox()->editor()->setPlainText(QStringLiteral("x"));
        m_session->txSettings()->repeatSendBox()->click();
        QVERIFY(m_session->repeatTimer()->isActive());
        m_session->portManager()->closePort();
        QVERIFY(!m_session->repeatTimer()->isActive());
        QVERIFY(!m_session->txSettings()->isRepeatSend());
    }

    void frameRequestGoesOutAsBytes()
    {
        QSignalSpy messages(m_session.get(), &Session::messageRequested);
        // Plain text selected: the frame is still sent as bytes.
        QVERIFY(!m_session->txSettings()->isHexMode());
        m_session->onFrameWriteRequest(QByteArray("\xAA\x01", 2));
        QCOMPARE(readFromDevice(*m_pty, 2, 2000), QByteArray("\xAA\x01", 2));
        QCOMPARE(unstamped(logLines(m_session.get()).last()), QStringLiteral("AA 01 "));
        QVERIFY(logLines(m_session.get()).last().contains(stampPattern(QLatin1Char('T'))));

        m_session->txSettings()->hexButton()->click();
        m_session->onFrameWriteRequest(QByteArray("\x00\xff", 2));
        QCOMPARE(readFromDevice(*m_pty, 2, 2000), QByteArray("\x00\xff", 2));
        QCOMPARE(unstamped(logLines(m_session.get()).last()), QStringLiteral("00 FF "));
        QVERIFY(history().isEmpty());
        QCOMPARE(messages.count(), 0);

        m_session->portManager()->closePort();
        m_session->onFrameWriteRequest(QByteArray("\x01", 1));
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.at(0).at(0).toString(), QStringLiteral("Please open serial port!"));
    }

    void echoAndReceivedTextShareLines()
    {
        QVERIFY(m_pty->writeAll("OK\r\n"));
        QTRY_VERIFY(logText(m_session.get()).contains(QStringLiteral("OK")));
        send(QStringLiteral("AT"));
        QCOMPARE(readFromDevice(*m_pty, 2, 2000), QByteArray("AT"));
        const QStringList lines = logLines(m_session.get());
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].contains(stampPattern(QLatin1Char('R'))));
        QVERIFY(lines[1].contains(stampPattern(QLatin1Char('T'))));
        QCOMPARE(unstamped(lines[1]), QStringLiteral("AT"));
    }

    void hexTipOnFocusOfTheEmptyEditor()
    {
        m_session->resize(1200, 740);
        m_session->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_session.get()));
        QLabel* tip = m_session->hexTip();
        QVERIFY(tip->isHidden());
        QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(m_session->inputBox()->editor(), &focusIn);
        QVERIFY(tip->isVisible());
        QCOMPARE(tip->text(), QStringLiteral("Hex Sample:11 22 33 44... or 1122334455..."));
        QCOMPARE(tip->size(), QSize(320, 45));
        const QPoint sendTop = m_session->sendArea()->mapTo(m_session.get(), QPoint(0, 0));
        QCOMPARE(tip->geometry().bottom() + 1, sendTop.y());
        QTRY_VERIFY_WITH_TIMEOUT(tip->isHidden(), 3000);

        m_session->inputBox()->editor()->setPlainText(QStringLiteral("typed"));
        QApplication::sendEvent(m_session->inputBox()->editor(), &focusIn);
        QVERIFY(tip->isHidden());
    }

    void inputContextMenu()
    {
        QPlainTextEdit* editor = m_session->inputBox()->editor();
        editor->setPlainText(QStringLiteral("to be cleared"));
        Q_EMIT editor->customContextMenuRequested(QPoint(2, 2));
        CMenu* menu = m_session->findChild<CMenu*>();
        QVERIFY(menu);
        QStringList texts;
        for (QAction* a : menu->actions())
            texts << a->text();
        QCOMPARE(texts,
                 QStringList({QStringLiteral("Copy"), QStringLiteral("Paste"), QStringLiteral("Clear")}));
        QCOMPARE(menu->actions().at(0)->shortcut(), QKeySequence(QKeySequence::Copy));
        QCOMPARE(menu->actions().at(1)->shortcut(), QKeySequence(QKeySequence::Paste));
        menu->actions().at(2)->trigger();
        QVERIFY(editor->toPlainText().isEmpty());
        menu->close();
    }
};

QTEST_MAIN(TestSessionSend)
#include "tst_session_send.moc"
