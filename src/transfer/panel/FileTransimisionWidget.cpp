#include "FileTransimisionWidget.h"

#include "ByteSizeText.h"
#include "CDialog.h"
#include "CSwitch.h"
#include "FileTransmission.h"
#include "SerialPortManager.h"
#include "StyleHelper.h"

#include <QApplication>
#include <QComboBox>
#include <QDebug>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <climits>

namespace {

constexpr int kRowHeight = 25;
// Protocol transfers started from the panel always use these.
constexpr int kPanelRetries = 10;
constexpr int kPanelTimeoutMs = 30000;

bool showsPacingRows(int mode)
{
    return mode == FileTransmission::PlainText || mode == FileTransmission::RawBinary;
}

} // namespace

FileTransimisionWidget::FileTransimisionWidget(QWidget* parent) : QWidget(parent)
{
    m_transmission = new FileTransmission(this);

    m_title = new QLabel(this);
    StyleHelper::setStyle(m_title, QStringLiteral("title-lbl"));

    m_fileLabel = new QLabel(this);
    m_fileEdit = new QLineEdit(this);
    m_fileEdit->setObjectName(QStringLiteral("fileEdit"));
    m_fileEdit->setReadOnly(true);
    m_fileEdit->setFixedHeight(kRowHeight);
    m_fileEdit->setText(m_transmission->fileName());
    m_fileBtn = new QPushButton(QStringLiteral("..."), this);
    m_fileBtn->setObjectName(QStringLiteral("fileButton"));
    m_fileBtn->setFixedSize(50, kRowHeight);
    m_fileBtn->setCursor(Qt::PointingHandCursor);

    m_protocolLabel = new QLabel(this);
    m_protocolBox = new QComboBox(this);
    m_protocolBox->setObjectName(QStringLiteral("protocolBox"));
    m_protocolBox->setFixedHeight(kRowHeight);

    m_intervalRow = new QWidget(this);
    m_intervalRow->setObjectName(QStringLiteral("intervalRow"));
    m_intervalLabel = new QLabel(m_intervalRow);
    m_intervalBox = new QSpinBox(m_intervalRow);
    m_intervalBox->setObjectName(QStringLiteral("intervalBox"));
    m_intervalBox->setRange(10, INT_MAX);
    m_intervalBox->setValue(100);
    m_intervalUnit = new QLabel(m_intervalRow);

    m_blockRow = new QWidget(this);
    m_blockRow->setObjectName(QStringLiteral("blockSizeRow"));
    m_blockLabel = new QLabel(m_blockRow);
    m_blockBox = new QSpinBox(m_blockRow);
    m_blockBox->setObjectName(QStringLiteral("blockSizeBox"));
    m_blockBox->setRange(64, 67108864);
    m_blockBox->setValue(4096);
    m_blockUnit = new QLabel(m_blockRow);

    m_progressLabel = new QLabel(this);
    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName(QStringLiteral("progressBar"));
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    m_bytesLabel = new QLabel(QStringLiteral("0B/0B"), this);
    m_bytesLabel->setObjectName(QStringLiteral("bytesLabel"));
    m_speedLabel = new QLabel(tr("0 KB/s"), this);
    m_speedLabel->setObjectName(QStringLiteral("speedLabel"));

    m_startBtn = new QPushButton(this);
    m_startBtn->setObjectName(QStringLiteral("startButton"));
    m_startBtn->setFixedSize(80, kRowHeight);
    m_startBtn->setCursor(Qt::PointingHandCursor);

    m_logLabel = new QLabel(this);
    m_logSwitch = new CSwitch(this);
    m_logSwitch->setObjectName(QStringLiteral("logSwitch"));
    m_logSwitch->setFixedSize(40, 20);
    m_logSwitch->setChecked(false);

    auto* fileRow = new QHBoxLayout;
    fileRow->setContentsMargins(0, 0, 0, 0);
    fileRow->setSpacing(4);
    fileRow->addWidget(m_fileEdit, 1);
    fileRow->addWidget(m_fileBtn);

    auto* intervalLayout = new QHBoxLayout(m_intervalRow);
    intervalLayout->setContentsMargins(0, 0, 0, 0);
    intervalLayout->setSpacing(4);
    intervalLayout->addWidget(m_intervalLabel);
    intervalLayout->addWidget(m_intervalBox, 1);
    intervalLayout->addWidget(m_intervalUnit);

    auto* blockLayout = new QHBoxLayout(m_blockRow);
    blockLayout->setContentsMargins(0, 0, 0, 0);
    blockLayout->setSpacing(4);
    blockLayout->addWidget(m_blockLabel);
    blockLayout->addWidget(m_blockBox, 1);
    blockLayout->addWidget(m_blockUnit);

    auto* figuresRow = new QHBoxLayout;
    figuresRow->setContentsMargins(0, 0, 0, 0);
    figuresRow->addWidget(m_bytesLabel);
    figuresRow->addStretch(1);
    figuresRow->addWidget(m_speedLabel);

    auto* actionRow = new QHBoxLayout;
    actionRow->setContentsMargins(0, 0, 0, 0);
    actionRow->setSpacing(6);
    actionRow->addWidget(m_logLabel);
    actionRow->addWidget(m_logSwitch);
    actionRow->addStretch(1);
    actionRow->addWidget(m_startBtn);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);
    layout->addWidget(m_title);
    layout->addWidget(m_fileLabel);
    layout->addLayout(fileRow);
    layout->addWidget(m_protocolLabel);
    layout->addWidget(m_protocolBox);
    layout->addWidget(m_intervalRow);
    layout->addWidget(m_blockRow);
    layout->addWidget(m_progressLabel);
    layout->addWidget(m_progressBar);
    layout->addLayout(figuresRow);
    layout->addLayout(actionRow);
    layout->addStretch(1);

    fillProtocolBox();
    m_protocolBox->setCurrentIndex(FileTransmission::RawBinary);
    onProtocolIndexChanged(m_protocolBox->currentIndex());

    connect(m_fileBtn, &QPushButton::clicked, m_transmission, &FileTransmission::openFile);
    connect(m_transmission, &FileTransmission::fileSelectionRequested, this,
            &FileTransimisionWidget::showFileDialog);
    connect(m_startBtn, &QPushButton::clicked, this, &FileTransimisionWidget::onStartClicked);
    connect(m_protocolBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &FileTransimisionWidget::onProtocolIndexChanged);

    connect(m_transmission, &FileTransmission::progressChanged, this,
            &FileTransimisionWidget::onProgressChanged);
    connect(m_transmission, &FileTransmission::fileChanged, this,
            [this] { m_fileEdit->setText(m_transmission->fileName()); });
    connect(m_transmission, &FileTransmission::transferSpeedChanged, this, [this] {
        const QString speed = m_transmission->transferSpeed();
        if (!speed.isEmpty())
            m_speedLabel->setText(speed);
    });
    connect(m_transmission, &FileTransmission::statusTextChanged2, this, [this](const QString& message) {
        if (m_logSwitch->isChecked())
            Q_EMIT statusTextChanged(message);
    });
    connect(m_transmission, &FileTransmission::writeRequest, this,
            &FileTransimisionWidget::onControllerWriteRequest);
    connect(m_transmission, &FileTransmission::activeChanged, this, &FileTransimisionWidget::onActiveChanged);

    retranslate();
}

