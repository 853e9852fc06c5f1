#include "AuthenticateDialog.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

AuthenticateDialog::AuthenticateDialog(QWidget* parent) : QDialog(parent)
{
    m_text = new QLabel(this);
    m_text->setWordWrap(true);
    m_user = new QLineEdit(this);
    m_password = new QLineEdit(this);
    m_password->setEchoMode(QLineEdit::Password);
    m_userLabel = new QLabel(this);
    m_userLabel->setBuddy(m_user);
    m_passwordLabel = new QLabel(this);
    m_passwordLabel->setBuddy(m_password);

    auto* form = new QFormLayout;
    form->addRow(m_userLabel, m_user);
    form->addRow(m_passwordLabel, m_password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addLayout(form);
    layout->addWidget(buttons);
    retranslate();
}

QString AuthenticateDialog::userName() const
{
    return m_user->text();
}

void AuthenticateDialog::setUserName(const QString& name)
{
    m_user->setText(name);
}

QString AuthenticateDialog::password() const
{
    return m_password->text();
}

void AuthenticateDialog::setPassword(const QString& password)
{
    m_password->setText(password);
}

void AuthenticateDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void AuthenticateDialog::retranslate()
{
    setWindowTitle(tr("Dialog"));
    m_text->setText(tr("Please provide the user name and password for the download location."));
    m_userLabel->setText(tr("&User name:"));
    m_passwordLabel->setText(tr("&Password:"));
}
