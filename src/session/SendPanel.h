#pragma once

#include <QWidget>

class InputBox;
class QAction;
class QComboBox;
class QLabel;
class QTimer;

// The send input under the log: the history drop-down over the input box,
// the input's context menu, and the hex sample tip shown above the panel when
// the empty input gets focus. What is sent, and how, is the session's.
class SendPanel : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kHexTipMs = 2000;

    // The tip is a child of `tipHost` so it can sit above the panel.
    explicit SendPanel(QWidget* tipHost, QWidget* parent = nullptr);

    InputBox* inputBox() const { return m_inputBox; }
    QComboBox* historyBox() const { return m_historyBox; }
    QLabel* hexTip() const { return m_hexTip; }
    QString text() const;

    // Puts `text` (simplified) first in the history, once.
    void recordToHistory(const QString& text);
    void loadHistory();
    bool saveHistory() const;
    void retranslate();

Q_SIGNALS:
    void submitted();

private:
    void onEditorFocused();
    void showInputContextMenu();

    InputBox* m_inputBox = nullptr;
    QComboBox* m_historyBox = nullptr;
    QWidget* m_tipHost = nullptr;
    QLabel* m_hexTip = nullptr;
    QTimer* m_hexTipTimer = nullptr;
    QAction* m_copyAction = nullptr;
    QAction* m_pasteAction = nullptr;
    QAction* m_clearAction = nullptr;
};
