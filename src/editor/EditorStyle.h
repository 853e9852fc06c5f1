#pragma once

#include <QColor>
#include <QHash>
#include <QMap>
#include <QString>

// One colour style of the code editor, read from an XML file:
//
//   <editor-style name="..." dark="true|false">
//     <colors paper="#rrggbb" text="#rrggbb" caret-line="#rrggbb" .../>
//     <lexer name="lua">
//       <item id="5" name="Keyword" fore="#rrggbb" back="#rrggbb" bold="true" italic="false"/>
//     </lexer>
//   </editor-style>
//
// Unknown attributes are ignored; a missing colour falls back to the
// caller's default, so a partial file still gives a usable editor.
class EditorStyle
{
public:
    struct Item
    {
        QColor fore;
        QColor back;
        bool bold = false;
        bool italic = false;
    };

    // Reads `path` (a resource or a file). False, with the reason in
    // `error`, when the file is missing or is not a well-formed style.
    bool load(const QString& path, QString* error = nullptr);

    bool isValid() const { return m_valid; }
    QString name() const { return m_name; }
    bool isDark() const { return m_dark; }
    QColor color(const QString& key, const QColor& fallback) const;
    // Items of one lexer, by the lexer's style number.
    QMap<int, Item> items(const QString& lexer) const { return m_items.value(lexer); }

private:
    bool m_valid = false;
    bool m_dark = false;
    QString m_name;
    QHash<QString, QColor> m_colors;
    QHash<QString, QMap<int, Item>> m_items;
};
