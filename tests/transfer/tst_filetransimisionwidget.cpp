#include "ByteSizeText.h"
#include "CSwitch.h"
#include "DialogCatcher.h"
#include "FileTransimisionWidget.h"
#include "FileTransmission.h"
#include "MasterReader.h"
#include "PeerTools.h"
#include "PtyPair.h"
#include "SerialPortManager.h"
#include "SocatLink.h"
#include "TestData.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

namespace {

bool openManager(SerialPortManager* manager, const QString& path)
{
    return manager->openPort(path, QStringLiteral("115200"), QStringLiteral("8"), QStringLiteral("None"),
                             QStringLiteral("1"), QStringLiteral("None"));
}

} // namespace

class TestFileTransimisionWidget : public QObject
{
    Q_OBJECT

private:
    template <typename T> T* child(FileTransimisionWidget& w, const char* name)
    {
        T* found = w.findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("missing child %s", name);
        return found;
    }

private slots:
    void byteSizeText_data();
    void byteSizeText();
    void initialState();
    void xmodem1kHidesPacingRows();
    void startWithPortClosedWarns();
    void startWithoutManagerWarns();
    void startWithoutFileWarns();
    void startConfiguresControllerAndPauses();
    void logSwitchGatesStatusText();
    void rawTransferSendsEveryByteOnce();
    void portClosedMidwayStopsAtNextWrite();
    void portDisconnectStopsTransfer();
    void xmodemThroughRealReceiver();
    void languageChangeRetranslates();
    void fileButtonOpensDialog();
};

void TestFileTransimisionWidget::byteSizeText_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << qint64(0) << "0 B";
    QTest::newRow("1023") << qint64(1023) << "1023 B";
    QTest::newRow("1024") << qint64(1024) << "1.00 KB";
    QTest::newRow("1536") << qint64(1536) << "1.50 KB";
    QTest::newRow("1048575") << qint64(1048575) << "1024.00 KB";
    QTest::newRow("1048576") << qint64(1048576) << "1.00 MB";
    QTest::newRow("52428800") << qint64(52428800) << "50.00 MB";
    QTest::newRow("1073741823") << qint64(1073741823) << "1024.00 MB";
    QTest::newRow("1073741824") << qint64(1073741824) << "1.00 GB";
    QTest::newRow("5GiB") << qint64(5) * 1073741824 << "5.00 GB";
}

void TestFileTransimisionWidget::byteSizeText()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(ByteSizeText::format(bytes), text);
    QCOMPARE(ByteSizeText::progress(bytes, 2048), text + QStringLiteral("/2.00 KB "));
}

void TestFileTransimisionWidget::initialState()
{
    FileTransimisionWidget w;
    QCOMPARE(w.findChild<QLabel*>()->text(), QStringLiteral("File Transimision"));
    auto* box = child<QComboBox>(w, "protocolBox");
    QCOMPARE(box->count(), 6);
    QCOMPARE(box->currentIndex(), 1);
    QCOMPARE(box->currentText(), QStringLiteral("Raw Binary"));
    QCOMPARE(box->itemText(3), QStringLiteral("XMODEM-1K"));
    QCOMPARE(box->height(), 25);
    auto* interval = child<QSpinBox>(w, "intervalBox");
    QCOMPARE(interval->minimum(), 10);
    QCOMPARE(interval->maximum(), 2147483647);
    QCOMPARE(interval->value(), 100);
    auto* block = child<QSpinBox>(w, "blockSizeBox");
    QCOMPARE(block->minimum(), 64);
    QCOMPARE(block->maximum(), 67108864);
    QCOMPARE(block->value(), 4096);
    QCOMPARE(child<QLabel>(w, "bytesLabel")->text(), QStringLiteral("0B/0B"));
    QCOMPARE(child<QLabel>(w, "speedLabel")->text(), QStringLiteral("0 KB/s"));
    auto* start = child<QPushButton>(w, "startButton");
    QCOMPARE(start->text(), QStringLiteral("Start"));
    QCOMPARE(start->size(), QSize(80, 25));
    QCOMPARE(child<QPushButton>(w, "fileButton")->size(), QSize(50, 25));
    auto* file = child<QLineEdit>(w, "fileEdit");
    QVERIFY(file->isReadOnly());
    QCOMPARE(file->height(), 25);
    QCOMPARE(file->text(), w.transmission()->fileName());
    auto* sw = child<CSwitch>(w, "logSwitch");
    QVERIFY(!sw->isChecked());
    QCOMPARE(sw->size(), QSize(40, 20));
    QVERIFY(child<QWidget>(w, "intervalRow")->isVisibleTo(&w));
    QVERIFY(child<QWidget>(w, "blockSizeRow")->isVisibleTo(&w));
}

