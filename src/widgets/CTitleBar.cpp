#include "CTitleBar.h"

#include "IconHelper.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QWindow>

namespace {
const char kLogoPath[] = ":/resources/img/Components/png/logo.png";
} // namespace

CTitleBar::CTitleBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("CTitleBar"));
    // Lets the theme sheets paint this plain QWidget subclass's background.
    setAttribute(Qt::WA_StyledBackground, true);
    setFixedHeight(36);

    m_header = makeButton(QStringLiteral("title-header-btn"), QString());
    if (QFile::exists(QLatin1String(kLogoPath))) {
        m_header->setIcon(QIcon(QLatin1String(kLogoPath)));
        m_header->setIconSize(QSize(20, 20));
    } else {
        m_header->setText(QStringLiteral("◆"));
    }

    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("title-text"));
    m_title->setProperty("style", "title-lbl");
    // The label must not swallow presses: they start a window drag.
    m_title->setAttribute(Qt::WA_TransparentForMouseEvents, true);

    m_about = makeButton(QStringLiteral("title-about-btn"), QStringLiteral("?"));
    m_skin = makeButton(QStringLiteral("title-skin-btn"), QStringLiteral("◐"));
    m_language = makeButton(QStringLiteral("title-language-btn"), QStringLiteral("文A"));
    m_min = makeButton(QStringLiteral("title-min-btn"), QStringLiteral("—"));
    m_max = makeButton(QStringLiteral("title-max-btn"), QStringLiteral("□"));
    m_restore = makeButton(QStringLiteral("title-restore-btn"), QStringLiteral("❐"));
    m_close = makeButton(QStringLiteral("title-close-btn"), QStringLiteral("✕"));
    m_restore->setVisible(false);

    // Icon-font glyphs when the font is there; the plain characters above
    // stay otherwise.
    IconHelper* icons = IconHelper::instance();
    if (icons->hasPhosphor()) {
        const struct
        {
            QPushButton* button;
            char32_t glyph;
            int size;
        } glyphs[] = {
            {m_about, IconHelper::PhQuestion, 17},
            {m_skin, IconHelper::PhPalette, 17},
            {m_language, IconHelper::PhTranslate, 17},
            {m_min, IconHelper::PhMinus, 15},
            {m_max, IconHelper::PhSquare, 14},
            {m_restore, IconHelper::PhCopy, 14},
            {m_close, IconHelper::PhX, 15},
        };
        for (const auto& g : glyphs) {
            g.button->setFont(icons->phosphor(g.size));
            g.button->setText(IconHelper::glyph(g.glyph));
        }
    }

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_header);
    layout->addSpacing(4);
    layout->addWidget(m_title);
    layout->addStretch(1);
    layout->addWidget(m_about);
    layout->addWidget(m_skin);
    layout->addWidget(m_language);
    layout->addSpacing(8);
    layout->addWidget(m_min);
    layout->addWidget(m_max);
    layout->addWidget(m_restore);
    layout->addWidget(m_close);

    connect(m_header, &QPushButton::clicked, this, &CTitleBar::headerBtnClicked);
    connect(m_about, &QPushButton::clicked, this, &CTitleBar::aboutBtnClicked);
    connect(m_skin, &QPushButton::clicked, this, &CTitleBar::skinBtnClicked);
    connect(m_language, &QPushButton::clicked, this, &CTitleBar::languageBtnClicked);
    connect(m_min, &QPushButton::clicked, this, &CTitleBar::minBtnClicked);
    connect(m_max, &QPushButton::clicked, this, &CTitleBar::maxBtnClicked);
    connect(m_restore, &QPushButton::clicked, this, &CTitleBar::restoreBtnClicked);
    connect(m_close, &QPushButton::clicked, this, &CTitleBar::closeBtnClicked);

    retranslate();
}

QPushButton* CTitleBar::makeButton(const QString& objectName, const QString& glyph)
{
    auto* button = new QPushButton(glyph, this);
    button->setObjectName(objectName);
    button->setProperty("style", "system-btn");
    button->setFocusPolicy(Qt::NoFocus);
    button->setFlat(true);
    button->setFixedSize(40, 36);
    return button;
}

void CTitleBar::setTitleText(const QString& text)
{
    m_title->setText(text);
}

QString CTitleBar::titleText() const
{
    return m_title->text();
}

void CTitleBar::setMaximizedState(bool maximized)
{
    m_maximized = maximized;
    m_max->setVisible(!maximized);
    m_restore->setVisible(maximized);
}

void CTitleBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressed = true;
    m_manualMove = false;
    m_pressGlobal = event->globalPosition().toPoint();
    m_windowStart = window()->pos();
    event->accept();
}

void CTitleBar::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressed || !(event->buttons() & Qt::LeftButton)) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const QPoint delta = event->globalPosition().toPoint() - m_pressGlobal;
    QWidget* win = window();
    if (m_manualMove) {
        win->move(m_windowStart + delta);
        return;
    }
    if (delta.manhattanLength() < QApplication::startDragDistance())
        return;
    // The window manager moves the window (and snaps, and un-maximises) the
    // way it does for its own title bars.
    QWindow* handle = win->windowHandle();
    if (handle && handle->startSystemMove()) {
        m_pressed = false;
        return;
    }
    // No system move (no window manager, or a platform without it): move by hand.
    if (win->isMaximized() || win->isFullScreen()) {
        m_pressed = false;
        return;
    }
    m_manualMove = true;
    win->move(m_windowStart + delta);
}

void CTitleBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = false;
        m_manualMove = false;
    }
    QWidget::mouseReleaseEvent(event);
}

void CTitleBar::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    m_pressed = false;
    if (window()->isMaximized())
        emit restoreBtnClicked();
    else
        emit maxBtnClicked();
    event->accept();
}

void CTitleBar::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void CTitleBar::retranslate()
{
    m_header->setToolTip(tr("About"));
    m_about->setToolTip(tr("Help"));
    m_skin->setToolTip(tr("Theme"));
    m_language->setToolTip(tr("Language"));
    m_min->setToolTip(tr("Minimize"));
    m_max->setToolTip(tr("Maximize"));
    m_restore->setToolTip(tr("Restore"));
    m_close->setToolTip(tr("Close"));
}
