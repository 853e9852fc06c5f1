#include "CStatusBar.h"

CStatusBar::CStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("CStatusBar"));
    setSizeGripEnabled(false);
}
