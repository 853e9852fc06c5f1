#include "AppConfig.h"
#include "HexDumpLayout.h"
#include "LineStamp.h"
#include "RxSettingWidget.h"
#include "SerialParamWidget.h"
#include "SessionTestUtil.h"
#include "TxSettingWidget.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// The keyboard through a real pty: type-into-port mode, Ctrl+O, Enter in the
// port box, and what is remembered across restarts; and the stamp formats.
class TestSessionKeyboard : public QObject
{
    Q_OBJECT

    std::unique_ptr<DialogCatcher> m_dialogs;
    std::unique_ptr<PtyPair> m_pty;
    std::unique_ptr<Session> m_session;
    QTemporaryDir m_dir;
    int m_links = 0;
    QString nextLink() { return m_dir.filePath(QStringLiteral("tty%1").arg(++m_links)); }

    bool showActive()
    {
        m_session->show();
        m_session->activateWindow();
        return QTest::qWaitForWindowActive(m_session.get());
    }

private Q_SLOTS:
    void init()
    {
        AppConfig::resetToDefaults();
        m_dialogs = std::make_unique<DialogCatcher>();
        m_pty = std::make_unique<PtyPair>();
        QVERIFY(m_pty->open(nextLink()));
        m_session = std::make_unique<Session>();
    }

    void cleanup()
    {
        m_session.reset();
        m_pty.reset();
        QVERIFY2(m_dialogs->texts.isEmpty(), qPrintable(m_dialogs->texts.join(QLatin1Char('|'))));
        m_dialogs.reset();
    }

    void typeIntoPortSendsWhatATerminalSends()
    {
        QVERIFY(openOnPty(m_session.get(), *m_pty));
        QVERIFY(showActive());
        m_session->txSettings()->lineEndingBox()->setCurrentIndex(1); // "\r"
        QVERIFY(m_session->typeIndicator()->isHidden());
        m_session->typeIntoPortAction()->trigger();
        QVERIFY(m_session->isTypeIntoPort());
        QVERIFY(m_session->typeIndicator()->isVisible());
        QWidget* log = m_session->logTextArea();
        QTest::keyClicks(log, "ls");
        QTest::keyClick(log, Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(log, Qt::Key_Up);
        QTest::keyClick(log, Qt::Key_Left);
        QTest::keyClick(log, Qt::Key_Return);
        const QByteArray want("ls\x03\x1b[A\x1b[D\r");
        QCOMPARE(readFromDevice(*m_pty, int(want.size()), 5000), want);

        // The shortcut leaves the mode; keys then go nowhere.
        QTest::keyClick(log, Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(!m_session->isTypeIntoPort());
        QVERIFY(m_session->typeIndicator()->isHidden());
        QVERIFY(!m_session->typeIntoPortAction()->isChecked());
        QTest::keyClicks(log, "x");
        QCOMPARE(readFromDevice(*m_pty, 1, 300), QByteArray());
    }

    void typingWithThePortClosedSaysSo()
    {
        QSignalSpy messages(m_session.get(), &Session::messageRequested);
        m_session->setTypeIntoPort(true);
        QTest::keyClick(m_session->logTextArea(), Qt::Key_A);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.at(0).at(0).toString(), QStringLiteral("Please open serial port!"));
    }

    void ctrlOOpensAndCloses()
    {
        QVERIFY(m_session->paramWidget()->selectPort(m_pty->path()));
        QVERIFY(showActive());
        QTest::keyClick(m_session.get(), Qt::Key_O, Qt::ControlModifier);
        QTRY_VERIFY(m_session->portManager()->isOpen());
        QTest::keyClick(m_session.get(), Qt::Key_O, Qt::ControlModifier);
        QTRY_VERIFY(!m_session->portManager()->isOpen());
    }

    void enterInThePortBoxOpensAndThePortIsRemembered()
    {
        QComboBox* box = m_session->paramWidget()->portBox();
        box->lineEdit()->clear();
        QTest::keyClicks(box->lineEdit(), m_pty->path());
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        QTRY_VERIFY(m_session->portManager()->isOpen());
        QCOMPARE(m_session->portManager()->portName(), m_pty->path());
        m_session->txSettings()->sendNewLineBox()->setChecked(true);
        m_session->rxSettings()->timestampFormatBox()->setCurrentIndex(2);

        // A restart: the file written at close, read by a fresh program.
        QVERIFY(AppConfig::saveConfiguration());
        m_session.reset();
        AppConfig::resetToDefaults();
        QCOMPARE(AppConfig::LastPort, QString());
        AppConfig::loadConfiguration();
        m_session = std::make_unique<Session>();
        QCOMPARE(m_session->paramWidget()->portName(), m_pty->path());
        QVERIFY(!m_session->portManager()->isOpen()); // shown, not opened
        QVERIFY(m_session->txSettings()->isSendNewLine());
        QCOMPARE(m_session->rxSettings()->timestampFormat(), 2);
    }

    void stampFormats_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("pattern");
        QTest::newRow("time of day") << 0 << R"(^\[\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\.\d{3}\]R b$)";
        QTest::newRow("ISO 8601")
            << 1 << R"(^\[\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}\.\d{3}(Z|[+-]\d{2}:\d{2})\]R b$)";
        QTest::newRow("since open") << 2 << R"(^\[ *\d+\.\d{3}\]R b$)";
        QTest::newRow("delta") << 3 << R"(^\[\+\d+\.\d{3}\]R b$)";
    }
    void stampFormats()
    {
        QFETCH(int, format);
        QFETCH(QString, pattern);
        m_session->rxSettings()->timestampFormatBox()->setCurrentIndex(format);
        QVERIFY(openOnPty(m_session.get(), *m_pty));
        QVERIFY(m_pty->writeAll("a\n"));
        QTRY_COMPARE(logLines(m_session.get()).size(), 1);
        QTest::qWait(150);
        QVERIFY(m_pty->writeAll("b\n"));
        QTRY_COMPARE(logLines(m_session.get()).size(), 2);
        const QString line = logLines(m_session.get()).at(1);
        QVERIFY2(QRegularExpression(pattern).match(line).hasMatch(), qPrintable(line));
        if (format >= 2) {
            // Seconds since open / since the previous line: at least the pause, not absurdly more.
            const double s = line.mid(line.indexOf(QLatin1Char('[')) + 1)
                                 .remove(QLatin1Char('+'))
                                 .section(QLatin1Char(']'), 0, 0)
                                 .trimmed()
                                 .toDouble();
            QVERIFY2(s >= 0.14 && s < 30.0, qPrintable(line));
        }
    }

