#pragma once

#include <QByteArray>
#include <QString>

// The release manifest's entry for one platform:
// {"updates": {"linux": {"latest-version": ..., "download-url": ..., ...}}}.
class UpdateManifest
{
public:
    QString openUrl;
    QString changelog;
    QString downloadUrl;
    QString latestVersion;
    // Only a manifest that names "mandatory-update" changes the updater's flag.
    bool hasMandatory = false;
    bool mandatory = false;

    // False when `body` is not a JSON document. A document without the
    // platform's entry parses to empty fields.
    static bool parse(const QByteArray& body, const QString& platformKey, UpdateManifest* out);
};
