#pragma once

#include <QFrame>
#include <QList>

class CSwitch;
class QLabel;
class QPushButton;
class QScrollArea;
class QSpinBox;
class TimingWidget;

// Side panel of the waveform: the on/off switch, which of the sixteen
// channels are shown, the sample rate used as the time base, and the timing
// markers list. It only emits; the session wires it to the plot.
class WaveformManagerWidget : public QFrame
{
    Q_OBJECT
public:
    static constexpr int kChannelCount = 16;
    static constexpr int kDefaultSampleRate = 100000;

    explicit WaveformManagerWidget(QWidget* parent = nullptr);

    int sampleRate() const;
    bool isWaveformEnabled() const;

    CSwitch* enableSwitch() const { return m_switch; }
    QSpinBox* sampleRateBox() const { return m_sampleRate; }
    QPushButton* allButton() const { return m_allBtn; }
    QPushButton* clearButton() const { return m_clearBtn; }
    // Null for an index outside 0..15.
    QPushButton* channelButton(int index) const;
    TimingWidget* timingWidget() const { return m_timing; }

public Q_SLOTS:
    // Mirrors the plot's state: no itemChanged comes back from this.
    void setItemChecked(int index, bool checked);

Q_SIGNALS:
    void itemChanged(int index, bool selected);
    void switchChecked(bool checked);
    void sampleRateChanged(int rate);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void onSwitchToggled(bool checked);
    void setAllChecked(bool checked);

    QLabel* m_title = nullptr;
    QLabel* m_enableLabel = nullptr;
    CSwitch* m_switch = nullptr;
    QLabel* m_channelLabel = nullptr;
    QPushButton* m_allBtn = nullptr;
    QPushButton* m_clearBtn = nullptr;
    QList<QPushButton*> m_channelBtns;
    QLabel* m_rateLabel = nullptr;
    QSpinBox* m_sampleRate = nullptr;
    QLabel* m_timingLabel = nullptr;
    QScrollArea* m_timingArea = nullptr;
    TimingWidget* m_timing = nullptr;
};
