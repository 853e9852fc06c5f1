#include "AppConfig.h"
#include "CPlainTextEdit.h"
#include "CSwitch.h"
#include "CSyntaxHighlighter.h"
#include "LogWidget.h"
#include "StyleWatcher.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
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

using Colors = QList<QColor>;

// The colour of every character of a block as the document holds it.
Colors documentColours(const QTextBlock& block)
{
    Colors colors(block.length() - 1);
    for (const QTextLayout::FormatRange& r : block.layout()->formats()) {
        for (int i = r.start; i < r.start + r.length && i < colors.size(); ++i)
            colors[i] = r.format.foreground().color();
    }
    return colors;
}

// The colours the highlighter gives `line` by itself (no block comments).
Colors expectedColours(const CSyntaxHighlighter& h, const QString& line)
{
    Colors colors(line.size());
    h.highlightLine(line, [&](int start, int len, const QTextCharFormat& format) {
        for (int i = start; i < start + len; ++i)
            colors[i] = format.foreground().color();
    });
    return colors;
}

QStringList corpusLines()
{
    QFile f(QStringLiteral(CORPUS_FILE));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString corpusText(int count)
{
    const QStringList base = corpusLines();
    QString out;
    for (int i = 0; i < count && !base.isEmpty(); ++i)
        out += base.at(i % base.size()) + QLatin1Char('\n');
    return out;
}

// Counts the paints of a widget.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(int* count) : m_count(count) {}
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++*m_count;
        return false;
    }

private:
    int* m_count;
};

// Has the view painted now; lines are coloured when painted. Right after a
// paint the next one is held back for a moment while text streams in.
void paintNow(CPlainTextEdit* edit)
{
    QVERIFY(QTest::qWaitFor([edit] { return edit->viewport()->updatesEnabled(); }, 1000));
    edit->viewport()->repaint();
}

// Blocks currently in view (first visible plus what fits in the viewport).
QList<QTextBlock> blocksInView(CPlainTextEdit* edit)
{
    QList<QTextBlock> out;
    const int lines = edit->viewport()->height() / edit->fontMetrics().lineSpacing() + 1;
    QTextBlock b = edit->cursorForPosition(QPoint(1, 1)).block();
    for (int i = 0; i < lines && b.isValid(); ++i, b = b.next())
        out.append(b);
    return out;
}

// A document coloured line by line as every change happens, the way
// QSyntaxHighlighter works when simply attached.
struct EagerReference
{
    QTextDocument doc;
    CSyntaxHighlighter highlighter;
    explicit EagerReference(const QString& rules, const QString& text)
    {
        // Without a layout the document reports no changes to the highlighter.
        doc.setDocumentLayout(new QPlainTextDocumentLayout(&doc));
        highlighter.loadRuleFile(rules);
        highlighter.setDocument(&doc);
        QTextCursor(&doc).insertText(text);
    }
};

