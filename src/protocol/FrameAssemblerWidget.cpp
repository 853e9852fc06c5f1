#include "FrameAssemblerWidget.h"

#include "AppPaths.h"
#include "CComboBox.h"
#include "HexText.h"
#include "HexValidator.h"
#include "ProtocolRegistry.h"
#include "StyleHelper.h"

#include <QDesktopServices>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <climits>

namespace {

constexpr int kRowHeight = 30;
constexpr int kNoteWidth = 45;
constexpr int kMaxPageHeight = 400;
constexpr int kPreviewDelayMs = 100;

QFont previewFont()
{
    // Consolas where it exists; any monospace face keeps the hex columns even.
    QFont font(QStringLiteral("Consolas"), 10);
    font.setFamilies({QStringLiteral("Consolas"), QStringLiteral("Roboto Mono"),
                      QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Monospace")});
    font.setStyleHint(QFont::Monospace);
    return font;
}

QPushButton* makeToolButton(QWidget* parent, ushort glyph)
{
    auto* btn = new QPushButton(QString(QChar(glyph)), parent);
    btn->setFixedSize(40, 28);
    btn->setCursor(Qt::PointingHandCursor);
    StyleHelper::setStyle(btn, QStringLiteral("common"));
    return btn;
}

} // namespace

FrameAssemblerWidget::FrameAssemblerWidget(QWidget* parent)
    : QWidget(parent), m_protocolDir(AppPaths::dataPath(QStringLiteral("protocols")))
{
    m_title = new QLabel(this);
    StyleHelper::setStyle(m_title, QStringLiteral("title-lbl"));

    m_protocolLabel = new QLabel(this);
    // Long protocol names are elided in the middle; the tooltip has them whole.
    m_protocolBox = new CComboBox(this);
    m_protocolBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_protocolBox->setMinimumContentsLength(8);
    m_openFolderBtn = makeToolButton(this, 0x2197); // arrow out: open in the file browser
    m_reloadBtn = makeToolButton(this, 0x21BB);     // clockwise arrow: reload

    m_pages = new QStackedWidget(this);
    m_emptyLabel = new QLabel(this);
    m_emptyLabel->setAlignment(Qt::AlignCenter);
    m_emptyLabel->setWordWrap(true);
    StyleHelper::setStyle(m_emptyLabel, QStringLiteral("info-lbl"));

    m_description = new QLabel(this);
    m_description->setWordWrap(true);
    m_description->setTextInteractionFlags(Qt::TextSelectableByMouse);
    StyleHelper::setStyle(m_description, QStringLiteral("info-lbl"));

    m_previewLabel = new QLabel(this);
    m_preview = new QPlainTextEdit(this);
    m_preview->setReadOnly(true);
    m_preview->setFixedHeight(100);
    m_preview->setFont(previewFont());

    m_status = new QLabel(this);
    m_sendBtn = new QPushButton(this);
    m_sendBtn->setCursor(Qt::PointingHandCursor);
    m_sendBtn->setMinimumWidth(80);

    m_previewTimer = new QTimer(this);
    m_previewTimer->setSingleShot(true);
    m_previewTimer->setInterval(kPreviewDelayMs);

    auto* topRow = new QHBoxLayout;
    topRow->setContentsMargins(0, 0, 0, 0);
    topRow->setSpacing(4);
    topRow->addWidget(m_protocolLabel);
    topRow->addWidget(m_protocolBox, 1);
    topRow->addWidget(m_openFolderBtn);
    topRow->addWidget(m_reloadBtn);

    auto* bottomRow = new QHBoxLayout;
    bottomRow->setContentsMargins(0, 0, 0, 0);
    bottomRow->addWidget(m_status, 1);
    bottomRow->addWidget(m_sendBtn);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);
    layout->addWidget(m_title);
    layout->addLayout(topRow);
    layout->addWidget(m_pages);
    layout->addWidget(m_emptyLabel);
    layout->addWidget(m_description);
    layout->addWidget(m_previewLabel);
    layout->addWidget(m_preview);
    layout->addLayout(bottomRow);
    layout->addStretch(1);

    connect(m_protocolBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &FrameAssemblerWidget::onProtocolChanged);
    connect(m_previewTimer, &QTimer::timeout, this, &FrameAssemblerWidget::onParamChanged);
    connect(m_sendBtn, &QPushButton::clicked, this, &FrameAssemblerWidget::onSendClicked);
    connect(m_openFolderBtn, &QPushButton::clicked, this, &FrameAssemblerWidget::onOpenFolderClicked);
    connect(m_reloadBtn, &QPushButton::clicked, this, &FrameAssemblerWidget::onReloadClicked);

    retranslate();
    showEmptyState(true);
}

void FrameAssemblerWidget::setProtocolDir(const QString& dir)
{
    m_protocolDir = dir;
}

int FrameAssemblerWidget::pageCount() const
{
    return m_pages->count();
}

const FrameProtocol* FrameAssemblerWidget::currentProtocol() const
{
    const auto& list = ProtocolRegistry::instance().protocols();
    if (m_currentIndex < 0 || m_currentIndex >= list.size() || m_currentIndex >= m_pages->count())
        return nullptr;
    return &list.at(m_currentIndex);
}

void FrameAssemblerWidget::rebuildPages()
{
    m_previewTimer->stop();
    m_protocolBox->blockSignals(true);
    m_protocolBox->clear();
    while (m_pages->count() > 0) {
        QWidget* page = m_pages->widget(0);
        m_pages->removeWidget(page);
        delete page;
    }
    m_currentIndex = -1;

    const auto& list = ProtocolRegistry::instance().protocols();
    for (const FrameProtocol& protocol : list) {
        m_protocolBox->addItem(protocol.name);
        m_pages->addWidget(buildPage(protocol));
    }
    m_protocolBox->blockSignals(false);

    showEmptyState(list.isEmpty());
    if (list.isEmpty()) {
        m_description->clear();
        m_preview->clear();
        setStatus(QString(), "");
        return;
    }
    m_pages->setCurrentIndex(0);
    m_protocolBox->setCurrentIndex(0);
    m_currentIndex = 0;
    updateDescription();
    onParamChanged();
}

void FrameAssemblerWidget::showEmptyState(bool empty)
{
    m_pages->setVisible(!empty);
    m_emptyLabel->setVisible(empty);
    m_protocolBox->setEnabled(!empty);
    m_sendBtn->setEnabled(!empty);
}

QLineEdit* FrameAssemblerWidget::addInput(QTreeWidget* tree, QTreeWidgetItem* item, const QString& key,
                                          const QString& text, bool editable)
{
    auto* edit = new QLineEdit;
    edit->setObjectName(key);
    edit->setReadOnly(!editable);
    edit->setFixedHeight(kRowHeight - 6);
    tree->setItemWidget(item, 1, edit);
    edit->setText(text);
    if (editable)
        connect(edit, &QLineEdit::textChanged, m_previewTimer, qOverload<>(&QTimer::start));
    return edit;
}

QTreeWidget* FrameAssemblerWidget::buildPage(const FrameProtocol& protocol)
{
    auto* tree = new QTreeWidget;
    tree->setColumnCount(3);
    tree->setHeaderHidden(true);
    tree->setIndentation(16);
    tree->setSelectionMode(QAbstractItemView::NoSelection);
    tree->setFocusPolicy(Qt::NoFocus);
    tree->setRootIsDecorated(true);
    tree->header()->setStretchLastSection(false);
    tree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    tree->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    tree->header()->setSectionResizeMode(2, QHeaderView::Fixed);
    tree->header()->resizeSection(2, kNoteWidth);

    const QSize rowSize(-1, kRowHeight);
    int rows = 0;
    const auto newRow = [&](QTreeWidgetItem* parent, const QString& label, Qt::Alignment align) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
        item->setText(0, label + QLatin1Char(':'));
        item->setTextAlignment(0, align | Qt::AlignVCenter);
        item->setFlags(Qt::ItemIsEnabled);
        for (int c = 0; c < 3; ++c)
            item->setSizeHint(c, rowSize);
        ++rows;
        return item;
    };

