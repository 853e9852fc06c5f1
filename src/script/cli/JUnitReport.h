#pragma once

#include <QList>
#include <QString>

// The results of one automation run as JUnit XML, the form GitLab, Jenkins
// and GitHub read per-test results from.
class JUnitReport
{
public:
    struct Case
    {
        QString name;
        bool passed = true;
        QString detail;
        qint64 elapsedMs = 0;
    };

    explicit JUnitReport(const QString& suiteName) : m_suite(suiteName) {}

    void addCase(const QString& name, bool passed, const QString& detail, qint64 elapsedMs);
    // A run that ended by an error, a time-out or an interruption: one extra
    // case with an <error>, so the reason shows next to the results.
    void setRunError(const QString& message) { m_runError = message; }
    void setTotalMs(qint64 ms) { m_totalMs = ms; }

    const QList<Case>& cases() const { return m_cases; }
    QByteArray toXml() const;
    bool writeTo(const QString& path, QString* error) const;

    // Characters XML 1.0 cannot carry (control bytes from a device, NUL)
    // become \xNN, so the file stays well-formed whatever the script reported.
    static QString xmlSafe(const QString& text);

private:
    QString m_suite;
    QList<Case> m_cases;
    QString m_runError;
    qint64 m_totalMs = 0;
};
