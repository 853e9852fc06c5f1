#include "ShortcutInfoWidget.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <iterator>

namespace {
struct Shortcut
{
    const char* key;
    const char* description;
};
const Shortcut kShortcuts[] = {
    {"R",
     QT_TRANSLATE_NOOP("ShortcutInfoWidget", "Start / stop waveform recording (waveform panel visible)")},
    {"Ctrl+T", QT_TRANSLATE_NOOP("ShortcutInfoWidget", "Waveform: create cursor pair")},
    {"Ctrl+G", QT_TRANSLATE_NOOP("ShortcutInfoWidget", "Waveform: region selection mode")},
    {"Esc", QT_TRANSLATE_NOOP("ShortcutInfoWidget",
                              "Waveform: cancel selection / exit region mode / exit cursor creation")},
    {"Ctrl+Wheel",
     QT_TRANSLATE_NOOP("ShortcutInfoWidget", "Waveform: zoom Y axis of the channel under mouse")},
    {"Enter", QT_TRANSLATE_NOOP("ShortcutInfoWidget", "Send input box: send")},
    {"Shift+Enter", QT_TRANSLATE_NOOP("ShortcutInfoWidget", "Send input box: new line")},
    {"Ctrl+Enter", QT_TRANSLATE_NOOP("ShortcutInfoWidget", "Send input box: send")},
    {"Ctrl+C", QT_TRANSLATE_NOOP("ShortcutInfoWidget", "Send input box: copy")},
    {"Ctrl+V", QT_TRANSLATE_NOOP("ShortcutInfoWidget", "Send input box: paste")},
    {"Ctrl+S", QT_TRANSLATE_NOOP("ShortcutInfoWidget", "Lua Code Editor: save")},
    {"Ctrl+O", QT_TRANSLATE_NOOP("ShortcutInfoWidget", "Open / close the serial port")},
    {"Enter", QT_TRANSLATE_NOOP("ShortcutInfoWidget", "Port box: open the typed port")},
    {"Ctrl+Shift+B", QT_TRANSLATE_NOOP("ShortcutInfoWidget", "Send a break")},
    {"Ctrl+Shift+R", QT_TRANSLATE_NOOP("ShortcutInfoWidget", "Pulse DTR/RTS (reset the board)")},
    {"Ctrl+Shift+K", QT_TRANSLATE_NOOP("ShortcutInfoWidget", "Log: enter / leave type-into-port mode")},
    {"Ctrl+C", QT_TRANSLATE_NOOP("ShortcutInfoWidget",
                                 "Type-into-port mode: sends 0x03; every key goes to the device, arrows as "
                                 "escape sequences, Enter as the Tx line ending")},
    {"Ctrl+F", QT_TRANSLATE_NOOP("ShortcutInfoWidget", "Log: search")},
    {"Enter", QT_TRANSLATE_NOOP("ShortcutInfoWidget", "Log search: next match")},
    {"Shift+Enter", QT_TRANSLATE_NOOP("ShortcutInfoWidget", "Log search: previous match")},
    {"Esc", QT_TRANSLATE_NOOP("ShortcutInfoWidget", "Log search: close the search bar")},
};
} // namespace

ShortcutInfoWidget::ShortcutInfoWidget(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ShortcutInfoWidget"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_table = new QTableWidget(int(std::size(kShortcuts)), 2, this);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setFocusPolicy(Qt::NoFocus);
    m_table->setShowGrid(false);
    m_table->setAlternatingRowColors(true);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_table->verticalHeader()->setDefaultSectionSize(28);
    // Tall enough for every row: no scroll bar, no empty space below.
    m_table->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    m_table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int row = 0; row < int(std::size(kShortcuts)); ++row) {
        auto* key = new QTableWidgetItem(QString::fromLatin1(kShortcuts[row].key));
        QFont bold = key->font();
        bold.setBold(true);
        key->setFont(bold);
        m_table->setItem(row, 0, key);
        m_table->setItem(row, 1, new QTableWidgetItem);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(m_table);
    retranslate();
    ensurePolished();
    resize(620, sizeHint().height());
}

void ShortcutInfoWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void ShortcutInfoWidget::retranslate()
{
    setWindowTitle(tr("Keyboard Shortcuts"));
    m_table->setHorizontalHeaderLabels({tr("Key"), tr("Description")});
    for (int row = 0; row < int(std::size(kShortcuts)); ++row)
        m_table->item(row, 1)->setText(tr(kShortcuts[row].description));
}
