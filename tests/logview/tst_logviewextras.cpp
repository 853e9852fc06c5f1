// The log panel's device colours ("ANSI colours") and its search bar, on the
// real text area.
#include "AppConfig.h"
#include "CPlainTextEdit.h"
#include "CSwitch.h"
#include "CSyntaxHighlighter.h"
#include "DemoDevice.h"
#include "LogSearchBar.h"
#include "LogWidget.h"

#include "TestTiming.h"
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextLayout>

#include <QtTest>

namespace {

const QString E = QStringLiteral("\x1b");

// Foreground colour of character `i` of `block` ("" when plain).
QString colourAt(const QTextBlock& block, int i)
{
    for (const QTextLayout::FormatRange& r : block.layout()->formats()) {
        if (i >= r.start && i < r.start + r.length && r.format.hasProperty(QTextFormat::ForegroundBrush))
            return r.format.foreground().color().name();
    }
    return QString();
}

bool boldAt(const QTextBlock& block, int i)
{
    for (const QTextLayout::FormatRange& r : block.layout()->formats()) {
        if (i >= r.start && i < r.start + r.length)
            return r.format.fontWeight() == QFont::Bold;
    }
    return false;
}

} // namespace

class TestLogViewExtras : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<LogWidget> m_panel;
    CPlainTextEdit* view() const { return m_panel->textArea(); }

    QTextBlock shownBlock(int n)
    {
        view()->flushPending();
        view()->colourVisibleBlocks();
        return view()->document()->findBlockByNumber(n);
    }

