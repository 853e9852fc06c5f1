#pragma once

#include <QFrame>

// Timing markers list of the waveform settings panel: one row per cursor pair
// of the plot. For now an empty placeholder that keeps its place in the panel.
class TimingWidget : public QFrame
{
    Q_OBJECT
public:
    explicit TimingWidget(QWidget* parent = nullptr);
};
