#pragma once

#include <QObject>
#include <QString>

class CPlainTextEdit;
class QAction;
class QWidget;

// What the user does with the log view itself: save it to a file ("Log
// Save"), pick its font, and the context menu with "Clear Log" and "Font".
// Clearing also resets the session's counters, so it is only asked for.
class LogActions : public QObject
{
    Q_OBJECT
public:
    // Dialogs and the menu open over `host`; `input` takes the log's font too.
    LogActions(QWidget* host, CPlainTextEdit* log, QWidget* input);

    // "Log Save": asks for a file and saves the log there.
    void saveWithDialog();
    // Writes the log view's whole text to LogCapture::saveFileName(chosen);
    // reports "Log save failed!" when that cannot be done.
    bool saveTo(const QString& chosen);
    void openFontDialog();
    void showContextMenu();
    void retranslate();

Q_SIGNALS:
    void clearRequested();
    void messageRequested(QString text);

private:
    QWidget* m_host = nullptr;
    CPlainTextEdit* m_log = nullptr;
    QWidget* m_input = nullptr;
    QAction* m_fontAction = nullptr;
    QAction* m_clearAction = nullptr;
};
