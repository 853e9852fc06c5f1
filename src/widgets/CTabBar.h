#pragma once

#include <QTabBar>

// Flat tab bar for tool panels: no base line, tabs sized to their text,
// styled by the sheets through QTabBar rules and the "style" property "tabs".
class CTabBar : public QTabBar
{
    Q_OBJECT
public:
    explicit CTabBar(QWidget* parent = nullptr);
};
