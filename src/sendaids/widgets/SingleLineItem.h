#pragma once

#include <QWidget>

#include <optional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

// One prepared line of a multi-line group: a tick for loop sending, a label,
// the text to send, the pause before it in a loop, and its own "Send" button.
class SingleLineItem : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kDefaultInterval = 1000;
    // Longer texts are kept whole but not edited in place: laying out megabytes
    // in a line edit freezes the window for many seconds.
    static constexpr int kEditableLength = 32767;

    explicit SingleLineItem(QWidget* parent = nullptr);

    QSize sizeHint() const override { return QSize(120, 65); }
    // The data is too long to edit here and is shown as a read-only preview.
    bool isDataPreview() const { return m_bigData.has_value(); }

    bool isChecked() const;
    void setChecked(bool checked);
    QString label() const;
    void setLabel(const QString& label);
    QString data() const;
    void setData(const QString& data);
    int interval() const;
    void setInterval(int ms);

    QCheckBox* checkBox() const { return m_check; }
    QLineEdit* labelEdit() const { return m_label; }
    QLineEdit* dataEdit() const { return m_data; }
    QSpinBox* intervalBox() const { return m_interval; }
    QPushButton* sendButton() const { return m_send; }

Q_SIGNALS:
    void submitRequest(QString txt);
    void toggled(bool checked);

protected:
    void changeEvent(QEvent* event) override;
    // A double-click on the row itself (not on one of its controls) toggles the tick.
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void retranslate();

    QCheckBox* m_check = nullptr;
    QLineEdit* m_label = nullptr;
    QLineEdit* m_data = nullptr;
    QSpinBox* m_interval = nullptr;
    QPushButton* m_send = nullptr;
    // The whole data while the line edit only shows its beginning.
    std::optional<QString> m_bigData;
    std::optional<QString> m_bigLabel;
};
