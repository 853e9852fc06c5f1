#include "EditorStyle.h"

#include <QFile>
#include <QXmlStreamReader>

namespace {

bool isTrue(QStringView value)
{
    return value == u"true" || value == u"1";
}

} // namespace

bool EditorStyle::load(const QString& path, QString* error)
{
    *this = EditorStyle();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QXmlStreamReader xml(&file);
    QString lexer;
    bool sawRoot = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attrs = xml.attributes();
        const QStringView element = xml.name();
        if (element == u"editor-style") {
            sawRoot = true;
            m_name = attrs.value(QLatin1String("name")).toString();
            m_dark = isTrue(attrs.value(QLatin1String("dark")));
        } else if (element == u"colors") {
            for (const QXmlStreamAttribute& attr : attrs) {
                const QColor c = QColor::fromString(attr.value());
                if (c.isValid())
                    m_colors.insert(attr.name().toString(), c);
            }
        } else if (element == u"lexer") {
            lexer = attrs.value(QLatin1String("name")).toString();
        } else if (element == u"item" && !lexer.isEmpty()) {
            bool ok = false;
            const int id = attrs.value(QLatin1String("id")).toInt(&ok);
            if (!ok || id < 0)
                continue;
            Item item;
            item.fore = QColor::fromString(attrs.value(QLatin1String("fore")));
            item.back = QColor::fromString(attrs.value(QLatin1String("back")));
            item.bold = isTrue(attrs.value(QLatin1String("bold")));
            item.italic = isTrue(attrs.value(QLatin1String("italic")));
            m_items[lexer].insert(id, item);
        }
    }
    if (xml.hasError() || !sawRoot) {
        if (error)
            *error = xml.hasError() ? xml.errorString() : QStringLiteral("not an editor style");
        *this = EditorStyle();
        return false;
    }
    m_valid = true;
    return true;
}

QColor EditorStyle::color(const QString& key, const QColor& fallback) const
{
    return m_colors.value(key, fallback);
}
