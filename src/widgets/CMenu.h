#pragma once

#include <QMenu>

// Context menu styled by the theme sheets: frameless, translucent, no shadow,
// deleted when it closes.
class CMenu : public QMenu
{
    Q_OBJECT
public:
    explicit CMenu(QWidget* parent = nullptr);
};
