#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

// Modal progress window for long jobs (downloads, file transfers): a title,
// a status line, a bar over a 64-bit byte count and a "Cancel" button.
class CProgressDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CProgressDialog(QWidget* parent = nullptr);

    void setTitle(const QString& title);
    void setStatusText(const QString& text);
    QString statusText() const;

    // Total 0 or less shows a busy bar.
    void setProgress(qint64 done, qint64 total);
    // Per-mille of the job shown by the bar (0..1000), -1 while busy.
    int permille() const;

    QPushButton* cancelButton() const { return m_cancel; }

Q_SIGNALS:
    void canceled();

protected:
    void changeEvent(QEvent* event) override;
    void reject() override;

private:
    void retranslate();

    QLabel* m_title = nullptr;
    QLabel* m_status = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_cancel = nullptr;
};
