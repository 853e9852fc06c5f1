#pragma once

#include <QString>

// Where the program finds its files. Run-time files (style sheets, fonts,
// rule files, protocols, scripts, documents) live beside the executable:
// <bin>/../share/corvane in the build tree and when installed, so the
// program works whatever the working directory is.
class AppPaths
{
public:
    // The executable's folder.
    static QString appDir();
    // The folder holding run-time data ("resources", "protocols", "scripts", "doc").
    static QString dataDir();
    // dataDir() + "/" + relative.
    static QString dataPath(const QString& relative);
    // The per-user data folder: home + "/CVN".
    static QString userDataDir();
    // Creates the per-user data folder (with parents); false when that fails.
    static bool ensureUserDataDir();
    // True when a file can be created in `dir`.
    static bool isWritableDir(const QString& dir);
};
