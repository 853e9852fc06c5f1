#include "JUnitReport.h"

#include <QDateTime>
#include <QSaveFile>
#include <QXmlStreamWriter>

namespace {

QString seconds(qint64 ms)
{
    return QString::number(double(ms) / 1000.0, 'f', 3);
}

} // namespace

void JUnitReport::addCase(const QString& name, bool passed, const QString& detail, qint64 elapsedMs)
{
    m_cases.append({name, passed, detail, elapsedMs});
}

QString JUnitReport::xmlSafe(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out.append(c).append(text.at(++i));
            continue;
        }
        const bool allowed =
            u == 0x9 || u == 0xA || u == 0xD || (u >= 0x20 && u <= 0xD7FF) || (u >= 0xE000 && u <= 0xFFFD);
        if (allowed)
            out.append(c);
        else
            out.append(QStringLiteral("\\x%1").arg(u, u > 0xFF ? 4 : 2, 16, QLatin1Char('0')));
    }
    return out;
}

QByteArray JUnitReport::toXml() const
{
    int failures = 0;
    for (const Case& c : m_cases)
        failures += c.passed ? 0 : 1;
    const int errors = m_runError.isEmpty() ? 0 : 1;
    const int tests = int(m_cases.size()) + errors;

    QByteArray xml;
    QXmlStreamWriter w(&xml);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("testsuites"));
    w.writeAttribute(QStringLiteral("name"), QStringLiteral("corvane-run"));
    w.writeAttribute(QStringLiteral("tests"), QString::number(tests));
    w.writeAttribute(QStringLiteral("failures"), QString::number(failures));
    w.writeAttribute(QStringLiteral("errors"), QString::number(errors));
    w.writeAttribute(QStringLiteral("time"), seconds(m_totalMs));
    w.writeStartElement(QStringLiteral("testsuite"));
    w.writeAttribute(QStringLiteral("name"), xmlSafe(m_suite));
    w.writeAttribute(QStringLiteral("tests"), QString::number(tests));
    w.writeAttribute(QStringLiteral("failures"), QString::number(failures));
    w.writeAttribute(QStringLiteral("errors"), QString::number(errors));
    w.writeAttribute(QStringLiteral("time"), seconds(m_totalMs));
    w.writeAttribute(QStringLiteral("timestamp"), QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
    for (const Case& c : m_cases) {
        w.writeStartElement(QStringLiteral("testcase"));
        w.writeAttribute(QStringLiteral("name"), xmlSafe(c.name));
        w.writeAttribute(QStringLiteral("classname"), xmlSafe(m_suite));
        w.writeAttribute(QStringLiteral("time"), seconds(c.elapsedMs));
        if (!c.passed) {
            w.writeStartElement(QStringLiteral("failure"));
            w.writeAttribute(QStringLiteral("message"), xmlSafe(c.detail));
            w.writeCharacters(xmlSafe(c.detail));
            w.writeEndElement();
        }
        w.writeEndElement();
    }
    if (errors) {
        w.writeStartElement(QStringLiteral("testcase"));
        w.writeAttribute(QStringLiteral("name"), QStringLiteral("script run"));
        w.writeAttribute(QStringLiteral("classname"), xmlSafe(m_suite));
        w.writeAttribute(QStringLiteral("time"), QStringLiteral("0.000"));
        w.writeStartElement(QStringLiteral("error"));
        w.writeAttribute(QStringLiteral("message"), xmlSafe(m_runError));
        w.writeCharacters(xmlSafe(m_runError));
        w.writeEndElement();
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndDocument();
    return xml;
}

bool JUnitReport::writeTo(const QString& path, QString* error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(toXml()) < 0 || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
