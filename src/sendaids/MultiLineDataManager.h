#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>

// Reads and writes the multi-line group file:
// {"groups": [{"group-name": ..., "group-content": [{"time", "hexMode", "decribe", "data"}]}]}.
// Reading is all or nothing: a file with one malformed element yields no group.
class MultiLineDataManager
{
    Q_DECLARE_TR_FUNCTIONS(MultiLineDataManager)
public:
    struct Line
    {
        QString label;
        QString data;
        int interval = 1000;
    };
    struct Group
    {
        QString name;
        QList<Line> lines;
    };

    // Every row becomes a styled widget (several milliseconds each); beyond
    // these a file is refused rather than freezing the start for minutes.
    static constexpr qint64 kMaxFileSize = 128LL * 1024 * 1024;
    static constexpr int kMaxLines = 2000;

    // Clears `groups`, then fills it in file order. On failure `groups` stays
    // empty and `error` (when given) says why.
    static bool load(const QString& path, QList<Group>& groups, QString* error = nullptr);
    // Writes the groups in ascending name order, rows in list order, leaving
    // out rows without data and groups left without rows. The old file is
    // replaced only once the new one is completely on disk.
    static bool save(const QString& path, const QList<Group>& groups, QString* error = nullptr);
    // The document save() writes.
    static QByteArray toJson(const QList<Group>& groups);
    // Copies `path` to "<path>.bak", or "<path>.bak.N" when that is taken,
    // reusing an existing copy with the same content. Returns the copy's path,
    // or an empty string (and `error`) when no copy could be made.
    static QString keepBackup(const QString& path, QString* error = nullptr);
    // The per-user group file; creates its folder when missing.
    static QString defaultPath();
};
