#include "UpdateManifest.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

bool UpdateManifest::parse(const QByteArray& body, const QString& platformKey, UpdateManifest* out)
{
    *out = UpdateManifest();
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError)
        return false;
    const QJsonObject entry =
        doc.object().value(QLatin1String("updates")).toObject().value(platformKey).toObject();
    out->openUrl = entry.value(QLatin1String("open-url")).toString();
    out->changelog = entry.value(QLatin1String("changelog")).toString();
    out->downloadUrl = entry.value(QLatin1String("download-url")).toString();
    out->latestVersion = entry.value(QLatin1String("latest-version")).toString();
    const QJsonValue mandatory = entry.value(QLatin1String("mandatory-update"));
    if (!mandatory.isUndefined()) {
        out->hasMandatory = true;
        out->mandatory = mandatory.toBool();
    }
    return true;
}
