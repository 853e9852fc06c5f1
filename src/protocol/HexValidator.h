#pragma once

#include <QValidator>

// Keeps a line edit to hex digits and white space, and optionally to at most
// `maxBytes` bytes (-1: no limit). Stray characters are removed in place
// rather than refusing the whole edit, so pasted "0x11,0x22" still lands.
class HexValidator : public QValidator
{
    Q_OBJECT
public:
    explicit HexValidator(int maxBytes = -1, QObject* parent = nullptr);

    int maxBytes() const { return m_maxBytes; }
    void setMaxBytes(int maxBytes);

    State validate(QString& input, int& pos) const override;

private:
    int m_maxBytes = -1;
};
