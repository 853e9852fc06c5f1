#pragma once

#include <QCoreApplication>
#include <QString>

// Byte counts as the transfer panel and the command-line sender show them:
// "%1 B" up to 1023, then KB, MB and GB with two decimals.
class ByteSizeText
{
    Q_DECLARE_TR_FUNCTIONS(ByteSizeText)

public:
    static QString format(qint64 bytes);
    // "sent/total " as the panel's byte label reads.
    static QString progress(qint64 sent, qint64 total);
};
