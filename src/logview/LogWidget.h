#pragma once

#include <QFrame>

class CPlainTextEdit;
class QLabel;
class QPushButton;

// The log panel: a title row with "Save" and "Clear" buttons above the log
// text area. The session decides what the buttons do.
class LogWidget : public QFrame
{
    Q_OBJECT
public:
    explicit LogWidget(QWidget* parent = nullptr);

    CPlainTextEdit* textArea() const { return m_textArea; }
    QPushButton* saveButton() const { return m_saveBtn; }
    QPushButton* clearButton() const { return m_clearBtn; }

Q_SIGNALS:
    void saveBtnClicked();
    void clearBtnClicked();

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    QLabel* m_title = nullptr;
    QPushButton* m_saveBtn = nullptr;
    QPushButton* m_clearBtn = nullptr;
    CPlainTextEdit* m_textArea = nullptr;
};
