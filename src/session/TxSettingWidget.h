#pragma once

#include <QFrame>
#include <QString>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;
class QSpinBox;

// "Tx Settings": how typed text is sent (plain or hex, line ending, repeat).
class TxSettingWidget : public QFrame
{
    Q_OBJECT
public:
    explicit TxSettingWidget(QWidget* parent = nullptr);

    bool isHexMode() const;
    bool isSendNewLine() const;
    bool isRepeatSend() const;
    // The characters of the selected line ending ("\n", "\r", "\r\n" or "\n\r").
    QString lineEnding() const;
    int repeatInterval() const;
    void uncheckRepeatSend();

    QRadioButton* asciiButton() const { return m_asciiBtn; }
    QRadioButton* hexButton() const { return m_hexBtn; }
    QCheckBox* sendNewLineBox() const { return m_sendNewLine; }
    QComboBox* lineEndingBox() const { return m_lineEndingBox; }
    QCheckBox* repeatSendBox() const { return m_repeatSend; }
    QSpinBox* intervalBox() const { return m_interval; }

Q_SIGNALS:
    void modeChanged(bool isHexMode);
    void sendNewLineChanged(bool newLineEn);
    void repeatSendChanged(bool repeatSendEn);
    void repeatIntervalChanged(int interval);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void onHexToggled(bool hex);

    QLabel* m_title = nullptr;
    QButtonGroup* m_modeGroup = nullptr;
    QRadioButton* m_asciiBtn = nullptr;
    QRadioButton* m_hexBtn = nullptr;
    QCheckBox* m_sendNewLine = nullptr;
    QComboBox* m_lineEndingBox = nullptr;
    QCheckBox* m_repeatSend = nullptr;
    QSpinBox* m_interval = nullptr;
    QLabel* m_msLbl = nullptr;
};
