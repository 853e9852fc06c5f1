#pragma once

#include <QFrame>

class QPushButton;
class QVBoxLayout;

// A titled card whose body folds away: clicking the header shows or hides
// the content widget. Styled as "card" (frame) and "card-header" (button).
class CExpandCard : public QFrame
{
    Q_OBJECT
public:
    explicit CExpandCard(const QString& title = QString(), QWidget* parent = nullptr);

    void setTitle(const QString& title);
    QString title() const;

    // Takes ownership; a previous content widget is deleted.
    void setContentWidget(QWidget* content);
    QWidget* contentWidget() const { return m_content; }

    bool isExpanded() const { return m_expanded; }
    QPushButton* headerButton() const { return m_header; }

public Q_SLOTS:
    void setExpanded(bool expanded);

Q_SIGNALS:
    void expandedChanged(bool expanded);

private:
    void updateHeader();

    QPushButton* m_header = nullptr;
    QVBoxLayout* m_layout = nullptr;
    QWidget* m_content = nullptr;
    QString m_title;
    bool m_expanded = true;
};
