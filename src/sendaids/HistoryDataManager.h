#pragma once

#include <QString>
#include <QStringList>

// Reads and writes the send history file: {"history": [most recent first]}.
class HistoryDataManager
{
public:
    // Clears `list`, then fills it from the file. False (list empty) when the
    // file is missing or unreadable, the root object is empty or "history" is
    // not an array. Non-string elements load as empty entries.
    static bool load(const QString& path, QStringList& list);
    // Writes `list` in order, indented. The file is replaced only once the new
    // content is completely written, so a failed write keeps the old history.
    static bool save(const QString& path, const QStringList& list);
    // The per-user history file; creates its folder when missing.
    static QString defaultPath();
};
