#include "AppConfig.h"
#include "CPlainTextEdit.h"
#include "CSwitch.h"
#include "CSyntaxHighlighter.h"
#include "LogWidget.h"
#include "StyleWatcher.h"

#include <QFileInfo>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

namespace {

QString lines(int count)
{
    QString out;
    for (int i = 0; i < count; ++i)
        out += QStringLiteral("line %1\n").arg(i);
    return out;
}

bool blockHasColours(const QTextBlock& block)
{
    return !block.layout()->formats().isEmpty();
}

} // namespace

class TestLogWidget : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { AppConfig::resetToDefaults(); }

    void escapeSequencesAreStripped()
    {
        CPlainTextEdit edit;
        edit.insertText(QStringLiteral("\x1b[31mALARM\x1b[0m\n"));
        edit.insertText(QStringLiteral("\x1b[1;32mgreen\x1b[0m and \x1b[Kkept\n"));
        edit.flushPending();
        QCOMPARE(edit.toPlainText(), QStringLiteral("ALARM\ngreen and \x1b[Kkept\n"));
        // Text that is nothing but sequences adds nothing.
        edit.insertText(QStringLiteral("\x1b[0m"));
        QCOMPARE(edit.pendingLength(), 0);
        QCOMPARE(CPlainTextEdit::stripEscapes(QStringLiteral("plain")), QStringLiteral("plain"));
    }

    void seventyThousandCharactersGoInAtOnce()
    {
        CPlainTextEdit edit;
        edit.insertText(QString(70000, QLatin1Char('z')));
        QCOMPARE(edit.document()->characterCount() - 1, 70000);
        QCOMPARE(edit.pendingLength(), 0);
    }

    void scrollingUpSwitchesAutoScrollOff()
    {
        LogWidget panel;
        panel.resize(600, 300);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        CPlainTextEdit* edit = panel.textArea();
        QVERIFY(panel.autoScrollSwitch()->isChecked());
        edit->insertText(lines(500));
        edit->flushPending();
        QScrollBar* bar = edit->verticalScrollBar();
        QVERIFY(bar->maximum() > 100);
        QCOMPARE(bar->value(), bar->maximum());

        QSignalSpy spy(edit, &CPlainTextEdit::autoScrollStateChanged);
        bar->setValue(10);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.first().first().toBool(), false);
        QVERIFY(!panel.autoScrollSwitch()->isChecked());
        QVERIFY(!edit->autoScrollEnabled());

        // New text leaves the view where the user put it.
        edit->insertText(lines(200));
        edit->flushPending();
        QCOMPARE(bar->value(), 10);

        // The switch brings the view back to the end.
        panel.autoScrollSwitch()->setChecked(true);
        QVERIFY(edit->autoScrollEnabled());
        QCOMPARE(bar->value(), bar->maximum());
    }

    void highlighterSwitchAttachesTheDocument()
    {
        AppConfig::LogHighlight = false;
        LogWidget panel;
        CPlainTextEdit* edit = panel.textArea();
        QVERIFY(!panel.highlighterSwitch()->isChecked());
        QVERIFY(panel.highlighter()->document() == nullptr);
        edit->insertText(QStringLiteral("[2024-03-18 09:12:44.031]R connected OK\n"));
        edit->flushPending();
        QTest::qWait(20);
        QVERIFY(!blockHasColours(edit->document()->firstBlock()));

        panel.highlighterSwitch()->setChecked(true);
        QVERIFY(AppConfig::LogHighlight);
        QCOMPARE(panel.highlighter()->document(), edit->document());
        // Attaching colours the existing text (on the next event-loop turn).
        QTRY_VERIFY(blockHasColours(edit->document()->firstBlock()));

        panel.highlighterSwitch()->setChecked(false);
        QVERIFY(!AppConfig::LogHighlight);
        QVERIFY(panel.highlighter()->document() == nullptr);
    }

    void offScreenLinesAreColouredWhenScrolledTo()
    {
        AppConfig::LogHighlight = true;
        LogWidget panel;
        panel.resize(600, 300);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QTest::qWait(10); // the attach pass
        CPlainTextEdit* edit = panel.textArea();
        QString text;
        for (int i = 0; i < 2000; ++i)
            text += QStringLiteral("[2024-03-18 09:12:44.031]R value %1 OK\n").arg(i);
        edit->insertText(text);
        edit->flushPending();
        QTextDocument* doc = edit->document();
        // The end is coloured at once, the far head is left for later.
        QVERIFY(blockHasColours(doc->findBlockByNumber(doc->blockCount() - 2)));
        QVERIFY(CSyntaxHighlighter::isDeferred(doc->findBlockByNumber(0)));
        QVERIFY(!blockHasColours(doc->findBlockByNumber(0)));
        edit->verticalScrollBar()->setValue(0);
        QVERIFY(blockHasColours(doc->findBlockByNumber(0)));
        QVERIFY(blockHasColours(doc->findBlockByNumber(3)));
        QVERIFY(!CSyntaxHighlighter::isDeferred(doc->findBlockByNumber(0)));
        // Far below the view stays deferred until it is seen.
        QVERIFY(CSyntaxHighlighter::isDeferred(doc->findBlockByNumber(1000)));
        QVERIFY(!blockHasColours(doc->findBlockByNumber(1000)));
    }

    void ruleFilesAreFoundBesideTheProgram()
    {
        // The build stages them under share/corvane beside bin/.
        QVERIFY2(QFileInfo::exists(LogWidget::ruleFilePath(1)), qPrintable(LogWidget::ruleFilePath(1)));
        QVERIFY(LogWidget::ruleFilePath(0).endsWith(QStringLiteral("buildin-light.json")));
        QVERIFY(QFileInfo::exists(LogWidget::ruleFilePath(0)));
        AppConfig::LogHighlight = true;
        LogWidget panel;
        QVERIFY(panel.highlighter()->hasLoadedRules());
        QVERIFY(panel.highlighter()->scannerEnabled());
    }

    void themeChangeReloadsTheRules()
    {
        AppConfig::LogHighlight = true;
        LogWidget panel;
        panel.textArea()->insertText(QStringLiteral("[2024-03-18 09:12:44.031]R x\n"));
        panel.textArea()->flushPending();
        auto stampColour = [&] {
            return panel.highlighter()->scanner().format(LogLineScanner::Timestamp).foreground().color();
        };
        auto docColour = [&] {
            const auto formats = panel.textArea()->document()->firstBlock().layout()->formats();
            return formats.isEmpty() ? QColor() : formats.first().format.foreground().color();
        };
        StyleWatcher::instance()->notifySkinChanged(1);
        const QColor dark = stampColour();
        QTRY_COMPARE(docColour(), dark);
        StyleWatcher::instance()->notifySkinChanged(0);
        const QColor light = stampColour();
        QVERIFY(light != dark);
        // The whole document was coloured again with the light rules.
        QTRY_COMPARE(docColour(), light);
    }

    void currentLineIsShaded()
    {
        CPlainTextEdit edit;
        QSignalSpy spy(&edit, &CPlainTextEdit::highlightColorChanged);
        edit.insertText(lines(3));
        edit.flushPending();
        QTextCursor c = edit.textCursor();
        c.movePosition(QTextCursor::Down);
        edit.setTextCursor(c);
        QCOMPARE(edit.extraSelections().size(), 1);
        QCOMPARE(edit.extraSelections().first().format.background().color(), edit.highlightColor());
        edit.setHighlightColor(edit.highlightColor());
        QCOMPARE(spy.count(), 0);
        edit.setHighlightColor(QColor(Qt::darkGreen));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(edit.extraSelections().first().format.background().color(), QColor(Qt::darkGreen));
    }

    void languageChangeRetranslates()
    {
        LogWidget panel;
        QEvent ev(QEvent::LanguageChange);
        QApplication::sendEvent(&panel, &ev);
        QVERIFY(!panel.findChildren<QLabel*>().isEmpty());
        bool sawHighlighter = false;
        for (QLabel* l : panel.findChildren<QLabel*>())
            sawHighlighter = sawHighlighter || l->text() == QStringLiteral("Highlighter");
        QVERIFY(sawHighlighter);
    }
};

QTEST_MAIN(TestLogWidget)
#include "tst_logwidget.moc"
