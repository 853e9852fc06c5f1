#include "AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

QString AppPaths::appDir()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString AppPaths::dataDir()
{
    const QString bin = appDir();
    const QString shared = QDir::cleanPath(bin + QStringLiteral("/../share/corvane"));
    if (QFileInfo(shared).isDir())
        return shared;
    return bin;
}

QString AppPaths::dataPath(const QString& relative)
{
    return dataDir() + QLatin1Char('/') + relative;
}

QString AppPaths::userDataDir()
{
    QString home = QDir::homePath();
    if (home.isEmpty() || !QFileInfo(home).isDir())
        home = QDir::tempPath();
    return home + QStringLiteral("/CVN");
}

bool AppPaths::ensureUserDataDir()
{
    return QDir().mkpath(userDataDir());
}

bool AppPaths::isWritableDir(const QString& dir)
{
    if (!QFileInfo(dir).isDir())
        return false;
    QTemporaryFile probe(dir + QStringLiteral("/.cvn-write-probe-XXXXXX"));
    return probe.open();
}
