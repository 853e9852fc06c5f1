#pragma once

#include <QFrame>

class QLabel;
class QPushButton;

// The about box: logo, program name and version, and a "Check for Updates"
// button. Opens as a popup under the title bar and is deleted when it closes.
class VersionInfoWidget : public QFrame
{
    Q_OBJECT
public:
    explicit VersionInfoWidget(QWidget* parent = nullptr);

    QLabel* nameLabel() const { return m_name; }
    QLabel* versionLabel() const { return m_version; }
    QPushButton* checkUpdateButton() const { return m_checkUpdate; }

Q_SIGNALS:
    void checkUpdateClicked();

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    QLabel* m_logo = nullptr;
    QLabel* m_name = nullptr;
    QLabel* m_version = nullptr;
    QPushButton* m_checkUpdate = nullptr;
};
