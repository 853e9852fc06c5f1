#include "CExpandCard.h"
#include "CLed.h"
#include "CProgressDialog.h"
#include "CScrollBar64.h"
#include "CTabBar.h"
#include "CTipPopup.h"
#include "SkinManager.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

class TestWidgetKit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ledSwitchesAndSignalsChangesOnly()
    {
        CLed led;
        QSignalSpy spy(&led, &CLed::toggled);
        QVERIFY(!led.isOn());
        QCOMPARE(led.currentColor(), led.offColor());
        led.setOn(true);
        led.setOn(true);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(led.currentColor(), led.onColor());
        led.setOn(false);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).toBool(), false);
    }

    void ledColoursComeFromTheSheet()
    {
        QWidget host;
        host.setStyleSheet(
            QStringLiteral("CLed { qproperty-onColor: #ff0000; qproperty-offColor: #101010; }"));
        CLed led(&host);
        led.ensurePolished();
        QCOMPARE(led.onColor(), QColor(QStringLiteral("#ff0000")));
        QCOMPARE(led.offColor(), QColor(QStringLiteral("#101010")));
        led.setOn(true);
        led.resize(16, 16);
        const QImage img = led.grab().toImage();
        const QColor centre = img.pixelColor(img.width() / 2, img.height() * 3 / 4);
        QVERIFY2(centre.red() > 200 && centre.green() < 60, qPrintable(centre.name()));
    }

    void tipStaysInsideAndHides()
    {
        QWidget host;
        host.resize(300, 200);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        CTipPopup tip(&host);
        QCOMPARE(tip.property("style").toString(), QStringLiteral("tip"));
        tip.showTip(QStringLiteral("Hex Sample: 11 22 33"), QPoint(280, 190), 50);
        QVERIFY(tip.isVisible());
        QVERIFY(host.rect().contains(tip.geometry()));
        QCOMPARE(tip.text(), QStringLiteral("Hex Sample: 11 22 33"));
        QTRY_VERIFY(!tip.isVisible());
        // Registered for re-polishing around theme switches.
        const int registered = SkinManager::instance()->registeredCount();
        {
            CTipPopup other(&host);
            QCOMPARE(SkinManager::instance()->registeredCount(), registered + 1);
        }
        QCOMPARE(SkinManager::instance()->registeredCount(), registered);
    }

    void tabBar()
    {
        CTabBar bar;
        QCOMPARE(bar.property("style").toString(), QStringLiteral("tabs"));
        QVERIFY(!bar.drawBase());
        QVERIFY(!bar.expanding());
        bar.addTab(QStringLiteral("Send"));
        bar.addTab(QStringLiteral("Receive"));
        QSignalSpy spy(&bar, &QTabBar::currentChanged);
        bar.setCurrentIndex(1);
        QCOMPARE(spy.count(), 1);
    }

    void expandCardFoldsItsContent()
    {
        CExpandCard card(QStringLiteral("Channels"));
        auto* body = new QLabel(QStringLiteral("body"));
        card.setContentWidget(body);
        card.show();
        QVERIFY(QTest::qWaitForWindowExposed(&card));
        QVERIFY(card.isExpanded());
        QVERIFY(body->isVisible());
        QVERIFY(card.headerButton()->text().endsWith(QLatin1String("Channels")));
        QSignalSpy spy(&card, &CExpandCard::expandedChanged);
        QTest::mouseClick(card.headerButton(), Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
        QVERIFY(!card.isExpanded());
        QVERIFY(!body->isVisible());
        card.setExpanded(false);
        QCOMPARE(spy.count(), 1);
        card.setExpanded(true);
        QVERIFY(body->isVisible());
        QVERIFY(card.headerButton()->isChecked());
        // A new body replaces (and deletes) the old one.
        QPointer<QLabel> old = body;
        card.setContentWidget(new QLabel(QStringLiteral("other")));
        QVERIFY(!old);
    }

    void progressDialog()
    {
        CProgressDialog dlg;
        dlg.setTitle(QStringLiteral("Downloading"));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Downloading"));
        dlg.setProgress(0, 0);
        QCOMPARE(dlg.permille(), -1);
        const qint64 big = std::numeric_limits<qint64>::max();
        dlg.setProgress(750, 1000);
        QCOMPARE(dlg.permille(), 750);
        // Huge totals do not overflow; an unfinished job never shows as done.
        dlg.setProgress(big / 2, big);
        QVERIFY(qAbs(dlg.permille() - 500) <= 1);
        dlg.setProgress(big - 1, big);
        QCOMPARE(dlg.permille(), 999);
        dlg.setProgress(big, big);
        QCOMPARE(dlg.permille(), 1000);
        dlg.setProgress(-5, 100);
        QCOMPARE(dlg.permille(), 0);
        QCOMPARE(dlg.cancelButton()->text(), QStringLiteral("Cancel"));
        QSignalSpy spy(&dlg, &CProgressDialog::canceled);
        dlg.show();
        dlg.cancelButton()->click();
        QCOMPARE(spy.count(), 1);
        QVERIFY(!dlg.isVisible());
    }

    void scrollBarCoversA64BitRange()
    {
        CScrollBar64 bar(Qt::Horizontal);
        QSignalSpy spy(&bar, &CScrollBar64::valueChanged64);
        const qint64 hour = 3600LL * 1000 * 1000 * 1000; // ns
        bar.setRange64(0, 1000 * hour, hour);
        QCOMPARE(bar.maximum(), CScrollBar64::kSteps);
        bar.setValue64(500 * hour);
        QCOMPARE(bar.value64(), 500 * hour);
        QCOMPARE(spy.count(), 1);
        bar.setValue64(500 * hour);
        QCOMPARE(spy.count(), 1);
        // Clamped to the last page.
        bar.setValue64(5000 * hour);
        QCOMPARE(bar.value64(), 999 * hour);
        QCOMPARE(bar.value(), bar.maximum());
        // Dragging the int bar reports 64-bit positions.
        bar.setValue(bar.maximum() / 4);
        QVERIFY(qAbs(bar.value64() - 999 * hour / 4) < hour / 1000);
        QCOMPARE(spy.last().at(0).toLongLong(), bar.value64());
        // Extreme ranges do not overflow.
        bar.setRange64(std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max(), 0);
        bar.setValue64(0);
        QVERIFY(qAbs(bar.value() - CScrollBar64::kSteps / 2) <= 1);
        // Small ranges map one to one.
        bar.setRange64(10, 60, 10);
        QCOMPARE(bar.maximum(), 40);
        bar.setValue(7);
        QCOMPARE(bar.value64(), 17);
        bar.setRange64(5, 2, 1);
        QCOMPARE(bar.maximum64(), 5);
        QCOMPARE(bar.value64(), 5);
    }
};

QTEST_MAIN(TestWidgetKit)
#include "tst_widgetkit.moc"