    // "Auto" hex width leaves room for the stamp the chosen format writes, at
    // every view width, so no line runs past the view's edge.
    void autoHexWidthFitsTheStamp_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<bool>("dump");
        for (int f = 0; f < LineStamp::kFormatCount; ++f) {
            const QString name = LineStamp::formatNames().at(f);
            QTest::newRow(qPrintable(name + QStringLiteral(", hex pairs"))) << f << false;
            QTest::newRow(qPrintable(name + QStringLiteral(", dump"))) << f << true;
        }
    }
    void autoHexWidthFitsTheStamp()
    {
        QFETCH(int, format);
        QFETCH(bool, dump);
        AppConfig::ShowTime = true;
        AppConfig::HexDumpColumns = dump;
        m_session = std::make_unique<Session>();
        m_session->rxSettings()->timestampFormatBox()->setCurrentIndex(format);
        m_session->rxSettings()->hexButton()->click();
        QComboBox* perLine = m_session->rxSettings()->bytesPerLineBox();
        perLine->setCurrentIndex(perLine->findText(QStringLiteral("Auto")));
        QCOMPARE(m_session->rxSettings()->hexBytesPerLine(), 0);
        QWidget* view = m_session->logTextArea()->viewport();
        const int advance = m_session->logTextArea()->fontMetrics().horizontalAdvance(QLatin1Char('0'));
        for (int columns = 120; columns < 120 + 24; ++columns) {
            view->resize(columns * advance, 200);
            LineStamp stamp = m_session->lineStamp();
            const int prefix = int(stamp.stamp(QDateTime::currentDateTime()).size()) + 2; // and "R "
            const int bytes = m_session->hexBytesPerLineNow();
            const int line = dump ? HexDumpLayout::lineWidth(bytes) : 3 * bytes;
            QVERIFY2(prefix + line <= columns, qPrintable(QStringLiteral("%1 columns: %2 + %3 (%4 bytes)")
                                                              .arg(columns)
                                                              .arg(prefix)
                                                              .arg(line)
                                                              .arg(bytes)));
        }
    }
};

QTEST_MAIN(TestSessionKeyboard)
#include "tst_session_keyboard.moc"
