#pragma once

#include <QFrame>

class CPlainTextEdit;
class CSwitch;
class CSyntaxHighlighter;
class LogSearchBar;
class QLabel;
class QPushButton;

// The log panel: a title row with save and clear buttons (icon glyphs) and the
// "Highlighter", "ANSI colours" and "Auto Scroll" switches above the log text
// area. The
// session decides what the buttons do.
class LogWidget : public QFrame
{
    Q_OBJECT
public:
    explicit LogWidget(QWidget* parent = nullptr);

    CPlainTextEdit* textArea() const { return m_textArea; }
    CSyntaxHighlighter* highlighter() const { return m_highlighter; }
    QPushButton* saveButton() const { return m_saveBtn; }
    QPushButton* clearButton() const { return m_clearBtn; }
    CSwitch* highlighterSwitch() const { return m_highlightSwitch; }
    CSwitch* autoScrollSwitch() const { return m_autoScrollSwitch; }
    CSwitch* ansiSwitch() const { return m_ansiSwitch; }
    // Hidden until Ctrl+F.
    LogSearchBar* searchBar() const { return m_searchBar; }

    // The rule file for a theme type: 0 light, anything else dark. Looked
    // for beside the program first, then under the working directory.
    static QString ruleFilePath(int skinType);

Q_SIGNALS:
    void saveBtnClicked();
    void clearBtnClicked();

public Q_SLOTS:
    // Loads the theme's rule file; the lines in view are coloured again at
    // once, the others when they are seen.
    void onSkinChanged(int type);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void setHighlighting(bool on);
    void setAnsiColours(bool on);
    // The highlighter stays on the document while it has anything to colour.
    void updateHighlighterAttachment();

    QLabel* m_title = nullptr;
    QPushButton* m_saveBtn = nullptr;
    QPushButton* m_clearBtn = nullptr;
    QLabel* m_highlightLabel = nullptr;
    CSwitch* m_highlightSwitch = nullptr;
    QLabel* m_ansiLabel = nullptr;
    CSwitch* m_ansiSwitch = nullptr;
    QLabel* m_autoScrollLabel = nullptr;
    CSwitch* m_autoScrollSwitch = nullptr;
    CPlainTextEdit* m_textArea = nullptr;
    LogSearchBar* m_searchBar = nullptr;
    CSyntaxHighlighter* m_highlighter = nullptr;
};
