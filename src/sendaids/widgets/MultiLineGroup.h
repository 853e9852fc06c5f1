#pragma once

#include "MultiLineDataManager.h"

#include <QList>
#include <QPersistentModelIndex>
#include <QWidget>

class MultiLineListWidget;
class QCheckBox;
class QPushButton;
class QTimer;
class SingleLineItem;

// A named group of prepared lines. Each line can be sent on its own; the
// ticked lines can be sent in a loop, each after its own pause, round and
// round until the loop is stopped. The group never writes to the port: every
// line leaves through writeRequest.
class MultiLineGroup : public QWidget
{
    Q_OBJECT
public:
    // The first line of a loop goes out this soon after the start.
    static constexpr int kLoopStartMs = 10;

    explicit MultiLineGroup(const QString& name, QWidget* parent = nullptr);

    QString name() const { return m_name; }
    MultiLineListWidget* list() const { return m_list; }
    QCheckBox* selectAllBox() const { return m_selectAll; }
    QPushButton* addLineButton() const { return m_addLine; }
    QPushButton* loopButton() const { return m_loop; }
    QTimer* loopTimer() const { return m_loopTimer; }
    bool isLooping() const;
    // The ticked rows as they were when the loop selection was last built.
    int loopSelectionSize() const { return int(m_selection.size()); }

    // Stops the loop without announcing it (the manager's stop-all does that).
    void stopLoop();

    // The rows' contents in list order, and appending rows from stored ones.
    QList<MultiLineDataManager::Line> lineData() const;
    void appendLines(const QList<MultiLineDataManager::Line>& lines);

    // Row operations of the context menu; `row` out of range does nothing.
    void insertLineAt(int row);
    void clearLine(int row);
    void deleteLine(int row);
    // Asks first; true when the rows were removed.
    bool deleteAll();

Q_SIGNALS:
    void writeRequest(QString data);
    void loopSendStatusChanged(QString groupName, bool enabled);

public Q_SLOTS:
    void addLine();
    void selectAll();
    void unselectAll();
    void onSelect(bool selectedAll);
    void loopSendStart(bool start);
    void loopSendStart();
    void onLoopTimerTimeout();
    void onSendRequest(QString data);
    void lineStateChanged(const SingleLineItem* item, bool selected);
    void lineStateChanged(const SingleLineItem* item);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void showContextMenu(const QPoint& pos);
    void setRunningLook(bool running);
    void setLoopChecked(bool checked);
    void rebuildSelection();
    // Rows were removed: a removed ticked row ends the loop like an untick.
    void afterRowsRemoved();

    QString m_name;
    QCheckBox* m_selectAll = nullptr;
    QPushButton* m_addLine = nullptr;
    QPushButton* m_loop = nullptr;
    MultiLineListWidget* m_list = nullptr;
    QTimer* m_loopTimer = nullptr;
    // The ticked rows in list order; persistent indexes follow drags and
    // turn invalid when their row is removed.
    QList<QPersistentModelIndex> m_selection;
    int m_position = 0;
    // Ticking every row at once rebuilds the selection once, not per row.
    bool m_bulkChange = false;
};
