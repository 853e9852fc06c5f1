#include "CCodeEditor.h"
#include "EditorStyle.h"
#include "LuaCompletion.h"

#include <Qsci/qscilexer.h>

#include <QApplication>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>

class TstCodeEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cursorRoundTripCountsCharacters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("set");
        QTest::addColumn<int>("expected");
        const QString mixed = QStringLiteral("-- 中文注释\nprint(\"é\")\n");
        QTest::newRow("start") << mixed << 0 << 0;
        QTest::newRow("after CJK") << mixed << 7 << 7;
        QTest::newRow("second line") << mixed << 12 << 12;
        QTest::newRow("end") << mixed << int(mixed.size()) << int(mixed.size());
        QTest::newRow("past end clamps") << mixed << 1000 << int(mixed.size());
        QTest::newRow("negative clamps") << mixed << -5 << 0;
    }
    void cursorRoundTripCountsCharacters()
    {
        QFETCH(QString, text);
        QFETCH(int, set);
        QFETCH(int, expected);
        CCodeEditor editor;
        editor.setPlainText(text);
        QCOMPARE(editor.toPlainText(), text);
        editor.setTextCursorPosition(set);
        QCOMPARE(editor.textCursorPosition(), expected);
    }

    void scrollRoundTrip()
    {
        CCodeEditor editor;
        editor.resize(400, 200);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QStringList lines;
        for (int i = 0; i < 300; ++i)
            lines << QStringLiteral("local v%1 = %1").arg(i);
        editor.setPlainText(lines.join(QLatin1Char('\n')));
        editor.setVerticalScrollValue(120);
        QCOMPARE(editor.verticalScrollValue(), 120);
        editor.setVerticalScrollValue(0);
        QCOMPARE(editor.verticalScrollValue(), 0);
    }

    void completionListOffersTheApi()
    {
        CCodeEditor editor;
        editor.resize(500, 300);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        editor.setFocus();
        QTest::keyClicks(editor.viewport(), QStringLiteral("cvn_re"));
        editor.autoCompleteFromAll();
        QVERIFY(editor.isListActive());
        QStringList items;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* list = qobject_cast<QListWidget*>(w); list && list->isVisible()) {
                for (int i = 0; i < list->count(); ++i)
                    items << list->item(i)->text();
            }
        }
        QVERIFY2(items.contains(QStringLiteral("cvn_receive")), qPrintable(items.join(u',')));
        QVERIFY(items.contains(QStringLiteral("cvn_receive_until")));
        QVERIFY(items.contains(QStringLiteral("cvn_report")));
        QVERIFY(!items.contains(QStringLiteral("cvn_send")));
    }

    void libraryMembersAndCallTips()
    {
        CCodeEditor editor;
        auto* apis = qobject_cast<LuaCompletion*>(editor.lexer()->apis());
        QVERIFY(apis);
        QStringList list;
        apis->updateAutoCompletionList({QStringLiteral("string"), QStringLiteral("fo")}, list);
        QCOMPARE(list, QStringList{QStringLiteral("format")});
        list.clear();
        apis->updateAutoCompletionList({QStringLiteral("str")}, list);
        QCOMPARE(list, QStringList{QStringLiteral("string")});
        QList<int> shifts;
        QCOMPARE(apis->callTips({QStringLiteral("cvn_expect"), QString()}, 0,
                                QsciScintilla::CallTipsNoContext, shifts),
                 QStringList{QStringLiteral("cvn_expect(cmd, expect, timeout_ms) -> found, data")});
    }

    void errorLineMarkerAndMessage()
    {
        CCodeEditor editor;
        editor.setPlainText(QStringLiteral("a = 1\nb = 2\nerror('x')\n"));
        editor.setErrorLine(3, QStringLiteral("demo.lua:3: x"));
        QCOMPARE(editor.errorLine(), 3);
        QVERIFY(editor.markersAtLine(2) & (1u << CCodeEditor::kErrorMarker));
        QCOMPARE(editor.annotation(2), QStringLiteral("demo.lua:3: x"));
        QCOMPARE(editor.markersAtLine(0) & (1u << CCodeEditor::kErrorMarker), 0u);

        // A line the text does not have marks nothing and drops the old mark.
        editor.setErrorLine(40, QStringLiteral("elsewhere"));
        QCOMPARE(editor.errorLine(), 0);
        QCOMPARE(editor.markersAtLine(2) & (1u << CCodeEditor::kErrorMarker), 0u);
        QVERIFY(editor.annotation(2).isEmpty());

        // The mark survives a theme switch and goes with clearErrors.
        editor.setErrorLine(2, QStringLiteral("m"));
        editor.onSkinChanged(0);
        editor.onSkinChanged(3);
        QVERIFY(editor.markersAtLine(1) & (1u << CCodeEditor::kErrorMarker));
        editor.clearErrors();
        QCOMPARE(editor.markersAtLine(1) & (1u << CCodeEditor::kErrorMarker), 0u);
    }

    void colourStyleFollowsTheme()
    {
        CCodeEditor editor;
        editor.onSkinChanged(0);
        QCOMPARE(editor.colorStyle(), QStringLiteral(":/default_style.xml"));
        QVERIFY(editor.lexer()->defaultPaper().lightness() > 200);
        editor.onSkinChanged(5);
        QCOMPARE(editor.colorStyle(), QStringLiteral(":/drakula.xml"));
        QVERIFY(editor.lexer()->defaultPaper().lightness() < 80);

        // A style that cannot be read leaves the current colours alone.
        QVERIFY(!editor.setColorStyle(QStringLiteral(":/missing.xml")));
        QCOMPARE(editor.colorStyle(), QStringLiteral(":/drakula.xml"));
        QVERIFY(editor.lexer()->defaultPaper().lightness() < 80);
    }

    void bothStyleFilesAreComplete()
    {
        for (const QString& path : {QStringLiteral(":/default_style.xml"), QStringLiteral(":/drakula.xml")}) {
            EditorStyle style;
            QString error;
            QVERIFY2(style.load(path, &error), qPrintable(path + u' ' + error));
            QCOMPARE(style.isDark(), path.contains(u"drakula"));
            for (const char* key :
                 {"paper", "text", "caret-line", "error-marker", "occurrence", "placeholder"})
                QVERIFY2(style.color(QLatin1String(key), QColor()).isValid(), key);
            // Keyword, comment, string and the cvn_ class all have a colour.
            for (int id : {1, 2, 5, 6, 16})
                QVERIFY(style.items(QStringLiteral("lua")).value(id).fore.isValid());
        }
    }
};

QTEST_MAIN(TstCodeEditor)
#include "tst_codeeditor.moc"
