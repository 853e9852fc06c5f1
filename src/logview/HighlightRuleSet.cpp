#include "HighlightRuleSet.h"

#include <QColor>
#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

namespace {

QString trText(const char* text)
{
    return QCoreApplication::translate("CSyntaxHighlighter", text);
}

QTextCharFormat foreground(const QColor& color)
{
    QTextCharFormat format;
    format.setForeground(color);
    return format;
}

} // namespace

HighlightRuleSet HighlightRuleSet::defaults()
{
    HighlightRuleSet set;
    set.addRule(QStringLiteral(
                    R"(\b(Connection|connection|connect|Connect|connected|Connected|CONNECT|CONNECTION)\b)"),
                QColor(QStringLiteral("#3771e6")));
    set.addRule(QStringLiteral(R"(\b(information|Information|info|Info|INFO)\b)"),
                QColor(QStringLiteral("#3771e6")));
    set.addRule(QStringLiteral(R"(\b(error|Error|ERROR|failed|Failed|FAILED|fail|Fail|FAIL)\b)"),
                QColor(QStringLiteral("#f00")));
    set.addRule(
        QStringLiteral(
            R"(\b(disconnection|Disconnection|DISCONNECTION|disconnect|disconnected|Disconnect|Disconnected|DISCONNECT)\b)"),
        QColor(QStringLiteral("#f00")));
    set.addRule(QStringLiteral("(Send|send|TX|Tx)"), QColor(QStringLiteral("#db6f7b")));
    set.addRule(QStringLiteral("(Received|RX|Rx)"), QColor(QStringLiteral("#ba55d2")));
    set.addRule(QStringLiteral(R"(\b(successfully|Successfully|SUCCESSFULLY|success|Success|SUCCESS)\b)"),
                QColor(QStringLiteral("#0c0")));
    set.addRule(QStringLiteral(R"(\b(ok|OK|Ok|true|True|TRUE)\b)"), QColor(QStringLiteral("#0c0")));
    set.addRule(QStringLiteral(R"([^A-Za-z0-9\.,_]+)"), QColor(QStringLiteral("#92e22e")));
    set.addRule(QStringLiteral(R"([0-9]{2,}|\b[0-9]+\b)"), QColor(QStringLiteral("#ae81ff")));
    set.addRule(QStringLiteral(R"(\s+-[A-Za-z_][A-Za-z_0-9]*)"), QColor(QStringLiteral("#fd971f")));
    set.addRule(QStringLiteral(R"(\[\d{4}-\d{2}-\d{2} [0-2][0-9]:[0-5][0-9]:[0-5][0-9]\.[0-9]+\s*\](T|R| ))"),
                QColor(QStringLiteral("#999")));
    set.addRule(QStringLiteral(R"(\[(E|e|ERR|err|ERROR|error)\].*)"), QColor(Qt::red));
    set.addRule(QStringLiteral(R"(\[(W|w|WRN|wrn|WARN|WARN)\].*)"), QColor(QStringLiteral("#ffc120")));
    return set;
}

void HighlightRuleSet::addRule(const QString& pattern, const QColor& color)
{
    m_rules.append({QRegularExpression(pattern), foreground(color)});
}

bool HighlightRuleSet::loadFile(const QString& path, HighlightRuleSet& out, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (error)
            *error = trText("Cannot open rule file: %1").arg(file.errorString());
        return false;
    }
    return parse(file.readAll(), out, error);
}

bool HighlightRuleSet::parse(const QByteArray& json, HighlightRuleSet& out, QString* error)
{
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (doc.isNull()) {
        if (error)
            *error = trText("JSON parse error: %1").arg(parseError.errorString());
        return false;
    }
    const QJsonObject root = doc.object();
    HighlightRuleSet set;
    const QJsonArray rules = root.value(QStringLiteral("rules")).toArray();
    for (const QJsonValue& value : rules) {
        const QJsonObject obj = value.toObject();
        const QString pattern = obj.value(QStringLiteral("pattern")).toString();
        const QString colorText = obj.value(QStringLiteral("color")).toString();
        if (pattern.isEmpty() || colorText.isEmpty())
            continue;
        const QColor color = QColor::fromString(colorText);
        if (!color.isValid()) {
            if (error)
                *error = trText("Invalid color '%1'").arg(colorText);
            return false;
        }
        QRegularExpression re(pattern);
        if (!re.isValid()) {
            if (error)
                *error = trText("Invalid pattern '%1'").arg(pattern);
            return false;
        }
        set.m_rules.append({re, foreground(color)});
    }

    // The multi-line span is optional; a faulty one is simply left off.
    const QJsonObject comment = root.value(QStringLiteral("blockComment")).toObject();
    const QString begin = comment.value(QStringLiteral("begin")).toString();
    const QString end = comment.value(QStringLiteral("end")).toString();
    const QString colorText = comment.value(QStringLiteral("color")).toString();
    if (!begin.isEmpty() && !end.isEmpty() && !colorText.isEmpty()) {
        QRegularExpression beginRe(begin);
        QRegularExpression endRe(end);
        const QColor color = QColor::fromString(colorText);
        if (beginRe.isValid() && endRe.isValid() && color.isValid()) {
            set.m_commentBegin = beginRe;
            set.m_commentEnd = endRe;
            set.m_commentFormat = foreground(color);
            set.m_commentEnabled = true;
        }
    }
    out = set;
    return true;
}

void HighlightRuleSet::applyRules(QStringView line, const FormatSink& sink) const
{
    for (const HighlightRule& rule : m_rules) {
        // The iterator steps past empty matches itself, so a pattern that can
        // match nothing cannot stall here.
        QRegularExpressionMatchIterator it = rule.pattern.globalMatch(line);
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            const qsizetype len = m.capturedLength();
            if (len > 0)
                sink(int(m.capturedStart()), int(len), rule.format);
        }
    }
}
