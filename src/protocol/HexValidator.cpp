#include "HexValidator.h"

#include "HexText.h"

namespace {
bool keep(QChar c)
{
    const ushort u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F') || c.isSpace();
}
} // namespace

HexValidator::HexValidator(int maxBytes, QObject* parent)
    : QValidator(parent), m_maxBytes(maxBytes < 1 ? -1 : maxBytes)
{
}

void HexValidator::setMaxBytes(int maxBytes)
{
    if (maxBytes < 1)
        maxBytes = -1;
    if (m_maxBytes == maxBytes)
        return;
    m_maxBytes = maxBytes;
    Q_EMIT changed();
}

QValidator::State HexValidator::validate(QString& input, int& pos) const
{
    // Drop stray characters, moving the cursor back by those removed before it.
    QString cleaned;
    cleaned.reserve(input.size());
    int newPos = pos;
    for (int i = 0; i < input.size(); ++i) {
        if (keep(input.at(i)))
            cleaned.append(input.at(i));
        else if (i < pos)
            --newPos;
    }
    if (cleaned.size() != input.size()) {
        input = cleaned;
        pos = qBound(0, newPos, int(input.size()));
    }
    if (m_maxBytes > 0 && HexText::fromHexInput(input).size() > m_maxBytes)
        return Invalid;
    return Acceptable;
}
