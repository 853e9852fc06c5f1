#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// Modal yes/no question in the look of the program's message dialog.
class ConfirmDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ConfirmDialog(QWidget* parent = nullptr);

    void setTitle(const QString& title);
    void setText(const QString& text);
    QString text() const;
    QPushButton* yesButton() const { return m_yes; }
    QPushButton* noButton() const { return m_no; }

    // Shows the question and returns true when the user answers yes.
    static bool ask(QWidget* parent, const QString& title, const QString& text);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    QLabel* m_title = nullptr;
    QLabel* m_text = nullptr;
    QPushButton* m_yes = nullptr;
    QPushButton* m_no = nullptr;
};
