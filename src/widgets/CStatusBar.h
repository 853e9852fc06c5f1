#pragma once

#include <QStatusBar>

// Status bar at the foot of the main window; its labels carry "style" values.
class CStatusBar : public QStatusBar
{
    Q_OBJECT
public:
    explicit CStatusBar(QWidget* parent = nullptr);
};
