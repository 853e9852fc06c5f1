#include "DownloadFileName.h"

#include <QRegularExpression>
#include <QUrl>

QString DownloadFileName::fromUrl(const QString& downloadUrl)
{
    return sanitize(downloadUrl.mid(downloadUrl.lastIndexOf(QLatin1Char('/')) + 1));
}

QString DownloadFileName::fromContentDisposition(const QByteArray& header)
{
    static const QRegularExpression pattern(QStringLiteral("filename=(\\S+)"));
    const QString decoded = QUrl::fromPercentEncoding(header);
    const QRegularExpressionMatch m = pattern.match(decoded);
    return m.hasMatch() ? sanitize(m.captured(1)) : QString();
}

QString DownloadFileName::sanitize(const QString& name)
{
    QString s = name;
    while (s.endsWith(QLatin1Char(';')))
        s.chop(1);
    s.remove(QLatin1Char('"'));
    s.remove(QLatin1Char('\''));
    const qsizetype cut = qMax(s.lastIndexOf(QLatin1Char('/')), s.lastIndexOf(QLatin1Char('\\')));
    s = s.mid(cut + 1).trimmed();
    if (s.isEmpty() || s == QLatin1String(".") || s == QLatin1String(".."))
        return QString();
    for (const QChar c : std::as_const(s)) {
        if (c.category() == QChar::Other_Control)
            return QString();
    }
    return s;
}
