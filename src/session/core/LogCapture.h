#pragma once

#include <QObject>
#include <QString>

class QFile;

// Continuous capture of the log to a file, and saving a whole log at once.
// Failures come back with the system's reason; the caller decides what the
// user is told.
class LogCapture : public QObject
{
    Q_OBJECT
public:
    explicit LogCapture(QObject* parent = nullptr);

    // Where capture writes: LogSavePath + "/" + LogFileName.
    static QString capturePath();
    // The name a saved log gets: ".dat" is appended unless the last
    // dot-separated piece of `chosen` already contains "dat".
    static QString saveFileName(const QString& chosen);
    // Writes `text` to `path`, replacing it; false with `error` set when it
    // could not be written whole.
    static bool saveText(const QString& path, const QString& text, QString* error = nullptr);

    // Opens capturePath() for appending (closing what was open).
    bool open();
    void close();
    bool isOpen() const;
    // Appends and flushes; on failure the file is closed.
    bool write(const QString& text);
    QString errorString() const;
    QFile* file() const { return m_file; }

private:
    QFile* m_file = nullptr;
    QString m_lastError;
};
