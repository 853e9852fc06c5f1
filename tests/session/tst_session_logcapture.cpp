#include "AppConfig.h"
#include "CPlainTextEdit.h"
#include "HistoryDataManager.h"
#include "LogWidget.h"
#include "RxSettingWidget.h"
#include "SessionTestUtil.h"
#include "SettingWidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(data);
}

} // namespace

class TestSessionLogCapture : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Session> m_session;

    // Text as the display worker would hand it back.
    void show(const QString& text)
    {
        QVERIFY(QMetaObject::invokeMethod(m_session.get(), "showRxData", Q_ARG(QString, text)));
    }
    QString capturePath() const { return m_dir->filePath(QStringLiteral("capture.log")); }

private Q_SLOTS:
    void init()
    {
        AppConfig::resetToDefaults();
        AppConfig::ShowTime = false;
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        AppConfig::LogSavePath = m_dir->path();
        AppConfig::LogFileName = QStringLiteral("capture.log");
        QFile::remove(HistoryDataManager::defaultPath());
        m_session = std::make_unique<Session>();
    }

    void cleanup()
    {
        m_session.reset();
        m_dir.reset();
    }

    void captureIsOffAtStart()
    {
        QVERIFY(!m_session->rxSettings()->saveToFileBox()->isChecked());
        QVERIFY(!m_session->logFile()->isOpen());
        show(QStringLiteral("nothing captured\n"));
        QVERIFY(!QFile::exists(capturePath()));
    }

    void captureAppendsAcrossRuns()
    {
        writeFile(capturePath(), "earlier run\n");
        m_session->rxSettings()->saveToFileBox()->setChecked(true);
        QVERIFY(m_session->logFile()->isOpen());
        show(QStringLiteral("first\n"));
        // Flushed at once, not when the file closes.
        QCOMPARE(readAll(capturePath()), QByteArray("earlier run\nfirst\n"));

        // "Restart": a new session appends again.
        m_session = std::make_unique<Session>();
        m_session->rxSettings()->saveToFileBox()->setChecked(true);
        show(QStringLiteral("second \u00b0C\n"));
        QCOMPARE(readAll(capturePath()), QByteArray("earlier run\nfirst\nsecond \xc2\xb0"
                                                    "C\n"));

        m_session->rxSettings()->saveToFileBox()->setChecked(false);
        QVERIFY(!m_session->logFile()->isOpen());
        show(QStringLiteral("not captured\n"));
        QVERIFY(!readAll(capturePath()).contains("not captured"));
    }

    void captureKeepsStampsAndIgnoresShowLog()
    {
        AppConfig::ShowTime = true;
        m_session = std::make_unique<Session>();
        m_session->rxSettings()->saveToFileBox()->setChecked(true);
        m_session->rxSettings()->showLogBox()->setChecked(false);
        show(QStringLiteral("hidden\n"));
        QVERIFY(logText(m_session.get()).isEmpty());
        const QString captured = QString::fromUtf8(readAll(capturePath()));
        QVERIFY2(captured.contains(stampPattern(QLatin1Char('R'))), qPrintable(captured));
        QVERIFY(captured.endsWith(QStringLiteral("R hidden\n")));
    }

    void capturedFromTheRealPort()
    {
        PtyPair pty;
        QVERIFY(pty.open());
        QVERIFY(openOnPty(m_session.get(), pty));
        m_session->rxSettings()->saveToFileBox()->setChecked(true);
        QVERIFY(pty.writeAll("from the device\n"));
        QTRY_VERIFY_WITH_TIMEOUT(readAll(capturePath()).contains("from the device\n"), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(logText(m_session.get()).contains(QStringLiteral("from the device")), 5000);
    }

    void unopenableFileUnchecksTheBox()
    {
        AppConfig::LogSavePath = m_dir->filePath(QStringLiteral("no/such/folder"));
        QSignalSpy messages(m_session.get(), &Session::messageRequested);
        m_session->rxSettings()->saveToFileBox()->setChecked(true);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.first().first().toString(), QStringLiteral("Open log file failed!\n"));
        QVERIFY(!m_session->rxSettings()->saveToFileBox()->isChecked());
        QVERIFY(!m_session->logFile()->isOpen());
    }

    void writeFailureSwitchesCaptureOffOnce()
    {
        // Every write to /dev/full fails with "No space left on device", as
        // on a full disk.
        QVERIFY(QFile::link(QStringLiteral("/dev/full"), capturePath()));
        QSignalSpy messages(m_session.get(), &Session::messageRequested);
        m_session->rxSettings()->saveToFileBox()->setChecked(true);
        QVERIFY(m_session->logFile()->isOpen());
        show(QStringLiteral("first\n"));
        show(QStringLiteral("second\n"));
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.first().first().toString(),
                 QStringLiteral("Log file write failed: No space left on device"));
        QVERIFY(!m_session->rxSettings()->saveToFileBox()->isChecked());
        QVERIFY(!m_session->logFile()->isOpen());
        QCOMPARE(logText(m_session.get()), QStringLiteral("first\nsecond\n"));
    }

    void controlSequencesLeaveTheViewOnly()
    {
        // Cut between pieces as the receive tick may cut them.
        const QStringList pieces{QStringLiteral("\x1b[2J\x1b[H\x1b[?25lready \x1b[1;3"),
                                 QStringLiteral("1mred\x1b[0m \x1b]0;my ti"),
                                 QStringLiteral("tle\adone\x1b]2;t\x1b\\\n")};
        m_session->rxSettings()->saveToFileBox()->setChecked(true);
        for (const QString& piece : pieces)
            show(piece);
        QCOMPARE(logText(m_session.get()), QStringLiteral("ready red done\n"));
        // The capture keeps what the device sent.
        QCOMPARE(QString::fromUtf8(readAll(capturePath())), pieces.join(QString()));
    }

    void popupPathChangeOpensTheNewFileEvenWhenOff()
    {
        const QString newDir = m_dir->filePath(QStringLiteral("elsewhere"));
        QVERIFY(QDir().mkpath(newDir));
        SettingWidget* popup = m_session->rxSettings()->openSettings();
        QVERIFY(popup);
        QPointer<SettingWidget> guard(popup);
        QCOMPARE(popup->pathEdit()->text(), m_dir->path());
        QCOMPARE(popup->nameEdit()->text(), QStringLiteral("capture.log"));
        popup->pathEdit()->setText(newDir);
        popup->nameEdit()->setText(QStringLiteral("new.dat"));
        popup->okButton()->click();
        QCOMPARE(AppConfig::LogSavePath, newDir);
        QCOMPARE(AppConfig::LogFileName, QStringLiteral("new.dat"));
        QVERIFY(QFile::exists(newDir + QStringLiteral("/new.dat")));
        QCOMPARE(readAll(newDir + QStringLiteral("/new.dat")), QByteArray());
        QTRY_VERIFY(guard.isNull()); // deleted on close
    }

    void popupWithoutChangesOrClosedStoresNothing()
    {
        QSignalSpy changed(m_session->rxSettings(), &RxSettingWidget::logFilePathChanged);
        SettingWidget* popup = m_session->rxSettings()->openSettings();
        popup->okButton()->click();
        QCOMPARE(changed.count(), 0);

        popup = m_session->rxSettings()->openSettings();
        popup->nameEdit()->setText(QStringLiteral("ignored.dat"));
        popup->closeButton()->click();
        QCOMPARE(changed.count(), 0);
        QCOMPARE(AppConfig::LogFileName, QStringLiteral("capture.log"));

        // An emptied field keeps the stored value.
        popup = m_session->rxSettings()->openSettings();
        popup->pathEdit()->clear();
        popup->nameEdit()->setText(QStringLiteral("other.dat"));
        popup->okButton()->click();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(AppConfig::LogSavePath, m_dir->path());
        QCOMPARE(AppConfig::LogFileName, QStringLiteral("other.dat"));
    }

    void logSaveNameRule()
    {
        QCOMPARE(Session::logSaveFileName(QStringLiteral("/tmp/a.txt")), QStringLiteral("/tmp/a.txt.dat"));
        QCOMPARE(Session::logSaveFileName(QStringLiteral("/tmp/mydata")), QStringLiteral("/tmp/mydata"));
        QCOMPARE(Session::logSaveFileName(QStringLiteral("/tmp/log.dat")), QStringLiteral("/tmp/log.dat"));
        QCOMPARE(Session::logSaveFileName(QStringLiteral("/tmp/log")), QStringLiteral("/tmp/log.dat"));
        QCOMPARE(Session::logSaveFileName(QStringLiteral("/tmp/log.DAT")),
                 QStringLiteral("/tmp/log.DAT.dat"));
    }

    void logSaveWritesTheWholeLog()
    {
        show(QStringLiteral("line one\nline two\n"));
        const QString target = m_dir->filePath(QStringLiteral("saved.txt"));
        writeFile(target + QStringLiteral(".dat"), "old content that must go away entirely\n");
        QVERIFY(m_session->saveLogTo(target));
        QCOMPARE(readAll(target + QStringLiteral(".dat")), QByteArray("line one\nline two\n"));
    }

    void logSaveButtonAsksForAFileAndCancelWritesNothing()
    {
        show(QStringLiteral("saved by button\n"));
        QSignalSpy messages(m_session.get(), &Session::messageRequested);
        QString title;
        QString folder;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            for (QWidget* w : QApplication::allWidgets()) {
                auto* dlg = qobject_cast<QFileDialog*>(w);
                if (!dlg || !dlg->isVisible())
                    continue;
                title = dlg->windowTitle();
                folder = dlg->directory().absolutePath();
                static_cast<QDialog*>(dlg)->done(QDialog::Rejected);
                return;
            }
        });
        poll.start(20);
        m_session->logWidget()->saveButton()->click();
        QCOMPARE(title, QStringLiteral("Log Save"));
        QCOMPARE(folder, QDir(m_dir->path()).absolutePath());
        QCOMPARE(messages.count(), 0);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList());
    }

    void logSaveFailures()
    {
        QSignalSpy messages(m_session.get(), &Session::messageRequested);
        // Empty log: no dialog at all.
        m_session->logWidget()->saveButton()->click();
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.takeFirst().first().toString(), QStringLiteral("Log is empty."));

        show(QStringLiteral("x\n"));
        QVERIFY(!m_session->saveLogTo(m_dir->filePath(QStringLiteral("missing/dir/file"))));
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.takeFirst().first().toString(), QStringLiteral("Log save failed!"));

        AppConfig::LogSavePath.clear();
        QVERIFY(!m_session->saveLogTo(m_dir->filePath(QStringLiteral("fine"))));
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.takeFirst().first().toString(), QStringLiteral("Log save failed!"));
        QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("fine.dat"))));
    }

    void historySurvivesARestart()
    {
        for (const QString& s :
             {QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("AT  +CSQ"), QStringLiteral("x")})
            QVERIFY(QMetaObject::invokeMethod(m_session.get(), "recordTxToHistoryBox", Q_ARG(QString, s)));
        QComboBox* box = m_session->historyBox();
        QCOMPARE(box->count(), 3);
        m_session->shutdown();
        QStringList saved;
        QVERIFY(HistoryDataManager::load(HistoryDataManager::defaultPath(), saved));
        QCOMPARE(saved, (QStringList{QStringLiteral("x"), QStringLiteral("AT +CSQ"), QStringLiteral("y")}));

        m_session = std::make_unique<Session>();
        box = m_session->historyBox();
        QStringList shown;
        for (int i = 0; i < box->count(); ++i)
            shown << box->itemText(i);
        QCOMPARE(shown, saved);
    }

    void badHistoryFileGivesAnEmptyBox()
    {
        m_session.reset();
        writeFile(HistoryDataManager::defaultPath(), "{\"history\":\"AT\"}");
        m_session = std::make_unique<Session>();
        QCOMPARE(m_session->historyBox()->count(), 0);
    }
};

QTEST_MAIN(TestSessionLogCapture)
#include "tst_session_logcapture.moc"
