#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

// The send input: a text editor with a "Send" and a "Clear History" button.
// In the editor Enter (keypad Enter, Ctrl+Enter) sends and Shift+Enter starts
// a new line; Enter that confirms an input method's composition only does that.
class InputBox : public QWidget
{
    Q_OBJECT
public:
    explicit InputBox(QWidget* parent = nullptr);

    QPlainTextEdit* editor() const { return m_editor; }
    QPushButton* sendButton() const { return m_send; }
    QPushButton* clearHistoryButton() const { return m_clearHistory; }
    QString plainText() const;

Q_SIGNALS:
    void submits();
    void clearHistory();
    // The editor got keyboard focus (the session shows its hex tip then).
    void editorFocused();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    QPlainTextEdit* m_editor = nullptr;
    QPushButton* m_send = nullptr;
    QPushButton* m_clearHistory = nullptr;
    // An input method is composing text in the editor.
    bool m_composing = false;
};
