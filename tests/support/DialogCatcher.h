#pragma once

#include "CDialog.h"

#include <QApplication>
#include <QStringList>
#include <QTimer>

// Closes every modal message dialog as soon as it is up and keeps its title
// and text, so a test can check them and an unexpected dialog never hangs it.
// Header-only: only tests that link the widget kit include it.
class DialogCatcher : public QObject
{
public:
    explicit DialogCatcher(int pollMs = 10)
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto* dlg = qobject_cast<CDialog*>(QApplication::activeModalWidget());
            if (!dlg)
                return;
            titles << dlg->windowTitle();
            texts << dlg->text();
            dlg->accept();
        });
        m_timer.start(pollMs);
    }

    QStringList titles;
    QStringList texts;

private:
    QTimer m_timer;
};
