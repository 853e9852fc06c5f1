#include "AppConfig.h"
#include "CPlainTextEdit.h"
#include "IconHelper.h"
#include "LogWidget.h"
#include "SkinManager.h"

#include <QApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextBlock>
#include <QtTest>

namespace {

QString numberedLines(int from, int count)
{
    QString out;
    for (int i = from; i < from + count; ++i)
        out += QString::number(i) + QLatin1Char('\n');
    return out;
}

// `chars` characters of `c` in lines of 99 plus "\n".
QString block(QChar c, qsizetype chars)
{
    QString line(99, c);
    line += QLatin1Char('\n');
    QString out;
    out.reserve(chars + 100);
    while (out.size() < chars)
        out += line;
    return out;
}

} // namespace

class TestLogView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { AppConfig::resetToDefaults(); }

    void smallTextWaitsForTheTimer()
    {
        CPlainTextEdit edit;
        edit.insertText(QStringLiteral("hello\n"));
        QVERIFY(edit.toPlainText().isEmpty());
        QCOMPARE(edit.pendingLength(), 6);
        QTRY_COMPARE_WITH_TIMEOUT(edit.toPlainText(), QStringLiteral("hello\n"), 1000);
        QCOMPARE(edit.pendingLength(), 0);
    }

    void piecesAreBatchedInOrder()
    {
        CPlainTextEdit edit;
        edit.insertText(QStringLiteral("a"));
        edit.insertText(QString());
        edit.insertText(QStringLiteral("b\n"));
        edit.insertText(QStringLiteral("c"));
        edit.flushPending();
        QCOMPARE(edit.toPlainText(), QStringLiteral("ab\nc"));
    }

    void largeTextGoesInAtOnce()
    {
        CPlainTextEdit edit;
        const QString text(70000, QLatin1Char('x'));
        edit.insertText(text);
        QCOMPARE(edit.toPlainText(), text);
        QCOMPARE(edit.pendingLength(), 0);
    }

    void crossingTheThresholdFlushes()
    {
        CPlainTextEdit edit;
        const QString part(30000, QLatin1Char('y'));
        edit.insertText(part);
        edit.insertText(part);
        QVERIFY(edit.toPlainText().isEmpty());
        edit.insertText(part);
        QCOMPARE(edit.toPlainText().size(), 90000);
    }

    void clearDropsPendingText()
    {
        CPlainTextEdit edit;
        edit.insertText(QStringLiteral("first\n"));
        edit.flushPending();
        edit.insertText(QStringLiteral("pending\n"));
        edit.clear();
        QCOMPARE(edit.pendingLength(), 0);
        QTest::qWait(150);
        QVERIFY(edit.toPlainText().isEmpty());
        edit.insertText(QStringLiteral("again"));
        edit.reset();
        QTest::qWait(150);
        QVERIFY(edit.toPlainText().isEmpty());
    }

    void lineCapKeepsTheNewestLines()
    {
        CPlainTextEdit edit;
        const int total = CPlainTextEdit::kMaxBlocks + 50;
        edit.insertText(numberedLines(0, 60000));
        edit.flushPending();
        edit.insertText(numberedLines(60000, total - 60000));
        edit.flushPending();
        QTextDocument* doc = edit.document();
        QCOMPARE(doc->blockCount(), CPlainTextEdit::kMaxBlocks);
        QVERIFY(doc->lastBlock().text().isEmpty());
        QCOMPARE(doc->lastBlock().previous().text(), QString::number(total - 1));
        QCOMPARE(doc->firstBlock().text(), QString::number(total - (CPlainTextEdit::kMaxBlocks - 1)));
    }

    void oversizedDocumentIsClearedBeforeTheNextText()
    {
        CPlainTextEdit edit;
        edit.insertText(block(QLatin1Char('A'), CPlainTextEdit::kMaxChars + 1000));
        edit.flushPending();
        QVERIFY(edit.document()->characterCount() > CPlainTextEdit::kMaxChars);
        edit.insertText(QStringLiteral("tail\n"));
        edit.flushPending();
        QCOMPARE(edit.toPlainText(), QStringLiteral("tail\n"));
    }

    void backlogKeepsOnlyWhatCanBeSeen()
    {
        CPlainTextEdit edit;
        const qsizetype third = CPlainTextEdit::kMaxChars * 3 / 5;
        edit.insertText(block(QLatin1Char('A'), third));
        edit.insertText(block(QLatin1Char('B'), third));
        edit.insertText(block(QLatin1Char('C'), third));
        QVERIFY(edit.pendingLength() <= 2 * third + 200);
        edit.flushPending();
        const QString text = edit.toPlainText();
        QVERIFY(!text.contains(QLatin1Char('A')));
        QCOMPARE(text.count(QLatin1Char('B')), block(QLatin1Char('B'), third).count(QLatin1Char('B')));
        QVERIFY(text.endsWith(QString(99, QLatin1Char('C')) + QLatin1Char('\n')));
    }

    void userScrollingStopsFollowing()
    {
        CPlainTextEdit edit;
        edit.resize(400, 300);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        QSignalSpy spy(&edit, &CPlainTextEdit::autoScrollStateChanged);
        edit.insertText(numberedLines(0, 2000));
        edit.flushPending();
        QScrollBar* bar = edit.verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), bar->maximum());
        QVERIFY(edit.isScrollBarAtBottom());

        bar->setValue(10); // the user scrolls up
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toBool(), false);
        QVERIFY(!edit.autoScrollEnabled());
        edit.insertText(numberedLines(2000, 500));
        edit.flushPending();
        QCOMPARE(bar->value(), 10);

        bar->setValue(bar->maximum()); // and back to the end
        QVERIFY(edit.autoScrollEnabled());
        edit.insertText(numberedLines(2500, 500));
        edit.flushPending();
        QCOMPARE(bar->value(), bar->maximum());
    }

    void setAutoScrollEnableMovesToTheEnd()
    {
        CPlainTextEdit edit;
        edit.resize(400, 300);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        edit.insertText(numberedLines(0, 1000));
        edit.flushPending();
        edit.verticalScrollBar()->setValue(0);
        QVERIFY(!edit.autoScrollEnabled());
        edit.setAutoScrollEnable(true);
        QVERIFY(edit.autoScrollEnabled());
        QCOMPARE(edit.verticalScrollBar()->value(), edit.verticalScrollBar()->maximum());
    }

    void selectionSurvivesNewText()
    {
        CPlainTextEdit edit;
        edit.insertText(QStringLiteral("select me\n"));
        edit.flushPending();
        QTextCursor c = edit.textCursor();
        c.setPosition(0);
        c.setPosition(6, QTextCursor::KeepAnchor);
        edit.setTextCursor(c);
        edit.insertText(QStringLiteral("more\n"));
        edit.flushPending();
        QCOMPARE(edit.textCursor().selectedText(), QStringLiteral("select"));
    }

    void textAreaSetUp()
    {
        CPlainTextEdit edit;
        QVERIFY(edit.isReadOnly());
        QVERIFY(!edit.isUndoRedoEnabled());
        QCOMPARE(edit.lineWrapMode(), QPlainTextEdit::NoWrap);
        QCOMPARE(edit.contextMenuPolicy(), Qt::CustomContextMenu);
    }

    void logWidgetButtons()
    {
        LogWidget w;
        QVERIFY(w.textArea());
        QSignalSpy save(&w, &LogWidget::saveBtnClicked);
        QSignalSpy clear(&w, &LogWidget::clearBtnClicked);
        w.saveButton()->click();
        QCOMPARE(save.count(), 1);
        QCOMPARE(clear.count(), 0);
        w.clearButton()->click();
        QCOMPARE(clear.count(), 1);
        // Glyphs of the icon font; the words are in the tool tips.
        QCOMPARE(w.saveButton()->text(), IconHelper::glyph(IconHelper::PhFloppyDisk));
        QCOMPARE(w.clearButton()->text(), IconHelper::glyph(IconHelper::PhTrash));
        QCOMPARE(w.saveButton()->font().family(), IconHelper::instance()->phosphor().family());
        QCOMPARE(w.saveButton()->toolTip(), QStringLiteral("Save Log to File"));
        QCOMPARE(w.clearButton()->toolTip(), QStringLiteral("Clear log"));
        QCOMPARE(w.saveButton()->size(), QSize(32, 24));
        QCOMPARE(w.clearButton()->size(), QSize(32, 24));
    }

    void buttonGlyphsSurviveThemeSwitches()
    {
        // A theme applied while the panel exists, then another one: the
        // buttons keep the icon font instead of falling back to boxes.
        SkinManager::instance()->setSkin(5);
        LogWidget w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        SkinManager::instance()->setSkin(0);
        SkinManager::instance()->setSkin(5);
        QCoreApplication::processEvents();
        const QString family = IconHelper::instance()->phosphor().family();
        QCOMPARE(w.saveButton()->font().family(), family);
        QCOMPARE(w.clearButton()->font().family(), family);
        QVERIFY(QFontMetrics(w.saveButton()->font()).inFontUcs4(IconHelper::PhFloppyDisk));
    }

    void logWidgetRetranslates()
    {
        LogWidget w;
        w.saveButton()->setToolTip(QStringLiteral("stale"));
        w.clearButton()->setToolTip(QStringLiteral("stale"));
        QEvent ev(QEvent::LanguageChange);
        QApplication::sendEvent(&w, &ev);
        QCOMPARE(w.saveButton()->toolTip(), QStringLiteral("Save Log to File"));
        QCOMPARE(w.clearButton()->toolTip(), QStringLiteral("Clear log"));
        // The glyphs are not words and stay as they are.
        QCOMPARE(w.clearButton()->text(), IconHelper::glyph(IconHelper::PhTrash));
    }

    void logFontFromConfiguration()
    {
        AppConfig::LogWinFont = QStringLiteral("DejaVu Sans Mono,13");
        LogWidget w;
        QCOMPARE(w.textArea()->font().pointSize(), 13);
        QCOMPARE(w.textArea()->font().family(), QStringLiteral("DejaVu Sans Mono"));
        AppConfig::resetToDefaults();
    }
};

QTEST_MAIN(TestLogView)
#include "tst_logview.moc"
