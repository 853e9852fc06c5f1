#include "CTipPopup.h"

#include "SkinManager.h"
#include "StyleHelper.h"

#include <QTimer>

CTipPopup::CTipPopup(QWidget* parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("CTipPopup"));
    StyleHelper::setStyle(this, QStringLiteral("tip"));
    setWordWrap(true);
    setAlignment(Qt::AlignCenter);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_hideTimer = new QTimer(this);
    m_hideTimer->setSingleShot(true);
    connect(m_hideTimer, &QTimer::timeout, this, &QWidget::hide);
    // Hidden most of the time, so it would miss a theme switch otherwise.
    SkinManager::instance()->registerWidget(this);
    hide();
}

void CTipPopup::showTip(const QString& text, const QPoint& pos, int ms)
{
    setText(text);
    adjustSize();
    QPoint at = pos;
    if (QWidget* p = parentWidget()) {
        at.setX(qBound(0, at.x(), qMax(0, p->width() - width())));
        at.setY(qBound(0, at.y(), qMax(0, p->height() - height())));
    }
    move(at);
    raise();
    show();
    m_hideTimer->start(qMax(0, ms));
}
