#pragma once

#include <QMap>
#include <QSet>
#include <QStringList>
#include <QWidget>

class MultiLineGroup;
class QComboBox;
class QLabel;
class QPushButton;
class QStackedWidget;

// The multi-line tool panel: named groups of prepared lines, one shown at a
// time, picked in a combo box. It forwards every group's lines to the session
// and tells it whether any group is looping.
class MultiLineGroupManager : public QWidget
{
    Q_OBJECT
public:
    explicit MultiLineGroupManager(QWidget* parent = nullptr);

    // Creates a group and shows it; null when `name` is empty or taken.
    MultiLineGroup* addGroup(const QString& name);
    bool removeGroup(const QString& name);
    MultiLineGroup* group(const QString& name) const { return m_groups.value(name); }
    MultiLineGroup* currentGroup() const;
    // In the order the groups were created (the combo box's order).
    QStringList groupNames() const;
    bool isLoopRunning() const;

    QComboBox* groupBox() const { return m_groupBox; }
    QPushButton* addGroupButton() const { return m_addGroup; }
    QPushButton* deleteGroupButton() const { return m_deleteGroup; }
    QStackedWidget* pages() const { return m_pages; }

    // Creates the groups stored in `path`. The file is read whole first: a
    // malformed one creates nothing. A group name that already exists stops
    // the import there. When a file that exists could not be loaded, a copy is
    // kept beside it (or, failing that, the file is never written over), and
    // loadNotice() says so.
    bool importFile(const QString& path, QString* error = nullptr);
    // Writes every group to `path`; refuses a file whose content could not be
    // read and could not be copied.
    bool saveFile(const QString& path, QString* error = nullptr);
    // What the user should hear about the last failed import; cleared when taken.
    QString takeLoadNotice();

Q_SIGNALS:
    void writeRequest(QString data);
    void loopSendStatusChanged(bool enable);

public Q_SLOTS:
    void onLoopSendStatusChanged(QString name, bool status);
    // Stops every group's loop and reports that none runs.
    void stopAll();
    // The add and delete buttons: ask, then act.
    void onAddGroupClicked();
    void onDeleteGroupClicked();

protected:
    void changeEvent(QEvent* event) override;

private:
    MultiLineGroup* createGroup(const QString& name);
    void setRunning(const QString& name, bool running);
    void keepFailedFile(const QString& path, const QString& reason);
    void retranslate();

    QLabel* m_title = nullptr;
    QLabel* m_groupLabel = nullptr;
    QComboBox* m_groupBox = nullptr;
    QPushButton* m_addGroup = nullptr;
    QPushButton* m_deleteGroup = nullptr;
    QStackedWidget* m_pages = nullptr;
    QMap<QString, MultiLineGroup*> m_groups;
    QMap<QString, bool> m_running;
    // Files that failed to load and could not be copied: never overwritten.
    QSet<QString> m_protectedFiles;
    QString m_loadNotice;
};
