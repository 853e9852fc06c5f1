#pragma once

#include <QDialog>

class QLabel;

// Modal message dialog with the caller's title and one "OK" button.
class CDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CDialog(QWidget* parent = nullptr);

    void setTitle(const QString& title);
    void setText(const QString& text);
    QString text() const;

    // Shows a modal message box and returns when the user dismisses it.
    static void showMessage(QWidget* parent, const QString& title, const QString& text);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    QLabel* m_title = nullptr;
    QLabel* m_text = nullptr;
    class QPushButton* m_ok = nullptr;
};