    for (const FrameField& f : protocol.fields) {
        QTreeWidgetItem* item = newRow(nullptr, f.label, Qt::AlignLeft);
        QLineEdit* edit = nullptr;
        switch (f.type) {
        case FieldType::Hex: {
            edit = addInput(tree, item, f.name, QString(), true);
            edit->setValidator(new HexValidator(f.length, edit));
            edit->setText(f.defaultValue.toUpper());
            edit->setToolTip(f.tooltip);
            item->setText(2, noteForHex(f.length));
            break;
        }
        case FieldType::Constant:
            edit = addInput(tree, item, f.name, HexText::dump(f.constantBytes, INT_MAX), false);
            edit->setToolTip(f.tooltip);
            break;
        case FieldType::LengthField:
            addInput(tree, item, f.name, tr("Auto"), false);
            break;
        case FieldType::Crc:
            addInput(tree, item, f.name, f.algorithm, false);
            break;
        case FieldType::Bits:
            edit = addInput(tree, item, f.name, f.defaultValue, true);
            edit->setToolTip(f.tooltip);
            item->setText(2, tr("%1-bit").arg(f.width));
            break;
        case FieldType::BitGroup:
            for (const FrameField& sub : f.bitFields) {
                QTreeWidgetItem* child = newRow(item, sub.label, Qt::AlignRight);
                QLineEdit* subEdit =
                    addInput(tree, child, f.name + QLatin1Char('.') + sub.name, sub.defaultValue, true);
                subEdit->setPlaceholderText(sub.label);
                child->setText(2, tr("%1-bit").arg(sub.width));
            }
            item->setExpanded(true);
            break;
        }
    }
    tree->setMinimumHeight(qMin(rows * kRowHeight + 8, kMaxPageHeight));
    return tree;
}

