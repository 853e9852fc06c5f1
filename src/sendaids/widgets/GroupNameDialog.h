#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// Asks for the name of a new multi-line group.
class GroupNameDialog : public QDialog
{
    Q_OBJECT
public:
    explicit GroupNameDialog(QWidget* parent = nullptr);

    QString name() const;
    QLineEdit* nameEdit() const { return m_edit; }
    QPushButton* okButton() const { return m_ok; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    QLabel* m_label = nullptr;
    QLineEdit* m_edit = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};
