#include "AppConfig.h"
#include "RxSettingWidget.h"
#include "TxSettingWidget.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>

class TestSettingWidgets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { AppConfig::resetToDefaults(); }

    void rxStartsFromTheConfiguration()
    {
        AppConfig::HexRxMode = true;
        AppConfig::HexBytesPerLine = 48;
        AppConfig::AutoWrap = true;
        AppConfig::ShowTime = false;
        AppConfig::ShowSend = true;
        RxSettingWidget rx;
        QVERIFY(rx.isHexMode());
        QVERIFY(rx.hexButton()->isChecked());
        QVERIFY(!rx.asciiButton()->isChecked());
        QCOMPARE(rx.hexBytesPerLine(), 48);
        QCOMPARE(rx.bytesPerLineBox()->currentText(), QStringLiteral("48"));
        QVERIFY(!rx.bytesPerLineBox()->isHidden());
        QVERIFY(rx.isAutoWrap());
        QVERIFY(!rx.isShowTimestamp());
        QVERIFY(rx.isShowSend());
        QVERIFY(rx.isShowLog());
        QVERIFY(!rx.isSaveToFile());
    }

    void rxDefaults()
    {
        RxSettingWidget rx;
        QVERIFY(!rx.isHexMode());
        QVERIFY(rx.bytesPerLineBox()->isHidden());
        QCOMPARE(rx.bytesPerLineBox()->count(), 5);
        QCOMPARE(rx.bytesPerLineBox()->itemText(4), QStringLiteral("Auto"));
        QCOMPARE(rx.bytesPerLineBox()->itemData(4).toInt(), 0);
        const QList<int> numbers = {16, 32, 48, 96};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(rx.bytesPerLineBox()->itemText(i), QString::number(numbers[i]));
            QCOMPARE(rx.bytesPerLineBox()->itemData(i).toInt(), numbers[i]);
        }
        QCOMPARE(rx.hexBytesPerLine(), AppConfig::HexBytesPerLine);
        QCOMPARE(rx.isShowTimestamp(), AppConfig::ShowTime);
        QCOMPARE(rx.autoWrapBox()->text(), QStringLiteral("Auto Wrap"));
        QCOMPARE(rx.saveToFileBox()->text(), QStringLiteral("Output Log To File"));
    }

    void rxUnknownBytesPerLineFallsBack()
    {
        AppConfig::HexBytesPerLine = 7;
        RxSettingWidget rx;
        QCOMPARE(rx.hexBytesPerLine(), 16);
        QCOMPARE(AppConfig::HexBytesPerLine, 16);
    }

    void rxModeToggleStoresAndShowsTheCombo()
    {
        RxSettingWidget rx;
        QSignalSpy spy(&rx, &RxSettingWidget::modeChanged);
        rx.hexButton()->click();
        QVERIFY(AppConfig::HexRxMode);
        QVERIFY(!rx.bytesPerLineBox()->isHidden());
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toBool(), true);
        rx.asciiButton()->click();
        QVERIFY(!AppConfig::HexRxMode);
        QVERIFY(rx.bytesPerLineBox()->isHidden());
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).toBool(), false);
    }

    void rxBytesPerLineIsStored()
    {
        RxSettingWidget rx;
        rx.bytesPerLineBox()->setCurrentIndex(3);
        QCOMPARE(AppConfig::HexBytesPerLine, 96);
        QCOMPARE(rx.hexBytesPerLine(), 96);
    }

    void rxSwitchesStoreAndSignal()
    {
        RxSettingWidget rx;
        QSignalSpy wrap(&rx, &RxSettingWidget::autoWrapChanged);
        QSignalSpy send(&rx, &RxSettingWidget::showSendChanged);
        QSignalSpy time(&rx, &RxSettingWidget::showTimestampChanged);
        QSignalSpy log(&rx, &RxSettingWidget::showLogChanged);
        QSignalSpy file(&rx, &RxSettingWidget::saveToFileChanged);

        rx.autoWrapBox()->click();
        QCOMPARE(AppConfig::AutoWrap, true);
        QCOMPARE(wrap.count(), 1);
        rx.showSendBox()->click();
        QCOMPARE(AppConfig::ShowSend, true);
        QCOMPARE(send.count(), 1);
        const bool timeBefore = AppConfig::ShowTime;
        rx.showTimestampBox()->click();
        QCOMPARE(AppConfig::ShowTime, !timeBefore);
        QCOMPARE(time.count(), 1);
        QCOMPARE(time.at(0).at(0).toBool(), !timeBefore);

        rx.showLogBox()->click();
        QCOMPARE(log.count(), 1);
        QCOMPARE(log.at(0).at(0).toBool(), false);
        QVERIFY(!rx.isShowLog());
        rx.saveToFileBox()->click();
        QCOMPARE(file.count(), 1);
        QVERIFY(rx.isSaveToFile());
        rx.uncheckSaveToFile();
        QVERIFY(!rx.isSaveToFile());
        QCOMPARE(file.count(), 2);
        QCOMPARE(file.at(1).at(0).toBool(), false);
    }

    void txDefaults()
    {
        TxSettingWidget tx;
        QVERIFY(!tx.isHexMode());
        QVERIFY(tx.asciiButton()->isChecked());
        QVERIFY(!tx.isSendNewLine());
        QVERIFY(tx.sendNewLineBox()->isEnabled());
        QCOMPARE(tx.lineEndingBox()->currentIndex(), 2);
        QCOMPARE(tx.lineEnding(), QStringLiteral("\r\n"));
        QCOMPARE(tx.lineEndingBox()->height(), 23);
        QVERIFY(!tx.isRepeatSend());
        QCOMPARE(tx.repeatInterval(), 1000);
        QCOMPARE(tx.intervalBox()->minimum(), 1);
        QCOMPARE(tx.intervalBox()->maximum(), 100000);
        QCOMPARE(tx.intervalBox()->height(), 23);
        QCOMPARE(tx.sendNewLineBox()->text(), QStringLiteral("Send New Line"));
        QCOMPARE(tx.repeatSendBox()->text(), QStringLiteral("Repeat Send"));
    }

    void txLineEndings()
    {
        TxSettingWidget tx;
        const QStringList shown = {QStringLiteral("\\n"), QStringLiteral("\\r"), QStringLiteral("\\r\\n"),
                                   QStringLiteral("\\n\\r")};
        const QStringList real = {QStringLiteral("\n"), QStringLiteral("\r"), QStringLiteral("\r\n"),
                                  QStringLiteral("\n\r")};
        QCOMPARE(tx.lineEndingBox()->count(), 4);
        for (int i = 0; i < 4; ++i) {
            tx.lineEndingBox()->setCurrentIndex(i);
            QCOMPARE(tx.lineEndingBox()->currentText(), shown[i]);
            QCOMPARE(tx.lineEnding(), real[i]);
        }
    }

    void txHexFromTheConfigurationDisablesNewLine()
    {
        AppConfig::HexTxMode = true;
        TxSettingWidget tx;
        QVERIFY(tx.isHexMode());
        QVERIFY(!tx.sendNewLineBox()->isEnabled());
        QVERIFY(!tx.isSendNewLine());
    }

    void txHexUnchecksAndDisablesNewLine()
    {
        TxSettingWidget tx;
        QSignalSpy mode(&tx, &TxSettingWidget::modeChanged);
        QSignalSpy newLine(&tx, &TxSettingWidget::sendNewLineChanged);
        tx.sendNewLineBox()->click();
        QVERIFY(tx.isSendNewLine());
        QCOMPARE(newLine.count(), 1);

        tx.hexButton()->click();
        QVERIFY(AppConfig::HexTxMode);
        QVERIFY(!tx.isSendNewLine());
        QVERIFY(!tx.sendNewLineBox()->isEnabled());
        QCOMPARE(newLine.count(), 2);
        QCOMPARE(newLine.at(1).at(0).toBool(), false);
        QCOMPARE(mode.count(), 1);
        QCOMPARE(mode.at(0).at(0).toBool(), true);

        tx.asciiButton()->click();
        QVERIFY(!AppConfig::HexTxMode);
        QVERIFY(tx.sendNewLineBox()->isEnabled());
        QVERIFY(!tx.isSendNewLine());
        QCOMPARE(mode.count(), 2);
    }

    void txRepeatAndInterval()
    {
        TxSettingWidget tx;
        QSignalSpy repeat(&tx, &TxSettingWidget::repeatSendChanged);
        QSignalSpy interval(&tx, &TxSettingWidget::repeatIntervalChanged);
        tx.repeatSendBox()->click();
        QVERIFY(tx.isRepeatSend());
        QCOMPARE(repeat.count(), 1);
        tx.uncheckRepeatSend();
        QVERIFY(!tx.isRepeatSend());
        QCOMPARE(repeat.count(), 2);
        QCOMPARE(repeat.at(1).at(0).toBool(), false);

        tx.intervalBox()->setValue(250);
        QCOMPARE(tx.repeatInterval(), 250);
        QCOMPARE(interval.count(), 1);
        QCOMPARE(interval.at(0).at(0).toInt(), 250);
        tx.intervalBox()->setValue(0);
        QCOMPARE(tx.repeatInterval(), 1);
        tx.intervalBox()->setValue(200000);
        QCOMPARE(tx.repeatInterval(), 100000);
        tx.intervalBox()->setValue(100000);
        QCOMPARE(interval.count(), 3); // no signal without a change
    }

    void repeatSendIsNotStored()
    {
        AppConfig::RepeatSend = true;
        TxSettingWidget tx;
        QVERIFY(!tx.isRepeatSend());
    }

    void textsComeBackOnLanguageChange()
    {
        RxSettingWidget rx;
        TxSettingWidget tx;
        rx.showLogBox()->setText(QStringLiteral("stale"));
        tx.repeatSendBox()->setText(QStringLiteral("stale"));
        QEvent ev(QEvent::LanguageChange);
        QApplication::sendEvent(&rx, &ev);
        QApplication::sendEvent(&tx, &ev);
        QCOMPARE(rx.showLogBox()->text(), QStringLiteral("Show Log"));
        QCOMPARE(tx.repeatSendBox()->text(), QStringLiteral("Repeat Send"));
    }
};

QTEST_MAIN(TestSettingWidgets)
#include "tst_settingwidgets.moc"
