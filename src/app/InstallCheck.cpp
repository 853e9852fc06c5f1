#include "InstallCheck.h"

#include "AppPaths.h"
#include "IconHelper.h"
#include "ProtocolRegistry.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QTranslator>

#include <cstdio>

namespace {

InstallCheck::Item filesUnder(const QString& what, const QString& folder, const QStringList& patterns,
                              int atLeast)
{
    const QString dir = AppPaths::dataPath(folder);
    const QStringList found = QDir(dir).entryList(patterns, QDir::Files, QDir::Name);
    return {what, found.size() >= atLeast,
            QStringLiteral("%1 (%2)").arg(QDir::toNativeSeparators(dir), found.join(QStringLiteral(", ")))};
}

} // namespace

QList<InstallCheck::Item> InstallCheck::run()
{
    QList<Item> items;
    const QString data = AppPaths::dataDir();
    // dataDir() falls back to the executable's folder when share/corvane is
    // missing beside it: that is a broken tree, not a found one.
    items << Item{tr("data folder"), data.endsWith(QStringLiteral("/share/corvane")), data};

    const QString mono = AppPaths::dataPath(QStringLiteral("resources/font/RobotoMono-Regular-9.ttf"));
    items << Item{tr("log font"),
                  QFileInfo::exists(mono) && QFontDatabase::hasFamily(QStringLiteral("Roboto Mono")), mono};

    IconHelper* icons = IconHelper::instance();
    items << Item{tr("icon fonts"),
                  icons->hasFontAwesome() && icons->hasPhosphorLight() && icons->hasPhosphorBold(),
                  AppPaths::dataPath(QStringLiteral("resources/font"))};

    items << Item{tr("theme"), !qApp->styleSheet().isEmpty(),
                  tr("%1 characters of style sheet").arg(qApp->styleSheet().size())};

    for (const QString& lang : {QStringLiteral("en"), QStringLiteral("zh")}) {
        QTranslator probe;
        const QString file = QStringLiteral(":/resources/lang/tr_%1.qm").arg(lang);
        items << Item{tr("translations (%1)").arg(lang), probe.load(file) && !probe.isEmpty(), file};
    }

    const int protocols = ProtocolRegistry::instance().count();
    items << Item{
        tr("protocols"), protocols > 0,
        tr("%1 loaded from %2").arg(protocols).arg(AppPaths::dataPath(QStringLiteral("protocols")))};
    items << filesUnder(tr("highlighting rules"), QStringLiteral("resources/highlighter"),
                        {QStringLiteral("buildin.json"), QStringLiteral("buildin-light.json")}, 2);
    items << filesUnder(tr("help documents"), QStringLiteral("doc"), {QStringLiteral("*.pdf")}, 3);
    items << filesUnder(tr("sample scripts"), QStringLiteral("scripts"), {QStringLiteral("general_demo.lua")}, 1);
    return items;
}

int InstallCheck::print(const QList<Item>& items)
{
    bool all = true;
    for (const Item& item : items) {
        all = all && item.ok;
        const QString line =
            QStringLiteral("%1 %2: %3\n")
                .arg(item.ok ? QStringLiteral("ok     ") : QStringLiteral("MISSING"), item.what, item.detail);
        std::fputs(line.toLocal8Bit().constData(), stdout);
    }
    std::fflush(stdout);
    return all ? 0 : 1;
}
