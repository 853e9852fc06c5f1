#pragma once

#include <QByteArray>
#include <QPointer>
#include <QWidget>

class CSwitch;
class FileTransmission;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class SerialPortManager;

// The session's file transfer panel: picks the file and the protocol, starts
// and pauses the transfer and shows its progress. It is the bridge between
// the transfer controller and the port: the controller's bytes go out through
// the port manager, and received chunks come in through rawDataReceived().
class FileTransimisionWidget : public QWidget
{
    Q_OBJECT
public:
    explicit FileTransimisionWidget(QWidget* parent = nullptr);
    ~FileTransimisionWidget() override;

    void setSerialPortManager(SerialPortManager* manager);
    FileTransmission* transmission() const { return m_transmission; }

Q_SIGNALS:
    // Kept for the session's connection list; the panel writes the
    // controller's bytes itself and never emits this, so nothing goes out twice.
    void writeRequest(QByteArray data);
    void statusTextChanged(QString text);
    void statusChanged(bool started = true);

public Q_SLOTS:
    void rawDataReceived(QByteArray data);

protected:
    void changeEvent(QEvent* event) override;

private Q_SLOTS:
    void onStartClicked();
    void onProtocolIndexChanged(int index);
    void onControllerWriteRequest(const QByteArray& data);
    void onActiveChanged();
    void onProgressChanged();
    void onPortBytesWritten();
    void onPortDisconnected();
    void showFileDialog(const QString& startPath);

private:
    void retranslate();
    void fillProtocolBox();
    void updateStartText();
    void reportPending();

    FileTransmission* m_transmission = nullptr;
    QPointer<SerialPortManager> m_manager;
    bool m_started = false;
    bool m_stopping = false;

    QLabel* m_title = nullptr;
    QLabel* m_fileLabel = nullptr;
    QLineEdit* m_fileEdit = nullptr;
    QPushButton* m_fileBtn = nullptr;
    QLabel* m_protocolLabel = nullptr;
    QComboBox* m_protocolBox = nullptr;
    QWidget* m_intervalRow = nullptr;
    QLabel* m_intervalLabel = nullptr;
    QSpinBox* m_intervalBox = nullptr;
    QLabel* m_intervalUnit = nullptr;
    QWidget* m_blockRow = nullptr;
    QLabel* m_blockLabel = nullptr;
    QSpinBox* m_blockBox = nullptr;
    QLabel* m_blockUnit = nullptr;
    QLabel* m_progressLabel = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QLabel* m_bytesLabel = nullptr;
    QLabel* m_speedLabel = nullptr;
    QPushButton* m_startBtn = nullptr;
    QLabel* m_logLabel = nullptr;
    CSwitch* m_logSwitch = nullptr;
};
