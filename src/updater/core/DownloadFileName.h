#pragma once

#include <QByteArray>
#include <QString>

// Where a downloaded installer is saved inside the download folder. Names
// come from the server (Content-Disposition) or the download address, so they
// are cut down to a plain file name: nothing a server says may place a file
// outside the folder.
class DownloadFileName
{
public:
    // Used when neither the server nor the address gives a usable name.
    static constexpr const char* kFallback = "QSU_Update.bin";

    // The part of the address after its last "/", made safe (may be empty).
    static QString fromUrl(const QString& downloadUrl);
    // The percent-decoded header's "filename=" value, made safe; empty when
    // the header names none or an unusable one.
    static QString fromContentDisposition(const QByteArray& header);
    // The last path component ("/" and "\" both separate), without quotes or
    // a trailing ";". Empty for "", ".", ".." and names with control characters.
    static QString sanitize(const QString& name);
};
