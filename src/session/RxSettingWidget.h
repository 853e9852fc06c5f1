#pragma once

#include <QFrame>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

// "Rx Settings": how received data is shown. The session reads the controls
// when it needs them; the signals are for other listeners.
class SettingWidget;

class RxSettingWidget : public QFrame
{
    Q_OBJECT
public:
    explicit RxSettingWidget(QWidget* parent = nullptr);

    bool isHexMode() const;
    // 0 when "Auto": as many as the log view's width holds.
    int hexBytesPerLine() const;
    bool isHexDumpColumns() const;
    bool isAutoWrap() const;
    bool isShowSend() const;
    bool isShowTimestamp() const;
    // LineStamp::Format of the stamps.
    int timestampFormat() const;
    bool isShowLog() const;
    bool isSaveToFile() const;
    // Used when the log file cannot be opened.
    void uncheckSaveToFile();
    // Opens the general settings popup (the settings button does this).
    SettingWidget* openSettings();

    QRadioButton* asciiButton() const { return m_asciiBtn; }
    QRadioButton* hexButton() const { return m_hexBtn; }
    QComboBox* bytesPerLineBox() const { return m_bytesPerLineBox; }
    QCheckBox* autoWrapBox() const { return m_autoWrap; }
    QCheckBox* hexDumpBox() const { return m_hexDump; }
    QCheckBox* showSendBox() const { return m_showSend; }
    QCheckBox* showTimestampBox() const { return m_showTime; }
    QComboBox* timestampFormatBox() const { return m_stampFormat; }
    QCheckBox* showLogBox() const { return m_showLog; }
    QCheckBox* saveToFileBox() const { return m_saveToFile; }
    QPushButton* settingsButton() const { return m_settingsBtn; }

Q_SIGNALS:
    void modeChanged(bool isHexMode);
    void autoWrapChanged(bool isAutoWrap);
    void hexDumpColumnsChanged(bool on);
    void showSendChanged(bool isShowSend);
    void showTimestampChanged(bool isShowTimestamp);
    void timestampFormatChanged(int format);
    void showLogChanged(bool isShowLog);
    void saveToFileChanged(bool isSaveToFile);
    void logFilePathChanged();

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void onHexToggled(bool hex);
    void onBytesPerLineChanged(int index);

    QLabel* m_title = nullptr;
    QButtonGroup* m_modeGroup = nullptr;
    QRadioButton* m_asciiBtn = nullptr;
    QRadioButton* m_hexBtn = nullptr;
    QComboBox* m_bytesPerLineBox = nullptr;
    QCheckBox* m_autoWrap = nullptr;
    QCheckBox* m_hexDump = nullptr;
    QCheckBox* m_showSend = nullptr;
    QCheckBox* m_showTime = nullptr;
    QComboBox* m_stampFormat = nullptr;
    QCheckBox* m_showLog = nullptr;
    QCheckBox* m_saveToFile = nullptr;
    QPushButton* m_settingsBtn = nullptr;
};