void TestFileTransimisionWidget::xmodem1kHidesPacingRows()
{
    FileTransimisionWidget w;
    w.show();
    auto* box = child<QComboBox>(w, "protocolBox");
    auto* intervalRow = child<QWidget>(w, "intervalRow");
    auto* blockRow = child<QWidget>(w, "blockSizeRow");
    box->setCurrentIndex(box->findText(QStringLiteral("XMODEM-1K")));
    QVERIFY(!intervalRow->isVisible());
    QVERIFY(!blockRow->isVisible());
    for (int mode : {2, 4, 5}) {
        box->setCurrentIndex(mode);
        QVERIFY(!intervalRow->isVisible());
        QVERIFY(!blockRow->isVisible());
    }
    box->setCurrentIndex(0);
    QVERIFY(intervalRow->isVisible());
    QVERIFY(blockRow->isVisible());
    box->setCurrentIndex(1);
    QVERIFY(intervalRow->isVisible());
}

void TestFileTransimisionWidget::startWithPortClosedWarns()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.bin"));
    QVERIFY(writeFile(path, randomBytes(1000, 1)));

    SerialPortManager manager;
    FileTransimisionWidget w;
    w.setSerialPortManager(&manager);
    QVERIFY(w.transmission()->openFilePath(path));
    QSignalSpy status(&w, &FileTransimisionWidget::statusChanged);
    QSignalSpy writes(w.transmission(), &FileTransmission::writeRequest);

    DialogCatcher catcher;
    child<QPushButton>(w, "startButton")->click();
    QCOMPARE(catcher.texts, QStringList{QStringLiteral("Please open serial port!")});
    QCOMPARE(catcher.titles, QStringList{QStringLiteral("Warning")});
    QCOMPARE(status.count(), 1);
    QCOMPARE(status.at(0).at(0).toBool(), false);
    QVERIFY(!w.transmission()->isActive());
    QTest::qWait(250);
    QCOMPARE(writes.count(), 0);
    QCOMPARE(child<QPushButton>(w, "startButton")->text(), QStringLiteral("Start"));
}

void TestFileTransimisionWidget::startWithoutManagerWarns()
{
    FileTransimisionWidget w;
    DialogCatcher catcher;
    child<QPushButton>(w, "startButton")->click();
    QCOMPARE(catcher.texts, QStringList{QStringLiteral("Please open serial port!")});
    QVERIFY(!w.transmission()->isActive());
}

void TestFileTransimisionWidget::startWithoutFileWarns()
{
    PtyPair pty;
    QVERIFY(pty.open());
    SerialPortManager manager;
    QVERIFY(openManager(&manager, pty.slavePath()));
    FileTransimisionWidget w;
    w.setSerialPortManager(&manager);
    QSignalSpy status(&w, &FileTransimisionWidget::statusChanged);

    DialogCatcher catcher;
    child<QPushButton>(w, "startButton")->click();
    QCOMPARE(catcher.texts, QStringList{QStringLiteral("Please select a file!")});
    QCOMPARE(catcher.titles, QStringList{QStringLiteral("Warning")});
    QCOMPARE(status.count(), 1);
    QCOMPARE(status.at(0).at(0).toBool(), false);
    QVERIFY(!w.transmission()->isActive());
}

