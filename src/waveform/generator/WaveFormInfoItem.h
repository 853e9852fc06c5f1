#pragma once

#include "WaveformGenerator.h"

#include <QFrame>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;

// One waveform kind of the generator: its name, period, amplitude, offset
// and decay constant, and the check box that selects it for output.
class WaveFormInfoItem : public QFrame
{
    Q_OBJECT
public:
    explicit WaveFormInfoItem(int kind, QWidget* parent = nullptr);

    int kind() const { return m_kind; }
    // The current fields (the name is the kind's source text).
    WaveformInfo info() const;
    bool isChecked() const;
    void setChecked(bool checked);

    QCheckBox* checkBox() const { return m_check; }
    QSpinBox* periodBox() const { return m_period; }
    QDoubleSpinBox* amplitudeBox() const { return m_amplitude; }
    QDoubleSpinBox* offsetBox() const { return m_offset; }
    QDoubleSpinBox* decayBox() const { return m_decay; }

    QSize sizeHint() const override;

Q_SIGNALS:
    void toggled(bool checked);
    void valueChanged();

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void retranslate();
    // Marks a period or decay constant the kind cannot work with.
    void updateValidity();

    int m_kind = 0;
    QLabel* m_title = nullptr;
    QLabel* m_periodLabel = nullptr;
    QLabel* m_amplitudeLabel = nullptr;
    QLabel* m_offsetLabel = nullptr;
    QLabel* m_decayLabel = nullptr;
    QSpinBox* m_period = nullptr;
    QDoubleSpinBox* m_amplitude = nullptr;
    QDoubleSpinBox* m_offset = nullptr;
    QDoubleSpinBox* m_decay = nullptr;
    QCheckBox* m_check = nullptr;
};