FileTransimisionWidget::~FileTransimisionWidget()
{
    // The controller dies with us; whatever it still says on the way out (an
    // engine's cancel sequence) must not reach a half-destroyed panel.
    m_transmission->disconnect(this);
}

void FileTransimisionWidget::setSerialPortManager(SerialPortManager* manager)
{
    if (m_manager == manager)
        return;
    if (m_manager)
        m_manager->disconnect(this);
    m_manager = manager;
    if (!m_manager)
        return;
    connect(m_manager, &SerialPortManager::bytesWritten, this, &FileTransimisionWidget::onPortBytesWritten);
    connect(m_manager, &SerialPortManager::disconnected, this, &FileTransimisionWidget::onPortDisconnected);
}

void FileTransimisionWidget::rawDataReceived(QByteArray data)
{
    m_transmission->onRawDataReceived(data);
}

void FileTransimisionWidget::onStartClicked()
{
    if (!m_manager || !m_manager->isOpen()) {
        Q_EMIT statusChanged(false);
        CDialog::showMessage(this, tr("Warning"), tr("Please open serial port!"));
        return;
    }
    if (!m_transmission->isFileOpen()) {
        Q_EMIT statusChanged(false);
        CDialog::showMessage(this, tr("Warning"), tr("Please select a file!"));
        return;
    }
    if (m_started) {
        m_transmission->stopTransmission();
        return;
    }

    m_transmission->setTransferMode(m_protocolBox->currentIndex());
    m_transmission->setBlockSize(m_blockBox->value());
    m_transmission->setMaxRetries(kPanelRetries);
    m_transmission->setProtocolTimeout(kPanelTimeoutMs);
    m_transmission->setLineTransmissionInterval(m_intervalBox->value());
    // Nothing of ours is queued yet; stale counts from an earlier run would stall the start.
    m_transmission->setPendingOutput(m_manager->bytesToWrite());
    m_transmission->beginTransmission();
}

