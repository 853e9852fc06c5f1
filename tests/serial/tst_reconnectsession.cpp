#include "AppConfig.h"
#include "CPlainTextEdit.h"
#include "InputBox.h"
#include "MainWindow.h"
#include "PtyPair.h"
#include "SerialParamWidget.h"
#include "SerialPortManager.h"
#include "Session.h"

#include "DialogCatcher.h"

#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

namespace {

QStringList logLines(Session* session)
{
    session->logTextArea()->flushPending();
    return session->logTextArea()->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

int indexOfMatch(const QStringList& lines, const QString& pattern)
{
    const QRegularExpression re(pattern);
    for (int i = 0; i < lines.size(); ++i) {
        if (re.match(lines.at(i)).hasMatch())
            return i;
    }
    return -1;
}

int countMatches(const QStringList& lines, const QString& pattern)
{
    const QRegularExpression re(pattern);
    int n = 0;
    for (const QString& line : lines)
        n += re.match(line).hasMatch();
    return n;
}

} // namespace

// The session and the main window while the port's device is away and being reopened.
class TestReconnectSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        AppConfig::resetToDefaults();
        AppConfig::UpdateCheckUrl.clear(); // tests stay off the network
    }

    void reconnectionIsShownAndSendingWaits()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("ttyV0");
        PtyPair pty;
        QVERIFY(pty.open(path));
        DialogCatcher dialogs;
        MainWindow w;
        w.show();
        Session* session = w.session();
        QLabel* status = w.connectionLabel();
        session->paramWidget()->setReconnectDelays(20, 50);
        QSignalSpy messages(session, &Session::messageRequested);
        QVERIFY(session->openPortAtStart(path, QStringLiteral("115200")));
        QTRY_COMPARE(status->property("style").toString(), QStringLiteral("ok-lbl"));

        // The device stops in the middle of a line, then goes away.
        QVERIFY(pty.writeAll("half a line"));
        QTRY_VERIFY(logLines(session).join('\n').contains("half a line"));
        pty.unplug();
        QTRY_VERIFY_WITH_TIMEOUT(session->isReconnecting(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(status->text().startsWith("Reconnect Counter: "), 5000);
        QCOMPARE(status->property("style").toString(), QStringLiteral("warn-lbl"));

        // Sending says why nothing goes out, without a modal box.
        session->inputBox()->editor()->setPlainText("ping");
        session->inputBox()->sendButton()->click();
        QTRY_VERIFY(logLines(session).contains("Not sent: the port is reconnecting"));
        QCOMPARE(messages.count(), 0);
        QVERIFY2(dialogs.texts.isEmpty(), qPrintable(dialogs.texts.join('|')));

        PtyPair back;
        QVERIFY(back.open(path));
        QTRY_VERIFY_WITH_TIMEOUT(session->portManager()->isOpen() && !session->isReconnecting(), 5000);
        QTRY_COMPARE(status->property("style").toString(), QStringLiteral("ok-lbl"));
        QVERIFY(!status->text().startsWith("Reconnect Counter: "));

        const QString gone =
            QStringLiteral("^Device went away at \\d\\d:\\d\\d:\\d\\d, reconnecting\\.\\.\\.$");
        const QString returned = QStringLiteral("^Device is back at \\d\\d:\\d\\d:\\d\\d: ") +
                                 QRegularExpression::escape(path) + '$';
        QTRY_COMPARE(countMatches(logLines(session), returned), 1);
        const QStringList lines = logLines(session);
        QCOMPARE(countMatches(lines, gone), 1);
        // In order, each on a line of its own, after what the device sent last.
        const int last = indexOfMatch(lines, "half a line$");
        QVERIFY(last >= 0);
        QCOMPARE(indexOfMatch(lines, gone), last + 1);
        QVERIFY(indexOfMatch(lines, returned) > indexOfMatch(lines, gone));
        QCOMPARE(messages.count(), 0);
    }

    void newTextsAreInBothCatalogues_data()
    {
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("source");
        QTest::newRow("went away") << "Session"
                                   << "Device went away at %1, reconnecting...";
        QTest::newRow("back") << "Session"
                              << "Device is back at %1: %2";
        QTest::newRow("not sent") << "Session"
                                  << "Not sent: the port is reconnecting";
        QTest::newRow("dialout hint")
            << "SerialPortManager"
            << "Your user may not use this serial port. Join the \"dialout\" group with \"sudo usermod -aG "
               "dialout $USER\", then log out and in again.";
    }

    void newTextsAreInBothCatalogues()
    {
        QFETCH(QString, context);
        QFETCH(QString, source);
        QTranslator zh;
        QVERIFY(zh.load(QStringLiteral(":/resources/lang/tr_zh.qm")));
        QTranslator en;
        QVERIFY(en.load(QStringLiteral(":/resources/lang/tr_en.qm")));
        const QByteArray ctx = context.toUtf8();
        const QByteArray src = source.toUtf8();
        const QString chinese = zh.translate(ctx.constData(), src.constData());
        QVERIFY(!chinese.isEmpty());
        QVERIFY(chinese != source);
        QCOMPARE(en.translate(ctx.constData(), src.constData()), source);
        // Placeholders and the command survive translation.
        for (const QString& kept : {QStringLiteral("%1"), QStringLiteral("%2"), QStringLiteral("usermod")})
            QCOMPARE(chinese.contains(kept), source.contains(kept));
    }
};

QTEST_MAIN(TestReconnectSession)
#include "tst_reconnectsession.moc"