FieldValues FrameAssemblerWidget::collectValues() const
{
    FieldValues values;
    QWidget* page = m_pages->currentWidget();
    if (!page)
        return values;
    const auto edits = page->findChildren<QLineEdit*>();
    for (const QLineEdit* edit : edits) {
        if (edit->objectName().isEmpty())
            continue;
        values.insert(edit->objectName(), edit->text().trimmed());
    }
    return values;
}

void FrameAssemblerWidget::onProtocolChanged(int index)
{
    if (index < 0 || index >= m_pages->count())
        return;
    m_pages->setCurrentIndex(index);
    m_currentIndex = index;
    updateDescription();
    onParamChanged();
}

void FrameAssemblerWidget::onParamChanged()
{
    const FrameProtocol* protocol = currentProtocol();
    if (!protocol)
        return;
    QString error;
    const QByteArray frame = ProtocolRegistry::buildFrame(*protocol, collectValues(), &error);
    if (frame.isEmpty() && !error.isEmpty()) {
        m_preview->setPlainText(tr("Error: %1").arg(error));
        setStatus(QString(), "");
        return;
    }
    m_preview->setPlainText(HexText::dump(frame, INT_MAX));
    setStatus(tr("%1 bytes").arg(frame.size()), "info-lbl");
    m_statusKind = StatusKind::ByteCount;
}

void FrameAssemblerWidget::onSendClicked()
{
    const FrameProtocol* protocol = currentProtocol();
    if (!protocol)
        return;
    m_previewTimer->stop();
    QString error;
    const QByteArray frame = ProtocolRegistry::buildFrame(*protocol, collectValues(), &error);
    if (frame.isEmpty() && !error.isEmpty()) {
        setStatus(tr("Error: %1").arg(error), "error-lbl");
        m_statusKind = StatusKind::SendError;
        return;
    }
    Q_EMIT writeRequest(frame);
}

