#pragma once

#include <QFrame>

class CPlainTextEdit;
class CSwitch;
class CSyntaxHighlighter;
class QLabel;
class QPushButton;

// The log panel: a title row with save and clear buttons (icon glyphs) and the
// "Highlighter" and "Auto Scroll" switches above the log text area. The
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

    QLabel* m_title = nullptr;
    QPushButton* m_saveBtn = nullptr;
    QPushButton* m_clearBtn = nullptr;
    QLabel* m_highlightLabel = nullptr;
    CSwitch* m_highlightSwitch = nullptr;
    QLabel* m_autoScrollLabel = nullptr;
    CSwitch* m_autoScrollSwitch = nullptr;
    CPlainTextEdit* m_textArea = nullptr;
    CSyntaxHighlighter* m_highlighter = nullptr;
};
