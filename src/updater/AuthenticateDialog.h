#pragma once

#include <QDialog>

class QLineEdit;

// Asks for the user name and password of a protected download location.
class AuthenticateDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AuthenticateDialog(QWidget* parent = nullptr);

    QString userName() const;
    void setUserName(const QString& name);
    QString password() const;
    void setPassword(const QString& password);

    QLineEdit* userNameEdit() const { return m_user; }
    QLineEdit* passwordEdit() const { return m_password; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    class QLabel* m_text = nullptr;
    class QLabel* m_userLabel = nullptr;
    class QLabel* m_passwordLabel = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
};
