#include "LogCapture.h"

#include "AppConfig.h"

#include <QDebug>
#include <QFile>

LogCapture::LogCapture(QObject* parent) : QObject(parent), m_file(new QFile(this)) {}

QString LogCapture::capturePath()
{
    return AppConfig::LogSavePath + QLatin1Char('/') + AppConfig::LogFileName;
}

QString LogCapture::saveFileName(const QString& chosen)
{
    const QStringList pieces = chosen.split(QLatin1Char('.'));
    if (pieces.last().contains(QLatin1String("dat")))
        return chosen;
    return chosen + QStringLiteral(".dat");
}

bool LogCapture::saveText(const QString& path, const QString& text, QString* error)
{
    QFile file(path);
    // A log that silently was not written is worse than a message.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = text.toUtf8();
    const bool ok = file.write(bytes) == bytes.size() && file.flush();
    const QString reason = file.errorString();
    file.close();
    if (ok && file.error() == QFileDevice::NoError)
        return true;
    if (error)
        *error = reason;
    return false;
}

bool LogCapture::open()
{
    close();
    m_lastError.clear();
    m_file->setFileName(capturePath());
    if (m_file->open(QIODevice::ReadWrite | QIODevice::Append))
        return true;
    qWarning().noquote() << "[session]"
                         << "cannot open log file" << m_file->fileName() << m_file->errorString();
    return false;
}

void LogCapture::close()
{
    if (m_file->isOpen())
        m_file->close();
}

bool LogCapture::isOpen() const
{
    return m_file->isOpen();
}

bool LogCapture::write(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    if (m_file->write(bytes) == bytes.size() && m_file->flush())
        return true;
    qWarning().noquote() << "[session]"
                         << "log file write failed:" << m_file->fileName() << m_file->errorString();
    const QString reason = m_file->errorString();
    m_file->close();
    // close() may clear the error; keep the reason for the message.
    m_lastError = reason;
    return false;
}

QString LogCapture::errorString() const
{
    return m_lastError.isEmpty() ? m_file->errorString() : m_lastError;
}