void TestFileTransimisionWidget::startConfiguresControllerAndPauses()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.bin"));
    QVERIFY(writeFile(path, randomBytes(200000, 2)));
    PtyPair pty;
    QVERIFY(pty.open());
    MasterReader reader(pty.masterFd());
    SerialPortManager manager;
    QVERIFY(openManager(&manager, pty.slavePath()));

    FileTransimisionWidget w;
    w.setSerialPortManager(&manager);
    QVERIFY(w.transmission()->openFilePath(path));
    QCOMPARE(child<QLineEdit>(w, "fileEdit")->text(), QStringLiteral("f.bin"));
    QCOMPARE(child<QLabel>(w, "bytesLabel")->text(), QStringLiteral("0 B/195.31 KB "));

    auto* block = child<QSpinBox>(w, "blockSizeBox");
    block->setValue(20000);
    QCOMPARE(block->value(), 20000);
    child<QSpinBox>(w, "intervalBox")->setValue(1000);

    QSignalSpy status(&w, &FileTransimisionWidget::statusChanged);
    auto* start = child<QPushButton>(w, "startButton");
    start->click();
    FileTransmission* tx = w.transmission();
    QVERIFY(tx->isActive());
    QCOMPARE(tx->transferMode(), int(FileTransmission::RawBinary));
    QCOMPARE(tx->blockSize(), 8192);
    QCOMPARE(tx->maxRetries(), 10);
    QCOMPARE(tx->protocolTimeout(), 30000);
    QCOMPARE(tx->lineTransmissionInterval(), 1000);
    QCOMPARE(start->text(), QStringLiteral("Pause"));
    QVERIFY(!status.isEmpty());
    QCOMPARE(status.last().at(0).toBool(), true);
    for (const char* name : {"fileButton", "protocolBox", "intervalBox", "blockSizeBox", "fileEdit"})
        QVERIFY2(!child<QWidget>(w, name)->isEnabled(), name);

    // One tick sends one 8192-byte block.
    QTRY_COMPARE_WITH_TIMEOUT(reader.data.size(), 8192, 5000);
    QTRY_COMPARE(child<QLabel>(w, "bytesLabel")->text(), QStringLiteral("8.00 KB/195.31 KB "));
    QCOMPARE(child<QProgressBar>(w, "progressBar")->value(), 4);

    start->click();
    QVERIFY(!tx->isActive());
    QCOMPARE(start->text(), QStringLiteral("Start"));
    QCOMPARE(status.last().at(0).toBool(), false);
    for (const char* name : {"fileButton", "protocolBox", "intervalBox", "blockSizeBox", "fileEdit"})
        QVERIFY2(child<QWidget>(w, name)->isEnabled(), name);
    QTest::qWait(1300);
    reader.drain();
    QCOMPARE(reader.data.size(), 8192);
}

void TestFileTransimisionWidget::logSwitchGatesStatusText()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.txt"));
    QVERIFY(writeFile(path, "one\ntwo\n"));
    PtyPair pty;
    QVERIFY(pty.open());
    MasterReader reader(pty.masterFd());
    SerialPortManager manager;
    QVERIFY(openManager(&manager, pty.slavePath()));

    FileTransimisionWidget w;
    w.setSerialPortManager(&manager);
    QVERIFY(w.transmission()->openFilePath(path));
    child<QComboBox>(w, "protocolBox")->setCurrentIndex(0);
    child<QSpinBox>(w, "intervalBox")->setValue(10);
    QSignalSpy texts(&w, &FileTransimisionWidget::statusTextChanged);
    QSignalSpy controllerTexts(w.transmission(), &FileTransmission::statusTextChanged2);

    child<QPushButton>(w, "startButton")->click();
    QTRY_VERIFY(!w.transmission()->isActive());
    QTRY_COMPARE(reader.data, QByteArray("one\ntwo\n"));
    QVERIFY(controllerTexts.count() >= 2); // the controller did speak
    QCOMPARE(texts.count(), 0);

    child<CSwitch>(w, "logSwitch")->click();
    QVERIFY(child<CSwitch>(w, "logSwitch")->isChecked());
    controllerTexts.clear();
    child<QPushButton>(w, "startButton")->click();
    QTRY_VERIFY(!w.transmission()->isActive());
    QCOMPARE(texts.count(), controllerTexts.count());
    QVERIFY(texts.count() >= 2);
    QCOMPARE(texts.last().at(0).toString(), QStringLiteral("Plain text transmission complete"));
    QCOMPARE(reader.data, QByteArray("one\ntwo\none\ntwo\n"));
}

