#include "StyleHelper.h"

#include <QStyle>
#include <QWidget>

void StyleHelper::setStyle(QWidget* widget, const QString& value)
{
    if (!widget)
        return;
    widget->setProperty("style", value);
    widget->style()->unpolish(widget);
    widget->style()->polish(widget);
    widget->update();
}
