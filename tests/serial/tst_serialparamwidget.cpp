#include "AppConfig.h"
#include "CLed.h"
#include "ModemLines.h"
#include "NativeFilter.h"
#include "PermissionDrop.h"
#include "PtyPair.h"
#include "SerialParamWidget.h"
#include "SerialPortManager.h"

#include "DialogCatcher.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

QStringList argsOf(const QSignalSpy& spy)
{
    QStringList out;
    for (const auto& args : spy)
        out << args.at(0).toString();
    return out;
}

} // namespace

class TestSerialParamWidget : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;  // symlinks standing in for device paths
    std::unique_ptr<QTemporaryDir> m_byId; // stand-in for /dev/serial/by-id
    std::unique_ptr<SerialPortManager> m_manager;
    std::unique_ptr<SerialParamWidget> m_panel;
    // Always on, so an unexpected modal dialog fails the test instead of hanging it.
    std::unique_ptr<DialogCatcher> m_dialogs;

    // The dialogs shown so far, as "title: text"; taking them marks them expected.
    QStringList takeDialogs()
    {
        QStringList out;
        for (int i = 0; i < m_dialogs->texts.size(); ++i)
            out << m_dialogs->titles.at(i) + QStringLiteral(": ") + m_dialogs->texts.at(i);
        m_dialogs->titles.clear();
        m_dialogs->texts.clear();
        return out;
    }

    void makePanel()
    {
        m_panel.reset();
        m_manager = std::make_unique<SerialPortManager>();
        m_panel = std::make_unique<SerialParamWidget>(m_manager.get());
        m_panel->setReconnectDelays(20, 50);
        m_panel->deviceLocator()->setByIdDir(m_byId->path());
    }
    QString link(const QString& name) const { return m_dir->filePath(name); }
    // Ptys are opened through links in a private folder: QSerialPort locks a
    // port by its name, and /dev/pts numbers are shared with every other process.
    QString nextLink() { return m_dir->filePath(QStringLiteral("tty%1").arg(++m_links)); }
    int m_links = 0;

    // Opens `path` through the panel like the user would and checks it took.
    bool openThroughPanel(const QString& path)
    {
        if (!m_panel->selectPort(path))
            return false;
        m_panel->openButton()->click();
        return m_manager->isOpen() && m_panel->openButton()->text() == QLatin1String("Close");
    }

