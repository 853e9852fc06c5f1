#include "HistoryDataManager.h"

#include "AppPaths.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

bool HistoryDataManager::load(const QString& path, QStringList& list)
{
    list.clear();
    if (!QFileInfo::exists(path))
        return false;
    QByteArray data;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        data = file.readAll();
    const QJsonObject root = QJsonDocument::fromJson(data).object();
    if (root.isEmpty() || !root.value(QStringLiteral("history")).isArray())
        return false;
    const QJsonArray entries = root.value(QStringLiteral("history")).toArray();
    list.reserve(entries.size());
    for (const QJsonValue& v : entries)
        list.append(v.toString());
    return true;
}

bool HistoryDataManager::save(const QString& path, const QStringList& list)
{
    QJsonArray entries;
    for (const QString& s : list)
        entries.append(s);
    QJsonObject root;
    root.insert(QStringLiteral("history"), entries);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    file.write(QJsonDocument(root).toJson(QJsonDocument::Indented));
    return file.commit();
}

QString HistoryDataManager::defaultPath()
{
    AppPaths::ensureUserDataDir();
    return AppPaths::userDataDir() + QStringLiteral("/history.json");
}
