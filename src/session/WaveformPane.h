#pragma once

#include <QByteArray>
#include <QWidget>

class CLuaScriptEngine;
class CsvProtocolParser;
class MultiChannelWaveformWidget;
class QLabel;
class QPushButton;
class QThread;
class QTimer;
class QVBoxLayout;
class WaveformManagerWidget;

// The waveform area over the log: title, record button and the plot. While
// recording, received chunks go to the brace-frame parser on its own thread
// and a drain every 100 ms moves the parsed values into the plot.
class WaveformPane : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kDrainMs = 100;
    static constexpr int kChannels = 16;

    // Neither is owned; both outlive the pane's shutdown().
    WaveformPane(WaveformManagerWidget* manager, CLuaScriptEngine* engine, QWidget* parent = nullptr);
    ~WaveformPane() override;

    // Null until the waveform is first enabled (or recording starts).
    MultiChannelWaveformWidget* plot() const { return m_plot; }
    MultiChannelWaveformWidget* ensurePlot();
    QPushButton* recordButton() const { return m_recordBtn; }
    CsvProtocolParser* parser() const { return m_parser; }
    QTimer* drainTimer() const { return m_drainTimer; }
    qint64 timestamp() const { return m_timestamp; }
    bool isRecording() const;

    // Stops the drain and joins the parser thread; nothing is parsed after it.
    void shutdown();
    void retranslate();

public Q_SLOTS:
    // A received chunk, parsed while recording unless a script parses frames.
    void feed(QByteArray data);
    // Frames a script parser made, parsed while recording.
    void feedScriptFrames(QByteArray frames);

protected:
    // The record shortcut (R) is taken application-wide, but never from a
    // widget that is being typed into.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onRecordToggled(bool checked);
    void onDrainTimeout();
    void queueForParser(const QByteArray& data);

    WaveformManagerWidget* m_manager = nullptr;
    CLuaScriptEngine* m_engine = nullptr;
    QLabel* m_title = nullptr;
    QPushButton* m_recordBtn = nullptr;
    QVBoxLayout* m_layout = nullptr;
    MultiChannelWaveformWidget* m_plot = nullptr;
    QTimer* m_drainTimer = nullptr;
    QThread* m_parserThread = nullptr;
    CsvProtocolParser* m_parser = nullptr;
    qint64 m_timestamp = 0;
};
