#include "MultiLineGroup.h"

#include "CDialog.h"
#include "CMenu.h"
#include "ConfirmDialog.h"
#include "IconHelper.h"
#include "MultiLineListWidget.h"
#include "SingleLineItem.h"

#include <QAction>
#include <QCheckBox>
#include <QCursor>
#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr char32_t kFaPlus = 0xF067;
} // namespace

MultiLineGroup::MultiLineGroup(const QString& name, QWidget* parent) : QWidget(parent), m_name(name)
{
    m_selectAll = new QCheckBox(this);
    m_selectAll->setFocusPolicy(Qt::NoFocus);
    const QFont glyphFont = IconHelper::instance()->fontAwesome(14);
    m_addLine = new QPushButton(this);
    m_addLine->setFixedSize(60, 25);
    m_addLine->setFocusPolicy(Qt::NoFocus);
    m_addLine->setFont(glyphFont);
    m_addLine->setText(IconHelper::glyph(kFaPlus));
    m_loop = new QPushButton(this);
    m_loop->setObjectName(QStringLiteral("LoopSendButton"));
    m_loop->setCheckable(true);
    m_loop->setFixedSize(60, 25);
    m_loop->setFocusPolicy(Qt::NoFocus);
    m_loop->setFont(glyphFont);
    m_list = new MultiLineListWidget(this);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);

    // Single shot and precise: every pause is the interval of the line that
    // follows it, and a coarse timer would stretch a 1 s pause by up to 50 ms.
    m_loopTimer = new QTimer(this);
    m_loopTimer->setSingleShot(true);
    m_loopTimer->setTimerType(Qt::PreciseTimer);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->addWidget(m_selectAll);
    header->addStretch(1);
    header->addWidget(m_addLine);
    header->addWidget(m_loop);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addLayout(header);
    layout->addWidget(m_list, 1);

    connect(m_selectAll, &QCheckBox::toggled, this, &MultiLineGroup::onSelect);
    connect(m_addLine, &QPushButton::clicked, this, &MultiLineGroup::addLine);
    connect(m_loop, &QPushButton::toggled, this, qOverload<bool>(&MultiLineGroup::loopSendStart));
    connect(m_loopTimer, &QTimer::timeout, this, &MultiLineGroup::onLoopTimerTimeout);
    connect(m_list, &MultiLineListWidget::itemSubmitRequest, this, &MultiLineGroup::onSendRequest);
    connect(m_list, &MultiLineListWidget::itemToggled, this,
            qOverload<const SingleLineItem*, bool>(&MultiLineGroup::lineStateChanged));
    connect(m_list, &QWidget::customContextMenuRequested, this, &MultiLineGroup::showContextMenu);
    // A dragged row keeps its tick; the loop follows the new order and goes
    // on with the row that was due next.
    connect(m_list->model(), &QAbstractItemModel::rowsMoved, this, [this] {
        const QPersistentModelIndex next = m_selection.value(m_position);
        rebuildSelection();
        m_position = qMax(0, int(m_selection.indexOf(next)));
    });
    setLoopChecked(false);
    retranslate();
}

bool MultiLineGroup::isLooping() const
{
    return m_loop->isChecked();
}

// ---- rows ----------------------------------------------------------------------

void MultiLineGroup::addLine()
{
    m_list->addLine(tr("Channel"), QString(), SingleLineItem::kDefaultInterval);
    m_list->scrollToBottom();
}

void MultiLineGroup::insertLineAt(int row)
{
    if (row < 0 || row >= m_list->count())
        return;
    m_list->insertLine(row, tr("Channel"), QString(), SingleLineItem::kDefaultInterval);
}

void MultiLineGroup::clearLine(int row)
{
    if (SingleLineItem* line = m_list->lineAt(row))
        line->setData(QString());
}

void MultiLineGroup::deleteLine(int row)
{
    if (row < 0 || row >= m_list->count())
        return;
    m_list->removeLine(row);
    afterRowsRemoved();
}

bool MultiLineGroup::deleteAll()
{
    if (!ConfirmDialog::ask(this, tr("Tips"), tr("Are you sure you want to delete all record?")))
        return false;
    m_list->clear();
    afterRowsRemoved();
    return true;
}

void MultiLineGroup::afterRowsRemoved()
{
    for (const QPersistentModelIndex& index : std::as_const(m_selection)) {
        if (!index.isValid()) {
            lineStateChanged(nullptr);
            return;
        }
    }
}

QList<MultiLineDataManager::Line> MultiLineGroup::lineData() const
{
    QList<MultiLineDataManager::Line> out;
    for (const SingleLineItem* line : m_list->lines())
        out.append({line->label(), line->data(), line->interval()});
    return out;
}

void MultiLineGroup::appendLines(const QList<MultiLineDataManager::Line>& lines)
{
    m_list->setUpdatesEnabled(false);
    for (const MultiLineDataManager::Line& line : lines)
        m_list->addLine(line.label, line.data, line.interval);
    m_list->setUpdatesEnabled(true);
}

