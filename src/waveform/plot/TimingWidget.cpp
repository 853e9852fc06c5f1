#include "TimingWidget.h"

TimingWidget::TimingWidget(QWidget* parent) : QFrame(parent) {}