void TestFileTransimisionWidget::rawTransferSendsEveryByteOnce()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.bin"));
    const QByteArray content = randomBytes(150001, 3);
    QVERIFY(writeFile(path, content));
    PtyPair pty;
    QVERIFY(pty.open());
    MasterReader reader(pty.masterFd());
    SerialPortManager manager;
    QVERIFY(openManager(&manager, pty.slavePath()));
    QSignalSpy txCount(&manager, &SerialPortManager::txLengthChanged);

    FileTransimisionWidget w;
    w.setSerialPortManager(&manager);
    // Whoever would listen here (the session) would write each byte a second time.
    QSignalSpy panelWrites(&w, &FileTransimisionWidget::writeRequest);
    QVERIFY(w.transmission()->openFilePath(path));
    child<QSpinBox>(w, "intervalBox")->setValue(10);
    child<QSpinBox>(w, "blockSizeBox")->setValue(8192);
    QSignalSpy status(&w, &FileTransimisionWidget::statusChanged);

    child<QPushButton>(w, "startButton")->click();
    QVERIFY(w.transmission()->isActive());
    QTRY_VERIFY_WITH_TIMEOUT(!w.transmission()->isActive(), 20000);
    QTRY_COMPARE_WITH_TIMEOUT(reader.data.size(), content.size(), 5000);
    QTest::qWait(100);
    reader.drain();
    QCOMPARE(reader.data.size(), content.size());
    QVERIFY(reader.data == content);
    QCOMPARE(panelWrites.count(), 0);
    qulonglong tx = 0;
    for (const auto& args : txCount)
        tx += args.at(0).toULongLong();
    QCOMPARE(tx, qulonglong(content.size()));
    QCOMPARE(child<QProgressBar>(w, "progressBar")->value(), 100);
    QCOMPARE(child<QLabel>(w, "bytesLabel")->text(), QStringLiteral("146.49 KB/146.49 KB "));
    QCOMPARE(status.last().at(0).toBool(), false);
    QCOMPARE(child<QPushButton>(w, "startButton")->text(), QStringLiteral("Start"));
}

void TestFileTransimisionWidget::portClosedMidwayStopsAtNextWrite()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.bin"));
    QVERIFY(writeFile(path, randomBytes(64 * 200, 4)));
    PtyPair pty;
    QVERIFY(pty.open());
    MasterReader reader(pty.masterFd());
    SerialPortManager manager;
    QVERIFY(openManager(&manager, pty.slavePath()));

    FileTransimisionWidget w;
    w.setSerialPortManager(&manager);
    QVERIFY(w.transmission()->openFilePath(path));
    child<QSpinBox>(w, "intervalBox")->setValue(20);
    child<QSpinBox>(w, "blockSizeBox")->setValue(64);
    QSignalSpy status(&w, &FileTransimisionWidget::statusChanged);
    QSignalSpy requests(w.transmission(), &FileTransmission::writeRequest);

    child<QPushButton>(w, "startButton")->click();
    QTRY_VERIFY(requests.count() >= 3);
    // Closed under the panel's feet, without the manager's own notice.
    manager.port()->close();
    const int before = requests.count();
    QTRY_VERIFY(!w.transmission()->isActive());
    // Exactly one more write was attempted: the one that found the port closed.
    QCOMPARE(requests.count(), before + 1);
    QCOMPARE(status.last().at(0).toBool(), false);
    QCOMPARE(child<QPushButton>(w, "startButton")->text(), QStringLiteral("Start"));
    QVERIFY(w.transmission()->bytesSent() < w.transmission()->bytesTotal());
    QTest::qWait(200);
    QCOMPARE(requests.count(), before + 1);
}

void TestFileTransimisionWidget::portDisconnectStopsTransfer()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.bin"));
    QVERIFY(writeFile(path, randomBytes(64 * 200, 5)));
    PtyPair pty;
    QVERIFY(pty.open());
    MasterReader reader(pty.masterFd());
    SerialPortManager manager;
    QVERIFY(openManager(&manager, pty.slavePath()));

    FileTransimisionWidget w;
    w.setSerialPortManager(&manager);
    QVERIFY(w.transmission()->openFilePath(path));
    child<QSpinBox>(w, "intervalBox")->setValue(1000);
    child<QSpinBox>(w, "blockSizeBox")->setValue(64);
    QSignalSpy requests(w.transmission(), &FileTransmission::writeRequest);
    child<QPushButton>(w, "startButton")->click();
    QVERIFY(w.transmission()->isActive());
    manager.closePort();
    QVERIFY(!w.transmission()->isActive());
    QCOMPARE(child<QPushButton>(w, "startButton")->text(), QStringLiteral("Start"));
    QCOMPARE(requests.count(), 0);
}