void MultiLineGroup::showContextMenu(const QPoint& pos)
{
    QListWidgetItem* item = m_list->itemAt(pos);
    if (!item)
        return;
    // The rows may change while the menu is open; the index follows its row.
    const QPersistentModelIndex index = m_list->indexFromItem(item);
    auto* menu = new CMenu(this);
    menu->setObjectName(QStringLiteral("MultiLineMenu"));
    menu->addAction(tr("Add Line"), this, &MultiLineGroup::addLine);
    menu->addAction(tr("Insert Line"), this, [this, index] {
        if (index.isValid())
            insertLineAt(index.row());
    });
    menu->addSeparator();
    menu->addAction(tr("Clear Line"), this, [this, index] {
        if (index.isValid())
            clearLine(index.row());
    });
    menu->addSeparator();
    menu->addAction(tr("Delete Line"), this, [this, index] {
        if (index.isValid())
            deleteLine(index.row());
    });
    menu->addAction(tr("Delete All"), this, [this] { deleteAll(); });
    menu->popup(QCursor::pos());
}

// ---- ticks ---------------------------------------------------------------------

void MultiLineGroup::selectAll()
{
    onSelect(true);
}

void MultiLineGroup::unselectAll()
{
    onSelect(false);
}

void MultiLineGroup::onSelect(bool selectedAll)
{
    {
        const QSignalBlocker blocker(m_selectAll);
        m_selectAll->setChecked(selectedAll);
    }
    m_bulkChange = true;
    if (selectedAll)
        m_list->selectAll();
    else
        m_list->unselectAll();
    m_bulkChange = false;
    lineStateChanged(nullptr);
}

void MultiLineGroup::lineStateChanged(const SingleLineItem* item, bool selected)
{
    Q_UNUSED(selected);
    lineStateChanged(item);
}

void MultiLineGroup::lineStateChanged(const SingleLineItem* item)
{
    Q_UNUSED(item);
    if (m_bulkChange)
        return;
    // Any change of the ticks ends a running loop: what it would send changed.
    if (m_loop->isChecked())
        m_loop->setChecked(false); // announces the stop
    m_loopTimer->stop();
    rebuildSelection();
    m_position = 0;
}

void MultiLineGroup::rebuildSelection()
{
    m_selection.clear();
    for (int row = 0; row < m_list->count(); ++row) {
        const SingleLineItem* line = m_list->lineAt(row);
        if (line && line->isChecked())
            m_selection.append(QPersistentModelIndex(m_list->model()->index(row, 0)));
    }
}

// ---- sending -------------------------------------------------------------------

void MultiLineGroup::onSendRequest(QString data)
{
    Q_EMIT writeRequest(data);
}

void MultiLineGroup::loopSendStart()
{
    loopSendStart(m_loop->isChecked());
}

void MultiLineGroup::loopSendStart(bool start)
{
    setLoopChecked(start);
    if (!start) {
        m_loopTimer->stop();
        setRunningLook(false);
        Q_EMIT loopSendStatusChanged(m_name, false);
        return;
    }
    // In the list's order as it is now: rows may have been dragged since the ticks.
    rebuildSelection();
    if (m_selection.isEmpty()) {
        m_loopTimer->stop();
        setLoopChecked(false);
        Q_EMIT loopSendStatusChanged(m_name, false);
        // Shown from the event loop: the button's click is still being handled.
        QMetaObject::invokeMethod(
            this, [this] { CDialog::showMessage(this, tr("Warning"), tr("Please select line!")); },
            Qt::QueuedConnection);
        return;
    }
    setRunningLook(true);
    m_position = 0;
    m_loopTimer->start(kLoopStartMs);
    Q_EMIT loopSendStatusChanged(m_name, true);
}

void MultiLineGroup::onLoopTimerTimeout()
{
    if (!m_loop->isChecked() || m_selection.isEmpty()) {
        m_loopTimer->stop();
        return;
    }
    if (m_position < 0 || m_position >= m_selection.size())
        m_position = 0;
    const QPersistentModelIndex index = m_selection.at(m_position);
    m_position = (m_position + 1) % int(m_selection.size());
    if (index.isValid()) {
        const auto* line = qobject_cast<SingleLineItem*>(m_list->indexWidget(index));
        m_list->setCurrentIndex(index);
        Q_EMIT writeRequest(line ? line->data() : QString());
    }
    // Whoever took the line may have stopped every loop (the port is closed):
    // then this one stays stopped.
    if (!m_loop->isChecked())
        return;
    const QPersistentModelIndex next = m_selection.at(m_position);
    const auto* nextLine =
        next.isValid() ? qobject_cast<SingleLineItem*>(m_list->indexWidget(next)) : nullptr;
    m_loopTimer->start(nextLine ? nextLine->interval() : 0);
}

void MultiLineGroup::stopLoop()
{
    m_loopTimer->stop();
    setLoopChecked(false);
    setRunningLook(false);
}

// ---- looks ---------------------------------------------------------------------

void MultiLineGroup::setLoopChecked(bool checked)
{
    {
        const QSignalBlocker blocker(m_loop);
        m_loop->setChecked(checked);
    }
    m_loop->setText(IconHelper::glyph(checked ? IconHelper::FaStop : IconHelper::FaPlay));
}

void MultiLineGroup::setRunningLook(bool running)
{
    if (m_list->property("selectable").toBool() == running)
        return;
    m_list->setProperty("selectable", running);
    m_list->style()->unpolish(m_list);
    m_list->style()->polish(m_list);
    m_list->update();
}

void MultiLineGroup::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void MultiLineGroup::retranslate()
{
    m_selectAll->setText(tr("Select All"));
    m_addLine->setToolTip(tr("Add Line"));
    m_loop->setToolTip(tr("Loop Send"));
}
