#pragma once

#include "EditorStyle.h"

#include <Qsci/qsciscintilla.h>
#include <Qsci/qscistyle.h>

#include <QString>
#include <QStringList>

class LuaCompletion;
class QsciLexerLua;
class QTimer;

// The script editor: Lua highlighting (the cvn_ API as its own word class),
// line numbers, current-line shading, brace matching, the word under the
// cursor marked everywhere, folding, completion with call tips for Lua and
// the cvn_ API, one error line with its message, a placeholder while empty,
// and the colour style of the current theme.
class CCodeEditor : public QsciScintilla
{
    Q_OBJECT
public:
    static constexpr int kErrorMarker = 8;
    static constexpr int kOccurrenceIndicator = 8;
    static constexpr int kSymbolMargin = 1;
    // Documents larger than this get no occurrence marks: typing must stay quick.
    static constexpr int kOccurrenceMaxBytes = 2 * 1024 * 1024;

    explicit CCodeEditor(QWidget* parent = nullptr);
    ~CCodeEditor() override;

    QString toPlainText() const { return text(); }
    void setPlainText(const QString& text) { setText(text); }

    QString placeholderText() const { return m_placeholder; }
    void setPlaceholderText(const QString& text);

    // Cursor as a character offset from the start; setting clamps to the text.
    int textCursorPosition() const;
    void setTextCursorPosition(int position);
    // Vertical scroll as the first visible line (0-based).
    int verticalScrollValue() const;
    void setVerticalScrollValue(int line);

    // Applies the style file at `path`; on failure the current colours stay
    // and false is returned.
    bool setColorStyle(const QString& path);
    // The built-in light colours, for when no style file can be read.
    void useDefaultColorStyle();
    QString colorStyle() const { return m_stylePath; }
    // ":/default_style.xml" for the light theme (0), ":/drakula.xml" otherwise.
    static QString styleForSkin(int skinType);

    // Marks `line` (1-based) with the error marker and shows `message`
    // below it; one error at a time.
    void setErrorLine(int line, const QString& message);
    void clearErrors();
    // 1-based line of the error shown, 0 for none.
    int errorLine() const { return m_errorLine; }
    QString errorMessage() const { return m_errorMessage; }

    // The names of the cvn_ API with their arguments, as the completion and
    // call tips show them.
    static QStringList apiCallTips();

    static QFont editorFont();

public Q_SLOTS:
    void onSkinChanged(int skinType);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void applyStyle(const EditorStyle& style);
    void updateLineNumberWidth();
    void updateOccurrences();
    void showError();

    QsciLexerLua* m_lexer = nullptr;
    LuaCompletion* m_apis = nullptr;
    QTimer* m_occurrenceTimer = nullptr;
    QsciStyle m_errorStyle;
    QString m_placeholder;
    QColor m_placeholderColor;
    QString m_stylePath;
    QString m_occurrenceWord;
    QString m_errorMessage;
    int m_errorLine = 0;
    int m_lineDigits = 0;
};
