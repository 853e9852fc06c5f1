#include "SessionLayout.h"

#include "CIndicatorButton.h"
#include "CSideBar.h"
#include "IconHelper.h"
#include "StyleHelper.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <iterator>

namespace {

// Side-bar entries in id order: glyph and source text of the tool's name.
struct ToolItem
{
    char32_t glyph;
    const char* name;
};
const ToolItem kToolItems[] = {
    {IconHelper::PhListBullets, QT_TRANSLATE_NOOP("SessionLayout", "Multi Line Send")},
    {IconHelper::PhArrowsDownUp, QT_TRANSLATE_NOOP("SessionLayout", "File Transmision")},
    {IconHelper::PhChartLine, QT_TRANSLATE_NOOP("SessionLayout", "Chart")},
    {IconHelper::PhCode, QT_TRANSLATE_NOOP("SessionLayout", "Lua Script")},
    {IconHelper::PhBracketsCurly, QT_TRANSLATE_NOOP("SessionLayout", "Frame Assembler")},
    {IconHelper::PhWaveSine, QT_TRANSLATE_NOOP("SessionLayout", "Waveform Data Generator")},
};

} // namespace

SessionLayout::SessionLayout(QWidget* session, const Parts& parts)
{
    // Settings column.
    auto* settings = new QWidget;
    settings->setObjectName(QStringLiteral("SettingsColumn"));
    auto* settingsLayout = new QVBoxLayout(settings);
    settingsLayout->setContentsMargins(0, 0, 0, 0);
    settingsLayout->setSpacing(4);
    settingsLayout->addWidget(parts.portSettings);
    settingsLayout->addWidget(parts.rxSettings);
    settingsLayout->addWidget(parts.txSettings, 1);
    settingsArea = new QScrollArea(session);
    settingsArea->setFixedWidth(230);
    settingsArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    settingsArea->setWidgetResizable(true);
    settingsArea->setFrameShape(QFrame::NoFrame);
    settingsArea->setWidget(settings);

    // Tool stack: one page per side-bar item, in id order.
    const Tools tools = parts.makeTools();
    toolStack = new QStackedWidget(session);
    for (QWidget* page : tools.pages)
        toolStack->addWidget(page);
    toolStack->hide();

    // Log area: the log view over the send input.
    auto* logArea = new QWidget(session);
    auto* logLayout = new QVBoxLayout(logArea);
    logLayout->setContentsMargins(0, 0, 0, 0);
    logLayout->setSpacing(4);
    typeIndicator = new QLabel(logArea);
    typeIndicator->setObjectName(QStringLiteral("TypeIntoPortIndicator"));
    typeIndicator->setWordWrap(true);
    StyleHelper::setStyle(typeIndicator, QStringLiteral("typing-lbl"));
    typeIndicator->hide();
    logLayout->addWidget(typeIndicator);
    logLayout->addWidget(parts.log, 1);
    logLayout->addWidget(parts.send);

    vSplitter = new QSplitter(Qt::Vertical, session);
    vSplitter->setHandleWidth(3);
    vSplitter->addWidget(tools.waveform);
    vSplitter->addWidget(logArea);
    vSplitter->setStretchFactor(0, 5);
    vSplitter->setStretchFactor(1, 0);
    vSplitter->setCollapsible(0, false);
    vSplitter->setCollapsible(1, true);
    vSplitter->setSizes({800, 100});

    hSplitter = new QSplitter(Qt::Horizontal, session);
    hSplitter->addWidget(vSplitter);
    hSplitter->addWidget(toolStack);
    hSplitter->setStretchFactor(0, 4);
    hSplitter->setStretchFactor(1, 0);
    hSplitter->setCollapsible(0, true);
    hSplitter->setCollapsible(1, false);
    hSplitter->setSizes({400, 300});

    // Side-bar column.
    settingsButton = new CIndicatorButton(session);
    settingsButton->setFixedHeight(70);
    settingsButton->setFont(IconHelper::instance()->phosphor(18));
    settingsButton->setText(IconHelper::glyph(IconHelper::PhSliders));
    StyleHelper::setStyle(settingsButton, QStringLiteral("side_bar_btn"));
    settingsButton->setChecked(true);
    sideBar = new CSideBar(session);
    for (const ToolItem& item : kToolItems)
        sideBar->addItem(IconHelper::glyph(item.glyph), QString());
    sideBar->setItemFont(IconHelper::instance()->phosphor(18));
    auto* sideColumn = new QWidget(session);
    sideColumn->setObjectName(QStringLiteral("SideColumn"));
    sideColumn->setFixedWidth(40);
    auto* sideLayout = new QVBoxLayout(sideColumn);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->setSpacing(2);
    sideLayout->addWidget(settingsButton);
    sideLayout->addWidget(sideBar, 1);

    auto* layout = new QHBoxLayout(session);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(settingsArea);
    layout->addWidget(hSplitter, 1);
    layout->addWidget(sideColumn);

    QObject::connect(settingsButton, &QPushButton::clicked, settingsArea, &QWidget::setVisible);
    QStackedWidget* stack = toolStack;
    QObject::connect(sideBar, &CSideBar::clicked, stack, [stack](bool checked, int id) {
        if (checked && id >= 0 && id < stack->count()) {
            stack->setCurrentIndex(id);
            stack->show();
        } else {
            stack->hide();
        }
    });
}

void SessionLayout::setToolActive(ToolPage page, bool active)
{
    sideBar->setIndicatorEnable(page, active);
}

void SessionLayout::retranslate()
{
    settingsButton->setToolTip(tr("Settings"));
    for (int i = 0; i < int(std::size(kToolItems)); ++i)
        sideBar->setItemToolTip(i, tr(kToolItems[i].name));
}
