#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

// The general settings popup: folder and name of the log output file.
// Deleted when closed; "OK" stores changed values and announces them.
class SettingWidget : public QWidget
{
    Q_OBJECT
public:
    explicit SettingWidget(QWidget* parent = nullptr);

    QLineEdit* pathEdit() const { return m_pathEdit; }
    QLineEdit* nameEdit() const { return m_nameEdit; }
    QPushButton* updateButton() const { return m_updateBtn; }
    QPushButton* okButton() const { return m_okBtn; }
    QPushButton* closeButton() const { return m_closeBtn; }

Q_SIGNALS:
    void logFilePathChanged();

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void chooseFolder();
    void accept();

    QLabel* m_title = nullptr;
    QPushButton* m_closeBtn = nullptr;
    QLabel* m_sectionLabel = nullptr;
    QLabel* m_pathLabel = nullptr;
    QLineEdit* m_pathEdit = nullptr;
    QPushButton* m_updateBtn = nullptr;
    QLabel* m_nameLabel = nullptr;
    QLineEdit* m_nameEdit = nullptr;
    QPushButton* m_okBtn = nullptr;
};
