#pragma once

#include "LogSearch.h"

#include <QFrame>
#include <QPointer>

class CPlainTextEdit;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

// The search bar over the log (Ctrl+F): text or regular expression, case
// switch, "3 of 41", Enter / Shift+Enter for the next / previous match. The
// log is searched a slice at a time from the event loop (kSliceBudgetMs per
// step), so a full log does not freeze the window, and new text is searched
// as it arrives. Every match in view is shaded; the selected one stronger.
class LogSearchBar : public QFrame
{
    Q_OBJECT
public:
    static constexpr int kSliceBudgetMs = 12;
    static constexpr int kRestartDelayMs = 150;

    explicit LogSearchBar(CPlainTextEdit* view, QWidget* parent = nullptr);

    const LogSearch& search() const { return m_search; }
    // True while part of the log is still to be searched.
    bool isSearching() const;
    QLineEdit* patternEdit() const { return m_edit; }
    QCheckBox* regexBox() const { return m_regex; }
    QCheckBox* caseBox() const { return m_case; }
    QLabel* countLabel() const { return m_count; }

public Q_SLOTS:
    // Shows the bar with the focus in its text field.
    void openBar();
    void closeBar();
    void findNext();
    void findPrevious();
    // Searches the whole log again with the bar's settings now.
    void restart();

Q_SIGNALS:
    // One slice done (tests and benchmarks watch the steps).
    void sliceDone();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void searchSlice();
    void onContentsChange(int from, int removed, int added);
    void select(qsizetype index);
    void updateCount();
    void updateShading();
    void schedule();

    QPointer<CPlainTextEdit> m_view;
    LogSearch m_search;
    QLineEdit* m_edit = nullptr;
    QCheckBox* m_regex = nullptr;
    QCheckBox* m_case = nullptr;
    QLabel* m_count = nullptr;
    QPushButton* m_prevBtn = nullptr;
    QPushButton* m_nextBtn = nullptr;
    QPushButton* m_closeBtn = nullptr;
    QTimer* m_sliceTimer = nullptr;
    QTimer* m_restartTimer = nullptr;
    // The text before this position is searched.
    qsizetype m_searchedTo = 0;
    QString m_error;
    // The positions shaded last time, to skip setting the same again.
    QList<qsizetype> m_shaded;
    qsizetype m_shadedCurrent = -2;
};
