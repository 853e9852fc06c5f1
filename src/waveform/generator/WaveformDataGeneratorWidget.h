#pragma once

#include "WaveformGenerator.h"

#include <QFrame>
#include <QList>
#include <QPointer>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class SerialPortManager;
class WaveFormInfoItem;
class WaveformListWidget;

// The session's generator panel: plays a device by writing synthetic
// waveform values to the open port as text frames ("{1.0000,0.0628}"), ten
// lines every 20 ms in one write, so a loop-back cable feeds the plot.
class WaveformDataGeneratorWidget : public QFrame
{
    Q_OBJECT
public:
    explicit WaveformDataGeneratorWidget(SerialPortManager* manager, QWidget* parent = nullptr);

    bool isRunning() const;
    // Start needs an open port and at least one checked kind.
    void start();
    void stop();

    QPushButton* startButton() const { return m_startBtn; }
    QPushButton* selectAllButton() const { return m_selectAllBtn; }
    QLineEdit* prefixEdit() const { return m_prefix; }
    QLineEdit* suffixEdit() const { return m_suffix; }
    WaveformListWidget* list() const { return m_list; }
    const WaveformGenerator& generator() const { return m_generator; }

Q_SIGNALS:
    void selected(bool checked, int id);
    void valueChanged(int id);
    void statusChanged(bool started = true);

public Q_SLOTS:
    // One 20 ms tick: ten lines to the port.
    void onTimeout();

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void setButtonStopped();

    QPointer<SerialPortManager> m_manager;
    WaveformGenerator m_generator;
    QList<QPointer<WaveFormInfoItem>> m_selected; // taken at start

    QLabel* m_title = nullptr;
    QPushButton* m_startBtn = nullptr;
    QPushButton* m_selectAllBtn = nullptr;
    QLabel* m_prefixLabel = nullptr;
    QLabel* m_suffixLabel = nullptr;
    QLineEdit* m_prefix = nullptr;
    QLineEdit* m_suffix = nullptr;
    WaveformListWidget* m_list = nullptr;
    QTimer* m_timer = nullptr;
};
