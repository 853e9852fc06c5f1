#pragma once

#include "FrameProtocol.h"

#include <QByteArray>
#include <QList>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTimer;
class QTreeWidget;

// Side panel that edits the field values of one loaded protocol, previews the
// frame and hands it to the session through writeRequest().
class FrameAssemblerWidget : public QWidget
{
    Q_OBJECT
public:
    explicit FrameAssemblerWidget(QWidget* parent = nullptr);

    // The folder "Reload Protocols" loads and "Open Protocol Folder" opens;
    // the program's protocols folder unless set otherwise.
    QString protocolDir() const { return m_protocolDir; }
    void setProtocolDir(const QString& dir);

    // Recreates combo entries and pages from the registry's current list.
    void rebuildPages();

    int currentIndex() const { return m_currentIndex; }
    int pageCount() const;
    // Value texts of the current page, keyed by input object name.
    FieldValues collectValues() const;

Q_SIGNALS:
    void writeRequest(QByteArray data);

public Q_SLOTS:
    void onProtocolChanged(int index);
    void onParamChanged();
    void onSendClicked();
    void onOpenFolderClicked();
    void onReloadClicked();

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void retranslatePages();
    void retranslateResult();
    QString noteForHex(int length) const;
    QTreeWidget* buildPage(const FrameProtocol& protocol);
    QLineEdit* addInput(QTreeWidget* tree, class QTreeWidgetItem* item, const QString& key,
                        const QString& text, bool editable);
    void updateDescription();
    void showEmptyState(bool empty);
    // The current protocol, or null when the index is outside the registry.
    const FrameProtocol* currentProtocol() const;
    void setStatus(const QString& text, const char* style);

    QString m_protocolDir;
    int m_currentIndex = -1;
    bool m_describeShort = false;
    // What the status label shows, so a language change can write it again.
    enum class StatusKind
    {
        None,
        ByteCount,
        SendError
    };
    StatusKind m_statusKind = StatusKind::None;

    QLabel* m_title = nullptr;
    QLabel* m_protocolLabel = nullptr;
    QComboBox* m_protocolBox = nullptr;
    QPushButton* m_openFolderBtn = nullptr;
    QPushButton* m_reloadBtn = nullptr;
    QStackedWidget* m_pages = nullptr;
    QLabel* m_emptyLabel = nullptr;
    QLabel* m_description = nullptr;
    QLabel* m_previewLabel = nullptr;
    QPlainTextEdit* m_preview = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_sendBtn = nullptr;
    QTimer* m_previewTimer = nullptr;
};