void FileTransimisionWidget::showFileDialog(const QString& startPath)
{
    auto* dialog = new QFileDialog(QApplication::activeWindow(), tr("Select file to transmit"), startPath);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<FileTransmission> controller(m_transmission);
    connect(dialog, &QFileDialog::fileSelected, this, [controller](const QString& path) {
        // After the dialog has closed, so the file's messages follow it.
        QMetaObject::invokeMethod(
            controller,
            [controller, path] {
                if (controller)
                    controller->openFilePath(path);
            },
            Qt::QueuedConnection);
    });
    dialog->open();
}

void FileTransimisionWidget::onProtocolIndexChanged(int index)
{
    const bool pacing = showsPacingRows(index);
    m_intervalRow->setVisible(pacing);
    m_blockRow->setVisible(pacing);
}

void FileTransimisionWidget::onControllerWriteRequest(const QByteArray& data)
{
    // The bytes go out here and only here: re-emitting them on writeRequest
    // as well would have the session write every byte a second time.
    if (m_manager && m_manager->isOpen() && m_manager->write(data)) {
        reportPending();
        return;
    }
    // An engine may say its cancel sequence while being stopped; that write
    // fails the same way and must not stop it again.
    if (m_stopping)
        return;
    qWarning().noquote() << "[FileTransimisionWidget] Port is closed, stopping the transfer";
    m_stopping = true;
    m_transmission->stopTransmission();
    m_stopping = false;
}

void FileTransimisionWidget::onActiveChanged()
{
    m_speedLabel->setText(tr("0 KB/s"));
    m_started = m_transmission->isActive();
    updateStartText();
    const bool idle = !m_started;
    m_fileBtn->setEnabled(idle);
    m_protocolBox->setEnabled(idle);
    m_intervalBox->setEnabled(idle);
    m_blockBox->setEnabled(idle);
    m_fileEdit->setEnabled(idle);
    Q_EMIT statusChanged(m_started);
}

void FileTransimisionWidget::onProgressChanged()
{
    m_progressBar->setValue(m_transmission->transmissionProgress());
    m_bytesLabel->setText(ByteSizeText::progress(m_transmission->bytesSent(), m_transmission->bytesTotal()));
}

void FileTransimisionWidget::onPortBytesWritten()
{
    reportPending();
}

void FileTransimisionWidget::onPortDisconnected()
{
    m_transmission->setPendingOutput(0);
    if (m_transmission->isActive()) {
        qWarning().noquote() << "[FileTransimisionWidget] Port closed during a transfer, stopping it";
        m_transmission->stopTransmission();
    }
}

void FileTransimisionWidget::reportPending()
{
    if (m_manager)
        m_transmission->setPendingOutput(m_manager->bytesToWrite());
}

void FileTransimisionWidget::fillProtocolBox()
{
    const int current = m_protocolBox->currentIndex();
    const QSignalBlocker blocker(m_protocolBox);
    m_protocolBox->clear();
    m_protocolBox->addItems(m_transmission->transferModes());
    if (current >= 0)
        m_protocolBox->setCurrentIndex(current);
}

void FileTransimisionWidget::updateStartText()
{
    m_startBtn->setText(m_started ? tr("Pause") : tr("Start"));
}

void FileTransimisionWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void FileTransimisionWidget::retranslate()
{
    m_title->setText(tr("File Transimision"));
    m_fileLabel->setText(tr("File Select:"));
    m_protocolLabel->setText(tr("Protocol Select:"));
    m_intervalLabel->setText(tr("Interval:"));
    m_intervalUnit->setText(tr("ms"));
    m_blockLabel->setText(tr("Block Size:"));
    m_blockUnit->setText(tr("Bytes"));
    m_progressLabel->setText(tr("Progress:"));
    m_logLabel->setText(tr("Enable Log"));
    updateStartText();
    fillProtocolBox();
    if (!m_transmission->isFileOpen())
        m_fileEdit->setText(m_transmission->fileName());
}
