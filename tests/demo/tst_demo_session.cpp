// The demo device as a user meets it: Corvane's real port manager and session
// on the device's published path, its banner and frames in the log, and the
// session reconnecting by itself after "unplug 1".

#include "AppConfig.h"
#include "DemoDevice.h"
#include "InputBox.h"
#include "Session.h"
#include "SerialParamWidget.h"
#include "SerialPortManager.h"
#include "TxSettingWidget.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TstDemoSession : public QObject
{
    Q_OBJECT

private:
    QString m_log;

    void sendLine(Session& session, const QString& text)
    {
        session.txSettings()->sendNewLineBox()->setChecked(true);
        session.inputBox()->editor()->setPlainText(text);
        session.inputBox()->sendButton()->click();
    }

private Q_SLOTS:
    void initTestCase() { AppConfig::loadConfiguration(); }

    void bannerFramesAndReconnect()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        DemoDevice device;
        device.setPath(dir.filePath("corvane-demo"));
        device.setLogEnabled(false);
        QVERIFY2(device.start(), qPrintable(device.errorString()));

        Session session;
        connect(&session, &Session::stringReceived, this, [this](const QString& s) { m_log += s; });
        QVERIFY(session.openPortAtStart(device.path(), QStringLiteral("115200")));
        QTRY_VERIFY_WITH_TIMEOUT(m_log.contains(QLatin1String("Corvane demo device")), 5000);

        // A command and its answer.
        m_log.clear();
        sendLine(session, QStringLiteral("AT"));
        QTRY_VERIFY_WITH_TIMEOUT(m_log.contains(QRegularExpression(QStringLiteral("\\bOK\\b"))), 5000);

        // Brace frames of four numbers arrive as text.
        m_log.clear();
        sendLine(session, QStringLiteral("wave on"));
        const QRegularExpression frame(QStringLiteral("\\{-?[0-9.]+,-?[0-9.]+,-?[0-9.]+,-?[0-9.]+\\}"));
        QTRY_VERIFY_WITH_TIMEOUT(m_log.contains(frame), 5000);
        sendLine(session, QStringLiteral("wave off"));

        // Unplug for one second: the port closes, the panel counts attempts and
        // reopens the same path when it comes back, and the banner shows again.
        QSignalSpy reconnect(session.paramWidget(), &SerialParamWidget::reconnectStatusChanged);
        QSignalSpy connected(session.portManager(), &SerialPortManager::connected);
        m_log.clear();
        sendLine(session, QStringLiteral("unplug 1"));
        QTRY_VERIFY_WITH_TIMEOUT(!session.portManager()->isOpen(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(connected.count() >= 1, 10000);
        QVERIFY(reconnect.count() >= 1);
        QVERIFY(reconnect.first().first().toString().startsWith(QLatin1String("Reconnect Counter: ")));
        QVERIFY(session.portManager()->isOpen());
        QCOMPARE(session.portManager()->portName(), device.path());
        QTRY_VERIFY_WITH_TIMEOUT(m_log.contains(QLatin1String("Corvane demo device")), 5000);

        // And the line works again.
        m_log.clear();
        sendLine(session, QStringLiteral("AT"));
        QTRY_VERIFY_WITH_TIMEOUT(m_log.contains(QRegularExpression(QStringLiteral("\\bOK\\b"))), 5000);
        session.shutdown();
        device.stop();
    }
};

QTEST_MAIN(TstDemoSession)
#include "tst_demo_session.moc"