private Q_SLOTS:
    void init()
    {
        AppConfig::resetToDefaults();
        m_dir = std::make_unique<QTemporaryDir>();
        m_byId = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(m_byId->isValid());
        m_dialogs = std::make_unique<DialogCatcher>();
        makePanel();
    }
    void cleanup()
    {
        m_panel.reset();
        m_manager.reset();
        const QStringList unexpected = takeDialogs();
        m_dialogs.reset();
        QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(QLatin1String(" | "))));
    }

    // The modem-line controls store what the user sets and follow the port.
    void modemControlsFollowTheUserAndThePort()
    {
        QVERIFY(!m_panel->pulseButton()->isEnabled());
        QVERIFY(!m_panel->breakButton()->isEnabled());
        m_panel->dtrBox()->setChecked(false);
        m_panel->breakMsBox()->setValue(400);
        m_panel->pulseMsBox()->setValue(50);
        QCOMPARE(AppConfig::DtrOn, false);
        QVERIFY(!m_panel->modemLines()->dataTerminalReady());
        QCOMPARE(AppConfig::BreakMs, 400);
        QCOMPARE(m_panel->modemLines()->breakMs(), 400);
        QCOMPARE(AppConfig::PulseMs, 50);
        m_panel->flowControlBox()->setCurrentText(QStringLiteral("Hardware"));
        QVERIFY(!m_panel->rtsBox()->isEnabled());
        m_panel->flowControlBox()->setCurrentText(QStringLiteral("None"));
        QVERIFY(m_panel->rtsBox()->isEnabled());

        PtyPair pty;
        QVERIFY(pty.open(nextLink()));
        QVERIFY(openThroughPanel(pty.path()));
        QCOMPARE(AppConfig::LastPort, pty.path());
        QVERIFY(m_panel->breakButton()->isEnabled());
        m_panel->breakButton()->click();
        QVERIFY(!m_panel->breakButton()->isEnabled()); // until the break ends
        QTRY_VERIFY_WITH_TIMEOUT(m_panel->breakButton()->isEnabled(), 3000);
        // A pty reports no status lines: the lamps are dark and greyed.
        QCOMPARE(m_panel->statusLeds().size(), 4);
        for (CLed* led : m_panel->statusLeds())
            QVERIFY(!led->isOn() && !led->isEnabled());
        QVERIFY(m_manager->isOpen());
    }

    void initialState()
    {
        QPushButton* btn = m_panel->openButton();
        QCOMPARE(btn->text(), QStringLiteral("Open"));
        QVERIFY(btn->isCheckable());
        QVERIFY(!btn->isChecked());
        QCOMPARE(btn->toolTip(), QStringLiteral("Open/Close Serial port"));
        QCOMPARE(btn->property("style").toString(), QStringLiteral("OpenBtn"));
        QCOMPARE(btn->height(), 30);
        QVERIFY(m_panel->portBox()->findText("Custom") >= 0);
        QVERIFY(m_panel->portBox()->findText("Default(COM1)") < 0);
        QVERIFY(!m_panel->isReconnecting());

        QComboBox* baud = m_panel->baudBox();
        QCOMPARE(baud->count(), 16);
        QCOMPARE(baud->itemText(0), QStringLiteral("1200"));
        QCOMPARE(baud->itemData(8).toInt(), 921600);
        QCOMPARE(baud->itemText(15), QStringLiteral("Custom"));
        QVERIFY(!baud->itemData(15).isValid());
        QVERIFY(!baud->isEditable());
        QCOMPARE(m_panel->baudRate(), QStringLiteral("115200"));
        QCOMPARE(m_panel->dataBits(), QStringLiteral("8"));
        QCOMPARE(m_panel->parity(), QStringLiteral("None"));
        QCOMPARE(m_panel->stopBits(), QStringLiteral("1"));
        QCOMPARE(m_panel->flowControl(), QStringLiteral("None"));
        QCOMPARE(m_manager->port()->baudRate(), 115200);
    }

    void portListIsSortedNumerically()
    {
        // Paths become entries once opened, and stay while their node exists.
        PtyPair port10;
        PtyPair port2;
        QVERIFY(port10.open(link("port10")));
        QVERIFY(port2.open(link("port2")));
        QVERIFY(openThroughPanel(link("port10")));
        m_panel->openButton()->click();
        QVERIFY(openThroughPanel(link("port2")));
        m_panel->openButton()->click();
        m_panel->refreshPortList();
        QComboBox* box = m_panel->portBox();
        QVERIFY(box->findText(link("port2")) < box->findText(link("port10")));
        QCOMPARE(box->currentText(), link("port2"));
    }

    void selectsFromConfiguration()
    {
        AppConfig::Baudrate = "9600";
        AppConfig::DataBits = "6";
        AppConfig::ParityBits = "Odd";
        AppConfig::StopBits = "1.5";
        AppConfig::FlowCtrl = "Software";
        makePanel();
        QCOMPARE(m_panel->baudRate(), QStringLiteral("9600"));
        QCOMPARE(m_panel->dataBits(), QStringLiteral("6"));
        QCOMPARE(m_panel->parity(), QStringLiteral("Odd"));
        QCOMPARE(m_panel->stopBits(), QStringLiteral("1.5"));
        QCOMPARE(m_panel->flowControl(), QStringLiteral("Software"));
        QCOMPARE(m_manager->port()->baudRate(), 9600);
        QCOMPARE(m_manager->port()->parity(), QSerialPort::OddParity);
    }

    void garbageConfigurationFallsBack()
    {
        AppConfig::Baudrate = "Custom";
        AppConfig::DataBits = "eight";
        AppConfig::ParityBits = "";
        AppConfig::StopBits = "3";
        AppConfig::FlowCtrl = "RTS";
        makePanel();
        QCOMPARE(m_panel->baudRate(), QStringLiteral("115200"));
        QVERIFY(!m_panel->baudBox()->isEditable());
        QCOMPARE(m_panel->dataBits(), QStringLiteral("8"));
        QCOMPARE(m_panel->parity(), QStringLiteral("None"));
        QCOMPARE(m_panel->stopBits(), QStringLiteral("1"));
        QCOMPARE(m_panel->flowControl(), QStringLiteral("None"));
        QCOMPARE(AppConfig::DataBits, QStringLiteral("8"));
    }

    void customPortAsksForADevice()
    {
        QComboBox* box = m_panel->portBox();
        box->setCurrentIndex(box->findText("Custom"));
        QCOMPARE(m_panel->portName(), QStringLiteral("Custom"));
        QSignalSpy disconnected(m_manager.get(), &SerialPortManager::disconnected);
        m_panel->openButton()->click();
        QCOMPARE(takeDialogs(), QStringList{"Warning: please instert a device"});
        QVERIFY(!m_manager->isOpen());
        QVERIFY(!m_panel->openButton()->isChecked());
        QCOMPARE(m_panel->openButton()->text(), QStringLiteral("Open"));
        QCOMPARE(disconnected.count(), 1);
    }

    void openAndCloseButtonTexts()
    {
        PtyPair pty;
        QVERIFY(pty.open(nextLink()));
        QVERIFY(m_panel->selectPort(pty.path()));
        QCOMPARE(m_panel->portName(), pty.path());

        QSignalSpy connected(m_manager.get(), &SerialPortManager::connected);
        QSignalSpy disconnected(m_manager.get(), &SerialPortManager::disconnected);
        m_panel->openButton()->click();
        QVERIFY(m_manager->isOpen());
        QCOMPARE(connected.count(), 1);
        QCOMPARE(m_panel->openButton()->text(), QStringLiteral("Close"));
        QVERIFY(m_panel->openButton()->isChecked());
        QVERIFY(!m_panel->portBox()->isEnabled());
        QVERIFY(m_panel->isUserOpened());

        m_panel->openButton()->click();
        QVERIFY(!m_manager->isOpen());
        QCOMPARE(disconnected.count(), 1);
        QCOMPARE(m_panel->openButton()->text(), QStringLiteral("Open"));
        QVERIFY(!m_panel->openButton()->isChecked());
        QVERIFY(m_panel->portBox()->isEnabled());
        QVERIFY(!m_panel->isUserOpened());
        // The close refreshed the list; the typed path is still the selection.
        QCOMPARE(m_panel->portBox()->currentText(), pty.path());
    }

    void programmaticOpen()
    {
        PtyPair pty;
        QVERIFY(pty.open(nextLink()));
        QVERIFY(m_panel->selectPort(pty.path()));
        m_panel->setBaudText("9600");
        m_panel->openPort();
        QVERIFY(m_manager->isOpen());
        QVERIFY(m_panel->openButton()->isChecked());
        QCOMPARE(m_panel->openButton()->text(), QStringLiteral("Close"));
        QCOMPARE(m_manager->port()->baudRate(), 9600);
    }

    void typedPathOpensAndStaysListed()
    {
        PtyPair pty;
        QVERIFY(pty.open(link("ttyV0")));
        QComboBox* box = m_panel->portBox();
        box->lineEdit()->clear();
        QTest::keyClicks(box->lineEdit(), pty.path());
        QCOMPARE(m_panel->portName(), pty.path());

        m_panel->openButton()->click();
        QVERIFY(m_manager->isOpen());
        QCOMPARE(m_manager->portName(), pty.path());
        QVERIFY(box->findText(pty.path()) >= 0);

        m_panel->refreshPortList();
        QCOMPARE(box->currentText(), pty.path());
        m_panel->openButton()->click();
        QVERIFY(!m_manager->isOpen());
        QCOMPARE(box->currentText(), pty.path());
        QCOMPARE(m_panel->typedPorts(), QStringList{pty.path()});

        // Data flows both ways through the typed path.
        QVERIFY(openThroughPanel(pty.path()));
        QSignalSpy rx(m_manager.get(), &SerialPortManager::dataReceived);
        QVERIFY(pty.writeAll("ping"));
        QVERIFY(rx.wait(5000));
        QCOMPARE(rx.at(0).at(0).toByteArray(), QByteArray("ping"));
    }

    void enterCommitsATypedPath()
    {
        QSignalSpy changed(m_panel.get(), &SerialParamWidget::portChanged);
        QComboBox* box = m_panel->portBox();
        box->lineEdit()->clear();
        const QString path = link("ttyV9");
        QTest::keyClicks(box->lineEdit(), path);
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        // Selected, but not an entry of the list until it opened.
        QVERIFY(box->findText(path) < 0);
        QCOMPARE(box->currentText(), path);
        QCOMPARE(box->toolTip(), path);
        QVERIFY(!changed.isEmpty());
        QCOMPARE(changed.last().at(0).toString(), path);
        m_panel->refreshPortList();
        QCOMPARE(box->currentText(), path);
    }

    void selectPortRules()
    {
        QVERIFY(!m_panel->selectPort(QString()));
        QVERIFY(!m_panel->selectPort("Custom"));
        QVERIFY(!m_panel->selectPort("ttyNoSuchPort4711"));
        QVERIFY(m_panel->selectPort(link("later")));
        QCOMPARE(m_panel->portName(), link("later"));
        // Selecting it again keeps it selected; never opened, it is no entry.
        QVERIFY(m_panel->selectPort(link("later")));
        QCOMPARE(m_panel->portName(), link("later"));
        QVERIFY(m_panel->typedPorts().isEmpty());
        QVERIFY(m_panel->portBox()->findText(link("later")) < 0);
    }

    void unopenablePathsGiveAClearMessage()
    {
        QFile plain(m_dir->filePath("not-a-tty.txt"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.write("text");
        plain.close();

        QSignalSpy errors(m_panel.get(), &SerialParamWidget::serialErrorOccurred);
        QVERIFY(!openThroughPanel(plain.fileName()));
        QStringList dialogs = takeDialogs();
        QCOMPARE(dialogs.size(), 1);
        QVERIFY(dialogs.at(0).startsWith("Warning: Failed to open serial port: "));
        QVERIFY(dialogs.at(0).size() > int(qstrlen("Warning: Failed to open serial port: ")));
        // The open's own dialog says it; no second, vaguer message.
        QCOMPARE(errors.count(), 0);
        QCOMPARE(m_panel->openButton()->text(), QStringLiteral("Open"));
        QVERIFY(!m_panel->openButton()->isChecked());
        QVERIFY(m_panel->portBox()->isEnabled());
        QVERIFY(!m_panel->isReconnecting());

        QVERIFY(!openThroughPanel(m_dir->filePath("gone")));
        QCOMPARE(takeDialogs(),
                 QStringList{"Warning: Failed to open serial port: " + m_manager->errorString()});
        // A missing device is also reported through the session's channel.
        QCOMPARE(errors.count(), 1);
        QVERIFY(errors.at(0).at(0).toString().startsWith("Failed to open serial port: "));
        QVERIFY(!m_manager->isOpen());
        QVERIFY(!m_panel->isReconnecting());
    }

    void customBaudRateIsTyped()
    {
        QComboBox* baud = m_panel->baudBox();
        baud->setCurrentIndex(baud->findText("9600"));
        QCOMPARE(AppConfig::Baudrate, QStringLiteral("9600"));

        QSignalSpy rates(m_panel.get(), &SerialParamWidget::baudrateChanged);
        baud->setCurrentIndex(baud->count() - 1);
        QVERIFY(baud->isEditable());
        QCOMPARE(baud->currentText(), QString());
        QTest::keyClicks(baud->lineEdit(), "25");
        QCOMPARE(m_manager->port()->baudRate(), 25);
        QTest::keyClicks(baud->lineEdit(), "0000");
        QCOMPARE(m_manager->port()->baudRate(), 250000);
        QCOMPARE(m_panel->baudRate(), QStringLiteral("250000"));
        QCOMPARE(rates.count(), 0);
        // Only a numbered choice is remembered.
        QCOMPARE(AppConfig::Baudrate, QStringLiteral("9600"));

        PtyPair pty;
        QVERIFY(pty.open(nextLink()));
        QVERIFY(openThroughPanel(pty.path()));
        QCOMPARE(m_manager->port()->baudRate(), 250000);

        baud->setCurrentIndex(baud->findText("57600"));
        QVERIFY(!baud->isEditable());
        QCOMPARE(rates.count(), 1);
        QCOMPARE(rates.at(0).at(0).toInt(), 57600);
        QCOMPARE(AppConfig::Baudrate, QStringLiteral("57600"));
        QCOMPARE(m_manager->port()->baudRate(), 57600);
    }

    void customBaudOnAnOpenPortKeepsItOpen()
    {
        PtyPair pty;
        QVERIFY(pty.open(nextLink()));
        QVERIFY(openThroughPanel(pty.path()));
        QSignalSpy errors(m_panel.get(), &SerialParamWidget::serialErrorOccurred);
        QComboBox* baud = m_panel->baudBox();
        baud->setCurrentIndex(baud->count() - 1);
        QTest::keyClicks(baud->lineEdit(), "x");
        QTest::keyClick(baud->lineEdit(), Qt::Key_Backspace);
        QTest::qWait(20);
        QVERIFY(m_manager->isOpen());
        QCOMPARE(errors.count(), 0);
        QCOMPARE(m_manager->port()->baudRate(), 115200);
    }

    void emptyBaudOpensAt115200()
    {
        QComboBox* baud = m_panel->baudBox();
        baud->setCurrentIndex(baud->count() - 1);
        QCOMPARE(m_panel->baudRate(), QString());
        PtyPair pty;
        QVERIFY(pty.open(nextLink()));
        QVERIFY(openThroughPanel(pty.path()));
        QCOMPARE(m_panel->baudRate(), QStringLiteral("115200"));
        QCOMPARE(m_manager->port()->baudRate(), 115200);
    }

    void setBaudText()
    {
        m_panel->setBaudText("4800");
        QCOMPARE(m_panel->baudRate(), QStringLiteral("4800"));
        QVERIFY(!m_panel->baudBox()->isEditable());
        m_panel->setBaudText("31250");
        QVERIFY(m_panel->baudBox()->isEditable());
        QCOMPARE(m_panel->baudRate(), QStringLiteral("31250"));
        QCOMPARE(m_manager->port()->baudRate(), 31250);
        QCOMPARE(AppConfig::Baudrate, QStringLiteral("4800"));
    }

    void parameterChangesAreAppliedAndStored()
    {
        QSignalSpy dataBits(m_panel.get(), &SerialParamWidget::dataBitsChanged);
        QSignalSpy parity(m_panel.get(), &SerialParamWidget::parityChanged);
        QSignalSpy stopBits(m_panel.get(), &SerialParamWidget::stopBitsChanged);
        QSignalSpy flow(m_panel.get(), &SerialParamWidget::flowCtrlChanged);

        m_panel->dataBitsBox()->setCurrentText("7");
        m_panel->parityBox()->setCurrentText("Even");
        m_panel->stopBitsBox()->setCurrentText("2");
        m_panel->flowControlBox()->setCurrentText("Hardware");

        QCOMPARE(argsOf(dataBits), QStringList{"7"});
        QCOMPARE(argsOf(parity), QStringList{"Even"});
        QCOMPARE(argsOf(stopBits), QStringList{"2"});
        QCOMPARE(argsOf(flow), QStringList{"Hardware"});
        QCOMPARE(AppConfig::DataBits, QStringLiteral("7"));
        QCOMPARE(AppConfig::ParityBits, QStringLiteral("Even"));
        QCOMPARE(AppConfig::StopBits, QStringLiteral("2"));
        QCOMPARE(AppConfig::FlowCtrl, QStringLiteral("Hardware"));
        QCOMPARE(m_manager->port()->dataBits(), QSerialPort::Data7);
        QCOMPARE(m_manager->port()->parity(), QSerialPort::EvenParity);
        QCOMPARE(m_manager->port()->stopBits(), QSerialPort::TwoStop);
        QCOMPARE(m_manager->port()->flowControl(), QSerialPort::HardwareControl);

        // On an open port the change takes effect at once.
        PtyPair pty;
        QVERIFY(pty.open(nextLink()));
        QVERIFY(openThroughPanel(pty.path()));
        m_panel->flowControlBox()->setCurrentText("Software");
        QCOMPARE(m_manager->port()->flowControl(), QSerialPort::SoftwareControl);
        QVERIFY(m_manager->isOpen());
    }

    void unplugAndReplugReconnects()
    {
        PtyPair pty;
        QVERIFY(pty.open(link("ttyV0")));
        m_panel->setBaudText("57600");
        QVERIFY(openThroughPanel(pty.path()));

        QSignalSpy status(m_panel.get(), &SerialParamWidget::reconnectStatusChanged);
        QSignalSpy portErrors(m_manager.get(), &SerialPortManager::errorOccurred);
        QSignalSpy parity(m_panel.get(), &SerialParamWidget::parityChanged);
        QSignalSpy userErrors(m_panel.get(), &SerialParamWidget::serialErrorOccurred);

        pty.unplug();
        QTRY_VERIFY_WITH_TIMEOUT(m_panel->isReconnecting(), 5000);
        QVERIFY(!m_manager->isOpen());
        QTRY_VERIFY_WITH_TIMEOUT(status.count() >= 3, 5000);
        QCOMPARE(status.at(0).at(0).toString(), QStringLiteral("Reconnect Counter: 1"));
        QCOMPARE(status.at(2).at(0).toString(), QStringLiteral("Reconnect Counter: 3"));
        // While reconnecting the button keeps its state.
        QCOMPARE(m_panel->openButton()->text(), QStringLiteral("Close"));
        QVERIFY(m_panel->openButton()->isChecked());
        // One hang-up, one error: the port was closed at once, nothing keeps
        // firing (the failed attempts only add their own open errors).
        int hangUps = 0;
        for (const auto& args : std::as_const(portErrors)) {
            const auto error = args.at(0).value<QSerialPort::SerialPortError>();
            hangUps += error == QSerialPort::ReadError || error == QSerialPort::ResourceError;
        }
        QCOMPARE(hangUps, 1);

        PtyPair back;
        QVERIFY(back.open(link("ttyV0")));
        QTRY_VERIFY_WITH_TIMEOUT(m_manager->isOpen(), 5000);
        QVERIFY(!m_panel->isReconnecting());
        QCOMPARE(m_panel->reconnectCounter(), 0);
        QCOMPARE(m_manager->portName(), link("ttyV0"));
        QCOMPARE(m_manager->port()->baudRate(), 57600);
        QCOMPARE(m_panel->openButton()->text(), QStringLiteral("Close"));
        QVERIFY(m_panel->openButton()->isChecked());
        QCOMPARE(m_panel->portBox()->currentText(), link("ttyV0"));
        QVERIFY(!m_panel->portBox()->isEnabled());
        QCOMPARE(argsOf(parity), QStringList{"None"});
        QCOMPARE(userErrors.count(), 0);

        QSignalSpy rx(m_manager.get(), &SerialPortManager::dataReceived);
        QVERIFY(back.writeAll("again"));
        QVERIFY(rx.wait(5000));
        QCOMPARE(rx.at(0).at(0).toByteArray(), QByteArray("again"));

        // And it survives a second unplug just the same.
        back.unplug();
        QTRY_VERIFY_WITH_TIMEOUT(m_panel->isReconnecting(), 5000);
        PtyPair third;
        QVERIFY(third.open(link("ttyV0")));
        QTRY_VERIFY_WITH_TIMEOUT(m_manager->isOpen() && !m_panel->isReconnecting(), 5000);
    }

    void hangUpOfAPtyOpenedByItsOwnPath()
    {
        // No symlink to vanish: only the hang-up itself tells the device left.
        PtyPair pty;
        QVERIFY(pty.open());
        QVERIFY(openThroughPanel(pty.slavePath()));
        QSignalSpy portErrors(m_manager.get(), &SerialPortManager::errorOccurred);
        m_panel->setReconnectLimit(2);
        // Holding a slave end keeps the pty's number taken, so no other
        // process's new pty can appear under the old path during the attempts.
        const int keep =
            ::open(QFile::encodeName(pty.slavePath()).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(keep >= 0);
        pty.closeMaster();
        QTRY_VERIFY_WITH_TIMEOUT(m_panel->isReconnecting() || !m_panel->openButton()->isChecked(), 5000);
        QVERIFY(!m_manager->isOpen());
        QCOMPARE(portErrors.at(0).at(0).value<QSerialPort::SerialPortError>(), QSerialPort::ReadError);
        QTRY_VERIFY_WITH_TIMEOUT(!m_panel->isReconnecting(), 5000);
        QCOMPARE(m_panel->openButton()->text(), QStringLiteral("Open"));
        ::close(keep);
    }

    void reconnectGivesUpAfterTheLimit()
    {
        PtyPair pty;
        QVERIFY(pty.open(link("ttyV1")));
        QVERIFY(openThroughPanel(pty.path()));
        m_panel->setReconnectLimit(3);
        QCOMPARE(m_panel->reconnectLimit(), 3);

        QSignalSpy status(m_panel.get(), &SerialParamWidget::reconnectStatusChanged);
        QSignalSpy userErrors(m_panel.get(), &SerialParamWidget::serialErrorOccurred);
        pty.unplug();
        QVERIFY(userErrors.wait(5000));
        QCOMPARE(
            argsOf(userErrors),
            QStringList{
                "Auto-reconnect failed after 3 attempts. Please check the device and connect manually."});
        QCOMPARE(argsOf(status),
                 (QStringList{"Reconnect Counter: 1", "Reconnect Counter: 2", "Reconnect Counter: 3"}));
        QVERIFY(!m_panel->isReconnecting());
        QVERIFY(!m_manager->isOpen());
        QCOMPARE(m_panel->openButton()->text(), QStringLiteral("Open"));
        QVERIFY(!m_panel->openButton()->isChecked());
        QVERIFY(m_panel->portBox()->isEnabled());

        // Given up means given up: the device coming back later is not opened.
        PtyPair back;
        QVERIFY(back.open(link("ttyV1")));
        QTest::qWait(150);
        QVERIFY(!m_manager->isOpen());
        QCOMPARE(status.count(), 3);
    }

    void pressingTheButtonStopsReconnection()
    {
        PtyPair pty;
        QVERIFY(pty.open(link("ttyV2")));
        QVERIFY(openThroughPanel(pty.path()));
        QSignalSpy status(m_panel.get(), &SerialParamWidget::reconnectStatusChanged);
        pty.unplug();
        QVERIFY(status.wait(5000));
        QVERIFY(m_panel->isReconnecting());

        m_panel->openButton()->click(); // the button still says "Close"
        QVERIFY(!m_panel->isReconnecting());
        QCOMPARE(m_panel->reconnectCounter(), 0);
        QCOMPARE(m_panel->openButton()->text(), QStringLiteral("Open"));
        QVERIFY(!m_panel->openButton()->isChecked());
        const int attempts = status.count();

        PtyPair back;
        QVERIFY(back.open(link("ttyV2")));
        QTest::qWait(150);
        QCOMPARE(status.count(), attempts);
        QVERIFY(!m_manager->isOpen());
    }

    void reconnectsByIdentityUnderANewName()
    {
        const QString byIdLink = m_byId->filePath("usb-Acme_Widget_1234-if00-port0");
        PtyPair before;
        QVERIFY(before.open(link("ttyOld")));
        QVERIFY(QFile::link(before.slavePath(), byIdLink));
        PtyPair after; // taken now so it cannot get the old number
        QVERIFY(after.open());
        QVERIFY(openThroughPanel(before.path()));
        QCOMPARE(m_panel->deviceLocator()->byIdLink(), byIdLink);

        QSignalSpy status(m_panel.get(), &SerialParamWidget::reconnectStatusChanged);
        before.unplug(); // the old path is gone for good
        QVERIFY(QFile::remove(byIdLink));
        QTRY_VERIFY_WITH_TIMEOUT(status.count() >= 2, 5000);
        QVERIFY(!m_manager->isOpen());

        // The adapter is back under another name; udev points its link there.
        QVERIFY(QFile::link(after.slavePath(), byIdLink));
        QTRY_VERIFY_WITH_TIMEOUT(m_manager->isOpen(), 5000);
        QVERIFY(!m_panel->isReconnecting());
        QCOMPARE(m_panel->portName(), after.slavePath());
        QCOMPARE(m_panel->portBox()->currentText(), after.slavePath());
        QCOMPARE(m_panel->openButton()->text(), QStringLiteral("Close"));

        QSignalSpy rx(m_manager.get(), &SerialPortManager::dataReceived);
        QVERIFY(after.writeAll("new name"));
        QVERIFY(rx.wait(5000));
        QCOMPARE(rx.at(0).at(0).toByteArray(), QByteArray("new name"));
    }

    void removalOfAnotherDeviceChangesNothing()
    {
        PtyPair pty;
        QVERIFY(pty.open(link("ttyV3")));
        QVERIFY(openThroughPanel(pty.path()));
        QSignalSpy disconnected(m_manager.get(), &SerialPortManager::disconnected);
        m_panel->onDeviceRemove();
        QVERIFY(m_manager->isOpen());
        QVERIFY(!m_panel->isReconnecting());
        QCOMPARE(disconnected.count(), 0);
        QCOMPARE(m_panel->portBox()->currentText(), pty.path());
    }

    void removalWithoutResourceErrorReconnects()
    {
        PtyPair pty;
        QVERIFY(pty.open(link("ttyV4")));
        QVERIFY(openThroughPanel(pty.path()));
        // The node vanished but the port has not noticed yet.
        QVERIFY(QFile::remove(link("ttyV4")));
        m_panel->onDeviceRemove();
        QVERIFY(m_panel->isReconnecting());
        QVERIFY(!m_manager->isOpen());
        QVERIFY(QFile::link(pty.slavePath(), link("ttyV4")));
        QTRY_VERIFY_WITH_TIMEOUT(m_manager->isOpen() && !m_panel->isReconnecting(), 5000);
        QCOMPARE(m_panel->portBox()->currentText(), link("ttyV4"));
    }

    void deviceEventsReachThePanel()
    {
        PtyPair pty;
        QVERIFY(pty.open(link("ttyV8")));
        QVERIFY(openThroughPanel(pty.path()));
        QVERIFY(m_panel->nativeFilter());
        QVERIFY(QFile::remove(link("ttyV8")));
        Q_EMIT m_panel->nativeFilter()->deviceRemoveComplete();
        QVERIFY(m_panel->isReconnecting());
        QVERIFY(QFile::link(pty.slavePath(), link("ttyV8")));
        QTRY_VERIFY_WITH_TIMEOUT(m_manager->isOpen() && !m_panel->isReconnecting(), 5000);
        m_panel->openButton()->click();
        QVERIFY(!m_manager->isOpen());

        // An arrival refreshes the closed port's list; a path being typed
        // survives it in the edit field without becoming an entry.
        QComboBox* box = m_panel->portBox();
        box->lineEdit()->clear();
        QTest::keyClicks(box->lineEdit(), link("typing"));
        Q_EMIT m_panel->nativeFilter()->deviceChanged();
        QCOMPARE(box->currentText(), link("typing"));
        QVERIFY(box->findText(link("typing")) < 0);
        QVERIFY(box->findText("Custom") >= 0);
    }

    void removalWhileClosedResetsThePanel()
    {
        QSignalSpy disconnected(m_manager.get(), &SerialPortManager::disconnected);
        m_panel->onDeviceRemove();
        QVERIFY(!m_panel->isReconnecting());
        QCOMPARE(disconnected.count(), 1);
        QCOMPARE(m_panel->openButton()->text(), QStringLiteral("Open"));
    }

    void insertionWhileOpenLeavesTheListAlone()
    {
        PtyPair pty;
        QVERIFY(pty.open(link("ttyV5")));
        QVERIFY(openThroughPanel(pty.path()));
        QSignalSpy changed(m_panel.get(), &SerialParamWidget::portChanged);
        m_panel->onDeviceInserted();
        QCOMPARE(changed.count(), 0);
        QCOMPARE(m_panel->portBox()->currentText(), pty.path());
        QVERIFY(m_manager->isOpen());
    }

    void errorTable()
    {
        PtyPair pty;
        QVERIFY(pty.open(nextLink()));
        QVERIFY(openThroughPanel(pty.path()));
        QSignalSpy userErrors(m_panel.get(), &SerialParamWidget::serialErrorOccurred);

        m_panel->onSerialPortError(QSerialPort::NoError, "none");
        m_panel->onSerialPortError(QSerialPort::TimeoutError, "slow");
        m_panel->onSerialPortError(QSerialPort::PermissionError, "denied");
        QCOMPARE(userErrors.count(), 0);
        QVERIFY(m_manager->isOpen());

        m_panel->onSerialPortError(QSerialPort::WriteError, "boom");
        QCOMPARE(argsOf(userErrors), QStringList{"Serial port write error: boom"});
        QVERIFY(m_manager->isOpen());

        // A read error on a healthy port only drops what is buffered.
        m_panel->onSerialPortError(QSerialPort::ReadError, "glitch");
        QVERIFY(m_manager->isOpen());
        QVERIFY(!m_panel->isReconnecting());
        QCOMPARE(userErrors.count(), 1);

        m_panel->onSerialPortError(QSerialPort::DeviceNotFoundError, "No such file or directory");
        QCOMPARE(userErrors.last().at(0).toString(),
                 QStringLiteral("Failed to open serial port: No such file or directory"));

        m_panel->onSerialPortError(QSerialPort::UnsupportedOperationError, "nope");
        QCOMPARE(
            userErrors.last().at(0).toString(),
            QStringLiteral("Serial port error [%1]: nope").arg(int(QSerialPort::UnsupportedOperationError)));
        QVERIFY(!m_manager->isOpen());
        QVERIFY(!m_panel->isReconnecting());
    }

    void resourceErrorStartsReconnection()
    {
        PtyPair pty;
        QVERIFY(pty.open(link("ttyV6")));
        QVERIFY(openThroughPanel(pty.path()));
        QSignalSpy userErrors(m_panel.get(), &SerialParamWidget::serialErrorOccurred);
        m_panel->onSerialPortError(QSerialPort::ResourceError, "gone");
        QVERIFY(!m_manager->isOpen());
        QVERIFY(m_panel->isReconnecting());
        // Errors of the failing attempts are not shown while reconnecting.
        m_panel->onSerialPortError(QSerialPort::OpenError, "busy");
        m_panel->onSerialPortError(QSerialPort::UnknownError, "??");
        QCOMPARE(userErrors.count(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(m_manager->isOpen() && !m_panel->isReconnecting(), 5000);
    }

    void startAndStopReconnectByHand()
    {
        QSignalSpy status(m_panel.get(), &SerialParamWidget::reconnectStatusChanged);
        m_panel->startAutoReconnect(10000);
        QVERIFY(m_panel->isReconnecting());
        m_panel->startAutoReconnect(0); // already reconnecting: no new start
        QTest::qWait(50);
        QCOMPARE(status.count(), 0);
        m_panel->stopAutoReconnect();
        QVERIFY(!m_panel->isReconnecting());
        m_panel->tryReconnect(); // a stray expiry does nothing
        QCOMPARE(status.count(), 0);
    }

    void languageChangeKeepsTheTexts()
    {
        PtyPair pty;
        QVERIFY(pty.open(nextLink()));
        QVERIFY(openThroughPanel(pty.path()));
        QEvent change(QEvent::LanguageChange);
        QApplication::sendEvent(m_panel.get(), &change);
        QCOMPARE(m_panel->openButton()->text(), QStringLiteral("Close"));
        QCOMPARE(m_panel->openButton()->toolTip(), QStringLiteral("Open/Close Serial port"));
        QCOMPARE(m_panel->findChild<QLabel*>()->text(), QStringLiteral("Port Settings"));
    }

    void destructionWhileReconnecting()
    {
        PtyPair pty;
        QVERIFY(pty.open(link("ttyV7")));
        QVERIFY(openThroughPanel(pty.path()));
        pty.unplug();
        QTRY_VERIFY_WITH_TIMEOUT(m_panel->isReconnecting(), 5000);
        m_panel.reset();
        QTest::qWait(100); // no timer may fire into the deleted panel
        QVERIFY(!m_manager->isOpen());
    }

    void halfTypedPathsNeverBecomeEntries()
    {
        QComboBox* box = m_panel->portBox();
        box->lineEdit()->clear();
        QTest::keyClicks(box->lineEdit(), "/dev/tt");
        Q_EMIT m_panel->nativeFilter()->deviceChanged();
        QTest::keyClicks(box->lineEdit(), "yXYZ");
        Q_EMIT m_panel->nativeFilter()->deviceChanged();
        QCOMPARE(box->currentText(), QStringLiteral("/dev/ttyXYZ"));
        QVERIFY(m_panel->typedPorts().isEmpty());
        for (int i = 0; i < box->count(); ++i)
            QVERIFY2(!box->itemText(i).startsWith(QLatin1String("/dev/tt")), qPrintable(box->itemText(i)));
    }

    void openedPathLeavesTheListOnceItsNodeIsGone()
    {
        PtyPair pty;
        QVERIFY(pty.open(link("ttyGone")));
        QVERIFY(openThroughPanel(pty.path()));
        QCOMPARE(m_panel->typedPorts(), QStringList{pty.path()});
        QComboBox* box = m_panel->portBox();

        // While the port is open on it the entry stays, node or not.
        QVERIFY(QFile::remove(link("ttyGone")));
        m_panel->refreshPortList();
        QVERIFY(box->findText(pty.path()) >= 0);

        m_panel->openButton()->click(); // closes and refreshes
        QVERIFY(box->findText(pty.path()) < 0);
        QVERIFY(m_panel->typedPorts().isEmpty());
        QCOMPARE(box->currentText(), pty.path());
    }

    void permissionDeniedOpenSaysHowToGetAccess()
    {
        PtyPair pty;
        QVERIFY(pty.open(nextLink()));
        {
            PermissionDrop denied(pty.slavePath());
            QVERIFY(!openThroughPanel(pty.path()));
        }
        const QStringList dialogs = takeDialogs();
        QCOMPARE(dialogs.size(), 1);
        QVERIFY2(dialogs.at(0).startsWith("Warning: Failed to open serial port: " + qt_error_string(EACCES)),
                 qPrintable(dialogs.at(0)));
        QVERIFY2(dialogs.at(0).contains("sudo usermod -aG dialout $USER"), qPrintable(dialogs.at(0)));
        QVERIFY(!m_panel->openButton()->isChecked());

        // Other failures carry no such hint.
        QVERIFY(!openThroughPanel(m_dir->filePath("gone")));
        const QStringList again = takeDialogs();
        QCOMPARE(again.size(), 1);
        QVERIFY(!again.at(0).contains("dialout"));
    }
};

QTEST_MAIN(TestSerialParamWidget)
#include "tst_serialparamwidget.moc"