void FrameAssemblerWidget::onOpenFolderClicked()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(m_protocolDir));
}

void FrameAssemblerWidget::onReloadClicked()
{
    ProtocolRegistry& registry = ProtocolRegistry::instance();
    registry.clear();
    registry.loadFolder(m_protocolDir);
    // With nothing loaded the old pages would point past the empty list, so
    // they go too and the panel shows its empty state.
    rebuildPages();
}

void FrameAssemblerWidget::setStatus(const QString& text, const char* style)
{
    m_statusKind = StatusKind::None;
    m_status->setText(text);
    StyleHelper::setStyle(m_status, QLatin1String(style));
}

void FrameAssemblerWidget::updateDescription()
{
    const FrameProtocol* protocol = currentProtocol();
    const QString prefix = m_describeShort ? tr("Describe:") : tr("Protocol Describe:");
    m_description->setText(protocol ? prefix + QLatin1Char(' ') + protocol->description : prefix);
}

void FrameAssemblerWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        m_describeShort = true;
        retranslate();
    }
    QWidget::changeEvent(event);
}

void FrameAssemblerWidget::retranslate()
{
    m_title->setText(tr("Frame Assembler"));
    m_protocolLabel->setText(tr("Protocol:"));
    m_openFolderBtn->setToolTip(tr("Open Protocol Folder"));
    m_reloadBtn->setToolTip(tr("Reload Protocols"));
    m_emptyLabel->setText(tr("No protocol loaded"));
    m_previewLabel->setText(tr("Preview:"));
    m_sendBtn->setText(tr("Send"));
    updateDescription();
    retranslatePages();
    retranslateResult();
}

void FrameAssemblerWidget::retranslateResult()
{
    // The preview, the byte count and a send error were written in the old
    // language; building again writes them in the new one.
    const FrameProtocol* protocol = currentProtocol();
    if (!protocol)
        return;
    if (m_statusKind == StatusKind::SendError) {
        QString error;
        if (ProtocolRegistry::buildFrame(*protocol, collectValues(), &error).isEmpty() && !error.isEmpty()) {
            m_preview->setPlainText(tr("Error: %1").arg(error));
            setStatus(tr("Error: %1").arg(error), "error-lbl");
            m_statusKind = StatusKind::SendError;
            return;
        }
    }
    onParamChanged();
}

void FrameAssemblerWidget::retranslatePages()
{
    // Rows were built in field order, so item i belongs to field i; typed
    // values stay as they are.
    const auto& list = ProtocolRegistry::instance().protocols();
    for (int p = 0; p < m_pages->count() && p < list.size(); ++p) {
        auto* tree = qobject_cast<QTreeWidget*>(m_pages->widget(p));
        const FrameProtocol& protocol = list.at(p);
        if (!tree || tree->topLevelItemCount() != protocol.fields.size())
            continue;
        for (int i = 0; i < protocol.fields.size(); ++i) {
            const FrameField& f = protocol.fields.at(i);
            QTreeWidgetItem* item = tree->topLevelItem(i);
            if (f.type == FieldType::Hex) {
                item->setText(2, noteForHex(f.length));
            } else if (f.type == FieldType::Bits) {
                item->setText(2, tr("%1-bit").arg(f.width));
            } else if (f.type == FieldType::LengthField) {
                if (auto* edit = qobject_cast<QLineEdit*>(tree->itemWidget(item, 1)))
                    edit->setText(tr("Auto"));
            } else if (f.type == FieldType::BitGroup) {
                for (int c = 0; c < item->childCount() && c < f.bitFields.size(); ++c)
                    item->child(c)->setText(2, tr("%1-bit").arg(f.bitFields.at(c).width));
            }
        }
    }
}

QString FrameAssemblerWidget::noteForHex(int length) const
{
    return length < 1 ? tr("var") : tr("%1 B").arg(length);
}
