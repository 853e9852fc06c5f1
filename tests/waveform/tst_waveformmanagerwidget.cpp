#include "CExpandCard.h"
#include "CSwitch.h"
#include "SkinManager.h"
#include "TimingItem.h"
#include "TimingWidget.h"
#include "WaveformManagerWidget.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTranslator>

// Marks every text of the panel so a retranslation is visible.
class PrefixTranslator : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char* = nullptr,
                      int = -1) const override
    {
        if (qstrcmp(context, "WaveformManagerWidget") != 0)
            return QString();
        return QStringLiteral("T:") + QString::fromUtf8(sourceText);
    }
};

// The waveform settings panel: channel buttons, switch, sample rate, and the
// signals the session wires to the plot.
class TestWaveformManagerWidget : public QObject
{
    Q_OBJECT

private:
    static QList<int> checkedIndexes(const WaveformManagerWidget& w)
    {
        QList<int> out;
        for (int i = 0; i < WaveformManagerWidget::kChannelCount; ++i) {
            if (w.channelButton(i)->isChecked())
                out.append(i);
        }
        return out;
    }

private Q_SLOTS:
    void initialLayout()
    {
        WaveformManagerWidget w;
        QVERIFY(!w.isWaveformEnabled());
        QCOMPARE(w.sampleRate(), 100000);
        QCOMPARE(w.sampleRateBox()->minimum(), 0);
        QCOMPARE(w.sampleRateBox()->maximum(), 2147483647);
        QCOMPARE(w.sampleRateBox()->height(), 25);
        QCOMPARE(w.enableSwitch()->size(), QSize(40, 20));
        QCOMPARE(w.allButton()->size(), QSize(40, 25));
        QCOMPARE(w.clearButton()->size(), QSize(45, 25));
        QCOMPARE(w.allButton()->text(), QStringLiteral("All"));
        QCOMPARE(w.clearButton()->text(), QStringLiteral("Clear"));
        QVERIFY(w.channelButton(-1) == nullptr);
        QVERIFY(w.channelButton(16) == nullptr);
        for (int i = 0; i < 16; ++i) {
            QPushButton* b = w.channelButton(i);
            QVERIFY(b);
            QCOMPARE(b->text(), QString::number(i));
            QVERIFY(b->isCheckable());
            QVERIFY(!b->isChecked());
            QCOMPARE(b->property("style").toString(), QStringLiteral("chn%1").arg(i % 8));
        }
        QVERIFY(w.timingWidget());
        QVERIFY(qobject_cast<QScrollArea*>(w.timingWidget()->parentWidget()->parentWidget()));

        // Eight buttons per row: button 8 starts the second row under button 0.
        w.resize(420, 500);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.channelButton(8)->x(), w.channelButton(0)->x());
        QVERIFY(w.channelButton(8)->y() > w.channelButton(0)->y());
        QCOMPARE(w.channelButton(7)->y(), w.channelButton(0)->y());
        QCOMPARE(w.channelButton(15)->y(), w.channelButton(8)->y());
        QCOMPARE(w.channelButton(1)->x() - w.channelButton(0)->geometry().right() - 1, 8);
        QCOMPARE(w.channelButton(0)->height(), 25);