void TestFileTransimisionWidget::xmodemThroughRealReceiver()
{
    REQUIRE_PEERS(QStringLiteral("rx"), QStringLiteral("socat"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.bin"));
    const QByteArray content = randomBytes(128 * 40, 6); // whole blocks: no padding to strip
    QVERIFY(writeFile(path, content));

    // rx reads one pty and writes another: lrzsz flushes its input tty both
    // ways on exit, which on a single pty can eat its own last ACK.
    SocatLink link;
    QVERIFY(link.start(dir.path()));
    const QString ours = link.ours;
    const QString theirsIn = link.theirsIn;
    const QString theirsOut = link.theirsOut;

    SerialPortManager manager;
    QVERIFY(openManager(&manager, ours));
    FileTransimisionWidget w;
    w.setSerialPortManager(&manager);
    connect(&manager, &SerialPortManager::dataReceived, &w, &FileTransimisionWidget::rawDataReceived);
    QVERIFY(w.transmission()->openFilePath(path));
    child<QComboBox>(w, "protocolBox")->setCurrentIndex(FileTransmission::XModem);
    QSignalSpy panelWrites(&w, &FileTransimisionWidget::writeRequest);
    QProcess rx;

    child<QPushButton>(w, "startButton")->click();
    QVERIFY(w.transmission()->isActive());
    QCOMPARE(w.transmission()->protocolTimeout(), 30000);
    // The receiver comes up while the sender waits for it, as a user would do it.
    QTest::qWait(300);
    rx.setWorkingDirectory(dir.path());
    rx.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    rx.start(
        QStringLiteral("sh"),
        {QStringLiteral("-c"), QStringLiteral("exec rx -c out.bin <\"$0\" >\"$1\""), theirsIn, theirsOut});
    QVERIFY(rx.waitForStarted());

    QTRY_VERIFY_WITH_TIMEOUT(!w.transmission()->isActive(), 60000);
    QCOMPARE(w.transmission()->statusText(), QStringLiteral("Transfer complete"));
    QVERIFY(rx.state() == QProcess::NotRunning || rx.waitForFinished(20000));
    QCOMPARE(rx.exitCode(), 0);
    QFile out(dir.filePath(QStringLiteral("out.bin")));
    QVERIFY(out.open(QIODevice::ReadOnly));
    QVERIFY(out.readAll() == content);
    QCOMPARE(panelWrites.count(), 0);
    manager.closePort();
}

void TestFileTransimisionWidget::languageChangeRetranslates()
{
    FileTransimisionWidget w;
    const QList<QLabel*> labels = w.findChildren<QLabel*>();
    QStringList before;
    for (QLabel* l : labels) {
        before << l->text();
        if (l->objectName().isEmpty())
            l->setText(QStringLiteral("stale"));
    }
    auto* start = child<QPushButton>(w, "startButton");
    start->setText(QStringLiteral("stale"));
    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(&w, &change);
    for (int i = 0; i < labels.size(); ++i)
        QCOMPARE(labels.at(i)->text(), before.at(i));
    QCOMPARE(start->text(), QStringLiteral("Start"));
    QCOMPARE(child<QComboBox>(w, "protocolBox")->currentIndex(), 1);
}

QTEST_MAIN(TestFileTransimisionWidget)
void TestFileTransimisionWidget::fileButtonOpensDialog()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dialog.bin"));
    QVERIFY(writeFile(path, "xyz"));
    FileTransimisionWidget w;
    FileTransmission* ft = w.transmission();
    child<QPushButton>(w, "fileButton")->click();
    QFileDialog* dialog = nullptr;
    QTRY_VERIFY((dialog = [] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* d = qobject_cast<QFileDialog*>(top); d && d->isVisible())
                return d;
        }
        return static_cast<QFileDialog*>(nullptr);
    }()));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Select file to transmit"));
    QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFile);
    QVERIFY(dialog->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(QDir(dialog->directory()).canonicalPath(), QDir::home().canonicalPath());
    dialog->selectFile(path);
    static_cast<QDialog*>(dialog)->accept();
    QTRY_VERIFY(ft->isFileOpen());
    QCOMPARE(ft->fileName(), QStringLiteral("dialog.bin"));
    QCOMPARE(child<QLineEdit>(w, "fileEdit")->text(), QStringLiteral("dialog.bin"));
}

#include "tst_filetransimisionwidget.moc"