QString writeRules(QTemporaryDir& dir, const QByteArray& json)
{
    const QString path = dir.filePath(QStringLiteral("rules.json"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.write(json);
    return path;
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
        QCOMPARE(edit.toPlainText(), QStringLiteral("ALARM\ngreen and kept\n"));
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
        // Device colours keep the highlighter on the document on their own.
        AppConfig::LogAnsiColours = false;
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
        paintNow(edit);
        QTextDocument* doc = edit->document();
        // The end is coloured when painted, the far head is left for later.
        QVERIFY(blockHasColours(doc->findBlockByNumber(doc->blockCount() - 2)));
        QVERIFY(!CSyntaxHighlighter::isColoured(doc->findBlockByNumber(0)));
        QVERIFY(!blockHasColours(doc->findBlockByNumber(0)));
        edit->verticalScrollBar()->setValue(0);
        QVERIFY(blockHasColours(doc->findBlockByNumber(0)));
        QVERIFY(blockHasColours(doc->findBlockByNumber(3)));
        QVERIFY(CSyntaxHighlighter::isColoured(doc->findBlockByNumber(0)));
        // Far below the view stays uncoloured until it is seen.
        QVERIFY(!CSyntaxHighlighter::isColoured(doc->findBlockByNumber(1000)));
        QVERIFY(!blockHasColours(doc->findBlockByNumber(1000)));
        // Only lines near the two places looked at were coloured.
        int coloured = 0;
        for (QTextBlock b = doc->firstBlock(); b.isValid(); b = b.next())
            coloured += CSyntaxHighlighter::isColoured(b) ? 1 : 0;
        QVERIFY2(coloured < 300, qPrintable(QString::number(coloured)));
    }

    // Text streamed in pieces that end in the middle of lines, then every
    // screenful looked at: each line in view has exactly the colours it gets
    // when every line is coloured as it changes.
    void visibleLinesMatchEagerColouring()
    {
        AppConfig::LogHighlight = true;
        LogWidget panel;
        panel.resize(600, 300);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        CPlainTextEdit* edit = panel.textArea();
        const QString text = corpusText(3000);
        QVERIFY(text.size() > 100000);
        for (qsizetype pos = 0; pos < text.size(); pos += 4999) {
            edit->insertText(text.mid(pos, 4999));
            edit->flushPending();
            paintNow(edit);
            // The half line at the end is in view and coloured; it grows with
            // the next piece and must be coloured again.
            const QTextBlock last = edit->document()->lastBlock();
            QCOMPARE(documentColours(last), expectedColours(*panel.highlighter(), last.text()));
        }
        QCOMPARE(edit->toPlainText(), text);

        EagerReference ref(LogWidget::ruleFilePath(1), text);
        QTextDocument* doc = edit->document();
        QCOMPARE(doc->blockCount(), ref.doc.blockCount());

        QScrollBar* bar = edit->verticalScrollBar();
        int checked = 0;
        for (int v = 0;; v = qMin(v + bar->pageStep(), bar->maximum())) {
            bar->setValue(v);
            for (const QTextBlock& b : blocksInView(edit)) {
                QVERIFY(CSyntaxHighlighter::isColoured(b));
                const QTextBlock r = ref.doc.findBlockByNumber(b.blockNumber());
                QCOMPARE(b.text(), r.text());
                const Colors got = documentColours(b);
                QVERIFY2(got == documentColours(r),
                         qPrintable(QStringLiteral("line %1: %2").arg(b.blockNumber()).arg(b.text())));
                ++checked;
            }
            if (v == bar->maximum())
                break;
        }
        QVERIFY(checked >= 3000);
    }

    // Text streamed faster than the view paints: the lines that went past
    // between two paints are never coloured, those painted are.
    void onlyPaintedLinesAreColoured()
    {
        AppConfig::LogHighlight = true;
        LogWidget panel;
        panel.resize(600, 300);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        CPlainTextEdit* edit = panel.textArea();
        for (int i = 0; i < 3; ++i) {
            edit->insertText(corpusText(1000));
            edit->flushPending();
        }
        QTextDocument* doc = edit->document();
        QCOMPARE(doc->blockCount(), 3001);
        QVERIFY(!CSyntaxHighlighter::isColoured(doc->findBlockByNumber(2990)));
        paintNow(edit);
        int coloured = 0;
        for (QTextBlock b = doc->firstBlock(); b.isValid(); b = b.next())
            coloured += CSyntaxHighlighter::isColoured(b) ? 1 : 0;
        const QList<QTextBlock> view = blocksInView(edit);
        QVERIFY(coloured >= view.size());
        QVERIFY2(coloured <= view.size() + 3, qPrintable(QString::number(coloured)));
        for (const QTextBlock& b : view)
            QCOMPARE(documentColours(b), expectedColours(*panel.highlighter(), b.text()));
    }

    // Right after a paint, new text is painted a moment later rather than at
    // once; the user's scrolling is shown at once.
    void paintingIsPacedWhileTextStreams()
    {
        AppConfig::LogHighlight = true;
        LogWidget panel;
        panel.resize(600, 300);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        CPlainTextEdit* edit = panel.textArea();
        int paints = 0;
        PaintCounter counter(&paints);
        edit->viewport()->installEventFilter(&counter);

        edit->insertText(lines(500));
        edit->flushPending();
        paintNow(edit);
        QElapsedTimer sincePaint;
        sincePaint.start();
        const int before = paints;
        edit->insertText(corpusText(100));
        edit->flushPending();
        if (sincePaint.elapsed() < CPlainTextEdit::kMinPaintIntervalMs / 2) {
            QVERIFY(!edit->viewport()->updatesEnabled());
            QCoreApplication::processEvents();
            QCOMPARE(paints, before);
        }
        // The held paint comes, and colours what it shows.
        QTRY_VERIFY(paints > before);
        QVERIFY(edit->viewport()->updatesEnabled());
        for (const QTextBlock& b : blocksInView(edit))
            QCOMPARE(documentColours(b), expectedColours(*panel.highlighter(), b.text()));

        paintNow(edit);
        sincePaint.start();
        edit->insertText(corpusText(100));
        edit->flushPending();
        if (sincePaint.elapsed() < CPlainTextEdit::kMinPaintIntervalMs / 2)
            QVERIFY(!edit->viewport()->updatesEnabled());
        edit->verticalScrollBar()->setValue(20);
        QVERIFY(edit->viewport()->updatesEnabled());
        QVERIFY(CSyntaxHighlighter::isColoured(edit->document()->findBlockByNumber(21)));
    }

    // A line first laid out while being coloured for a paint still widens the
    // horizontal scroll range.
    void wideLineColouredForPaintWidensTheScrollRange()
    {
        AppConfig::LogHighlight = true;
        LogWidget panel;
        panel.resize(600, 300);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        CPlainTextEdit* edit = panel.textArea();
        QCOMPARE(edit->horizontalScrollBar()->maximum(), 0);
        edit->insertText(QStringLiteral("short 1\n") + QString(800, QLatin1Char('w')) +
                         QStringLiteral(" 42\nshort 2\n"));
        edit->flushPending();
        paintNow(edit);
        QVERIFY(CSyntaxHighlighter::isColoured(edit->document()->findBlockByNumber(1)));
        QTRY_VERIFY(edit->horizontalScrollBar()->maximum() > 0);
    }

    void attachingColoursOnlyTheView()
    {
        AppConfig::LogHighlight = false;
        LogWidget panel;
        panel.resize(600, 300);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        CPlainTextEdit* edit = panel.textArea();
        edit->insertText(corpusText(3000));
        edit->flushPending();
        QTextDocument* doc = edit->document();
        panel.highlighterSwitch()->setChecked(true);
        // In view at once, without waiting for the event loop.
        for (const QTextBlock& b : blocksInView(edit))
            QCOMPARE(documentColours(b), expectedColours(*panel.highlighter(), b.text()));
        // And no pass over the whole document comes later.
        QTest::qWait(50);
        QVERIFY(!CSyntaxHighlighter::isColoured(doc->findBlockByNumber(100)));
        QVERIFY(!blockHasColours(doc->findBlockByNumber(100)));

        // Switching off takes the colours away.
        panel.highlighterSwitch()->setChecked(false);
        for (const QTextBlock& b : blocksInView(edit))
            QVERIFY(!blockHasColours(b));
        // And on again brings them back in view.
        panel.highlighterSwitch()->setChecked(true);
        for (const QTextBlock& b : blocksInView(edit))
            QCOMPARE(documentColours(b), expectedColours(*panel.highlighter(), b.text()));
    }

    // At the line cap the scroll value stays put while the lines under it
    // change: the new lines in view are coloured all the same.
    void linesInViewAreColouredAtTheLineCap()
    {
        AppConfig::LogHighlight = true;
        LogWidget panel;
        panel.resize(600, 300);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        CPlainTextEdit* edit = panel.textArea();
        // Short lines: the character cap must not clear the document first.
        edit->insertText(lines(CPlainTextEdit::kMaxBlocks));
        edit->flushPending();
        QScrollBar* bar = edit->verticalScrollBar();
        const int value = bar->value();
        QCOMPARE(value, bar->maximum());
        for (int round = 0; round < 3; ++round) {
            QString more;
            for (int i = 0; i < 40; ++i)
                more += QStringLiteral("[2024-03-18 09:12:44.031]R round %1 line %2 OK\n").arg(round).arg(i);
            edit->insertText(more);
            edit->flushPending();
            paintNow(edit);
            QCOMPARE(edit->document()->blockCount(), CPlainTextEdit::kMaxBlocks);
            QCOMPARE(bar->value(), value);
            const QList<QTextBlock> view = blocksInView(edit);
            QVERIFY(view.size() > 3);
            for (const QTextBlock& b : view) {
                QVERIFY(CSyntaxHighlighter::isColoured(b));
                QCOMPARE(documentColours(b), expectedColours(*panel.highlighter(), b.text()));
            }
            QVERIFY(view.at(view.size() - 2).text().contains(QStringLiteral("round %1").arg(round)));
        }
    }

    void ruleReloadRecoloursTheView()
    {
        AppConfig::LogHighlight = true;
        LogWidget panel;
        panel.resize(600, 300);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        CPlainTextEdit* edit = panel.textArea();
        edit->insertText(corpusText(2000));
        edit->flushPending();
        QTextDocument* doc = edit->document();
        edit->verticalScrollBar()->setValue(50);
        QVERIFY(CSyntaxHighlighter::isColoured(doc->findBlockByNumber(52)));
        edit->verticalScrollBar()->setValue(edit->verticalScrollBar()->maximum());

        CSyntaxHighlighter light;
        QVERIFY(light.loadRuleFile(LogWidget::ruleFilePath(0)));
        QVERIFY(panel.highlighter()->loadRuleFile(LogWidget::ruleFilePath(0)));
        // The view at once, without the event loop.
        for (const QTextBlock& b : blocksInView(edit)) {
            const Colors want = expectedColours(light, b.text());
            QCOMPARE(documentColours(b), want);
        }
        // Lines out of view are due again and get the new colours when seen.
        QVERIFY(!CSyntaxHighlighter::isColoured(doc->findBlockByNumber(52)));
        edit->verticalScrollBar()->setValue(50);
        QVERIFY(CSyntaxHighlighter::isColoured(doc->findBlockByNumber(52)));
        QCOMPARE(documentColours(doc->findBlockByNumber(52)),
                 expectedColours(light, doc->findBlockByNumber(52).text()));
    }

    // A span opened far above the view still colours the lines in it, and
    // the lines read on the way for their state are not coloured.
    void blockCommentsReachTheView()
    {
        QTemporaryDir dir;
        const QString rules = writeRules(
            dir, "{\"rules\":[{\"pattern\":\"[0-9]+\",\"color\":\"#010101\"}],"
                 "\"blockComment\":{\"begin\":\"/\\\\*\",\"end\":\"\\\\*/\",\"color\":\"#020202\"}}");
        AppConfig::LogHighlight = true;
        LogWidget panel;
        QVERIFY(panel.highlighter()->loadRuleFile(rules));
        QVERIFY(panel.highlighter()->activeRules().blockCommentEnabled());
        panel.resize(600, 300);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        CPlainTextEdit* edit = panel.textArea();
        QString text;
        for (int i = 0; i < 3000; ++i) {
            text += QStringLiteral("line %1").arg(i);
            if (i == 5)
                text += QStringLiteral(" /* opens");
            if (i == 2500)
                text += QStringLiteral(" closes */ after");
            if (i % 7 == 0)
                text += QLatin1Char('\n'); // empty lines keep the span going
            text += QLatin1Char('\n');
        }
        for (qsizetype pos = 0; pos < text.size(); pos += 5000) {
            edit->insertText(text.mid(pos, 5000));
            edit->flushPending();
        }
        EagerReference ref(rules, text);
        QTextDocument* doc = edit->document();
        QCOMPARE(doc->blockCount(), ref.doc.blockCount());
        const int middle = doc->blockCount() / 2;
        QVERIFY(!CSyntaxHighlighter::isColoured(doc->findBlockByNumber(middle)));

        QScrollBar* bar = edit->verticalScrollBar();
        for (int v : {middle, 10, 2880, 0, bar->maximum()}) {
            bar->setValue(v);
            for (const QTextBlock& b : blocksInView(edit)) {
                QCOMPARE(CSyntaxHighlighter::isColoured(b), true);
                QVERIFY2(documentColours(b) == documentColours(ref.doc.findBlockByNumber(b.blockNumber())),
                         qPrintable(b.text()));
            }
        }
        // The span really is there in the middle.
        bar->setValue(middle);
        const QTextBlock inside = doc->findBlockByNumber(middle + 2);
        QVERIFY(!inside.text().isEmpty() || !inside.next().text().isEmpty());
        const QTextBlock filled = inside.text().isEmpty() ? inside.next() : inside;
        QCOMPARE(documentColours(filled).first(), QColor(QStringLiteral("#020202")));
    }

    void longLinesAreColouredOnlyAtTheHead()
    {
        AppConfig::LogHighlight = true;
        LogWidget panel;
        panel.resize(600, 300);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        panel.textArea()->insertText(QString(3 * CSyntaxHighlighter::kMaxHighlightChars, QLatin1Char('#')) +
                                     QLatin1Char('\n'));
        panel.textArea()->flushPending();
        paintNow(panel.textArea());
        const QTextBlock line = panel.textArea()->document()->firstBlock();
        QVERIFY(CSyntaxHighlighter::isColoured(line));
        int furthest = 0;
        for (const QTextLayout::FormatRange& r : line.layout()->formats())
            furthest = qMax(furthest, r.start + r.length);
        QCOMPARE(furthest, CSyntaxHighlighter::kMaxHighlightChars);
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
