#include "CTabBar.h"

CTabBar::CTabBar(QWidget* parent) : QTabBar(parent)
{
    setProperty("style", "tabs");
    setDrawBase(false);
    setExpanding(false);
    setDocumentMode(true);
    setUsesScrollButtons(true);
    setElideMode(Qt::ElideRight);
    setFocusPolicy(Qt::NoFocus);
}