private Q_SLOTS:
    void init()
    {
        AppConfig::resetToDefaults();
        m_panel = std::make_unique<LogWidget>();
        m_panel->resize(900, 500);
        m_panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_panel.get()));
    }
    void cleanup() { m_panel.reset(); }

    // A code split over two arrivals still colours the text after it; the
    // colour runs on to the next line until reset.
    void coloursAcrossChunksAndLines()
    {
        QVERIFY(m_panel->ansiSwitch()->isChecked());
        m_panel->highlighterSwitch()->setChecked(false);
        view()->insertText(QString("ab" + E + "[38;5;"));
        view()->insertText(QString("196mcd\ne" + E + "[1;38;2;1;2;3mf" + E + "[0mg\n"));
        const QTextBlock first = shownBlock(0);
        QCOMPARE(first.text(), QStringLiteral("abcd"));
        QCOMPARE(colourAt(first, 1), QString());
        QCOMPARE(colourAt(first, 2), QStringLiteral("#ff0000"));
        const QTextBlock second = first.next();
        QCOMPARE(second.text(), QStringLiteral("efg"));
        QCOMPARE(colourAt(second, 0), QStringLiteral("#ff0000"));
        QCOMPARE(colourAt(second, 1), QStringLiteral("#010203"));
        QVERIFY(boldAt(second, 1));
        QCOMPARE(colourAt(second, 2), QString());
    }

    // Rules colour what the device left plain, never what it coloured.
    void rulesOnlyOnUncolouredText()
    {
        m_panel->highlighterSwitch()->setChecked(true);
        view()->insertText(QString("error " + E + "[32merror" + E + "[0m\n"));
        const QTextBlock b = shownBlock(0);
        QVERIFY(!colourAt(b, 0).isEmpty());
        QVERIFY(colourAt(b, 0) != QStringLiteral("#00cd00"));
        QCOMPARE(colourAt(b, 6), QStringLiteral("#00cd00"));
    }

    // The demo device's card as the session hands it over: line stamps in
    // front, line ends made "\n", painted rather than coloured by hand.
    void testCardIsColouredWhenPainted()
    {
        QString card = QString::fromLatin1(DemoDevice::ansiTestCard())
                           .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QString stamped;
        for (const QString& line : card.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            stamped += QStringLiteral("[2026-12-08 15:59:05.034]R ") + line + QLatin1Char('\n');
        view()->insertText(QStringLiteral("[2026-12-08 15:59:05.034]R ansi\n"));
        QTRY_COMPARE(view()->pendingLength(), 0);
        // In the small pieces a paced line delivers, several per flush.
        for (qsizetype i = 0; i < stamped.size(); i += 37)
            view()->insertText(stamped.mid(i, 37));
        QTRY_COMPARE(view()->pendingLength(), 0);
        m_panel->grab();
        const QTextBlock title = view()->document()->findBlockByNumber(1);
        QVERIFY(title.text().endsWith(QStringLiteral("ANSI colour test card")));
        QVERIFY(boldAt(title, 27));
        const QTextBlock colours = title.next();
        QCOMPARE(colourAt(colours, colours.text().indexOf(QStringLiteral("red"))), QStringLiteral("#cd0000"));
    }

    // Off: the codes are removed and the lines carry no device colour.
    void switchOffRemovesCodes()
    {
        m_panel->highlighterSwitch()->setChecked(false);
        m_panel->ansiSwitch()->setChecked(false);
        QVERIFY(!AppConfig::LogAnsiColours);
        view()->insertText(QString(E + "[31mred" + E + "[0m\n"));
        const QTextBlock b = shownBlock(0);
        QCOMPARE(b.text(), QStringLiteral("red"));
        QCOMPARE(colourAt(b, 0), QString());
    }

    // A line that keeps growing across many insertions keeps all its runs.
    void growingLineKeepsItsRuns()
    {
        m_panel->highlighterSwitch()->setChecked(false);
        for (int i = 0; i < 20; ++i) {
            view()->insertText(QString(E + "[3" + QString::number(1 + i % 2) + "mx"));
            view()->flushPending();
        }
        view()->insertText(QStringLiteral("\n"));
        const QTextBlock b = shownBlock(0);
        QCOMPARE(b.text().size(), 20);
        for (int i = 0; i < 20; ++i)
            QCOMPARE(colourAt(b, i), i % 2 ? QStringLiteral("#00cd00") : QStringLiteral("#cd0000"));
    }

    // A full log (5 million characters) is searched in steps short enough to
    // keep the window responsive; the count equals a plain count of the text,
    // also for text arriving during the search.
    void fullLogSearchInShortSteps()
    {
        m_panel->highlighterSwitch()->setChecked(false);
        QString text;
        for (int i = 0; text.size() < 4900000; ++i)
            text += QStringLiteral("[%1] temp=%2 status ok, Error code %3\n").arg(i).arg(i % 40).arg(i % 9);
        view()->insertText(text);
        view()->flushPending();
        LogSearchBar* bar = m_panel->searchBar();
        bar->openBar();
        bar->caseBox()->setChecked(true);
        bar->patternEdit()->setText(QStringLiteral("Error code 4"));
        bar->restart();
        QSignalSpy slices(bar, &LogSearchBar::sliceDone);
        qint64 worst = 0;
        QElapsedTimer step;
        bool appended = false;
        QElapsedTimer overall;
        overall.start();
        while (bar->isSearching() && overall.elapsed() < 60000) {
            step.start();
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            worst = qMax(worst, step.elapsed());
            if (!appended && slices.count() > 3) {
                // Data streaming in while the search runs.
                view()->insertText(QStringLiteral("late Error code 4\npartial Error co"));
                view()->flushPending();
                view()->insertText(QStringLiteral("de 4\n"));
                view()->flushPending();
                appended = true;
            }
        }
        QVERIFY(appended);
        QVERIFY(!bar->isSearching());
        QVERIFY2(worst < scaledMs(50), qPrintable(QString::number(worst)));
        QVERIFY(slices.count() > 3);
        const qsizetype expected = view()->document()->toPlainText().count(QStringLiteral("Error code 4"));
        QCOMPARE(bar->search().count(), expected);
        QVERIFY(expected > 1000);

        // Enter moves to a match and shows "n of N".
        QTest::keyClick(bar->patternEdit(), Qt::Key_Return);
        QVERIFY(bar->search().current() >= 0);
        QCOMPARE(view()->textCursor().selectedText(), QStringLiteral("Error code 4"));
        const qsizetype first = bar->search().current();
        QTest::keyClick(bar->patternEdit(), Qt::Key_Return);
        QCOMPARE(bar->search().current(), first + 1);
        QTest::keyClick(bar->patternEdit(), Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(bar->search().current(), first);
        QCOMPARE(bar->countLabel()->text(), QStringLiteral("%1 of %2").arg(first + 1).arg(expected));
    }

    void regexAndErrors()
    {
        view()->insertText(QStringLiteral("a1 b22 c333\nx9\n"));
        view()->flushPending();
        LogSearchBar* bar = m_panel->searchBar();
        bar->openBar();
        bar->regexBox()->setChecked(true);
        bar->patternEdit()->setText(QStringLiteral("\\d{2,}"));
        bar->restart();
        QTRY_VERIFY(!bar->isSearching());
        QCOMPARE(bar->search().count(), 2);
        bar->patternEdit()->setText(QStringLiteral("(oops"));
        bar->restart();
        QCOMPARE(bar->search().count(), 0);
        QCOMPARE(bar->countLabel()->text(), QStringLiteral("Invalid pattern"));
        // Clearing the log drops the matches.
        bar->patternEdit()->setText(QStringLiteral("x"));
        bar->regexBox()->setChecked(false);
        QTRY_COMPARE(bar->search().count(), 1);
        view()->reset();
        QTRY_COMPARE(bar->search().count(), 0);
    }
};

QTEST_MAIN(TestLogViewExtras)
#include "tst_logviewextras.moc"
