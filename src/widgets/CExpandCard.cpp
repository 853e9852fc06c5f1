#include "CExpandCard.h"

#include <QPushButton>
#include <QVBoxLayout>

CExpandCard::CExpandCard(const QString& title, QWidget* parent) : QFrame(parent), m_title(title)
{
    setProperty("style", "card");
    m_header = new QPushButton(this);
    m_header->setProperty("style", "card-header");
    m_header->setCheckable(true);
    m_header->setChecked(true);
    m_header->setCursor(Qt::PointingHandCursor);
    m_header->setFocusPolicy(Qt::NoFocus);
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addWidget(m_header);
    connect(m_header, &QPushButton::toggled, this, &CExpandCard::setExpanded);
    updateHeader();
}

void CExpandCard::setTitle(const QString& title)
{
    m_title = title;
    updateHeader();
}

QString CExpandCard::title() const
{
    return m_title;
}

void CExpandCard::setContentWidget(QWidget* content)
{
    if (m_content == content)
        return;
    delete m_content;
    m_content = content;
    if (m_content) {
        m_layout->addWidget(m_content);
        m_content->setVisible(m_expanded);
    }
}

void CExpandCard::setExpanded(bool expanded)
{
    if (m_expanded == expanded)
        return;
    m_expanded = expanded;
    m_header->setChecked(expanded);
    if (m_content)
        m_content->setVisible(expanded);
    updateHeader();
    Q_EMIT expandedChanged(expanded);
}

void CExpandCard::updateHeader()
{
    // Text triangles: the header keeps the text font, which has them.
    const QString caret = m_expanded ? QStringLiteral("▾") : QStringLiteral("▸");
    m_header->setText(caret + QLatin1Char(' ') + m_title);
}