        const QStringList labels = [&] {
            QStringList l;
            for (QLabel* lbl : w.findChildren<QLabel*>())
                l << lbl->text();
            return l;
        }();
        for (const char* text : {"Waveform Parameter Settings", "Enable Waveform", "Channel",
                                 "Sample Rate (sample/sec):", "Timing Markers"})
            QVERIFY2(labels.contains(QString::fromLatin1(text)), text);
    }

    void channelButtonEmitsItsIndex()
    {
        WaveformManagerWidget w;
        QSignalSpy spy(&w, &WaveformManagerWidget::itemChanged);
        w.channelButton(11)->click();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 11);
        QCOMPARE(spy.at(0).at(1).toBool(), true);
        w.channelButton(11)->click();
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).toInt(), 11);
        QCOMPARE(spy.at(1).at(1).toBool(), false);
    }

    void switchOnChecksFirstEight()
    {
        WaveformManagerWidget w;
        QSignalSpy items(&w, &WaveformManagerWidget::itemChanged);
        QSignalSpy sw(&w, &WaveformManagerWidget::switchChecked);
        w.enableSwitch()->click();
        QVERIFY(w.isWaveformEnabled());
        QCOMPARE(checkedIndexes(w), (QList<int>{0, 1, 2, 3, 4, 5, 6, 7}));
        QCOMPARE(items.count(), 8);
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(items.at(i).at(0).toInt(), i);
            QCOMPARE(items.at(i).at(1).toBool(), true);
        }
        QCOMPARE(sw.count(), 1);
        QCOMPARE(sw.at(0).at(0).toBool(), true);
    }

    void switchOffStillChecksFirstEight()
    {
        WaveformManagerWidget w;
        w.enableSwitch()->setChecked(true);
        w.clearButton()->click();
        QVERIFY(checkedIndexes(w).isEmpty());

        QSignalSpy items(&w, &WaveformManagerWidget::itemChanged);
        QSignalSpy sw(&w, &WaveformManagerWidget::switchChecked);
        w.enableSwitch()->click();
        QVERIFY(!w.isWaveformEnabled());
        QCOMPARE(checkedIndexes(w), (QList<int>{0, 1, 2, 3, 4, 5, 6, 7}));
        QCOMPARE(items.count(), 8);
        QCOMPARE(sw.count(), 1);
        QCOMPARE(sw.at(0).at(0).toBool(), false);
        // itemChanged comes before switchChecked: the channels are in place
        // when the session shows the plot.
    }

    void switchLeavesAlreadyCheckedSilent()
    {
        WaveformManagerWidget w;
        w.channelButton(3)->setChecked(true);
        w.channelButton(12)->setChecked(true);
        QSignalSpy items(&w, &WaveformManagerWidget::itemChanged);
        w.enableSwitch()->click();
        // Only real changes are reported: 3 was checked already, 12 is untouched.
        QCOMPARE(items.count(), 7);
        for (const QList<QVariant>& args : items)
            QVERIFY(args.at(0).toInt() != 3 && args.at(0).toInt() < 8);
        QVERIFY(w.channelButton(12)->isChecked());
    }

    void setItemCheckedDoesNotEcho()
    {
        WaveformManagerWidget w;
        QSignalSpy items(&w, &WaveformManagerWidget::itemChanged);
        w.setItemChecked(5, true);
        QVERIFY(w.channelButton(5)->isChecked());
        w.setItemChecked(5, false);
        QVERIFY(!w.channelButton(5)->isChecked());
        w.setItemChecked(15, true);
        QVERIFY(w.channelButton(15)->isChecked());
        w.setItemChecked(-1, true);
        w.setItemChecked(16, true);
        QCOMPARE(items.count(), 0);
        QCOMPARE(checkedIndexes(w), QList<int>{15});
        // The button still reports user toggles after a blocked update.
        w.channelButton(15)->click();
        QCOMPARE(items.count(), 1);
        QCOMPARE(items.at(0).at(0).toInt(), 15);
        QCOMPARE(items.at(0).at(1).toBool(), false);
    }

    void allChecksSixteen()
    {
        WaveformManagerWidget w;
        w.channelButton(2)->setChecked(true);
        QSignalSpy items(&w, &WaveformManagerWidget::itemChanged);
        w.allButton()->click();
        QCOMPARE(checkedIndexes(w).size(), 16);
        QCOMPARE(items.count(), 15);
        for (const QList<QVariant>& args : items)
            QVERIFY(args.at(1).toBool());
    }

    void clearUnchecksSixteen()
    {
        WaveformManagerWidget w;
        w.allButton()->click();
        QSignalSpy items(&w, &WaveformManagerWidget::itemChanged);
        w.clearButton()->click();
        QVERIFY(checkedIndexes(w).isEmpty());
        QCOMPARE(items.count(), 16);
        QSet<int> seen;
        for (const QList<QVariant>& args : items) {
            QVERIFY(!args.at(1).toBool());
            seen.insert(args.at(0).toInt());
        }
        QCOMPARE(seen.size(), 16);
    }

    void sampleRateChanged()
    {
        WaveformManagerWidget w;
        QSignalSpy spy(&w, &WaveformManagerWidget::sampleRateChanged);
        w.sampleRateBox()->setValue(2000);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 2000);
        QCOMPARE(w.sampleRate(), 2000);
        w.sampleRateBox()->setValue(2000);
        QCOMPARE(spy.count(), 1);
        // 0 can be entered; the drain decides what it means.
        w.sampleRateBox()->setValue(0);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(w.sampleRate(), 0);
        w.sampleRateBox()->setValue(-5);
        QCOMPARE(w.sampleRate(), 0);
        QCOMPARE(spy.count(), 2);
        w.sampleRateBox()->setValue(2147483647);
        QCOMPARE(w.sampleRate(), 2147483647);
    }

    void checkedButtonsTakeTheChannelColour()
    {
        WaveformManagerWidget w;
        w.resize(420, 500);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // Trace colours of channels 2 and 6 on a dark theme; channel 0's
        // light grey turns dark grey on the light one.
        struct Case
        {
            int skin;
            int index;
            QColor colour;
        };
        for (const Case& c : {Case{5, 2, QColor(255, 109, 127)}, Case{1, 14, QColor(83, 169, 253)},
                              Case{0, 8, QColor(0x55, 0x55, 0x55)}}) {
            SkinManager::instance()->setSkin(c.skin);
            QPushButton* b = w.channelButton(c.index);
            b->setChecked(true);
            QImage img = b->grab().toImage();
            QCOMPARE(img.pixelColor(img.width() / 2, 4).rgb(), c.colour.rgb());
            b->setChecked(false);
            img = b->grab().toImage();
            QVERIFY(img.pixelColor(img.width() / 2, 4).rgb() != c.colour.rgb());
        }
        qApp->setStyleSheet(QString());
    }

    void retranslatesOnLanguageChange()
    {
        WaveformManagerWidget w;
        PrefixTranslator translator;
        QVERIFY(QCoreApplication::installTranslator(&translator));
        // The application posts the language change to the top-level widgets.
        QTRY_COMPARE(w.clearButton()->text(), QStringLiteral("T:Clear"));
        QCOMPARE(w.allButton()->text(), QStringLiteral("T:All"));
        QStringList labels;
        for (QLabel* lbl : w.findChildren<QLabel*>())
            labels << lbl->text();
        QVERIFY(labels.contains(QStringLiteral("T:Waveform Parameter Settings")));
        QVERIFY(labels.contains(QStringLiteral("T:Sample Rate (sample/sec):")));
        QCoreApplication::removeTranslator(&translator);
        QTRY_COMPARE(w.clearButton()->text(), QStringLiteral("Clear"));
    }

    // One row per pair index, refilled on change, removed with its pair;
    // unknown indexes are ignored.
    void timingMarkerRows()
    {
        WaveformManagerWidget panel;
        TimingWidget* timing = panel.timingWidget();
        timing->onCursorPairChanged(0, 0, 1000000);
        timing->onCursorPairChanged(4, 2000, 1500);
        timing->onCursorPairChanged(0, 0, 2000000);
        QCOMPARE(timing->rowCount(), 2);
        QCOMPARE(timing->items().at(0), timing->itemFor(0));
        QCOMPARE(timing->itemFor(0)->title(), QStringLiteral("P0 -> ∆ = 2 ms (500 Hz)"));
        QCOMPARE(timing->itemFor(0)->time2Text(), QStringLiteral("T2 = 2 ms"));
        QCOMPARE(timing->itemFor(4)->title(), QStringLiteral("P4 -> ∆ = 500 ns (2 MHz)"));
        QCOMPARE(timing->itemFor(4)->card()->property("style").toString(), QStringLiteral("chn4"));
        timing->onCursorPairRemoved(7);
        QCOMPARE(timing->rowCount(), 2);
        timing->onCursorPairRemoved(0);
        QCOMPARE(timing->rowCount(), 1);
        QVERIFY(!timing->itemFor(0));
        QCOMPARE(timing->items().at(0)->index(), 4);
    }
};

QTEST_MAIN(TestWaveformManagerWidget)
#include "tst_waveformmanagerwidget.moc"
