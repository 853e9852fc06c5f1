#pragma once

#include <QPoint>
#include <QWidget>

class QLabel;
class QPushButton;

// The main window's own title bar: logo, title, help/theme/language buttons
// and the minimise, maximise, restore and close buttons. Pressing and dragging
// the empty area moves the window; a double-click maximises or restores it.
class CTitleBar : public QWidget
{
    Q_OBJECT
public:
    explicit CTitleBar(QWidget* parent = nullptr);

    void setTitleText(const QString& text);
    QString titleText() const;

    // Shows restore instead of maximise while the window is maximised.
    void setMaximizedState(bool maximized);
    bool isMaximizedState() const { return m_maximized; }

    QPushButton* headerButton() const { return m_header; }
    QPushButton* aboutButton() const { return m_about; }
    QPushButton* skinButton() const { return m_skin; }
    QPushButton* languageButton() const { return m_language; }
    QPushButton* minButton() const { return m_min; }
    QPushButton* maxButton() const { return m_max; }
    QPushButton* restoreButton() const { return m_restore; }
    QPushButton* closeButton() const { return m_close; }
    QLabel* titleLabel() const { return m_title; }

Q_SIGNALS:
    void minBtnClicked();
    void maxBtnClicked();
    void restoreBtnClicked();
    void closeBtnClicked();
    void aboutBtnClicked();
    void skinBtnClicked();
    void languageBtnClicked();
    void headerBtnClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QPushButton* makeButton(const QString& objectName, const QString& glyph);
    void retranslate();

    QPushButton* m_header = nullptr;
    QLabel* m_title = nullptr;
    QPushButton* m_about = nullptr;
    QPushButton* m_skin = nullptr;
    QPushButton* m_language = nullptr;
    QPushButton* m_min = nullptr;
    QPushButton* m_max = nullptr;
    QPushButton* m_restore = nullptr;
    QPushButton* m_close = nullptr;
    bool m_maximized = false;

    // Drag state: the move is handed to the window system once the mouse
    // really moves, so a plain double-click still reaches us.
    bool m_pressed = false;
    bool m_manualMove = false;
    QPoint m_pressGlobal;
    QPoint m_windowStart;
};
