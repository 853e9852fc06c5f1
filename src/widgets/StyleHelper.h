#pragma once

#include <QString>

class QWidget;

// The theme sheets select on a dynamic "style" property; changing it only
// takes effect after a re-polish, which this does in one place.
class StyleHelper
{
public:
    static void setStyle(QWidget* widget, const QString& value);
};
