#pragma once

#include <QDialog>

class QTableWidget;

// The list of keyboard shortcuts: a two-column table of key and description.
// Deleted when closed.
class ShortcutInfoWidget : public QDialog
{
    Q_OBJECT
public:
    explicit ShortcutInfoWidget(QWidget* parent = nullptr);

    QTableWidget* table() const { return m_table; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    QTableWidget* m_table = nullptr;
};
