#include "LogWidget.h"

#include "AppConfig.h"
#include "AppPaths.h"
#include "CPlainTextEdit.h"
#include "CSwitch.h"
#include "CSyntaxHighlighter.h"
#include "IconHelper.h"
#include "LogSearchBar.h"
#include "StyleHelper.h"
#include "StyleWatcher.h"

#include <QEvent>
#include <QFileInfo>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

// The stored form is the font's string form; older files hold only
// "family,size", which fromString() also accepts.
QFont logFont()
{
    QFont font;
    if (!AppConfig::LogWinFont.isEmpty() && font.fromString(AppConfig::LogWinFont))
        return font;
    return QFont(QStringLiteral("Monospace"), 10);
}

} // namespace

LogWidget::LogWidget(QWidget* parent) : QFrame(parent)
{
    m_title = new QLabel(this);
    StyleHelper::setStyle(m_title, QStringLiteral("title-lbl"));
    // Glyphs of the icon font; the tool tips carry the words. The font goes
    // on before the style property: a style sheet polish in between would
    // remember the default font and put it back at the next theme switch.
    m_saveBtn = new QPushButton(this);
    m_saveBtn->setCursor(Qt::PointingHandCursor);
    m_saveBtn->setFont(IconHelper::instance()->phosphor(16));
    m_saveBtn->setText(IconHelper::glyph(IconHelper::PhFloppyDisk));
    StyleHelper::setStyle(m_saveBtn, QStringLiteral("system-btn"));
    m_clearBtn = new QPushButton(this);
    m_clearBtn->setCursor(Qt::PointingHandCursor);
    m_clearBtn->setFont(IconHelper::instance()->phosphor(16));
    m_clearBtn->setText(IconHelper::glyph(IconHelper::PhTrash));
    StyleHelper::setStyle(m_clearBtn, QStringLiteral("system-btn"));
    m_saveBtn->setFixedSize(32, 24);
    m_clearBtn->setFixedSize(32, 24);

    m_highlightLabel = new QLabel(this);
    m_highlightSwitch = new CSwitch(this);
    m_highlightSwitch->setFixedSize(35, 18);
    m_ansiLabel = new QLabel(this);
    m_ansiSwitch = new CSwitch(this);
    m_ansiSwitch->setFixedSize(35, 18);
    m_autoScrollLabel = new QLabel(this);
    m_autoScrollSwitch = new CSwitch(this);
    m_autoScrollSwitch->setFixedSize(35, 18);
    m_autoScrollSwitch->setChecked(true);

    m_textArea = new CPlainTextEdit(this);
    m_textArea->setFont(logFont());

    auto* titleRow = new QHBoxLayout;
    titleRow->setContentsMargins(0, 0, 0, 0);
    titleRow->setSpacing(4);
    titleRow->addWidget(m_title);
    titleRow->addStretch(1);
    titleRow->addWidget(m_highlightLabel);
    titleRow->addWidget(m_highlightSwitch);
    titleRow->addSpacing(8);
    titleRow->addWidget(m_ansiLabel);
    titleRow->addWidget(m_ansiSwitch);
    titleRow->addSpacing(8);
    titleRow->addWidget(m_autoScrollLabel);
    titleRow->addWidget(m_autoScrollSwitch);
    titleRow->addSpacing(8);
    titleRow->addWidget(m_saveBtn);
    titleRow->addWidget(m_clearBtn);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(titleRow);
    m_searchBar = new LogSearchBar(m_textArea, this);
    layout->addWidget(m_searchBar);
    layout->addWidget(m_textArea, 1);
    // Anywhere in the window: the log is what there is to search.
    auto* find = new QShortcut(QKeySequence::Find, this, nullptr, nullptr, Qt::WindowShortcut);
    connect(find, &QShortcut::activated, m_searchBar, &LogSearchBar::openBar);

    connect(m_saveBtn, &QPushButton::clicked, this, &LogWidget::saveBtnClicked);
    connect(m_clearBtn, &QPushButton::clicked, this, &LogWidget::clearBtnClicked);

    m_highlighter = new CSyntaxHighlighter(static_cast<QTextDocument*>(nullptr));
    m_highlighter->setParent(this);
    m_highlighter->loadRuleFile(ruleFilePath(StyleWatcher::instance()->skinType()));
    m_textArea->setHighlighter(m_highlighter);
    m_highlightSwitch->setChecked(AppConfig::LogHighlight);
    m_ansiSwitch->setChecked(AppConfig::LogAnsiColours);
    setAnsiColours(AppConfig::LogAnsiColours);
    setHighlighting(AppConfig::LogHighlight);
    connect(m_highlightSwitch, &CSwitch::toggled, this, &LogWidget::setHighlighting);
    connect(m_ansiSwitch, &CSwitch::toggled, this, &LogWidget::setAnsiColours);

    connect(m_autoScrollSwitch, &CSwitch::toggled, m_textArea, &CPlainTextEdit::setAutoScrollEnable);
    // The switch only shows what the text area decided: going through its
    // toggled signal would move the view to the end the user just left.
    connect(m_textArea, &CPlainTextEdit::autoScrollStateChanged, this, [this](bool state) {
        const QSignalBlocker block(m_autoScrollSwitch);
        m_autoScrollSwitch->setChecked(state);
    });
    connect(StyleWatcher::instance(), &StyleWatcher::skinChanged, this, &LogWidget::onSkinChanged);
    retranslate();
}

QString LogWidget::ruleFilePath(int skinType)
{
    const QString relative = skinType == 0 ? QStringLiteral("resources/highlighter/buildin-light.json")
                                           : QStringLiteral("resources/highlighter/buildin.json");
    const QString beside = AppPaths::dataPath(relative);
    if (QFileInfo::exists(beside))
        return beside;
    return QStringLiteral("./") + relative;
}

void LogWidget::setHighlighting(bool on)
{
    AppConfig::LogHighlight = on;
    m_highlighter->setRulesEnabled(on);
    updateHighlighterAttachment();
}

void LogWidget::setAnsiColours(bool on)
{
    AppConfig::LogAnsiColours = on;
    // Text from now on keeps its colour codes (or loses them); the lines
    // already shown show or hide the colours they came with.
    m_textArea->setAnsiColours(on);
    m_highlighter->setAnsiEnabled(on);
    updateHighlighterAttachment();
}

void LogWidget::updateHighlighterAttachment()
{
    // The text area colours the lines as they come into view; attaching makes
    // every line due and colours the ones in view now.
    const bool on = m_highlighter->rulesEnabled() || m_highlighter->ansiEnabled();
    m_highlighter->attachDocument(on ? m_textArea->document() : nullptr);
    if (on)
        m_textArea->colourVisibleBlocks();
}

void LogWidget::onSkinChanged(int type)
{
    // A successful load makes every line due again and has the lines in
    // view coloured with the new rules.
    m_highlighter->loadRuleFile(ruleFilePath(type));
}

void LogWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QFrame::changeEvent(event);
}

void LogWidget::retranslate()
{
    m_title->setText(tr("LOG"));
    m_highlightLabel->setText(tr("Highlighter"));
    m_ansiLabel->setText(tr("ANSI colours"));
    m_ansiSwitch->setToolTip(
        tr("Show the colours the device sends (ANSI codes); off, the codes are removed"));
    m_autoScrollLabel->setText(tr("Auto Scroll"));
    m_saveBtn->setToolTip(tr("Save Log to File"));
    m_clearBtn->setToolTip(tr("Clear log"));
}
