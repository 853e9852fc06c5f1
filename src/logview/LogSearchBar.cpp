#include "LogSearchBar.h"

#include "CPlainTextEdit.h"
#include "IconHelper.h"
#include "StyleHelper.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>

LogSearchBar::LogSearchBar(CPlainTextEdit* view, QWidget* parent) : QFrame(parent), m_view(view)
{
    m_edit = new QLineEdit(this);
    m_edit->setClearButtonEnabled(true);
    m_edit->installEventFilter(this);
    m_regex = new QCheckBox(this);
    m_case = new QCheckBox(this);
    m_count = new QLabel(this);
    m_count->setMinimumWidth(110);
    StyleHelper::setStyle(m_count, QStringLiteral("info-lbl"));
    m_prevBtn = new QPushButton(QStringLiteral("\u2191"), this);
    m_nextBtn = new QPushButton(QStringLiteral("\u2193"), this);
    m_closeBtn = new QPushButton(this);
    m_closeBtn->setFont(IconHelper::instance()->phosphor(14));
    m_closeBtn->setText(IconHelper::glyph(IconHelper::PhX));
    for (QPushButton* b : {m_prevBtn, m_nextBtn, m_closeBtn}) {
        b->setCursor(Qt::PointingHandCursor);
        b->setFixedSize(28, 24);
        StyleHelper::setStyle(b, QStringLiteral("system-btn"));
    }

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 2, 0, 2);
    row->setSpacing(6);
    row->addWidget(m_edit, 1);
    row->addWidget(m_regex);
    row->addWidget(m_case);
    row->addWidget(m_count);
    row->addWidget(m_prevBtn);
    row->addWidget(m_nextBtn);
    row->addWidget(m_closeBtn);

    m_sliceTimer = new QTimer(this);
    m_sliceTimer->setSingleShot(true);
    connect(m_sliceTimer, &QTimer::timeout, this, &LogSearchBar::searchSlice);
    m_restartTimer = new QTimer(this);
    m_restartTimer->setSingleShot(true);
    m_restartTimer->setInterval(kRestartDelayMs);
    connect(m_restartTimer, &QTimer::timeout, this, &LogSearchBar::restart);

    connect(m_edit, &QLineEdit::textChanged, m_restartTimer, qOverload<>(&QTimer::start));
    connect(m_regex, &QCheckBox::toggled, this, &LogSearchBar::restart);
    connect(m_case, &QCheckBox::toggled, this, &LogSearchBar::restart);
    connect(m_prevBtn, &QPushButton::clicked, this, &LogSearchBar::findPrevious);
    connect(m_nextBtn, &QPushButton::clicked, this, &LogSearchBar::findNext);
    connect(m_closeBtn, &QPushButton::clicked, this, &LogSearchBar::closeBar);
    if (m_view) {
        connect(m_view->document(), &QTextDocument::contentsChange, this, &LogSearchBar::onContentsChange);
        connect(m_view->verticalScrollBar(), &QScrollBar::valueChanged, this, &LogSearchBar::updateShading);
    }
    hide();
    retranslate();
}

bool LogSearchBar::isSearching() const
{
    return m_sliceTimer->isActive() || m_restartTimer->isActive();
}

void LogSearchBar::openBar()
{
    show();
    m_edit->setFocus(Qt::ShortcutFocusReason);
    m_edit->selectAll();
    if (!m_search.isActive() && !m_edit->text().isEmpty())
        restart();
}

void LogSearchBar::closeBar()
{
    m_sliceTimer->stop();
    m_restartTimer->stop();
    m_search.setPattern(QString(), false, true);
    m_searchedTo = 0;
    updateShading();
    hide();
    if (m_view)
        m_view->setFocus();
}

void LogSearchBar::restart()
{
    m_restartTimer->stop();
    m_error.clear();
    m_search.setPattern(m_edit->text(), m_regex->isChecked(), m_case->isChecked(), &m_error);
    m_searchedTo = 0;
    m_shadedCurrent = -2;
    updateCount();
    updateShading();
    schedule();
}

void LogSearchBar::schedule()
{
    if (m_search.isActive() && isVisible() && !m_sliceTimer->isActive())
        m_sliceTimer->start(0);
}

void LogSearchBar::searchSlice()
{
    if (!m_view || !m_search.isActive())
        return;
    QTextDocument* doc = m_view->document();
    QElapsedTimer clock;
    clock.start();
    // The line the last slice ended in may have grown since.
    m_search.dropFrom(m_searchedTo);
    QTextBlock b = doc->findBlock(int(m_searchedTo));
    bool done = false;
    while (b.isValid()) {
        m_search.searchLine(b.position(), b.text());
        const QTextBlock next = b.next();
        if (!next.isValid()) {
            // The last line is searched again when text arrives.
            m_searchedTo = b.position();
            done = true;
            break;
        }
        m_searchedTo = next.position();
        b = next;
        if (clock.elapsed() >= kSliceBudgetMs)
            break;
    }
    if (!b.isValid())
        done = true;
    if (!done)
        m_sliceTimer->start(0);
    updateCount();
    updateShading();
    Q_EMIT sliceDone();
}

