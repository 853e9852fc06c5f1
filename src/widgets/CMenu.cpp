#include "CMenu.h"

CMenu::CMenu(QWidget* parent) : QMenu(parent)
{
    setProperty("class", "ContextMenu");
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_DeleteOnClose);
}
