#include "AppConfig.h"
#include "CIndicatorButton.h"
#include "CLuaScriptWidget.h"
#include "CMenu.h"
#include "CSideBar.h"
#include "FileTransimisionWidget.h"
#include "FrameAssemblerWidget.h"
#include "IconHelper.h"
#include "InputBox.h"
#include "LogWidget.h"
#include "MultiLineGroupManager.h"
#include "RxSettingWidget.h"
#include "SerialParamWidget.h"
#include "SessionTestUtil.h"
#include "TxSettingWidget.h"
#include "WaveFormInfoItem.h"
#include "WaveformDataGeneratorWidget.h"
#include "WaveformListWidget.h"
#include "WaveformManagerWidget.h"

#include <QAction>
#include <QComboBox>
#include <QFontDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSplitter>
#include <QStackedWidget>
#include <QTimer>
#include <QtTest>

#include <memory>

class TestSessionLayout : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Session> m_session;

private Q_SLOTS:
    void init()
    {
        AppConfig::resetToDefaults();
        m_session = std::make_unique<Session>();
        m_session->resize(1200, 740);
    }

    void cleanup() { m_session.reset(); }

    void settingsColumn()
    {
        QScrollArea* area = m_session->settingsArea();
        QCOMPARE(area->width(), 230);
        QCOMPARE(area->minimumWidth(), 230);
        QCOMPARE(area->maximumWidth(), 230);
        QCOMPARE(area->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QVERIFY(area->widget()->isAncestorOf(m_session->paramWidget()));
        QVERIFY(area->widget()->isAncestorOf(m_session->rxSettings()));
        QVERIFY(area->widget()->isAncestorOf(m_session->txSettings()));
    }

    void settingsToggleHidesTheColumn()
    {
        m_session->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_session.get()));
        CIndicatorButton* btn = m_session->settingsToggleButton();
        QVERIFY(btn->isCheckable());
        QVERIFY(btn->isChecked());
        QCOMPARE(btn->height(), 70);
        QCOMPARE(btn->property("style").toString(), QStringLiteral("side_bar_btn"));
        // A glyph the loaded icon font really has, shown in that font.
        QCOMPARE(btn->text(), IconHelper::glyph(IconHelper::PhSliders));
        QVERIFY(QFontMetrics(btn->font()).inFontUcs4(IconHelper::PhSliders));
        QVERIFY(m_session->settingsArea()->isVisible());
        btn->click();
        QVERIFY(!btn->isChecked());
        QVERIFY(!m_session->settingsArea()->isVisible());
        btn->click();
        QVERIFY(m_session->settingsArea()->isVisible());
    }

    void sideBarSelectsToolPages()
    {
        m_session->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_session.get()));
        CSideBar* bar = m_session->sideBar();
        QStackedWidget* stack = m_session->toolStack();
        const QStringList names = {
            QStringLiteral("Multi Line Send"), QStringLiteral("File Transmision"),
            QStringLiteral("Chart"),           QStringLiteral("Lua Script"),
            QStringLiteral("Frame Assembler"), QStringLiteral("Waveform Data Generator")};
        QCOMPARE(bar->count(), 6);
        QCOMPARE(stack->count(), 6);
        QVERIFY(!stack->isVisible());
        for (int id = 0; id < 6; ++id) {
            QCOMPARE(bar->button(id)->toolTip(), names[id]);
            bar->button(id)->click();
            QVERIFY(stack->isVisible());
            QCOMPARE(stack->currentIndex(), id);
            if (id == 0) {
                QCOMPARE(stack->currentWidget(), static_cast<QWidget*>(m_session->multiLineManager()));
                continue;
            }
            if (id == 1) {
                QCOMPARE(stack->currentWidget(), static_cast<QWidget*>(m_session->fileTransferPanel()));
                continue;
            }
            if (id == 2) {
                QCOMPARE(stack->currentWidget(), static_cast<QWidget*>(m_session->waveformManager()));
                continue;
            }
            if (id == 3) {
                QCOMPARE(stack->currentWidget(), static_cast<QWidget*>(m_session->luaScriptWidget()));
                continue;
            }
            if (id == 4) {
                // The frame assembler is a real panel, not a placeholder.
                QCOMPARE(stack->currentWidget(), m_session->frameAssembler());
                // The sample protocols beside the program were loaded at construction.
                QVERIFY(m_session->frameAssembler()->pageCount() >= 3);
                continue;
            }
            if (id == 5) {
                QCOMPARE(stack->currentWidget(), static_cast<QWidget*>(m_session->dataGenerator()));
                continue;
            }
            auto* page = qobject_cast<QLabel*>(stack->currentWidget());
            QVERIFY(page);
            QCOMPARE(page->text(), names[id]);
        }
        bar->button(5)->click(); // unchecks the checked item
        QVERIFY(!stack->isVisible());
    }

    void runningGeneratorLightsItsItemUntilShutdown()
    {
        PtyPair pty;
        QVERIFY(openOnPty(m_session.get(), pty));
        WaveformDataGeneratorWidget* gen = m_session->dataGenerator();
        gen->list()->items().at(WaveformGenerator::Sin)->setChecked(true);
        gen->startButton()->click();
        QVERIFY(gen->isRunning());
        QVERIFY(m_session->sideBar()->isIndicatorEnabled(5));
        m_session->shutdown();
        QVERIFY(!gen->isRunning());
        QVERIFY(!m_session->sideBar()->isIndicatorEnabled(5));
    }

    void splittersAndWaveformArea()
    {
        QWidget* wave = m_session->waveformArea();
        QVERIFY(wave->isHidden());
        auto* label = wave->findChild<QLabel*>();
        QVERIFY(label);
        QCOMPARE(label->text(), QStringLiteral("Waveform"));

        auto* vertical = qobject_cast<QSplitter*>(wave->parentWidget());
        QVERIFY(vertical);
        QCOMPARE(vertical->orientation(), Qt::Vertical);
        QCOMPARE(vertical->handleWidth(), 3);
        QCOMPARE(vertical->count(), 2);
        QVERIFY(!vertical->isCollapsible(0));
        QVERIFY(vertical->isCollapsible(1));
        QVERIFY(vertical->widget(1)->isAncestorOf(m_session->logWidget()));
        QVERIFY(vertical->widget(1)->isAncestorOf(m_session->inputBox()));
        QVERIFY(vertical->widget(1)->isAncestorOf(m_session->historyBox()));

        auto* horizontal = qobject_cast<QSplitter*>(vertical->parentWidget());
        QVERIFY(horizontal);
        QCOMPARE(horizontal->orientation(), Qt::Horizontal);
        QCOMPARE(horizontal->widget(0), vertical);
        QCOMPARE(horizontal->widget(1), m_session->toolStack());
        QVERIFY(horizontal->isCollapsible(0));
        QVERIFY(!horizontal->isCollapsible(1));
    }

    void sendInputParts()
    {
        QCOMPARE(m_session->inputBox()->height(), 80);
        QCOMPARE(m_session->historyBox()->height(), 23);
        QCOMPARE(m_session->historyBox()->property("style").toString(), QStringLiteral("Historycommon"));
        QCOMPARE(m_session->inputBox()->sendButton()->text(), QStringLiteral("发送"));
    }

    void statusWhileClosed()
    {
        QSignalSpy status(m_session.get(), &Session::connectStatusChanged);
        m_session->publishStatus();
        QCOMPARE(status.count(), 1);
        QCOMPARE(status.at(0).at(0).toString(), QStringLiteral("Disconnect"));
    }

    void reconnectStatusIsPassedOn()
    {
        QSignalSpy status(m_session.get(), &Session::connectStatusChanged);
        Q_EMIT m_session->paramWidget()->reconnectStatusChanged(QStringLiteral("Reconnecting 3"));
        QCOMPARE(status.last().at(0).toString(), QStringLiteral("Reconnecting 3"));
        QSignalSpy messages(m_session.get(), &Session::messageRequested);
        Q_EMIT m_session->paramWidget()->serialErrorOccurred(QStringLiteral("broken"));
        QCOMPARE(messages.last().at(0).toString(), QStringLiteral("broken"));
    }

    void logContextMenu()
    {
        QVERIFY(
            QMetaObject::invokeMethod(m_session.get(), "showTxtBrwContextMenu", Q_ARG(QPoint, QPoint(1, 1))));
        CMenu* menu = m_session->findChild<CMenu*>();
        QVERIFY(menu);
        QCOMPARE(menu->property("class").toString(), QStringLiteral("ContextMenu"));
        QVERIFY(menu->testAttribute(Qt::WA_DeleteOnClose));
        QStringList texts;
        for (QAction* a : menu->actions())
            texts << a->text();
        // Source texts; the catalogues turn them into "Clear Log" and "Font".
        QCOMPARE(texts, QStringList({QStringLiteral("清除Log"), QStringLiteral("字体")}));
        menu->close();
    }

    void fontDialogSetsTheLogFont()
    {
        AppConfig::LogWinFont = QStringLiteral("DejaVu Sans Mono,11");
        QString seenFamily;
        int seenSize = 0;
        QSize seenDialogSize;
        QFont chosen(QStringLiteral("DejaVu Serif"), 15);
        QTimer::singleShot(50, this, [&] {
            auto* dlg = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
            if (!dlg)
                return;
            seenFamily = dlg->currentFont().family();
            seenSize = dlg->currentFont().pointSize();
            seenDialogSize = dlg->size();
            dlg->setCurrentFont(chosen);
            dlg->accept();
        });
        QVERIFY(QMetaObject::invokeMethod(m_session.get(), "openFontDlg"));
        QTRY_VERIFY(seenSize != 0);
        QCOMPARE(seenSize, 11);
        QVERIFY(seenFamily.startsWith(QStringLiteral("DejaVu")));
        QCOMPARE(seenDialogSize, QSize(500, 360));
        QTRY_COMPARE(m_session->logTextArea()->font().pointSize(), 15);
        QCOMPARE(m_session->inputBox()->editor()->font().pointSize(), 15);
        QFont stored;
        QVERIFY(stored.fromString(AppConfig::LogWinFont));
        QCOMPARE(stored.pointSize(), 15);
        QCOMPARE(AppConfig::LogWinFont, m_session->logTextArea()->font().toString());
    }

    void fontDialogCancelledChangesNothing()
    {
        const QString before = AppConfig::LogWinFont;
        const QFont fontBefore = m_session->logTextArea()->font();
        bool seen = false;
        QTimer::singleShot(50, this, [&] {
            auto* dlg = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
            if (!dlg)
                return;
            seen = true;
            dlg->reject();
        });
        QVERIFY(QMetaObject::invokeMethod(m_session.get(), "openFontDlg"));
        QTRY_VERIFY(seen);
        QCOMPARE(AppConfig::LogWinFont, before);
        QCOMPARE(m_session->logTextArea()->font(), fontBefore);
    }

    void textsComeBackOnLanguageChange()
    {
        // Every tool page is a real panel now; the side bar names them.
        QAbstractButton* item = m_session->sideBar()->button(5);
        item->setToolTip(QStringLiteral("stale"));
        m_session->hexTip()->setText(QStringLiteral("stale"));
        QEvent ev(QEvent::LanguageChange);
        QApplication::sendEvent(m_session.get(), &ev);
        QCOMPARE(item->toolTip(), QStringLiteral("Waveform Data Generator"));
        QCOMPARE(m_session->hexTip()->text(), QStringLiteral("Hex Sample:11 22 33 44... or 1122334455..."));
    }

    void destroyedWhileOpen()
    {
        PtyPair pty;
        QVERIFY(openOnPty(m_session.get(), pty));
        QVERIFY(pty.writeAll("pending bytes"));
        QTRY_VERIFY(m_session->rxCount() > 0);
        m_session.reset();
    }
};

QTEST_MAIN(TestSessionLayout)
#include "tst_session_layout.moc"
