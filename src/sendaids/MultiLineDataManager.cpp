#include "MultiLineDataManager.h"

#include "AppPaths.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QSaveFile>

#include <algorithm>

namespace {

const QString kGroups = QStringLiteral("groups");
const QString kGroupName = QStringLiteral("group-name");
const QString kGroupContent = QStringLiteral("group-content");
const QString kTime = QStringLiteral("time");
const QString kHexMode = QStringLiteral("hexMode");
const QString kDescribe = QStringLiteral("decribe"); // the file has always spelt it this way
const QString kData = QStringLiteral("data");

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

bool sameContent(const QString& a, const QString& b)
{
    QFile fa(a);
    QFile fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly) || fa.size() != fb.size())
        return false;
    constexpr qint64 kChunk = 1 << 20;
    while (!fa.atEnd()) {
        if (fa.read(kChunk) != fb.read(kChunk))
            return false;
    }
    return fa.error() == QFileDevice::NoError && fb.error() == QFileDevice::NoError;
}

} // namespace

bool MultiLineDataManager::load(const QString& path, QList<Group>& groups, QString* error)
{
    groups.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return fail(error, tr("无法打开文件: %1").arg(file.errorString()));
    if (file.size() > kMaxFileSize)
        return fail(error, tr("The file is too large (%1 bytes).").arg(file.size()));
    const QByteArray bytes = file.readAll();
    file.close();

    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &parseError);
    if (doc.isNull())
        return fail(error,
                    tr("JSON 解析错误: %1 (偏移 %2)").arg(parseError.errorString()).arg(parseError.offset));
    if (!doc.isObject())
        return fail(error, tr("JSON 根节点必须是对象"));
    const QJsonObject root = doc.object();
    if (!root.contains(kGroups))
        return fail(error, tr("\"groups\" is missing."));

    QList<Group> out;
    int lineCount = 0;
    const QJsonArray groupArray = root.value(kGroups).toArray();
    for (qsizetype i = 0; i < groupArray.size(); ++i) {
        const QJsonValue groupValue = groupArray.at(i);
        const QJsonObject groupObject = groupValue.toObject();
        if (!groupValue.isObject() || !groupObject.contains(kGroupName) ||
            !groupObject.contains(kGroupContent))
            return fail(
                error, tr("Group %1 is not an object with \"group-name\" and \"group-content\".").arg(i + 1));
        Group group;
        group.name = groupObject.value(kGroupName).toString();
        const QJsonArray lineArray = groupObject.value(kGroupContent).toArray();
        for (qsizetype j = 0; j < lineArray.size(); ++j) {
            const QJsonValue lineValue = lineArray.at(j);
            const QJsonObject lineObject = lineValue.toObject();
            if (!lineValue.isObject() || !lineObject.contains(kTime) || !lineObject.contains(kHexMode) ||
                !lineObject.contains(kData)) {
                return fail(error,
                            tr("Group %1, line %2 is not an object with \"time\", \"hexMode\" and \"data\".")
                                .arg(i + 1)
                                .arg(j + 1));
            }
            if (++lineCount > kMaxLines)
                return fail(error, tr("The file holds more than %1 lines.").arg(kMaxLines));
            Line line;
            // The interval box starts at 0; anything below would be clamped there anyway.
            line.interval = qMax(0, lineObject.value(kTime).toInt(0));
            line.label = lineObject.value(kDescribe).toString();
            line.data = lineObject.value(kData).toString();
            group.lines.append(line);
        }
        out.append(group);
    }
    groups = out;
    return true;
}

QByteArray MultiLineDataManager::toJson(const QList<Group>& groups)
{
    QList<const Group*> sorted;
    sorted.reserve(groups.size());
    for (const Group& group : groups)
        sorted.append(&group);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Group* a, const Group* b) { return a->name < b->name; });

    QJsonArray groupArray;
    for (const Group* group : sorted) {
        QJsonArray lineArray;
        for (const Line& line : group->lines) {
            if (line.data.isEmpty())
                continue;
            QJsonObject lineObject;
            lineObject.insert(kTime, line.interval);
            lineObject.insert(kHexMode, false);
            lineObject.insert(kDescribe, line.label);
            lineObject.insert(kData, line.data);
            lineArray.append(lineObject);
        }
        if (lineArray.isEmpty())
            continue;
        QJsonObject groupObject;
        groupObject.insert(kGroupName, group->name);
        groupObject.insert(kGroupContent, lineArray);
        groupArray.append(groupObject);
    }
    QJsonObject root;
    root.insert(kGroups, groupArray);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool MultiLineDataManager::save(const QString& path, const QList<Group>& groups, QString* error)
{
    const QByteArray bytes = toJson(groups);
    QString reason;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        reason = tr("无法写入文件: %1").arg(file.errorString());
    } else if (file.write(bytes) != bytes.size()) {
        file.cancelWriting(); // the old file stays as it was
        reason = tr("写入文件时数据不完整");
    } else if (!file.commit()) {
        reason = tr("无法写入文件: %1").arg(file.errorString());
    }
    if (reason.isEmpty())
        return true;
    qWarning().noquote() << "mulit line data save failed" << path << reason;
    return fail(error, reason);
}

QString MultiLineDataManager::keepBackup(const QString& path, QString* error)
{
    const QFileInfo info(path);
    if (!info.isFile()) {
        fail(error, tr("%1 is not a file.").arg(path));
        return QString();
    }
    constexpr int kMaxCopies = 1000;
    for (int n = 0; n < kMaxCopies; ++n) {
        const QString candidate =
            n == 0 ? path + QStringLiteral(".bak") : path + QStringLiteral(".bak.%1").arg(n);
        const QFileInfo candidateInfo(candidate);
        if (!candidateInfo.exists() && !candidateInfo.isSymLink()) {
            QFile source(path);
            if (source.copy(candidate))
                return candidate;
            fail(error, tr("Cannot copy %1 to %2: %3").arg(path, candidate, source.errorString()));
            return QString();
        }
        // The same broken file seen again needs no second copy.
        if (candidateInfo.isFile() && candidateInfo.size() == info.size() && sameContent(path, candidate))
            return candidate;
    }
    fail(error, tr("No free name for a copy of %1.").arg(path));
    return QString();
}

QString MultiLineDataManager::defaultPath()
{
    AppPaths::ensureUserDataDir();
    return AppPaths::userDataDir() + QStringLiteral("/multi_line.json");
}
