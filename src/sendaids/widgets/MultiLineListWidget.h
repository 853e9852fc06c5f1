#pragma once

#include <QList>
#include <QListWidget>

class SingleLineItem;

// The rows of a multi-line group. Rows are reordered by dragging; a
// double-click on a row's free space toggles its tick.
class MultiLineListWidget : public QListWidget
{
    Q_OBJECT
public:
    explicit MultiLineListWidget(QWidget* parent = nullptr);

    // Inserts a row at `row` (appends when out of range) and returns it.
    SingleLineItem* insertLine(int row, const QString& label, const QString& data, int interval);
    SingleLineItem* addLine(const QString& label, const QString& data, int interval);
    // The row widget at `row`, or null.
    SingleLineItem* lineAt(int row) const;
    // The row showing `line`, or -1.
    int rowOf(const SingleLineItem* line) const;
    // Every row widget, in list order.
    QList<SingleLineItem*> lines() const;
    void removeLine(int row);

    // Ticks (or unticks) every row; so does the select-all key.
    void selectAll() override;
    void unselectAll();

Q_SIGNALS:
    void itemSubmitRequest(QString txt);
    void itemToggled(const SingleLineItem* item, bool checked);

private:
    void setAllChecked(bool checked);
};