void LogSearchBar::onContentsChange(int from, int removed, int added)
{
    if (!m_search.isActive())
        return;
    // Colouring a line reports its length as removed and added: no change
    // of text.
    if (removed > 0 && removed == added)
        return;
    if (from == 0 && added == 0 && removed > 0) {
        // Lines cut off at the head (the line cap) or the whole log cleared.
        m_search.removeHead(removed);
        m_searchedTo = qMax<qsizetype>(0, m_searchedTo - removed);
    } else if (from < m_searchedTo || removed > 0) {
        // Not an append at the end: the changed line onwards again.
        const qsizetype lineStart = m_view->document()->findBlock(from).position();
        m_searchedTo = qMax<qsizetype>(0, qMin(m_searchedTo, lineStart));
        m_search.dropFrom(m_searchedTo);
    }
    schedule();
}

void LogSearchBar::findNext()
{
    if (m_search.current() >= 0)
        select(m_search.selectNext());
    else if (m_view)
        select(m_search.selectFrom(m_view->topBlock().position(), false));
}

void LogSearchBar::findPrevious()
{
    if (m_search.current() >= 0)
        select(m_search.selectPrevious());
    else if (m_view)
        select(m_search.selectFrom(m_view->topBlock().position(), true));
}

void LogSearchBar::select(qsizetype index)
{
    updateCount();
    if (index < 0 || !m_view)
        return;
    const LogSearch::Match m = m_search.matches().at(index);
    QTextCursor cursor(m_view->document());
    cursor.setPosition(int(m.position));
    cursor.setPosition(int(m.position + m.length), QTextCursor::KeepAnchor);
    // Moving the view to the match leaves the end of the log, which turns
    // auto scroll off: the match stays in view while data streams in.
    m_view->setTextCursor(cursor);
    m_view->centerCursor();
    updateShading();
}

void LogSearchBar::updateCount()
{
    StyleHelper::setStyle(m_count,
                          m_error.isEmpty() ? QStringLiteral("info-lbl") : QStringLiteral("error-lbl"));
    if (!m_error.isEmpty()) {
        m_count->setText(tr("Invalid pattern"));
        m_count->setToolTip(m_error);
        return;
    }
    m_count->setToolTip(QString());
    if (!m_search.isActive()) {
        m_count->clear();
        return;
    }
    const QString total =
        QString::number(m_search.count()) + (m_search.isCapped() ? QStringLiteral("+") : QString());
    if (m_search.count() == 0)
        m_count->setText(isSearching() ? QString() : tr("No results"));
    else if (m_search.current() >= 0)
        m_count->setText(tr("%1 of %2").arg(m_search.current() + 1).arg(total));
    else
        m_count->setText(tr("%1 matches").arg(total));
}

void LogSearchBar::updateShading()
{
    if (!m_view)
        return;
    QList<qsizetype> shown;
    QList<QTextEdit::ExtraSelection> selections;
    const QTextBlock first = m_view->topBlock();
    if (m_search.isActive() && first.isValid()) {
        const int lines = m_view->viewport()->height() / qMax(1, m_view->fontMetrics().lineSpacing()) + 2;
        QTextBlock last = first;
        for (int i = 0; i < lines && last.next().isValid(); ++i)
            last = last.next();
        const qsizetype from = first.position();
        const qsizetype to = last.position() + last.length();
        const QList<LogSearch::Match>& all = m_search.matches();
        QTextCharFormat plain;
        plain.setBackground(QColor(255, 200, 0, 110));
        QTextCharFormat current;
        current.setBackground(QColor(255, 110, 0, 200));
        for (qsizetype i = m_search.firstEndingAfter(from); i < all.size() && all.at(i).position < to; ++i) {
            QTextEdit::ExtraSelection sel;
            sel.cursor = QTextCursor(m_view->document());
            sel.cursor.setPosition(int(all.at(i).position));
            sel.cursor.setPosition(int(all.at(i).position + all.at(i).length), QTextCursor::KeepAnchor);
            sel.format = i == m_search.current() ? current : plain;
            selections.append(sel);
            shown.append(all.at(i).position);
        }
    }
    if (shown == m_shaded && m_search.current() == m_shadedCurrent)
        return;
    m_shaded = shown;
    m_shadedCurrent = m_search.current();
    m_view->setSearchSelections(selections);
}

bool LogSearchBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // A pattern still being typed is searched first.
            if (m_restartTimer->isActive())
                restart();
            if (key->modifiers() & Qt::ShiftModifier)
                findPrevious();
            else
                findNext();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            closeBar();
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

void LogSearchBar::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QFrame::changeEvent(event);
}

void LogSearchBar::retranslate()
{
    m_edit->setPlaceholderText(tr("Search the log"));
    m_regex->setText(tr("Regex"));
    m_regex->setToolTip(tr("Regular expression"));
    m_case->setText(tr("Aa"));
    m_case->setToolTip(tr("Match case"));
    m_prevBtn->setToolTip(tr("Previous match (Shift+Enter)"));
    m_nextBtn->setToolTip(tr("Next match (Enter)"));
    m_closeBtn->setToolTip(tr("Close (Esc)"));
    updateCount();
}
